// libFuzzer target: the settings-file reader takes any bytes without harm.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "util/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/kiln-settings-fuzz-" + std::to_string(getpid()) + ".ini";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  kiln::SettingsFile settings(path, true);
  std::vector<kiln::SettingsFile::KeyValue> pairs;
  settings.GetSection("Car", pairs);
  (void)settings.GetValue("Car", "mass", "");
  return 0;
}
