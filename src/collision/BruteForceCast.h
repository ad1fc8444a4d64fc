#pragma once
#include <span>

#include "collision/LineHit.h"
#include "host/Point3.h"

namespace kiln {

// The line o + t d against every triangle in face order (corners: three per
// face, face f's at 3f). The reference the hierarchy must equal bit for bit;
// the benchmarks and tests measure against it.
LineHit CastBruteForce(std::span<const Point3> corners, const Point3& o, const Point3& d);

}  // namespace kiln
