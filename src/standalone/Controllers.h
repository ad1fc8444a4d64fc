#pragma once
#include <memory>
#include <string>

#include "host/Control.h"
#include "host/Matrix3.h"

namespace kiln::standalone {

// A scale with the orientation of the axes it stretches along.
struct ScaleWithAxis {
  Point3 scale{1.0f, 1.0f, 1.0f};
  Quat axis;
  friend bool operator==(const ScaleWithAxis&, const ScaleWithAxis&) = default;
};

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

// The key interpolations the exporter knows; each is a controller class per value type.
enum class Interpolation { kBezier, kTCB, kLinear };
const char* InterpolationName(Interpolation interpolation);  // "bezier", "tcb", "linear"

// Value types a controller animates, with their super class and class ids.
enum class ValueKind { kFloat, kPosition, kRotation, kScale };
SClass_ID ControllerSuperClass(ValueKind kind);
Class_ID ControllerClassId(ValueKind kind, Interpolation interpolation);
std::string ControllerClassName(ValueKind kind, Interpolation interpolation);
// The interpolation whose controller class this is, if it is one of them.
bool FindInterpolation(ValueKind kind, Class_ID id, Interpolation* interpolation);

template <typename T>
struct ValueTraits;
template <>
struct ValueTraits<float> {
  static constexpr ValueKind kKind = ValueKind::kFloat;
  static constexpr Interpolation kDefault = Interpolation::kBezier;
  static float Identity() { return 0.0f; }
};
template <>
struct ValueTraits<Point3> {
  static constexpr ValueKind kKind = ValueKind::kPosition;
  static constexpr Interpolation kDefault = Interpolation::kBezier;
  static Point3 Identity() { return {}; }
};
template <>
struct ValueTraits<Quat> {
  static constexpr ValueKind kKind = ValueKind::kRotation;
  static constexpr Interpolation kDefault = Interpolation::kTCB;
  static Quat Identity() { return {}; }
};
template <>
struct ValueTraits<ScaleWithAxis> {
  static constexpr ValueKind kKind = ValueKind::kScale;
  static constexpr Interpolation kDefault = Interpolation::kBezier;
  static ScaleWithAxis Identity() { return {}; }
};

// A controller of one value. It holds one static value; keyframes join it
// later, and ValueAt is the one place that will interpolate them.
template <typename T>
class ValueController : public Control {
 public:
  using Traits = ValueTraits<T>;
  explicit ValueController(T value = Traits::Identity(),
                           Interpolation interpolation = Traits::kDefault)
      : value(value),
        classId_(ControllerClassId(Traits::kKind, interpolation)),
        className_(ControllerClassName(Traits::kKind, interpolation)) {}

  Class_ID ClassID() override { return classId_; }
  SClass_ID SuperClassID() override { return ControllerSuperClass(Traits::kKind); }
  std::string GetClassName() override { return className_; }

  // Makes this controller claim another class (for controllers the standalone
  // host does not model, such as a script controller holding a constant).
  void SetClass(Class_ID id, std::string name) {
    classId_ = id;
    className_ = std::move(name);
  }

  T ValueAt(TimeValue t) const {
    (void)t;
    return value;
  }

  T value;

 private:
  Class_ID classId_;
  std::string className_;
};

using FloatController = ValueController<float>;
using PositionController = ValueController<Point3>;
using RotationController = ValueController<Quat>;
using ScaleController = ValueController<ScaleWithAxis>;

// A node's transform controller: gives the node's world transform from its parent's.
class TransformController : public Control {
 public:
  SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
  virtual Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) = 0;
};

// Position/rotation/scale controller. Each part may be missing (artists'
// scenes and other tools produce such nodes); a missing part is the identity.
// The roll controller is data only: it turns nothing without a look-at.
class PRSController : public TransformController {
 public:
  Class_ID ClassID() override { return PRS_CONTROL_CLASS_ID; }
  std::string GetClassName() override { return "Position/Rotation/Scale"; }
  Control* GetPositionController() override { return position.get(); }
  Control* GetRotationController() override { return rotation.get(); }
  Control* GetScaleController() override { return scale.get(); }
  Control* GetRollController() override { return roll.get(); }

  TransformParts PartsAt(TimeValue t) const;
  Matrix3 LocalTM(TimeValue t) const { return ComposeTransform(PartsAt(t)); }
  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override { return LocalTM(t) * parentTM; }

  // A controller with all three parts at the given values.
  static std::unique_ptr<PRSController> WithParts(const TransformParts& parts);

  std::unique_ptr<PositionController> position;
  std::unique_ptr<RotationController> rotation;
  std::unique_ptr<ScaleController> scale;
  std::unique_ptr<FloatController> roll;
};

}  // namespace kiln::standalone
