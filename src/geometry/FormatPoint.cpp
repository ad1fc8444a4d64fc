#include "geometry/FormatPoint.h"

#include <cstdio>

namespace kiln {

std::string FormatPoint(const Point3& p) {
  // "%f" of the largest float is 46 characters; three of them fit.
  char text[160];
  std::snprintf(text, sizeof text, "%f %f %f", p.x, p.y, p.z);
  return text;
}

}  // namespace kiln
