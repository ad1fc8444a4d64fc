// libFuzzer target: triangles and lines read from the bytes (small integers
// scaled by a power of two, so that shared edges, duplicated triangles and
// exact ties are common, or raw floats of any size) are cast through the
// hierarchy and by the brute-force loop; the kept crossings must be the same
// bits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "collision/BruteForceCast.h"
#include "collision/BvhCaster.h"

namespace {

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // A coordinate: a small integer times 2^scale, or with raw set the next four bytes as a float.
  float Coordinate(int scale, bool raw) {
    if (!raw) return std::ldexp(static_cast<float>(static_cast<int8_t>(Byte()) % 9), scale);
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= uint32_t(Byte()) << (8 * i);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
  }
  Point3 Point(int scale, bool raw) {
    const float x = Coordinate(scale, raw), y = Coordinate(scale, raw);
    return {x, y, Coordinate(scale, raw)};
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in(data, size);
  const uint8_t mode = in.Byte();
  const bool raw = mode & 1;
  const int scale = int(mode >> 1 & 15) - 8;  // 2^-8 to 2^7
  const size_t faces = in.Byte() % 64, lines = 1 + in.Byte() % 32;
  std::vector<Point3> corners;
  for (size_t i = 0; i < 3 * faces; ++i) corners.push_back(in.Point(scale, raw));
  kiln::LineBounds bounds{1.0, 1.0, {}, {}};
  std::vector<std::pair<Point3, Point3>> cast;
  for (size_t i = 0; i < lines && !in.Empty(); ++i) {
    const Point3 o = in.Point(scale, raw), to = in.Point(scale, raw);
    Point3 d = Normalize(to - o);
    if (in.Byte() & 1) d = to - o;  // not normalised: the caster tests every triangle
    cast.emplace_back(o, d);
  }
  if (cast.empty()) return 0;
  bounds.originLo = bounds.originHi = cast[0].first;
  for (const auto& [o, d] : cast) {
    for (int k = 0; k < 3; ++k) {
      bounds.originLo[k] = std::fmin(bounds.originLo[k], o[k]);
      bounds.originHi[k] = std::fmax(bounds.originHi[k], o[k]);
    }
  }
  bounds.minDirection = 1.0 - 0x1p-12, bounds.maxDirection = 1.0 + 0x1p-12;
  const kiln::CollisionBvh bvh(corners);
  const kiln::BvhCaster caster(bvh, bounds);
  for (const auto& [o, d] : cast) {
    const kiln::LineHit brute = kiln::CastBruteForce(corners, o, d);
    const kiln::LineHit fast = caster.Cast(o, d);
    if (fast.face != brute.face ||
        (brute.Hit() && std::memcmp(&fast.crossing, &brute.crossing, sizeof brute.crossing) != 0))
      std::abort();
  }
  return 0;
}
