#include "collision/LineTriangle.h"

#include "collision/IntersectTriangle.h"

namespace kiln {

bool IntersectTriangle(const Point3& origin, const Point3& direction, const Point3& v0,
                       const Point3& v1, const Point3& v2, LineCrossing& crossing) {
  return CrossLineTriangle(origin, direction, v0, v1, v2, crossing);
}

}  // namespace kiln
