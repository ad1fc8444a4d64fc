#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace kiln {

class ExportLog;
class SettingsFile;

// Module-wide values of the current export, set by the export entry and the
// drivers and read by the node exporters.
extern int32_t SuppressPrompts;
extern ExportLog* CurrentLog;
extern std::string IniFileName;
extern std::string ShaderIniFileName;
extern std::string CfgFileName;
extern std::string OutputFolder;
extern std::string TextureFolder;
extern uint8_t WriteIniFiles;
extern uint8_t CarExportMode;
// The car settings file, loaded by the car driver; it stays until the next
// scene export or the next car export replaces it.
extern std::unique_ptr<SettingsFile> CarSettings;

}  // namespace kiln
