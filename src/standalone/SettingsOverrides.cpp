#include "standalone/SettingsOverrides.h"

#include <cstring>

namespace kiln::standalone {
namespace {

constexpr int32_t kRecordSize = 4 * kSettingCount;
constexpr SettingFlags kDefaults = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1};

void PutInt32(std::string& bytes, size_t at, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(bits >> (8 * i));
}

int32_t GetInt32(const std::string& bytes, size_t at) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return static_cast<int32_t>(bits);
}

}  // namespace

const std::array<const char*, kSettingCount> kSettingNames = {
    "meshes",   "shapes", "cameras",           "lights",        "animations", "helpers", "bones",
    "warnings", "errors", "sample-animations", "copy-textures",
};

bool AnyOverride(const SettingOverrides& overrides) {
  for (const auto& value : overrides) {
    if (value) return true;
  }
  return false;
}

std::string DefaultSettingsRecord() {
  std::string record(kSettingsRecordBytes, '\0');
  PutInt32(record, 0, kRecordSize);
  for (int i = 0; i < kSettingCount; ++i) PutInt32(record, 4 + 4 * i, kDefaults[i]);
  return record;
}

std::optional<SettingFlags> ReadSettingsRecord(const std::string& bytes) {
  if (bytes.size() < kSettingsRecordBytes || GetInt32(bytes, 0) != kRecordSize) return {};
  SettingFlags flags;
  for (int i = 0; i < kSettingCount; ++i) flags[i] = GetInt32(bytes, 4 + 4 * i);
  return flags;
}

void ApplyOverrides(std::string& record, const SettingOverrides& overrides) {
  if (!ReadSettingsRecord(record)) return;
  for (int i = 0; i < kSettingCount; ++i) {
    if (overrides[i]) PutInt32(record, 4 + 4 * i, *overrides[i] ? 1 : 0);
  }
}

}  // namespace kiln::standalone
