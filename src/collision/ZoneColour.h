#pragma once
#include <array>
#include <cstdint>
#include <unordered_map>

#include "host/Bitmap.h"

namespace kiln {

// The palette of a collision bitmap as floating-point colours (each 16-bit
// channel times 2^-16, not 1/65535; alpha 1.0), and the entry nearest a
// colour: the smallest sum of the four channels' differences, the lowest
// index among equals, only below 1000. Remembers the colours it was asked,
// since a paletted bitmap has few.
class ZonePalette {
 public:
  explicit ZonePalette(const BMM_Color_48 (&entries)[256]);
  const std::array<BMM_Color_fl, 256>& Colours() const { return colours_; }
  // The nearest entry's index and its distance; -1 when none lies below 1000.
  int Nearest(const BMM_Color_fl& colour, float& distance);

 private:
  struct Found {
    int index;
    float distance;
  };
  using Bits = std::array<uint32_t, 4>;  // of red, green, blue and alpha
  struct Hash {
    size_t operator()(const Bits& bits) const;
  };
  std::array<BMM_Color_fl, 256> colours_;
  std::unordered_map<Bits, Found, Hash> known_;
};

// The damage zone at texture coordinate (u, v) of a collision bitmap of
// width x height texels: the texel (x, y) with x = (width - 1) u and
// y = (height - 1) (1 - v), each limited to the bitmap and rounded to the
// nearest texel (+ 0.5, truncated), and the palette entry nearest its
// colour. False, with the warning "Error getting pixel from collision
// map..\n" or "Error finding color in collision palette..\n", when the texel
// cannot be read or no entry is near enough. Zone 4 logs the information
// "Col 4 found, ...".
bool FindZoneByColour(float u, float v, BitmapStorage* storage, int width, int height,
                      ZonePalette& palette, int& zone);

}  // namespace kiln
