// libFuzzer target: kiln's view of a configuration folder takes any bytes as
// the settings file without harm, and hands them on unchanged unless they
// are a settings record.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "standalone/ConfigFolderView.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kiln-config-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (FILE* file = std::fopen((folder / kiln::standalone::kSettingsFileName).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  kiln::standalone::SettingOverrides overrides{};
  if (size > 0) overrides[data[0] % kiln::standalone::kSettingCount] = (data[0] & 0x80) != 0;
  try {
    kiln::standalone::ConfigFolderView view(folder, overrides, false);
    auto used = view.Used();
    if (view.GaveValidRecord() != used.has_value()) std::abort();
    if (!kiln::standalone::ReadSettingsRecord(bytes) && view.GaveValidRecord()) std::abort();
  } catch (const kiln::standalone::ConfigViewError&) {
  }
  return 0;
}
