#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Files written under a temporary name beside their target and renamed over
// it once complete, so that a reader never finds a cut-off file under the
// target's name and an earlier file survives a failed write.
//
// Temporary names are ".NAME.kiln-tmp-HOST-PID-N": unique per process and per
// file, so that parallel writers never share one, and telling which process
// on which machine made them. The first temporary file a process makes in a
// folder removes the temporary files there whose process is gone (killed
// before it could clean up).
//
// A completed file is flushed to disk before the rename and its folder after
// it, so that a crash of the machine leaves the old file or the new one.
//
// Every failure is recorded with platform::RecordWriteFailure (WriteFailures.h)
// under the target's name, with errno set, before the call returns false.
namespace kiln::platform {

class TemporaryFile {
 public:
  TemporaryFile() = default;
  // Removes the temporary file unless it was committed.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Creates the temporary file for target, empty and open for writing.
  bool Create(const std::string& target);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Target() const { return target_; }
  const std::string& Name() const { return name_; }

  // Writes all of data at offset, resuming after partial writes.
  bool WriteAt(const void* data, size_t count, uint64_t offset);
  // Flushes, closes and renames the file over its target, then flushes the
  // folder. On failure the temporary file is removed.
  bool Commit();
  // Closes and removes the temporary file.
  void Discard();

 private:
  bool Fail(int error);

  int fd_ = -1;
  uint64_t unflushed_ = 0;  // bytes written since writeback was last started
  int slot_ = -1;           // in the registry of live temporary files
  std::string target_;
  std::string name_;
};

// Writes a whole file through a TemporaryFile.
bool WriteWholeFile(const std::string& target, std::string_view bytes);

// Removes every temporary file of this process that is not yet committed.
// Safe to call from a signal handler: it only unlinks names kept in a fixed
// table.
void RemoveTemporaryFilesNow();

// Removes the temporary files in folder whose process is gone. Create calls
// it once per folder and process.
void RemoveStaleTemporaryFiles(const std::string& folder);

// True when name is a temporary file name of this scheme.
bool IsTemporaryFileName(std::string_view name);

}  // namespace kiln::platform
