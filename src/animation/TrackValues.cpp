#include "animation/TrackValues.h"

#include <cmath>

#include "geometry/AxisExchange.h"
#include "host/DecompAffine.h"
#include "host/INode.h"

namespace kiln {
namespace {

Point3 Finite(const Point3& p, const Point3& otherwise) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) ? p : otherwise;
}

Quat Finite(const Quat& q) {
  return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w)
             ? q
             : Quat();
}

Quat Signed(const Quat& q, float f) {
  return {q.x * f, q.y * f, q.z * f, q.w * f};
}

}  // namespace

TrackParts DecomposeForTracks(const Matrix3& local) {
  AffineParts parts;
  decomp_affine(FiniteMatrix(local), &parts);
  TrackParts out;
  out.f = std::isfinite(parts.f) && parts.f < 0 ? -1.0f : 1.0f;
  out.t = Finite(parts.t * kExportScale, {});
  out.q = Signed(Finite(parts.q), out.f);
  out.u = Signed(Finite(parts.u), out.f);
  out.k = Finite(parts.k, {1.0f, 1.0f, 1.0f}) * out.f;
  return out;
}

Matrix3 SampledLocalTransform(INode* node, TimeValue t) {
  return FiniteMatrix(node->GetNodeTM(t) * Inverse(node->GetParentTM(t)));
}

Matrix3 FiniteMatrix(const Matrix3& m) {
  Matrix3 out = m;
  for (int r = 0; r < 4; ++r) {
    Point3 row = m.GetRow(r);
    for (int c = 0; c < 3; ++c) {
      if (!std::isfinite(row[c])) row[c] = 0.0f;
    }
    out.SetRow(r, row);
  }
  return out;
}

}  // namespace kiln
