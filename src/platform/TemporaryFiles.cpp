#include "platform/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/WriteFailures.h"

namespace kiln::platform {
namespace {

constexpr std::string_view kMarker = ".kiln-tmp-";

// The names of the live temporary files, kept where a signal handler can read
// them: fixed storage, and a slot's name is complete before it turns live.
// More files at once than slots is allowed; those are just not removed by
// RemoveTemporaryFilesNow.
constexpr int kSlots = 64;
enum SlotState : int { kFree, kFilling, kLive };
struct Slot {
  std::atomic<int> state{kFree};
  char name[PATH_MAX];
};
Slot slots[kSlots];

int ClaimSlot(const std::string& name) {
  if (name.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (slots[i].state.compare_exchange_strong(expected, kFilling)) {
      std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
      slots[i].state.store(kLive);
      return i;
    }
  }
  return -1;
}

void ReleaseSlot(int& slot) {
  if (slot >= 0) slots[slot].state.store(kFree);
  slot = -1;
}

// Eight hex digits standing for this machine, so that a folder shared over
// the network never loses another machine's live files to a process number
// that is free here.
const std::string& HostTag() {
  static const std::string tag = [] {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char* c = host; *c; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", hash);
    return std::string(text);
  }();
  return tag;
}

std::atomic<uint64_t> nextNumber{0};

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string TemporaryNameFor(const std::string& target) {
  size_t nameStart = target.rfind('/') + 1;  // 0 without a folder
  std::string name = target.substr(0, nameStart);
  name += '.';
  name.append(target, nameStart);
  name += kMarker;
  name += HostTag();
  name += '-';
  name += std::to_string(::getpid());
  name += '-';
  name += std::to_string(nextNumber.fetch_add(1));
  return name;
}

// The host tag and process number of a temporary file name.
bool ParseTemporaryName(std::string_view name, std::string_view& host, long& pid) {
  if (name.empty() || name.front() != '.') return false;
  size_t marker = name.rfind(kMarker);
  if (marker == std::string_view::npos) return false;
  std::string_view rest = name.substr(marker + kMarker.size());  // HOST-PID-N
  size_t dash1 = rest.find('-');
  size_t dash2 = dash1 == std::string_view::npos ? dash1 : rest.find('-', dash1 + 1);
  if (dash1 != 8 || dash2 == std::string_view::npos || dash2 == dash1 + 1) return false;
  host = rest.substr(0, dash1);
  pid = 0;
  for (char c : rest.substr(dash1 + 1, dash2 - dash1 - 1)) {
    if (c < '0' || c > '9' || pid > 100000000) return false;
    pid = pid * 10 + (c - '0');
  }
  std::string_view number = rest.substr(dash2 + 1);
  if (number.empty()) return false;
  for (char c : number) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

void SweepOnce(const std::string& folder) {
  static std::mutex lock;
  static std::set<std::string> swept;
  {
    std::lock_guard<std::mutex> hold(lock);
    if (!swept.insert(folder).second) return;
  }
  RemoveStaleTemporaryFiles(folder);
}

// Flushes a folder's entries to disk. Not every file system can; the rename
// itself has happened either way.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool IsTemporaryFileName(std::string_view name) {
  std::string_view host;
  long pid;
  return ParseTemporaryName(name, host, pid);
}

TemporaryFile::~TemporaryFile() {
  Discard();
}

bool TemporaryFile::Fail(int error) {
  RecordWriteFailure(target_, error);
  errno = error;
  return false;
}

bool TemporaryFile::Create(const std::string& target) {
  Discard();
  unflushed_ = 0;
  target_ = target;
  SweepOnce(FolderOf(target));
  for (int attempt = 0; attempt < 100; ++attempt) {
    name_ = TemporaryNameFor(target);
    slot_ = ClaimSlot(name_);
    fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) return true;
    int error = errno;
    ReleaseSlot(slot_);
    if (error != EEXIST) return Fail(error);
  }
  return Fail(EEXIST);
}

bool TemporaryFile::WriteAt(const void* data, size_t count, uint64_t offset) {
  if (fd_ < 0) return Fail(EBADF);
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (count > 0) {
    ssize_t written = ::pwrite(fd_, bytes, count, static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return Fail(errno);
    if (written == 0) return Fail(ENOSPC);
    bytes += written;
    count -= static_cast<size_t>(written);
    offset += static_cast<uint64_t>(written);
    unflushed_ += static_cast<uint64_t>(written);
  }
  // A large file starts on its way to the disk while the rest is still being
  // made, so the flush before the rename finds little left to wait for.
  constexpr uint64_t kWritebackBytes = 4 << 20;
  if (unflushed_ >= kWritebackBytes) {
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
    unflushed_ = 0;
  }
  return true;
}

bool TemporaryFile::Commit() {
  if (fd_ < 0) return Fail(EBADF);
  int error = 0;
  if (::fsync(fd_) != 0 && errno != EINVAL) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error == 0 && ::rename(name_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(name_.c_str());
    ReleaseSlot(slot_);
    return Fail(error);
  }
  ReleaseSlot(slot_);
  SyncFolder(FolderOf(target_));
  return true;
}

void TemporaryFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(name_.c_str());
  }
  ReleaseSlot(slot_);
}

bool WriteWholeFile(const std::string& target, std::string_view bytes) {
  TemporaryFile file;
  return file.Create(target) && file.WriteAt(bytes.data(), bytes.size(), 0) && file.Commit();
}

void RemoveTemporaryFilesNow() {
  for (Slot& slot : slots) {
    if (slot.state.load() == kLive) ::unlink(slot.name);
  }
}

void RemoveStaleTemporaryFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const long self = ::getpid();
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view host;
    long pid = 0;
    if (!ParseTemporaryName(entry->d_name, host, pid)) continue;
    if (host != HostTag() || pid == self || pid <= 0) continue;
    // No such process: nobody will finish or remove the file. (A process we
    // may not signal exists, and keeps its file.)
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

}  // namespace kiln::platform
