#include "io/CZX9_DiskWriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/TemporaryFiles.h"

namespace kiln {

namespace {

constexpr size_t kBufferSize = size_t{1} << 20;
// Offsets in the file are dwords: the end of the last byte must stay addressable.
constexpr uint64_t kLargestFileEnd = 0xFFFFFFFFu;
// Size field of a chunk that is still open.
constexpr uint32_t kOpenChunkSize = 0xBABEFACE;

const char kByteError[] = "error writing da byte";
const char kWordError[] = "error writing da word";
const char kFloatError[] = "error writing da fl00t";
const char kIntError[] =
    "oh dear. i encountered a pretty serious error while trying to write an int. this "
    "obviously isn't very good at all. i'm sorry.";
const char kStringError[] = "error write to disk.";
const char kBlockError[] = "what the hell is going on?!";
const char kEndChunkError[] = "CZX9_DiskWriter::EndChunk() called without matching BeginChunk";
const char kUndoChunkError[] = "CZX9_DiskWriter::UndoChunk() called without matching BeginChunk";

[[noreturn]] void Fail(const std::string& message) {
  throw CLB_DiskIOException(message);
}

std::string ErrnoText() {
  return platform::SystemErrorText(errno);
}

}  // namespace

// The open file and its write buffer. The buffer holds a window of the file,
// [windowStart, windowStart + Filled()), newer than what the file on disk has;
// writes land at buffer[cursor]. A seek outside the window only records the
// position (detached): the next write flushes the window and starts a new
// one there, so the write that fails is the one that reports.
struct CZX9_DiskWriter::File {
  platform::TemporaryFile temporary;
  std::unique_ptr<uint8_t[]> buffer{new uint8_t[kBufferSize]};
  uint64_t windowStart = 0;
  // Bytes of the window, up to the furthest write before the cursor last
  // moved back; Filled() adds the writes since, so small writes only move
  // the cursor.
  size_t length = 0;
  size_t cursor = 0;
  // Bytes the window may hold: the buffer, less near the 4 GiB limit, and 0
  // while detached so that every write takes the slow path.
  size_t capacity = kBufferSize;
  bool detached = false;
  uint64_t detachedPosition = 0;
  bool finished = false;  // written out; Close only puts it in place

  static size_t CapacityAt(uint64_t start) {
    return static_cast<size_t>(std::min<uint64_t>(kBufferSize, kLargestFileEnd - start));
  }

  size_t Filled() const { return std::max(length, cursor); }

  uint64_t Position() const { return detached ? detachedPosition : windowStart + cursor; }

  void StartWindow(uint64_t position) {
    windowStart = position;
    length = 0;
    cursor = 0;
    capacity = CapacityAt(position);
    detached = false;
  }

  // The failed write's message, with the file and the system's reason on
  // a second line.
  [[noreturn]] void FailWrite(const char* error) {
    Fail(std::string(error) + "\n" + temporary.Target() + ": " + ErrnoText());
  }

  bool WriteAt(const void* data, size_t count, uint64_t offset) {
    return temporary.WriteAt(data, count, offset);
  }

  // Writes the window out; the next write starts a new one at the position.
  void Flush(const char* error) {
    size_t filled = Filled();
    if (filled > 0 && !WriteAt(buffer.get(), filled, windowStart)) FailWrite(error);
    StartWindow(Position());
  }

  template <typename T>
  void Put(T value, const char* error) {
    if (sizeof value <= capacity - cursor) {
      std::memcpy(buffer.get() + cursor, &value, sizeof value);
      cursor += sizeof value;
      return;
    }
    PutSlow(value, error);
  }

  template <typename T>
  [[gnu::noinline]] void PutSlow(T value, const char* error) {
    AppendSlow(&value, sizeof value, error);
  }

  void Append(const void* data, size_t count, const char* error) {
    if (count <= capacity - cursor) {
      std::memcpy(buffer.get() + cursor, data, count);
      cursor += count;
      return;
    }
    AppendSlow(data, count, error);
  }

  // Kept out of line so that the fast path of every small write stays a few
  // instructions without a stack frame.
  [[gnu::noinline]] void AppendSlow(const void* data, size_t count, const char* error) {
    uint64_t position = Position();
    if (position + count > kLargestFileEnd) {
      Fail(std::string(error) +
           "\nthe file would grow past 4 GiB, beyond the reach of its 32-bit offsets");
    }
    Flush(error);
    if (count >= kBufferSize) {
      if (!WriteAt(data, count, position)) FailWrite(error);
      StartWindow(position + count);
      return;
    }
    Append(data, count, error);
  }

  // Overwrites bytes written earlier without moving the position.
  void Patch(uint64_t position, const void* data, size_t count, const char* error) {
    uint64_t windowEnd = windowStart + Filled();
    if (position >= windowStart && position + count <= windowEnd) {
      std::memcpy(buffer.get() + (position - windowStart), data, count);
      return;
    }
    if (position < windowEnd && position + count > windowStart) Flush(error);
    if (!WriteAt(data, count, position)) FailWrite(error);
  }

