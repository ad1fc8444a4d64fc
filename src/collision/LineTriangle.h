#pragma once
// The line–triangle test of the collision mapping as one scalar routine.
//
// The arithmetic is the host's: single-precision Point3 operations in the
// order of DotProd and CrossProd, u + v in float, and only the threshold
// comparison in double. Every cast (the brute-force loop and the hierarchy)
// runs this same routine, and only sources of src/collision include it: the
// build compiles them without floating-point contraction (no fused
// multiply-adds, see CMakeLists.txt), so the test gives the same bits in
// every build and in every caller.
#include <cfloat>

#include "collision/LineHit.h"
#include "host/Point3.h"

#if defined(__FAST_MATH__)
#error "the collision mapping needs IEEE arithmetic: build without -ffast-math"
#endif
static_assert(FLT_EVAL_METHOD == 0, "float operations must round to float");

namespace kiln {

// The host's operations, written out so that they inline into the loops.
// Internal linkage, like the test: each collision source has its own copy.
static inline Point3 CollisionCross(const Point3& a, const Point3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
static inline float CollisionDot(const Point3& a, const Point3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The double-sided test of the line o + t d against triangle (v0, v1, v2):
// the crossing's t and barycentrics when the line crosses it with a
// determinant of at least the threshold.
static inline bool CrossLineTriangle(const Point3& o, const Point3& d, const Point3& v0,
                                     const Point3& v1, const Point3& v2, LineCrossing& out) {
  const Point3 e1 = v1 - v0;
  const Point3 e2 = v2 - v0;
  const Point3 p = CollisionCross(d, e2);
  float det = CollisionDot(e1, p);
  Point3 s;
  if (det <= 0.0f) {
    s = v0 - o;
    det = -det;
  } else {
    s = o - v0;
  }
  if (static_cast<double>(det) < kDeterminantThreshold) return false;
  const float u = CollisionDot(s, p);
  if (u < 0.0f || u > det) return false;
  const Point3 q = CollisionCross(s, e1);
  const float v = CollisionDot(d, q);
  if (v < 0.0f || u + v > det) return false;
  out.t = CollisionDot(e2, q) / det;
  out.u = u / det;
  out.v = v / det;
  return true;
}

}  // namespace kiln
