#include "materials/IndexedTexture.h"

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/Bitmap.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

constexpr int kPaletteSize = 256;
constexpr float kChannelScale = 0.0000152587890625f;  // 2^-16
constexpr float kMatchLimit = 0.00390625f;            // 1/256

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};

float Distance(const BMM_Color_fl& a, const BMM_Color_fl& b) {
  return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b) + std::fabs(a.a - b.a);
}

// The first entry within the match limit of colour; -1 when none is.
int FindIndex(const std::vector<BMM_Color_fl>& palette, const BMM_Color_fl& colour) {
  for (int i = 0; i < kPaletteSize; ++i) {
    if (Distance(palette[i], colour) < kMatchLimit) return i;
  }
  return -1;
}

// Warns of the first palette entry (among the bitmap's own) that an earlier
// entry already matches: texels of its colour are written with the earlier index.
void WarnOfRepeatedEntry(const std::string& path, const std::vector<BMM_Color_fl>& palette,
                         int ownEntries) {
  for (int i = 1; i < ownEntries && i < kPaletteSize; ++i) {
    const int first = FindIndex(palette, palette[i]);
    if (first >= 0 && first < i) {
      LogWarning(CurrentLog, "Texture %s: palette entry %d repeats entry %d", path.c_str(), i,
                 first);
      return;
    }
  }
}

// The palette index of each colour met so far: a paletted bitmap has few
// distinct colours, so most texels are found without a scan.
class IndexCache {
 public:
  explicit IndexCache(const std::vector<BMM_Color_fl>& palette) : palette_(palette) {}
  int Find(const BMM_Color_fl& colour) {
    Key key{};
    std::memcpy(key.data(), &colour, sizeof key);
    auto [it, added] = known_.try_emplace(key, 0);
    if (added) it->second = FindIndex(palette_, colour);
    return it->second;
  }

 private:
  using Key = std::array<uint32_t, 4>;
  struct Hash {
    size_t operator()(const Key& k) const {
      uint64_t h = 0xCBF29CE484222325ull;
      for (uint32_t word : k) h = (h ^ word) * 0x100000001B3ull;
      return static_cast<size_t>(h);
    }
  };
  const std::vector<BMM_Color_fl>& palette_;
  std::unordered_map<Key, int, Hash> known_;
};

}  // namespace

bool WriteIndexedTexture(CZX9_DiskWriter& writer, const std::string& path) {
  BitmapInfo info;
  info.SetName(path.c_str());
  BMMRES status = BMMRES_SUCCESS;
  std::unique_ptr<Bitmap, BitmapDeleter> bitmap(TheManager ? TheManager->Load(&info, &status)
                                                           : nullptr);
  if (!bitmap || status != BMMRES_SUCCESS) {
    LogError(CurrentLog, "Error loading texture: %s", path.c_str());
    return false;
  }
  const size_t separator = path.find_last_of("\\/");
  writer.WriteString(separator == std::string::npos ? path.c_str() : path.c_str() + separator + 1);
  const int width = info.Width(), height = info.Height();
  if (width != height) {
    LogError(CurrentLog, "Texture %s isn't square (%dx%d)", path.c_str(), width, height);
    return false;
  }
  writer.WriteInt(width);

  BitmapStorage* storage = bitmap->Storage();
  BMM_Color_48 entries[kPaletteSize];
  if (!storage || !storage->GetPalette(0, kPaletteSize, entries)) {
    writer.WriteByte(0);
    LogWarning(CurrentLog, "Texture %s has no palette", path.c_str());
    return true;
  }
  writer.WriteByte(1);
  std::vector<BMM_Color_fl> palette(kPaletteSize);
  for (int i = 0; i < kPaletteSize; ++i) {
    palette[i] = {entries[i].r * kChannelScale, entries[i].g * kChannelScale,
                  entries[i].b * kChannelScale, 1.0f};
  }
  WarnOfRepeatedEntry(path, palette, storage->Paletted());

  IndexCache cache(palette);
  std::vector<BMM_Color_fl> row(width);
  std::vector<uint8_t> indices(width);
  for (int y = 0; y < width; ++y) {
    if (!storage->GetLinearPixels(0, y, width, row.data())) return false;
    for (int x = 0; x < width; ++x) {
      const int index = cache.Find(row[x]);
      if (index < 0) {
        writer.WriteBytes(indices.data(), x);
        return false;
      }
      indices[x] = static_cast<uint8_t>(index);
    }
    writer.WriteBytes(indices.data(), indices.size());
  }
  return true;
}

}  // namespace kiln
