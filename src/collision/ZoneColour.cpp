#include "collision/ZoneColour.h"

#include <cmath>

#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

namespace {

constexpr float kChannelScale = 0.0000152587890625f;  // 2^-16

// (size - 1) x coordinate, limited to [0, size - 1], + 0.5, truncated. A
// coordinate that is not a number reads the first texel.
int TexelOf(float coordinate, int size) {
  const float last = static_cast<float>(size > 0 ? size - 1 : 0);
  float x = static_cast<float>(size - 1) * coordinate;
  if (!(x > 0.0f)) x = 0.0f;
  if (x > last) x = last;
  return static_cast<int>(static_cast<double>(x) + 0.5);
}

}  // namespace

PaletteColours ToPaletteColours(const BMM_Color_48 (&entries)[256]) {
  PaletteColours colours;
  for (size_t i = 0; i < colours.size(); ++i) {
    colours[i] = {entries[i].r * kChannelScale, entries[i].g * kChannelScale,
                  entries[i].b * kChannelScale, 1.0f};
  }
  return colours;
}

bool FindZoneByColour(float u, float v, BitmapStorage* storage, int width, int height,
                      const PaletteColours& palette, int& zone) {
  const int x = TexelOf(u, width), y = TexelOf(1.0f - v, height);
  BMM_Color_fl texel;
  if (storage == nullptr || !storage->GetLinearPixels(x, y, 1, &texel)) {
    LogWarning(CurrentLog, "Error getting pixel from collision map..\n");
    return false;
  }
  float best = 1000.0f;
  int found = -1;
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    const BMM_Color_fl& entry = palette[i];
    const float distance = std::fabs(texel.r - entry.r) + std::fabs(texel.g - entry.g) +
                           std::fabs(texel.b - entry.b) + std::fabs(texel.a - entry.a);
    if (distance < best) {
      best = distance;
      found = i;
    }
  }
  if (found < 0) {
    LogWarning(CurrentLog, "Error finding color in collision palette..\n");
    return false;
  }
  if (found == 4) {
    LogInfo(CurrentLog,
            "Col 4 found, col diff: %f, col %f, %f, %f, tex coords: %d, %d, orig coords: %f, %f",
            best, texel.r, texel.g, texel.b, x, y, u, v);
  }
  zone = found;
  return true;
}

}  // namespace kiln
