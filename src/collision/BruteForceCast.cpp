#include "collision/BruteForceCast.h"

#include "collision/LineTriangle.h"

namespace kiln {

LineHit CastBruteForce(std::span<const Point3> corners, const Point3& o, const Point3& d) {
  LineHit best;
  const size_t faces = corners.size() / 3;
  for (size_t f = 0; f < faces; ++f) {
    LineCrossing crossing;
    if (!CrossLineTriangle(o, d, corners[3 * f], corners[3 * f + 1], corners[3 * f + 2], crossing))
      continue;
    // Face order: a later face replaces only with a strictly smaller t.
    if (static_cast<double>(crossing.t) < (best.Hit() ? best.crossing.t : kNoCrossing)) {
      best.face = static_cast<int32_t>(f);
      best.crossing = crossing;
    }
  }
  return best;
}

}  // namespace kiln
