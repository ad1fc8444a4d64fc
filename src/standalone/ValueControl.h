#pragma once
#include <string>
#include <type_traits>

#include "host/Control.h"
#include "host/Matrix3.h"
#include "standalone/DependencyGraph.h"

namespace kiln::standalone {

class SceneNode;

// A scale with the orientation of the axes it stretches along.
struct ScaleWithAxis {
  Point3 scale{1.0f, 1.0f, 1.0f};
  Quat axis;
  friend bool operator==(const ScaleWithAxis&, const ScaleWithAxis&) = default;
};

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

// Per value type: its kind, the default key interpolation, the identity, and
// what a key holds. Rotation keys hold a turn (angle-axis, any number of
// turns) from the previous key; tangents and Bezier lengths are per
// component (unused for rotations); an unset length (-1) is a third.
template <typename T>
struct ValueTraits;
template <>
struct ValueTraits<float> {
  static constexpr ValueKind kKind = ValueKind::kFloat;
  static constexpr Interpolation kDefault = Interpolation::kBezier;
  static float Identity() { return 0.0f; }
  using KeyValue = float;
  using Tangent = float;
  static constexpr Tangent kUnsetLength = -1.0f;
};
template <>
struct ValueTraits<Point3> {
  static constexpr ValueKind kKind = ValueKind::kPosition;
  static constexpr Interpolation kDefault = Interpolation::kBezier;
  static Point3 Identity() { return {}; }
  using KeyValue = Point3;
  using Tangent = Point3;
  static constexpr Tangent kUnsetLength{-1.0f, -1.0f, -1.0f};
};
template <>
struct ValueTraits<Quat> {
  static constexpr ValueKind kKind = ValueKind::kRotation;
  static constexpr Interpolation kDefault = Interpolation::kTCB;
  static Quat Identity() { return {}; }
  using KeyValue = AngAxis;
  using Tangent = float;
  static constexpr Tangent kUnsetLength = -1.0f;
};
template <>
struct ValueTraits<ScaleWithAxis> {
  static constexpr ValueKind kKind = ValueKind::kScale;
  static constexpr Interpolation kDefault = Interpolation::kBezier;
  static ScaleWithAxis Identity() { return {}; }
  using KeyValue = ScaleWithAxis;
  using Tangent = Point3;
  static constexpr Tangent kUnsetLength{-1.0f, -1.0f, -1.0f};
};

// Where the node whose value is read stands: constraints look from there,
// keyframes ignore it. Without a node, the place is the world origin.
struct NodePlace {
  SceneNode* node = nullptr;
  Matrix3 parentTM;
  Point3 worldPosition;
};

// A controller of one value of type T, evaluated at any time.
template <typename T>
class ValueControl : public Control {
 public:
  using Traits = ValueTraits<T>;
  SClass_ID SuperClassID() override { return ControllerSuperClass(Traits::kKind); }

  // The name a scene file gives this controller, so that wires can follow
  // it (standalone/ControllerIds.h); empty when it has none.
  std::string id;

  // The value at t for a node standing at place.
  virtual T ValueAt(TimeValue t, const NodePlace& place) const = 0;
  T ValueAt(TimeValue t) const { return ValueAt(t, NodePlace()); }

  int EnumDependents(DependentEnumProc* proc) override { return EnumSceneDependents(this, proc); }

  bool GetFloatValue(TimeValue t, float& v) override { return Read(t, v); }
  bool GetPoint3Value(TimeValue t, Point3& v) override { return Read(t, v); }
  bool GetQuatValue(TimeValue t, Quat& v) override { return Read(t, v); }
  bool GetScaleValue(TimeValue t, ScaleValue& v) override {
    if constexpr (std::is_same_v<T, ScaleWithAxis>) {
      const ScaleWithAxis s = ValueAt(t);
      v = ScaleValue(s.scale, s.axis);
      return true;
    }
    (void)t, (void)v;
    return false;
  }

 private:
  template <typename U>
  bool Read(TimeValue t, U& v) {
    if constexpr (std::is_same_v<T, U>) {
      v = ValueAt(t);
      return true;
    }
    (void)t, (void)v;
    return false;
  }
};

using FloatControl = ValueControl<float>;
using PositionControl = ValueControl<Point3>;
using RotationControl = ValueControl<Quat>;
using ScaleControl = ValueControl<ScaleWithAxis>;

}  // namespace kiln::standalone
