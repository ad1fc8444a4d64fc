#include "plugin/SideFiles.h"

#include "host/Files.h"
#include "platform/ProfileFile.h"
#include "plugin/Globals.h"

namespace kiln {

bool CompleteSideFiles(bool emptyIniFiles, bool newIniFile) {
  if (emptyIniFiles) {
    platform::EmptyProfileFile(IniFileName.c_str());
    platform::EmptyProfileFile(ShaderIniFileName.c_str());
  } else if (newIniFile && DoesFileExist(ShaderIniFileName.c_str())) {
    platform::EmptyProfileFile(ShaderIniFileName.c_str());
  }
  return platform::FlushProfileFiles();
}

void AbandonSideFiles() {
  platform::DiscardProfileFiles();
}

}  // namespace kiln
