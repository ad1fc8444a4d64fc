// Hand-made chunk files for the reader's bad-input tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace kiln::testing {

using Bytes = std::vector<uint8_t>;

// Appends little-endian double words, as the writer lays them out.
inline void AppendDWords(Bytes& bytes, std::initializer_list<uint32_t> dwords) {
  for (uint32_t value : dwords) {
    uint8_t raw[4];
    std::memcpy(raw, &value, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
  }
}

}  // namespace kiln::testing
