#include "standalone/SettingsOverrides.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/FileSystem.h"
#include "platform/TemporaryFiles.h"

namespace kiln::standalone {
namespace {

constexpr int32_t kRecordSize = 44;
constexpr int32_t kDefaults[kSettingCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

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

std::string ApplySettingOverrides(const std::string& configFolder,
                                  const SettingOverrides& overrides) {
  std::string path = (std::filesystem::path(configFolder) / "kilnmaxexporter.cfg").string();
  int32_t flags[kSettingCount];
  std::copy(std::begin(kDefaults), std::end(kDefaults), flags);
  if (File in{std::fopen(path.c_str(), "rb")}) {
    int32_t size = 0;
    if (std::fread(&size, sizeof size, 1, in.get()) != 1 || size != kRecordSize ||
        std::fread(flags, sizeof flags, 1, in.get()) != 1) {
      return path + ": not a settings file of this exporter (wrong version); remove it or fix it";
    }
  }
  for (int i = 0; i < kSettingCount; ++i) {
    if (overrides[i]) flags[i] = *overrides[i] ? 1 : 0;
  }
  std::error_code error;
  std::filesystem::create_directories(configFolder, error);
  std::string record(reinterpret_cast<const char*>(&kRecordSize), sizeof kRecordSize);
  record.append(reinterpret_cast<const char*>(flags), sizeof flags);
  if (!platform::WriteWholeFile(path, record)) {
    return path + ": cannot write the settings file: " + platform::SystemErrorText(errno);
  }
  return {};
}

}  // namespace kiln::standalone
