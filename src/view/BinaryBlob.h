#pragma once
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <vector>

namespace kiln::view {

// The numeric arrays of a page, packed one after another into one buffer
// that the page decodes once and views as typed arrays. Every array starts
// on a four-byte boundary so a Float32Array or Int32Array can view it in place.
class BinaryBlob {
 public:
  // Appends the values and returns {"o": byte offset, "n": element count}.
  template <typename T>
  nlohmann::json Add(std::span<const T> values) {
    Align();
    const size_t offset = bytes_.size();
    bytes_.resize(offset + values.size_bytes());
    if (!values.empty()) std::memcpy(bytes_.data() + offset, values.data(), values.size_bytes());
    return {{"o", offset}, {"n", values.size()}};
  }
  template <typename T>
  nlohmann::json Add(const std::vector<T>& values) {
    return Add(std::span<const T>(values));
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  void Align() { bytes_.resize((bytes_.size() + 3) & ~size_t{3}); }
  std::vector<uint8_t> bytes_;
};

// Standard base64 with padding.
std::string Base64(std::span<const uint8_t> bytes);

}  // namespace kiln::view
