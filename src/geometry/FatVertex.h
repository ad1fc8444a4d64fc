#pragma once
#include <cstdint>

#include "host/Point3.h"

namespace kiln {

// One distinct corner of a mesh: everything a triangle corner carries. Position
// and normal are in output axes (y and z exchanged). Meshes without texture
// coordinates keep uv (0, 0); meshes without colours keep colour (1, 1, 1, 1).
struct FatVertex {
  int32_t materialId = 0;
  uint32_t smoothingGroup = 0;
  Point3 position;
  Point3 normal;
  Point2 uv;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  bool hasUv = false;
  bool hasColour = false;
};

// One host triangle: its fat vertex indices in output corner order, its
// smoothing groups and its material id.
struct FaceRecord {
  int32_t corner[3] = {0, 0, 0};
  uint32_t smoothingGroup = 0;
  int32_t materialId = 0;
};

}  // namespace kiln
