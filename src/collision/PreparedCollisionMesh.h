#pragma once
#include <memory>

#include "collision/BvhCaster.h"
#include "collision/CollisionBvh.h"

class Mesh;

namespace kiln {

// A collision mesh's hierarchy with a caster for the lines a car's meshes
// cast at it: directions of unit length (within 2^-12) from origins inside
// the mesh's box grown by its largest extent on every side.
struct PreparedCollisionMesh {
  PreparedCollisionMesh(std::span<const Point3> corners, const LineBounds& lines);
  CollisionBvh bvh;
  LineBounds bounds;
  BvhCaster caster;
  // No line within bounds can cross any triangle (TooSmallForTheTest).
  bool tooSmall = false;
};

// True when no triangle can give a determinant at the threshold for a
// direction of length up to direction, however the test rounds.
bool TooSmallForTheTest(std::span<const CollisionBvh::Triangle> triangles, double direction);

// The prepared collision mesh of a mesh whose faces name existing vertices.
// A car's meshes mostly share one collision mesh, so the last one is kept
// and given again while the mesh's vertices and faces are the same, byte for
// byte.
std::shared_ptr<const PreparedCollisionMesh> PrepareCollisionMesh(const Mesh& mesh);

// Lets the kept collision mesh go (at the end of a car export).
void ReleaseCollisionMesh();

}  // namespace kiln
