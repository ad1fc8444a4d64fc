#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/TemporaryFiles.h"

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
  if (failIfExists && fs::exists(to, error)) {
    lastError = EEXIST;
    return false;
  }
  // Through a temporary file, so that two exports copying the same texture
  // at once never leave a mixed or cut-off copy.
  int in = ::open(from, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) {
    lastError = errno;
    return false;
  }
  struct stat info;
  bool ok = ::fstat(in, &info) == 0;
  if (ok && !S_ISREG(info.st_mode)) {
    ok = false;
    errno = EINVAL;  // a pipe or a device is not copied
  }
  TemporaryFile out;
  ok = ok && out.Create(to);
  std::vector<char> buffer(1 << 16);
  for (uint64_t offset = 0; ok;) {
    ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    ok = out.WriteAt(buffer.data(), static_cast<size_t>(got), offset);
    offset += static_cast<uint64_t>(got);
  }
  ok = ok && out.Commit();
  if (!ok) lastError = errno;
  ::close(in);
  return ok;
}

std::string SystemErrorText(int error) {
  // The generic category's message is the C library's strerror text,
  // without strerror's shared static buffer.
  return std::generic_category().message(error);
}

}  // namespace kiln::platform
