#include "platform/FileSystem.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace kiln::platform {

namespace fs = std::filesystem;

namespace {
thread_local int lastError = 0;
}  // namespace

int GetLastError() {
  return lastError;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  return folder + '/' + name;
}

bool CreateFolder(const std::string& path) {
  std::error_code error;
  fs::create_directory(path, error);
  // An existing folder is success; an existing file of that name is not.
  return !error && fs::is_directory(path, error);
}

bool CopyFileA(const char* from, const char* to, bool failIfExists) {
  if (!from || !to) return false;
  std::error_code error;
  auto options = failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing;
  if (fs::copy_file(from, to, options, error) && !error) return true;
  lastError = error ? error.value() : EEXIST;
  return false;
}

std::string SystemErrorText(int error) {
  // The generic category's message is the C library's strerror text,
  // without strerror's shared static buffer.
  return std::generic_category().message(error);
}

}  // namespace kiln::platform
