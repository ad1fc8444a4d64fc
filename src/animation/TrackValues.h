#pragma once
#include "host/Matrix3.h"
#include "host/Time.h"

class INode;

namespace kiln {

// The parts of a node's transform relative to its parent, as tracks write
// their current values: k, q and u multiplied by the determinant sign f, t by
// the export scale. Every part is finite, even for a collapsed transform.
struct TrackParts {
  Point3 t;
  Quat q;
  Quat u;
  Point3 k{1.0f, 1.0f, 1.0f};
  float f = 1.0f;
};
TrackParts DecomposeForTracks(const Matrix3& local);

// The node's transform relative to its parent's node transform at t, as the
// sampled track reads it (GetNodeTM times the inverse of GetParentTM).
Matrix3 SampledLocalTransform(INode* node, TimeValue t);

// The matrix with every entry that is not finite set to 0.
Matrix3 FiniteMatrix(const Matrix3& m);

}  // namespace kiln
