#pragma once
#include <string>

namespace kiln {

class CZX9_DiskWriter;

// Writes the indexed texture record of a square bitmap: its file name
// without folder, its width, the palette flag (1 paletted, 0 not) and, when
// paletted, one palette index a texel, rows from the top, each from the left.
// A texel's index is the first palette entry whose colour lies within 1/256
// (summed over red, green, blue and alpha) of the texel's colour.
//
// False when the bitmap cannot be loaded ("Error loading texture: %s"), is
// not square ("Texture %s isn't square (%dx%d)", after the name is
// written), or has a texel no palette entry matches (no message; the record
// is incomplete). A bitmap without a palette gets the warning "Texture %s
// has no palette"; a palette entry that repeats an earlier one the warning
// "Texture %s: palette entry %d repeats entry %d" (the first repetition only).
bool WriteIndexedTexture(CZX9_DiskWriter& writer, const std::string& path);

}  // namespace kiln
