#pragma once
#include <array>

#include "host/Bitmap.h"

namespace kiln {

// The palette of a collision or damage bitmap as floating-point colours:
// each 16-bit channel times 2^-16 (not 1/65535), alpha 1.0.
using PaletteColours = std::array<BMM_Color_fl, 256>;
PaletteColours ToPaletteColours(const BMM_Color_48 (&entries)[256]);

// The damage zone at texture coordinate (u, v) of a collision bitmap of
// width x height texels: the texel (x, y) with x = (width - 1) u and
// y = (height - 1) (1 - v), each limited to the bitmap and rounded to the
// nearest texel (+ 0.5, truncated), and of the palette the entry nearest its
// colour (sum of the four channels' differences; the lowest index among
// equals; only distances below 1000). False, with the warning "Error getting
// pixel from collision map..\n" or "Error finding color in collision
// palette..\n", when the texel cannot be read or no entry is near enough.
bool FindZoneByColour(float u, float v, BitmapStorage* storage, int width, int height,
                      const PaletteColours& palette, int& zone);

}  // namespace kiln
