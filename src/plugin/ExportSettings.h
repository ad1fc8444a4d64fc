#pragma once
#include <cstdint>
#include <string>

namespace kiln {

// The eleven on/off settings of the exporter (0 off, any other value on), in
// the order the configuration file stores them.
struct ExportSettings {
  int32_t meshes = 1;
  int32_t shapes = 1;
  int32_t cameras = 1;
  int32_t lights = 1;
  int32_t animations = 1;
  int32_t helpers = 1;
  int32_t bones = 1;
  int32_t warnings = 1;
  int32_t errors = 1;
  int32_t sampleAnimations = 0;
  int32_t copyTextures = 1;

  friend bool operator==(const ExportSettings&, const ExportSettings&) = default;
};

constexpr int kExportFlagCount = 11;

// The flags in file order, for code that walks all of them.
constexpr int32_t ExportSettings::*kExportFlags[kExportFlagCount] = {
    &ExportSettings::meshes,      &ExportSettings::shapes,
    &ExportSettings::cameras,     &ExportSettings::lights,
    &ExportSettings::animations,  &ExportSettings::helpers,
    &ExportSettings::bones,       &ExportSettings::warnings,
    &ExportSettings::errors,      &ExportSettings::sampleAnimations,
    &ExportSettings::copyTextures};

// The module's settings, at their defaults until a configuration file is read.
extern ExportSettings Settings;

// The configuration file's name inside the host's plug-in configuration folder.
inline constexpr const char* kConfigFileName = "kilnmaxexporter.cfg";

// Reads the configuration file of configFolder into settings, first creating
// it from settings when it does not exist. Returns 1 when the settings were
// read; 0 when the file cannot be opened (silently) or holds another record
// size or fewer bytes than its record ("Wrong version of config file" is
// shown). On 0 the settings are unchanged.
int LoadConfig(const std::string& configFolder, ExportSettings& settings);
int LoadConfig(const std::string& configFolder);  // the module's settings

// Writes settings to the configuration file of configFolder. Returns 1 when the
// file was written, 0 when it could not be.
int SaveConfig(const std::string& configFolder, const ExportSettings& settings);
int SaveConfig(const std::string& configFolder);  // the module's settings

}  // namespace kiln