  void Seek(uint64_t position) {
    if (position >= windowStart && position <= windowStart + Filled()) {
      length = Filled();
      cursor = static_cast<size_t>(position - windowStart);
      capacity = CapacityAt(windowStart);
      detached = false;
      return;
    }
    length = Filled();
    detached = true;
    detachedPosition = position;
    capacity = 0;
    cursor = 0;
  }
};

CZX9_DiskWriter::CZX9_DiskWriter() = default;

CZX9_DiskWriter::~CZX9_DiskWriter() {
  // Without Close the export did not complete: the temporary file goes with
  // the writer, so an earlier file under the target name stays as it was.
  delete file_;
}

void CZX9_DiskWriter::Open(const char* fileName) {
  Close();
  chunks_.clear();
  positions_.clear();
  std::string target = fileName ? fileName : "";
  if (target.empty()) Fail("Error creating file: \n" + platform::SystemErrorText(ENOENT));
  struct stat info;
  if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    Fail("Error creating file: " + target + "\n" + platform::SystemErrorText(EISDIR));
  }
  auto file = std::make_unique<File>();
  if (!file->temporary.Create(target)) Fail("Error creating file: " + target + "\n" + ErrnoText());
  file_ = file.release();
}

void CZX9_DiskWriter::Finish() {
  if (!file_ || file_->finished) return;
  if (file_->Filled() > 0 &&
      !file_->WriteAt(file_->buffer.get(), file_->Filled(), file_->windowStart)) {
    std::unique_ptr<File> file(file_);
    file_ = nullptr;
    Fail("Error writing file: " + file->temporary.Target() + "\n" + ErrnoText());
  }
  file_->StartWindow(file_->Position());
  file_->finished = true;
}

void CZX9_DiskWriter::Close() {
  if (!file_) return;
  Finish();
  std::unique_ptr<File> file(file_);
  file_ = nullptr;
  if (!file->temporary.Commit()) {
    Fail("Error writing file: " + file->temporary.Target() + "\n" + ErrnoText());
  }
}

bool CZX9_DiskWriter::IsOpen() const {
  return file_ != nullptr;
}

uint32_t CZX9_DiskWriter::Tell() {
  return file_ ? static_cast<uint32_t>(file_->Position()) : 0;
}

void CZX9_DiskWriter::Seek(uint32_t position) {
  if (file_) file_->Seek(position);
}

void CZX9_DiskWriter::WriteByte(uint8_t value) {
  if (!file_) Fail(kByteError);
  file_->Put(value, kByteError);
}

void CZX9_DiskWriter::WriteWord(uint16_t value) {
  if (!file_) Fail(kWordError);
  file_->Put(value, kWordError);
}

void CZX9_DiskWriter::WriteDWord(uint32_t value) {
  if (!file_) Fail(kWordError);
  file_->Put(value, kWordError);
}

void CZX9_DiskWriter::WriteFloat(float value) {
  if (!file_) Fail(kFloatError);
  file_->Put(value, kFloatError);
}

void CZX9_DiskWriter::WriteInt(int32_t value) {
  if (!file_) Fail(kIntError);
  file_->Put(value, kIntError);
}

void CZX9_DiskWriter::WriteString(const char* text) {
  if (!file_) Fail(kStringError);
  if (!text) text = "";
  file_->Append(text, std::strlen(text) + 1, kStringError);
}

void CZX9_DiskWriter::WritePoint2(float x, float y) {
  const float point[2] = {x, y};
  WriteBytes(point, sizeof point);
}

void CZX9_DiskWriter::WritePoint3(float x, float y, float z) {
  const float point[3] = {x, y, z};
  WriteBytes(point, sizeof point);
}

void CZX9_DiskWriter::WriteBytes(const void* data, size_t count) {
  if (!file_) Fail(kBlockError);
  if (count > 0) file_->Append(data, count, kBlockError);
}

void CZX9_DiskWriter::BeginChunk(const void* id, uint32_t idLength) {
  WriteDWord(idLength);
  WriteBytes(id, idLength);
  chunks_.push_back({Tell(), idLength});
  WriteDWord(kOpenChunkSize);
}

void CZX9_DiskWriter::BeginChunk(uint32_t type, uint32_t subtype, uint32_t version) {
  const uint32_t id[3] = {type, subtype, version};
  BeginChunk(id, sizeof id);
}

void CZX9_DiskWriter::EndChunk() {
  if (chunks_.empty()) Fail(kEndChunkError);
  if (!file_) Fail(kWordError);
  uint64_t end = file_->Position();
  uint32_t sizePosition = chunks_.back().sizePosition;
  if (end < uint64_t{sizePosition} + 4) {
    Fail(
        "CZX9_DiskWriter::EndChunk() called at a position before the end of its chunk's "
        "size field");
  }
  uint32_t size = static_cast<uint32_t>(end - sizePosition - 4);
  file_->Patch(sizePosition, &size, sizeof size, kWordError);
  chunks_.pop_back();
}

void CZX9_DiskWriter::UndoChunk() {
  if (chunks_.empty()) Fail(kUndoChunkError);
  OpenChunk chunk = chunks_.back();
  chunks_.pop_back();
  Seek(chunk.sizePosition - chunk.idLength - 4);
}

void CZX9_DiskWriter::PushPosition() {
  positions_.push_back(Tell());
}

void CZX9_DiskWriter::PopPosition() {
  if (positions_.empty())
    Fail("CZX9_DiskWriter::PopPosition() called without matching PushPosition");
  Seek(positions_.back());
  positions_.pop_back();
}

uint32_t ColorToARGB(float r, float g, float b, float a) {
  auto channel = [](float value) -> uint32_t {
    if (value >= 1.0f) return 255;
    if (!(value > 0.0f)) return 0;  // also a NaN
    return static_cast<uint32_t>(value * 255.0f + 0.5f);
  };
  return channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

}  // namespace kiln
