#include "io/DriverSteps.h"

#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "io/Drivers.h"
#include "platform/FileSystem.h"
#include "plugin/ExportSettings.h"
#include "plugin/Globals.h"
#include "plugin/SettingsDialog.h"

namespace kiln {

bool ConfirmSettings(Interface* ip, int suppressPrompts) {
  std::string configFolder = ip->GetDir(APP_PLUGCFG_DIR);
  if (!LoadConfig(configFolder)) return false;
  if (!suppressPrompts) {
    if (!RunSettingsDialog(Settings)) return false;
    if (Settings.copyTextures) platform::CreateFolder(TextureFolder);
  }
  SaveConfig(configFolder);
  return true;
}

std::unique_ptr<CZX9_DiskWriter> OpenOutputFile(const std::string& fileName) {
  auto writer = std::make_unique<CZX9_DiskWriter>();
  writer->Open(fileName.c_str());
  writer->WriteString(kBanner);
  return writer;
}

}  // namespace kiln
