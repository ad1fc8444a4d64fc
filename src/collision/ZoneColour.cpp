#include "collision/ZoneColour.h"

#include <cmath>
#include <cstring>

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

ZonePalette::ZonePalette(const BMM_Color_48 (&entries)[256]) {
  for (size_t i = 0; i < colours_.size(); ++i) {
    colours_[i] = {entries[i].r * kChannelScale, entries[i].g * kChannelScale,
                   entries[i].b * kChannelScale, 1.0f};
  }
}

size_t ZonePalette::Hash::operator()(const Bits& bits) const {
  uint64_t h = 0xCBF29CE484222325ull;
  for (uint32_t word : bits) h = (h ^ word) * 0x100000001B3ull;
  return static_cast<size_t>(h);
}

int ZonePalette::Nearest(const BMM_Color_fl& colour, float& distance) {
  Bits bits;
  std::memcpy(bits.data(), &colour, sizeof bits);
  auto [it, added] = known_.try_emplace(bits, Found{-1, 1000.0f});
  Found& found = it->second;
  if (added) {
    for (int i = 0; i < static_cast<int>(colours_.size()); ++i) {
      const BMM_Color_fl& entry = colours_[i];
      const float d = std::fabs(colour.r - entry.r) + std::fabs(colour.g - entry.g) +
                      std::fabs(colour.b - entry.b) + std::fabs(colour.a - entry.a);
      if (d < found.distance) found = {i, d};
    }
  }
  distance = found.distance;
  return found.index;
}

bool FindZoneByColour(float u, float v, BitmapStorage* storage, int width, int height,
                      ZonePalette& palette, int& zone) {
  const int x = TexelOf(u, width), y = TexelOf(1.0f - v, height);
  BMM_Color_fl texel;
  if (storage == nullptr || !storage->GetLinearPixels(x, y, 1, &texel)) {
    LogWarning(CurrentLog, "Error getting pixel from collision map..\n");
    return false;
  }
  float distance = 0.0f;
  const int found = palette.Nearest(texel, distance);
  if (found < 0) {
    LogWarning(CurrentLog, "Error finding color in collision palette..\n");
    return false;
  }
  if (found == 4) {
    LogInfo(CurrentLog,
            "Col 4 found, col diff: %f, col %f, %f, %f, tex coords: %d, %d, orig coords: %f, %f",
            distance, texel.r, texel.g, texel.b, x, y, u, v);
  }
  zone = found;
  return true;
}

}  // namespace kiln
