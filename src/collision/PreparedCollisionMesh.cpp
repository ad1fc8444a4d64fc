#include "collision/PreparedCollisionMesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "collision/RoundingBounds.h"
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

double Distance(const Point3& a, const Point3& b) {
  const double x = double(a.x) - b.x, y = double(a.y) - b.y, z = double(a.z) - b.z;
  return std::sqrt(x * x + y * y + z * z);
}

}  // namespace

PreparedCollisionMesh::PreparedCollisionMesh(std::span<const Point3> corners,
                                             const LineBounds& lines)
    : bvh(corners),
      bounds(lines),
      caster(bvh, lines),
      tooSmall(TooSmallForTheTest(bvh.Triangles(), std::max(lines.maxDirection, 1.0))) {}

bool TooSmallForTheTest(std::span<const CollisionBvh::Triangle> triangles, double direction) {
  for (const CollisionBvh::Triangle& tri : triangles) {
    const Point3 e1 = tri.v1 - tri.v0, e2 = tri.v2 - tri.v0;
    const double n[3] = {double(e1.y) * e2.z - double(e1.z) * e2.y,
                         double(e1.z) * e2.x - double(e1.x) * e2.z,
                         double(e1.x) * e2.y - double(e1.y) * e2.x};
    const double a = Distance(tri.v1, tri.v0), b = Distance(tri.v2, tri.v0);
    const double most = direction * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) * 1.001 +
                        rounding::DeterminantError(direction, a * b * 1.001, std::max(a, b));
    if (!(most < kDeterminantThreshold)) return false;
  }
  return true;
}

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
