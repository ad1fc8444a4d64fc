#include "reader/PayloadCursor.h"

#include <algorithm>
#include <cstring>

namespace kiln::reader {

PayloadCursor::PayloadCursor(std::span<const uint8_t> payload, uint64_t payloadOffset,
                             const Chunk& chunk)
    : payload_(payload),
      payloadOffset_(payloadOffset),
      chunkOffset_(chunk.offset),
      chunkId_(chunk.id) {}

void PayloadCursor::Fail(const std::string& problem) const {
  throw ReadError(Offset(), "chunk " + ToString(chunkId_) + " (starts at " +
                                std::to_string(chunkOffset_) + "): " + problem);
}

void PayloadCursor::Read(void* out, size_t count, const char* field) {
  if (count > Remaining()) {
    Fail("payload ends inside field '" + std::string(field) + "' (needs " + std::to_string(count) +
         " bytes, " + std::to_string(Remaining()) + " left)");
  }
  std::memcpy(out, payload_.data() + position_, count);
  position_ += count;
}

// The format is little-endian, as is every machine this builds for.
uint8_t PayloadCursor::Byte(const char* field) {
  uint8_t value;
  Read(&value, sizeof value, field);
  return value;
}

uint16_t PayloadCursor::Word(const char* field) {
  uint16_t value;
  Read(&value, sizeof value, field);
  return value;
}

uint32_t PayloadCursor::DWord(const char* field) {
  uint32_t value;
  Read(&value, sizeof value, field);
  return value;
}

int32_t PayloadCursor::Int(const char* field) {
  int32_t value;
  Read(&value, sizeof value, field);
  return value;
}

float PayloadCursor::Float(const char* field) {
  float value;
  Read(&value, sizeof value, field);
  return value;
}

std::string PayloadCursor::String(const char* field) {
  auto rest = payload_.subspan(position_);
  auto zero = std::find(rest.begin(), rest.end(), uint8_t{0});
  if (zero == rest.end()) {
    Fail("string '" + std::string(field) + "' has no terminating zero before the end of the " +
         "payload (" + std::to_string(rest.size()) + " bytes left)");
  }
  std::string text(rest.begin(), zero);
  position_ += text.size() + 1;
  return text;
}

uint32_t PayloadCursor::Count(const char* field) {
  uint64_t offset = Offset();
  int32_t count = Int(field);
  if (count < 0) {
    throw ReadError(offset, "chunk " + ToString(chunkId_) + " (starts at " +
                                std::to_string(chunkOffset_) + "): negative count " +
                                std::to_string(count) + " in field '" + field + "'");
  }
  return static_cast<uint32_t>(count);
}

uint32_t PayloadCursor::ItemCount(const char* field, size_t itemSize) {
  const uint32_t count = Count(field);
  const uint64_t bytes = static_cast<uint64_t>(count) * itemSize;
  if (bytes > Remaining()) {
    Fail(std::string(field) + " " + std::to_string(count) + " needs " + std::to_string(bytes) +
         " bytes, only " + std::to_string(Remaining()) + " left");
  }
  return count;
}

}  // namespace kiln::reader
