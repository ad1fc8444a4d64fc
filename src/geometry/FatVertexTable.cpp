#include "geometry/FatVertexTable.h"

#include <bit>

namespace kiln {
namespace {

// Bits of a float as a hash key: -0.0 hashes as 0.0, since the two are equal.
inline uint32_t KeyBits(float value) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  return bits == 0x80000000u ? 0u : bits;
}

inline bool IsNanBits(uint32_t bits) {
  return (bits & 0x7FFFFFFFu) > 0x7F800000u;
}

// Hash of the compared attributes; sets hasNan when one of them is a NaN.
uint32_t HashCorner(const FatVertex& v, bool& hasNan) {
  uint32_t words[14];
  size_t n = 0;
  words[n++] = static_cast<uint32_t>(v.materialId);
  words[n++] = v.smoothingGroup ^ (v.hasUv ? 0x40000000u : 0u) ^ (v.hasColour ? 0x20000000u : 0u);
  words[n++] = KeyBits(v.position.x);
  words[n++] = KeyBits(v.position.y);
  words[n++] = KeyBits(v.position.z);
  words[n++] = KeyBits(v.normal.x);
  words[n++] = KeyBits(v.normal.y);
  words[n++] = KeyBits(v.normal.z);
  if (v.hasUv) {
    words[n++] = KeyBits(v.uv.x);
    words[n++] = KeyBits(v.uv.y);
  }
  if (v.hasColour) {
    for (float channel : v.colour) words[n++] = KeyBits(channel);
  }
  // Words 0 and 1 are integers; the rest are floats, where a NaN may hide.
  bool nan = false;
  uint64_t h = 0x9E3779B97F4A7C15ull;
  for (size_t i = 0; i < n; ++i) {
    if (i >= 2) nan |= IsNanBits(words[i]);
    h = (h ^ words[i]) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
  }
  hasNan = nan;
  h ^= h >> 32;
  return static_cast<uint32_t>(h);
}

inline bool Equal(const FatVertex& a, const FatVertex& b) {
  if (a.materialId != b.materialId || a.smoothingGroup != b.smoothingGroup || a.hasUv != b.hasUv ||
      a.hasColour != b.hasColour)
    return false;
  if (!(a.position == b.position) || !(a.normal == b.normal)) return false;
  if (a.hasUv && (a.uv.x != b.uv.x || a.uv.y != b.uv.y)) return false;
  if (a.hasColour && (a.colour[0] != b.colour[0] || a.colour[1] != b.colour[1] ||
                      a.colour[2] != b.colour[2] || a.colour[3] != b.colour[3]))
    return false;
  return true;
}

}  // namespace

void FatVertexTable::Reserve(size_t expectedVertices) {
  vertices_.reserve(expectedVertices);
  size_t slots = 16;
  while (slots < expectedVertices * 2) slots *= 2;
  if (slots > slots_.size()) Rehash(slots);
}

void FatVertexTable::Rehash(size_t slotCount) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slotCount, Slot());
  const size_t mask = slotCount - 1;
  for (const Slot& slot : old) {
    if (slot.indexPlusOne == 0) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].indexPlusOne != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

int32_t FatVertexTable::FindOrCreate(const FatVertex& corner) {
  bool hasNan = false;
  const uint32_t hash = HashCorner(corner, hasNan);
  const auto appended = static_cast<int32_t>(vertices_.size());
  if (hasNan) {
    vertices_.push_back(corner);
    return appended;
  }
  // Keep the table at most half full.
  if ((indexed_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].indexPlusOne != 0) {
    const Slot& slot = slots_[i];
    if (slot.hash == hash && Equal(vertices_[slot.indexPlusOne - 1], corner))
      return static_cast<int32_t>(slot.indexPlusOne - 1);
    i = (i + 1) & mask;
  }
  slots_[i] = {hash, static_cast<uint32_t>(appended) + 1};
  ++indexed_;
  vertices_.push_back(corner);
  return appended;
}

}  // namespace kiln
