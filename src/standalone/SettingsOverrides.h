#pragma once
#include <array>
#include <optional>
#include <string>

namespace kiln::standalone {

// The exporter's eleven settings as the command line names them, in the
// order of the exporter's configuration file.
constexpr int kSettingCount = 11;
extern const std::array<const char*, kSettingCount> kSettingNames;

// Settings given on the command line; unset ones keep their stored value.
using SettingOverrides = std::array<std::optional<bool>, kSettingCount>;

bool AnyOverride(const SettingOverrides& overrides);

// Applies the overrides to the exporter's configuration file
// "kilnmaxexporter.cfg" in configFolder (a dword record size 44, then eleven
// 32-bit flags), creating it with the exporter's defaults when it is missing.
// The export then starts from these settings, as if they had been confirmed
// in the settings dialog. Returns an error text, empty on success.
std::string ApplySettingOverrides(const std::string& configFolder,
                                  const SettingOverrides& overrides);

}  // namespace kiln::standalone
