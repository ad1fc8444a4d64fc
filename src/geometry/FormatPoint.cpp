#include "geometry/FormatPoint.h"

#include "util/TextFormat.h"

namespace kiln {

std::string FormatPoint(const Point3& p) {
  return Point3Text(p.x, p.y, p.z);
}

}  // namespace kiln
