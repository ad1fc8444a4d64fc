#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "standalone/Images.h"

namespace kiln::standalone {

// Little-endian reads from an image file's bytes; reading past the end is
// an ImageError naming the format and what was being read.
class ImageBytes {
 public:
  ImageBytes(std::span<const uint8_t> bytes, const char* format) : bytes_(bytes), format_(format) {}

  size_t Size() const { return bytes_.size(); }
  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }
  void Seek(uint64_t position, const char* what) {
    if (position > bytes_.size()) Fail(std::string(what) + " lies past the end of the file");
    position_ = static_cast<size_t>(position);
  }
  void Skip(uint64_t count, const char* what) { Seek(position_ + count, what); }
  uint8_t U8(const char* what) {
    Need(1, what);
    return bytes_[position_++];
  }
  uint16_t U16(const char* what) {
    Need(2, what);
    uint16_t v = static_cast<uint16_t>(bytes_[position_] | bytes_[position_ + 1] << 8);
    position_ += 2;
    return v;
  }
  uint32_t U32(const char* what) {
    Need(4, what);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | bytes_[position_ + i];
    position_ += 4;
    return v;
  }
  // The next count bytes, which must be there.
  std::span<const uint8_t> Take(uint64_t count, const char* what) {
    Need(count, what);
    auto out = bytes_.subspan(position_, static_cast<size_t>(count));
    position_ += static_cast<size_t>(count);
    return out;
  }
  [[noreturn]] void Fail(const std::string& problem) const {
    throw ImageError(std::string(format_) + ": " + problem);
  }

 private:
  void Need(uint64_t count, const char* what) {
    if (count > Remaining()) Fail(std::string("the file ends inside the ") + what);
  }

  std::span<const uint8_t> bytes_;
  const char* format_;
  size_t position_ = 0;
};

}  // namespace kiln::standalone
