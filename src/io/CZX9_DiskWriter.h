#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <string>

namespace kiln {

// Raised by every failed file operation of the writer; carries its message.
class CLB_DiskIOException : public std::exception {
 public:
  explicit CLB_DiskIOException(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Writes a chunked little-endian file. Chunks are
//   dword 12, three dword id (type, subtype, version), dword size, payload
// where size counts the bytes after the size field.
//
// Writes are buffered and land in a temporary file beside the target; Close
// renames it over the target, so a failed export never replaces an earlier
// file. A writer destroyed without Close discards its temporary file.
class CZX9_DiskWriter {
 public:
  CZX9_DiskWriter();
  ~CZX9_DiskWriter();
  CZX9_DiskWriter(const CZX9_DiskWriter&) = delete;
  CZX9_DiskWriter& operator=(const CZX9_DiskWriter&) = delete;

  // Closes an open file, then creates fileName for writing.
  void Open(const char* fileName);
  // Completes the file and puts it in place under its name.
  void Close();
  // Completes the file but leaves it under its temporary name: Close then
  // only puts it in place. Files that belong together are all finished
  // before any is put in place, so a failure leaves every earlier one.
  void Finish();
  bool IsOpen() const;

  uint32_t Tell();
  void Seek(uint32_t position);

  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);
  void WriteDWord(uint32_t value);
  void WriteFloat(float value);
  void WriteInt(int32_t value);
  void WriteString(const char* text);
  void WritePoint2(float x, float y);
  void WritePoint3(float x, float y, float z);
  void WriteBytes(const void* data, size_t count);

  void BeginChunk(const void* id, uint32_t idLength);
  // BeginChunk with the id (type, subtype, version).
  void BeginChunk(uint32_t type, uint32_t subtype, uint32_t version = 1);
  void EndChunk();
  void UndoChunk();
  void PushPosition();
  void PopPosition();

 private:
  struct OpenChunk {
    uint32_t sizePosition;
    uint32_t idLength;
  };
  std::deque<OpenChunk> chunks_;
  std::deque<uint32_t> positions_;
  struct File;
  File* file_ = nullptr;
};

// Four colour channels as 0xAARRGGBB: each channel 1.0 or more is 255, 0.0 or
// less is 0, otherwise truncated channel * 255 + 0.5.
uint32_t ColorToARGB(float r, float g, float b, float a);

}  // namespace kiln
