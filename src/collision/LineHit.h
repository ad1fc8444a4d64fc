#pragma once
#include <cstdint>

namespace kiln {

// A line's crossing with a triangle of a collision mesh: the line parameter t
// (the crossing is origin + t x direction) and the barycentrics u, v of the
// crossing (weights of the triangle's second and third corners).
struct LineCrossing {
  float t = 0.0f;
  float u = 0.0f;
  float v = 0.0f;
};

// The crossing a cast keeps: the smallest t below kNoCrossing, and among
// equal t the lowest face index. face is -1 when no crossing was kept.
struct LineHit {
  int32_t face = -1;
  LineCrossing crossing;
  bool Hit() const { return face >= 0; }
};

// A cast starts with this as its best t: only crossings below it are kept.
constexpr double kNoCrossing = 1e10;

// The determinant threshold of the line–triangle test: crossings whose
// determinant is smaller in magnitude are not counted.
constexpr double kDeterminantThreshold = 0.0001;

// True when the crossing (t, face) replaces best: a smaller t, or an equal t
// on a lower face; t must be below kNoCrossing.
inline bool Replaces(const LineCrossing& crossing, int32_t face, const LineHit& best) {
  const double t = crossing.t;
  if (!(t < kNoCrossing)) return false;
  if (!best.Hit()) return true;
  return t < best.crossing.t || (t == best.crossing.t && face < best.face);
}

}  // namespace kiln
