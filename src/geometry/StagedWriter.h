#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "io/CZX9_DiskWriter.h"

namespace kiln {

// Gathers small values in a fixed buffer and hands them to the writer in
// blocks: large arrays cost neither one writer call per value nor a copy of
// the whole array. Values go out as their bytes (the format and every
// machine this builds for are little-endian). Flush before the writer is used
// directly again.
static_assert(std::endian::native == std::endian::little,
              "staged values are written as their little-endian bytes");

class StagedWriter {
 public:
  explicit StagedWriter(CZX9_DiskWriter& writer) : writer_(writer) {}

  template <typename T>
  void Put(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (used_ + sizeof(T) > buffer_.size()) Flush();
    std::memcpy(buffer_.data() + used_, &value, sizeof(T));
    used_ += sizeof(T);
  }
  void Flush() {
    writer_.WriteBytes(buffer_.data(), used_);
    used_ = 0;
  }

 private:
  CZX9_DiskWriter& writer_;
  std::array<unsigned char, 16384> buffer_;
  size_t used_ = 0;
};

}  // namespace kiln
