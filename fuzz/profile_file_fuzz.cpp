// libFuzzer target: any bytes as an existing .ini file take entries without
// harm, and the file written out reads back as itself: writing the same
// entries again changes nothing.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ProfileFile.h"

namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteEntries(const std::string& path) {
  using kiln::platform::WritePrivateProfileStringA;
  WritePrivateProfileStringA("Box01", "FaceBlock0_Shader", "Texture", path.c_str());
  WritePrivateProfileStringA("CAMERA", "FOV", "0.785398", path.c_str());
  if (!kiln::platform::FlushProfileFiles()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In memory where there is such a folder: every write out flushes the file to disk.
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/kiln-profile-fuzz-" + std::to_string(getpid()) + ".ini";
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  WriteEntries(path);
  const std::string written = Bytes(path);
  WriteEntries(path);
  if (Bytes(path) != written) std::abort();
  return 0;
}
