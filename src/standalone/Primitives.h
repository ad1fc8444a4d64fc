#pragma once
#include "host/Mesh.h"

namespace kiln::standalone {

// A box as the host builds one: 8 corners with the pivot at the centre of its
// base, 12 outward-facing triangles, one smoothing group and material id per
// side (bottom, top, front, right, back, left: groups 2, 4, 8, 16, 32, 64 and
// ids 1 to 6), and 4 texture vertices spanning the unit square on every side.
Mesh MakeBox(float width = 1.0f, float length = 1.0f, float height = 1.0f);

}  // namespace kiln::standalone
