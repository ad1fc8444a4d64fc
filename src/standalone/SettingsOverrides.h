#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kiln::standalone {

// The exporter's eleven settings as the command line names them, in the
// order of the exporter's configuration file.
constexpr int kSettingCount = 11;
extern const std::array<const char*, kSettingCount> kSettingNames;

// Settings given on the command line; unset ones keep their stored value.
using SettingOverrides = std::array<std::optional<bool>, kSettingCount>;
// The flags of a settings record, in file order.
using SettingFlags = std::array<int32_t, kSettingCount>;

bool AnyOverride(const SettingOverrides& overrides);

// The exporter's settings file "kilnmaxexporter.cfg": a dword record size
// (44, which doubles as the version), then the eleven 32-bit flags.
inline constexpr const char* kSettingsFileName = "kilnmaxexporter.cfg";
constexpr size_t kSettingsRecordBytes = 4 + 4 * kSettingCount;

// The record of the exporter's defaults.
std::string DefaultSettingsRecord();
// The flags of bytes when they start with a whole record of this exporter
// (what the exporter itself reads); nothing for another version, a cut-off
// or an empty file.
std::optional<SettingFlags> ReadSettingsRecord(const std::string& bytes);
// Sets the overridden flags in a whole record; bytes past the record stay.
void ApplyOverrides(std::string& record, const SettingOverrides& overrides);

}  // namespace kiln::standalone
