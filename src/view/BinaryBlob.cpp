#include "view/BinaryBlob.h"

namespace kiln::view {

std::string Base64(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
    text += kDigits[v >> 18];
    text += kDigits[(v >> 12) & 63];
    text += kDigits[(v >> 6) & 63];
    text += kDigits[v & 63];
  }
  const size_t left = bytes.size() - i;
  if (left > 0) {
    uint32_t v = uint32_t{bytes[i]} << 16;
    if (left == 2) v |= uint32_t{bytes[i + 1]} << 8;
    text += kDigits[v >> 18];
    text += kDigits[(v >> 12) & 63];
    text += left == 2 ? kDigits[(v >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

}  // namespace kiln::view
