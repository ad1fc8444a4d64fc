#include "plugin/SideFiles.h"

#include "host/Files.h"
#include "platform/ProfileFile.h"
#include "plugin/Globals.h"

namespace kiln {

bool CompleteSideFiles(bool emptyIniFiles, bool newIniFile) {
  if (emptyIniFiles) {
    platform::EmptyProfileFile(IniFileName.c_str());
    platform::EmptyProfileFile(ShaderIniFileName.c_str());
    platform::EmptyProfileFile(CfgFileName.c_str());
  } else if (newIniFile) {
    // The .cfg follows the .ini files: ranges of channels no longer wired
    // must not linger from an earlier export.
    for (const std::string* name : {&ShaderIniFileName, &CfgFileName}) {
      if (DoesFileExist(name->c_str())) platform::EmptyProfileFile(name->c_str());
    }
  }
  return platform::FlushProfileFiles();
}

void AbandonSideFiles() {
  platform::DiscardProfileFiles();
}

}  // namespace kiln
