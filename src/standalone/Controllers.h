#pragma once
#include <memory>
#include <string>

#include "host/Control.h"
#include "host/Matrix3.h"
#include "standalone/KeyframeController.h"
#include "standalone/ValueControl.h"

namespace kiln::standalone {

// Position, rotation and scale of a transform, composed the way the host
// composes them (row vectors, applied left to right):
//   M = Inverse(R(axis)) * S(scale) * R(axis) * R(rotation) * T(position)
// so that decomp_affine of M gives the parts back.
struct TransformParts {
  Point3 position;
  Quat rotation;
  ScaleWithAxis scale;
  friend bool operator==(const TransformParts&, const TransformParts&) = default;
};
Matrix3 ComposeTransform(const TransformParts& parts);

// A node's transform controller: gives the node's world transform from its parent's.
class TransformController : public Control {
 public:
  SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
  int EnumDependents(DependentEnumProc* proc) override { return EnumSceneDependents(this, proc); }
  virtual Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) = 0;
  // The transform relative to parentTM before any solver moves it (the
  // forward-kinematics pose an IK solve starts from).
  virtual Matrix3 LocalTM(TimeValue t, const Matrix3& parentTM) {
    return WorldTM(t, parentTM) * Inverse(parentTM);
  }

  // The node this controller moves; set when the node takes the controller.
  SceneNode* owner = nullptr;
};

// Position/rotation/scale controller. Each part may be missing (artists'
// scenes and other tools produce such nodes); a missing part is the identity.
// The position is evaluated first, so a rotation that looks at other nodes
// (a look-at constraint) sees the node where it stands. The roll controller
// is data only: it turns nothing without a look-at.
class PRSController : public TransformController {
 public:
  Class_ID ClassID() override { return PRS_CONTROL_CLASS_ID; }
  std::string GetClassName() override { return "Position/Rotation/Scale"; }
  Control* GetPositionController() override { return position.get(); }
  Control* GetRotationController() override { return rotation.get(); }
  Control* GetScaleController() override { return scale.get(); }
  Control* GetRollController() override { return roll.get(); }

  TransformParts PartsAt(TimeValue t, const Matrix3& parentTM) const;
  Matrix3 LocalTM(TimeValue t, const Matrix3& parentTM) override {
    return ComposeTransform(PartsAt(t, parentTM));
  }
  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override {
    return LocalTM(t, parentTM) * parentTM;
  }

  // A controller with all three parts at the given values.
  static std::unique_ptr<PRSController> WithParts(const TransformParts& parts);
  // Gives this controller keyframe parts at the given values.
  void SetParts(const TransformParts& parts);

  std::unique_ptr<PositionControl> position;
  std::unique_ptr<RotationControl> rotation;
  std::unique_ptr<ScaleControl> scale;
  std::unique_ptr<FloatControl> roll;
};

}  // namespace kiln::standalone
