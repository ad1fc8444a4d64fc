#include "standalone/ConfigFolderView.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/TemporaryFiles.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

// The exporter reads one record; a longer file is read no further than this.
constexpr size_t kMostBytesRead = 4096;

std::string ErrorText(int error) {
  return platform::SystemErrorText(error);
}

// The first bytes of a file; nothing when it does not exist. Throws for a
// file that exists but cannot be read, or is no regular file.
std::optional<std::string> ReadHead(const fs::path& file) {
  int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw ConfigViewError(file.string() + ": cannot read the settings file: " + ErrorText(errno));
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    throw ConfigViewError(file.string() + ": the settings file is not a regular file");
  }
  std::string bytes(kMostBytesRead, '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int error = errno;
      ::close(fd);
      throw ConfigViewError(file.string() + ": cannot read the settings file: " + ErrorText(error));
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  return bytes;
}

// Removes the private folders of kiln processes that are gone (killed
// outright, before they could remove their own).
void RemoveStaleViews(const fs::path& temp) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(temp, error)) {
    const std::string name = entry.path().filename().string();
    constexpr std::string_view kPrefix = "kiln-config-";
    if (name.rfind(kPrefix, 0) != 0) continue;
    char* end = nullptr;
    long pid = std::strtol(name.c_str() + kPrefix.size(), &end, 10);
    if (pid <= 0 || *end != '-' || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
  }
}

unsigned long InodeOf(const fs::path& file) {
  struct stat info;
  return ::stat(file.c_str(), &info) == 0 ? static_cast<unsigned long>(info.st_ino) : 0;
}

}  // namespace

ConfigFolderView::ConfigFolderView(const fs::path& folder, const SettingOverrides& overrides,
                                   bool reset)
    : folder_(fs::absolute(folder)) {
  std::optional<std::string> real = ReadHead(RealFile());
  realExists_ = real.has_value();
  if (real) real_ = *real;
  given_ = reset || !real ? DefaultSettingsRecord() : real_;
  ApplyOverrides(given_, overrides);  // a file of another version stays as it is

  std::error_code error;
  const fs::path temp = fs::temp_directory_path(error);
  RemoveStaleViews(temp);
  std::string pattern =
      (temp / ("kiln-config-" + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (error || !::mkdtemp(pattern.data())) {
    throw ConfigViewError("cannot make a private configuration folder in " +
                          fs::temp_directory_path(error).string() + ": " + ErrorText(errno));
  }
  view_ = pattern;
  fs::path settings = view_ / kSettingsFileName;
  if (!platform::WriteWholeFile(settings.string(), given_)) {
    int cause = errno;
    fs::remove_all(view_, error);
    throw ConfigViewError("cannot write " + settings.string() + ": " + ErrorText(cause));
  }
  entries_.push_back(settings.string());
  givenInode_ = InodeOf(settings);
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_, error)) {
    fs::path name = entry.path().filename();
    if (name == kSettingsFileName) continue;
    fs::path link = view_ / name;
    std::error_code ignored;
    fs::create_symlink(entry.path(), link, ignored);
    if (!ignored) entries_.push_back(link.string());
  }
}

ConfigFolderView::~ConfigFolderView() {
  std::error_code ignored;
  fs::remove_all(view_, ignored);
}

std::string ConfigFolderView::ViewBytes() const {
  try {
    return ReadHead(view_ / kSettingsFileName).value_or(std::string());
  } catch (const ConfigViewError&) {
    return {};
  }
}

bool ConfigFolderView::ModuleSaved() const {
  return InodeOf(view_ / kSettingsFileName) != givenInode_;
}

std::optional<SettingFlags> ConfigFolderView::Used() const {
  if (ModuleSaved()) {
    if (auto saved = ReadSettingsRecord(ViewBytes())) return saved;
  }
  return ReadSettingsRecord(given_);
}

std::string ConfigFolderView::Keep(bool* written, const std::string& record) const {
  *written = false;
  std::string bytes = record.empty() ? ViewBytes() : record;
  if (!ReadSettingsRecord(bytes)) return {};  // the module saved nothing readable
  if (realExists_ && bytes == real_) return {};
  std::error_code error;
  fs::create_directories(folder_, error);
  if (!platform::WriteWholeFile(RealFile().string(), bytes)) {
    return RealFile().string() + ": the settings could not be saved: " + ErrorText(errno);
  }
  *written = true;
  return {};
}

std::vector<std::string> ConfigFolderView::Paths() const {
  std::vector<std::string> paths = entries_;
  paths.push_back(view_.string());
  return paths;
}

}  // namespace kiln::standalone
