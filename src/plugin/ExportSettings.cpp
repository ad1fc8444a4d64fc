#include "plugin/ExportSettings.h"

#include <cstdio>
#include <memory>

#include "host/Files.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/TemporaryFiles.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

ExportSettings Settings;

namespace {

// The record size doubles as the file's version.
constexpr int32_t kRecordSize = kExportFlagCount * 4;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void PutInt32(unsigned char* out, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

int32_t GetInt32(const unsigned char* in) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(in[i]) << (8 * i);
  return static_cast<int32_t>(bits);
}

std::string ConfigPath(const std::string& configFolder) {
  return platform::JoinPath(configFolder, kConfigFileName);
}

}  // namespace

int SaveConfig(const std::string& configFolder, const ExportSettings& settings) {
  unsigned char bytes[4 + kRecordSize];
  PutInt32(bytes, kRecordSize);
  for (int i = 0; i < kExportFlagCount; ++i) PutInt32(bytes + 4 + 4 * i, settings.*kExportFlags[i]);

  // Replaced whole, never rewritten in place: an export running beside this
  // one never reads a cut-off file.
  std::string_view record(reinterpret_cast<const char*>(bytes), sizeof bytes);
  return platform::WriteWholeFile(ConfigPath(configFolder), record) ? 1 : 0;
}

int LoadConfig(const std::string& configFolder, ExportSettings& settings) {
  std::string path = ConfigPath(configFolder);
  if (!DoesFileExist(path.c_str())) SaveConfig(configFolder, settings);

  // Each failure is also logged: with prompts suppressed an export that
  // stops here would otherwise end without a word.
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    LogError(CurrentLog, "Error opening config file: %s", path.c_str());
    return 0;
  }
  // The record is read whole before any flag changes, so a cut-off file
  // leaves the settings as they were.
  unsigned char bytes[4 + kRecordSize];
  size_t got = std::fread(bytes, 1, sizeof bytes, file.get());
  bool unreadable = std::ferror(file.get()) != 0;  // a folder, say: as if not opened
  file.reset();
  if (unreadable) {
    LogError(CurrentLog, "Error opening config file: %s", path.c_str());
    return 0;
  }
  if (got < 4 || GetInt32(bytes) != kRecordSize || got < sizeof bytes) {
    ShowMessage("Wrong version of config file", platform::MB_ICONSTOP, 0);
    LogError(CurrentLog, "Wrong version of config file");
    return 0;
  }
  for (int i = 0; i < kExportFlagCount; ++i)
    settings.*kExportFlags[i] = GetInt32(bytes + 4 + 4 * i);
  return 1;
}

int LoadConfig(const std::string& configFolder) {
  return LoadConfig(configFolder, Settings);
}

int SaveConfig(const std::string& configFolder) {
  return SaveConfig(configFolder, Settings);
}

}  // namespace kiln
