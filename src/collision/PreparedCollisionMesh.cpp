#include "collision/PreparedCollisionMesh.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/Mesh.h"

namespace kiln {

namespace {

struct Kept {
  std::vector<Point3> verts;
  std::vector<Face> faces;
  std::shared_ptr<const PreparedCollisionMesh> prepared;
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

std::shared_ptr<const PreparedCollisionMesh> PrepareCollisionMesh(const Mesh& mesh) {
  Kept& kept = TheKept();
  if (kept.prepared && SameBytes(kept.verts, mesh.verts) && SameBytes(kept.faces, mesh.faces))
    return kept.prepared;
  std::vector<Point3> corners;
  corners.reserve(mesh.faces.size() * 3);
  Box3 box;
  for (const Face& face : mesh.faces) {
    for (uint32_t v : face.v) {
      const Point3& p = mesh.verts[v];
      corners.push_back(p);
      for (int i = 0; i < 3; ++i) {
        box.pmin[i] = std::min(box.pmin[i], p[i]);
        box.pmax[i] = std::max(box.pmax[i], p[i]);
      }
    }
  }
  LineBounds bounds{1.0 - 0x1p-12, 1.0 + 0x1p-12, {}, {}};
  const Point3 size = box.pmax - box.pmin;
  const float grow = std::max({size.x, size.y, size.z});
  bounds.originLo = box.pmin - Point3(grow, grow, grow);
  bounds.originHi = box.pmax + Point3(grow, grow, grow);
  kept.prepared = std::make_shared<const PreparedCollisionMesh>(corners, bounds);
  kept.verts = mesh.verts;
  kept.faces = mesh.faces;
  return kept.prepared;
}

void ReleaseCollisionMesh() {
  TheKept() = Kept{};
}

}  // namespace kiln
