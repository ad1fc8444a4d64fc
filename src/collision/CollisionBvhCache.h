#pragma once
#include <memory>

#include "collision/CollisionBvh.h"

class Mesh;

namespace kiln {

// The hierarchy over a collision mesh's triangles. A car's meshes mostly
// share one collision mesh, so the last hierarchy is kept and given again
// while the mesh's vertices and faces are the same, byte for byte.
std::shared_ptr<const CollisionBvh> CollisionBvhFor(const Mesh& mesh);

// Lets the kept hierarchy go (at the end of a car export).
void ReleaseCollisionBvh();

}  // namespace kiln
