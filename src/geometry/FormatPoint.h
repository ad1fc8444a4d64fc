#pragma once
#include <string>

#include "host/Point3.h"

namespace kiln {

// "%f %f %f" of x, y, z, as settings-file values carry points. Each call
// returns its own text.
std::string FormatPoint(const Point3& p);

}  // namespace kiln
