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

inline uint64_t Pair(uint32_t high, uint32_t low) {
  return (static_cast<uint64_t>(high) << 32) | low;
}

// Hash of the compared attributes; sets hasNan when one of them is a NaN.
// Attributes a vertex does not have hash as zero. Two independent lanes keep
// the multiplications from waiting on each other.
uint32_t HashCorner(const FatVertex& v, bool& hasNan) {
  const uint32_t uvMask = v.hasUv ? ~0u : 0u;
  const uint32_t colourMask = v.hasColour ? ~0u : 0u;
  const uint32_t floats[12] = {KeyBits(v.position.x),
                               KeyBits(v.position.y),
                               KeyBits(v.position.z),
                               KeyBits(v.normal.x),
                               KeyBits(v.normal.y),
                               KeyBits(v.normal.z),
                               KeyBits(v.uv.x) & uvMask,
                               KeyBits(v.uv.y) & uvMask,
                               KeyBits(v.colour[0]) & colourMask,
                               KeyBits(v.colour[1]) & colourMask,
                               KeyBits(v.colour[2]) & colourMask,
                               KeyBits(v.colour[3]) & colourMask};
  bool nan = false;
  for (uint32_t bits : floats) nan |= IsNanBits(bits);
  hasNan = nan;

  const uint32_t flags = (v.hasUv ? 1u : 0u) | (v.hasColour ? 2u : 0u);
  constexpr uint64_t kMul = 0xBF58476D1CE4E5B9ull;
  uint64_t a =
      (Pair(static_cast<uint32_t>(v.materialId), v.smoothingGroup) ^ 0x9E3779B97F4A7C15ull) * kMul;
  uint64_t b = (Pair(floats[0], floats[1]) ^ flags) * kMul;
  a = ((a ^ (a >> 29)) ^ Pair(floats[2], floats[3])) * kMul;
  b = ((b ^ (b >> 29)) ^ Pair(floats[4], floats[5])) * kMul;
  a = ((a ^ (a >> 29)) ^ Pair(floats[6], floats[7])) * kMul;
  b = ((b ^ (b >> 29)) ^ Pair(floats[8], floats[9])) * kMul;
  a = ((a ^ (a >> 29)) ^ Pair(floats[10], floats[11])) * kMul;
  uint64_t h = a ^ std::rotl(b, 31);
  h = (h ^ (h >> 32)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>(h ^ (h >> 29));
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
