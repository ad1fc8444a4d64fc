#include "plugin/Globals.h"

#include "util/SettingsFile.h"

namespace kiln {

int32_t SuppressPrompts = 0;
ExportLog* CurrentLog = nullptr;
std::string IniFileName;
std::string ShaderIniFileName;
std::string CfgFileName;
std::string OutputFolder;
std::string TextureFolder;
uint8_t WriteIniFiles = 1;
uint8_t CarExportMode = 0;
std::unique_ptr<SettingsFile> CarSettings;

}  // namespace kiln
