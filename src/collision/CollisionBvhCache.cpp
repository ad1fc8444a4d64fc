#include "collision/CollisionBvhCache.h"

#include <cstring>
#include <vector>

#include "host/Mesh.h"

namespace kiln {

namespace {

struct Kept {
  std::vector<Point3> verts;
  std::vector<Face> faces;
  std::shared_ptr<const CollisionBvh> bvh;
};
Kept& TheKept() {
  static Kept kept;
  return kept;
}

template <typename T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace

std::shared_ptr<const CollisionBvh> CollisionBvhFor(const Mesh& mesh) {
  Kept& kept = TheKept();
  if (kept.bvh && SameBytes(kept.verts, mesh.verts) && SameBytes(kept.faces, mesh.faces))
    return kept.bvh;
  // The faces name existing vertices (the caller checked them).
  std::vector<Point3> corners;
  corners.reserve(mesh.faces.size() * 3);
  for (const Face& face : mesh.faces)
    for (uint32_t v : face.v) corners.push_back(mesh.verts[v]);
  kept.bvh = std::make_shared<const CollisionBvh>(corners);
  kept.verts = mesh.verts;
  kept.faces = mesh.faces;
  return kept.bvh;
}

void ReleaseCollisionBvh() {
  TheKept() = Kept{};
}

}  // namespace kiln
