#pragma once
#include "standalone/Controllers.h"

namespace kiln::standalone {

// The class of the look-at transform that target cameras and target lights
// carry in place of a position/rotation/scale controller.
constexpr Class_ID kLookAtTransformClassId{0x2006, 0};

// A transform with position, roll and scale parts and no rotation part: the
// node stands at its position (relative to its parent), looks along its own
// -z axis at its target node (INode::GetTarget) with its y axis as near to
// the world's +z as it can be, turned about the view axis by the roll, and is
// scaled in its own axes. The look is taken in world space, so the parent's
// rotation and scale move where the node stands, not where it looks. Without
// a target (or with the target where the node stands) the node keeps the
// world's axes.
class LookAtTransform final : public PRSController {
 public:
  // Position, roll and scale at the identity; no rotation part.
  LookAtTransform();

  Class_ID ClassID() override { return kLookAtTransformClassId; }
  std::string GetClassName() override { return "Look At"; }
  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override;
  Matrix3 LocalTM(TimeValue t, const Matrix3& parentTM) override {
    return WorldTM(t, parentTM) * Inverse(parentTM);
  }
};

// The rotation (rows x, y, z; no translation) of an eye at eye looking at
// target with the given roll (radians): -z toward the target, y toward the
// world's +z (the world's +y when the view is vertical), then turned about
// z by roll, counter-clockwise as the right hand turns about +z.
Matrix3 LookAtRotation(const Point3& eye, const Point3& target, float roll);

}  // namespace kiln::standalone
