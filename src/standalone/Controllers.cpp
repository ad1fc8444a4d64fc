#include "standalone/Controllers.h"

namespace kiln::standalone {

Matrix3 ComposeTransform(const TransformParts& parts) {
  Matrix3 m = TransMatrix(parts.position);
  m.PreRotate(parts.rotation);
  // Most scales stretch along the node's own axes: no turn to and back.
  const bool turnedAxes = !(parts.scale.axis == Quat());
  if (turnedAxes) m.PreRotate(parts.scale.axis);
  m.PreScale(parts.scale.scale);
  if (turnedAxes) m.PreRotate(Inverse(parts.scale.axis));
  return m;
}

namespace {

struct ControllerClass {
  ValueKind kind;
  Interpolation interpolation;
  uint32_t id;  // second word 0
  const char* name;
};

constexpr ControllerClass kControllerClasses[] = {
    {ValueKind::kFloat, Interpolation::kBezier, 0x2007, "Bezier Float"},
    {ValueKind::kFloat, Interpolation::kTCB, 0x442311, "TCB Float"},
    {ValueKind::kFloat, Interpolation::kLinear, 0x2001, "Linear Float"},
    {ValueKind::kPosition, Interpolation::kBezier, 0x2008, "Bezier Position"},
    {ValueKind::kPosition, Interpolation::kTCB, 0x442312, "TCB Position"},
    {ValueKind::kPosition, Interpolation::kLinear, 0x2002, "Linear Position"},
    {ValueKind::kRotation, Interpolation::kBezier, 0x2009, "Bezier Rotation"},
    {ValueKind::kRotation, Interpolation::kTCB, 0x442313, "TCB Rotation"},
    {ValueKind::kRotation, Interpolation::kLinear, 0x2003, "Linear Rotation"},
    {ValueKind::kScale, Interpolation::kBezier, 0x2010, "Bezier Scale"},
    {ValueKind::kScale, Interpolation::kTCB, 0x442315, "TCB Scale"},
    {ValueKind::kScale, Interpolation::kLinear, 0x2004, "Linear Scale"},
};

const ControllerClass& Find(ValueKind kind, Interpolation interpolation) {
  for (const ControllerClass& c : kControllerClasses) {
    if (c.kind == kind && c.interpolation == interpolation) return c;
  }
  return kControllerClasses[0];  // unreachable: the table covers every pair
}

}  // namespace

const char* InterpolationName(Interpolation interpolation) {
  switch (interpolation) {
    case Interpolation::kBezier:
      return "bezier";
    case Interpolation::kTCB:
      return "tcb";
    case Interpolation::kLinear:
      return "linear";
  }
  return "bezier";
}

SClass_ID ControllerSuperClass(ValueKind kind) {
  switch (kind) {
    case ValueKind::kFloat:
      return CTRL_FLOAT_CLASS_ID;
    case ValueKind::kPosition:
      return CTRL_POSITION_CLASS_ID;
    case ValueKind::kRotation:
      return CTRL_ROTATION_CLASS_ID;
    case ValueKind::kScale:
      return CTRL_SCALE_CLASS_ID;
  }
  return CTRL_FLOAT_CLASS_ID;
}

Class_ID ControllerClassId(ValueKind kind, Interpolation interpolation) {
  return Class_ID(Find(kind, interpolation).id, 0);
}

std::string ControllerClassName(ValueKind kind, Interpolation interpolation) {
  return Find(kind, interpolation).name;
}

bool FindInterpolation(ValueKind kind, Class_ID id, Interpolation* interpolation) {
  for (const ControllerClass& c : kControllerClasses) {
    if (c.kind == kind && Class_ID(c.id, 0) == id) {
      *interpolation = c.interpolation;
      return true;
    }
  }
  return false;
}

TransformParts PRSController::PartsAt(TimeValue t, const Matrix3& parentTM) const {
  TransformParts parts;
  if (position) parts.position = position->ValueAt(t);
  NodePlace place{owner, parentTM, parentTM.PointTransform(parts.position)};
  if (rotation) parts.rotation = rotation->ValueAt(t, place);
  if (scale) parts.scale = scale->ValueAt(t, place);
  return parts;
}

void PRSController::SetParts(const TransformParts& parts) {
  position = std::make_unique<PositionController>(parts.position);
  rotation = std::make_unique<RotationController>(parts.rotation);
  scale = std::make_unique<ScaleController>(parts.scale);
}

std::unique_ptr<PRSController> PRSController::WithParts(const TransformParts& parts) {
  auto prs = std::make_unique<PRSController>();
  prs->SetParts(parts);
  return prs;
}

}  // namespace kiln::standalone
