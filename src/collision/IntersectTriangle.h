#pragma once
#include "collision/LineHit.h"
#include "host/Point3.h"

namespace kiln {

// The collision mapping's line–triangle test (LineTriangle.h) for callers
// outside src/collision: true, with the crossing's t and barycentrics, when
// the line origin + t direction crosses triangle (v0, v1, v2), from either
// side, with a determinant of at least the threshold.
bool IntersectTriangle(const Point3& origin, const Point3& direction, const Point3& v0,
                       const Point3& v1, const Point3& v2, LineCrossing& crossing);

}  // namespace kiln
