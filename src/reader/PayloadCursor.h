#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "reader/ChunkFile.h"

namespace kiln::reader {

// Reads the fields of one chunk payload in order. Every read is checked
// against the end of the payload; a short payload is a ReadError naming the
// chunk, the field and where it would have been.
class PayloadCursor {
 public:
  PayloadCursor(std::span<const uint8_t> payload, uint64_t payloadOffset, const Chunk& chunk);

  uint8_t Byte(const char* field);
  uint16_t Word(const char* field);
  uint32_t DWord(const char* field);
  int32_t Int(const char* field);
  float Float(const char* field);
  // A zero-terminated string.
  std::string String(const char* field);
  // An int that counts what follows; negative counts are rejected.
  uint32_t Count(const char* field);
  // A count of items of itemSize bytes each, refused when the payload cannot
  // hold that many, so a corrupt count never drives a huge allocation.
  uint32_t ItemCount(const char* field, size_t itemSize);
  template <size_t N>
  std::array<float, N> Floats(const char* field) {
    std::array<float, N> values;
    Read(values.data(), sizeof values, field);
    return values;
  }

  size_t Remaining() const { return payload_.size() - position_; }
  bool AtEnd() const { return Remaining() == 0; }
  // File offset of the next unread byte.
  uint64_t Offset() const { return payloadOffset_ + position_; }

  // A ReadError at the cursor that names the chunk.
  [[noreturn]] void Fail(const std::string& problem) const;

 private:
  void Read(void* out, size_t count, const char* field);

  std::span<const uint8_t> payload_;
  uint64_t payloadOffset_;
  uint64_t chunkOffset_;
  ChunkId chunkId_;
  size_t position_ = 0;
};

}  // namespace kiln::reader
