#include "standalone/XYZControllers.h"

namespace kiln::standalone {
namespace {

float Axis(const std::unique_ptr<FloatControl>& axis, TimeValue t) {
  return axis ? axis->ValueAt(t) : 0.0f;
}

}  // namespace

Point3 PositionXYZController::ValueAt(TimeValue t, const NodePlace&) const {
  return {Axis(x, t), Axis(y, t), Axis(z, t)};
}

Quat EulerXYZController::ValueAt(TimeValue t, const NodePlace&) const {
  const float angles[3] = {Axis(x, t), Axis(y, t), Axis(z, t)};
  Quat q;
  EulerToQuat(angles, q);
  return q;
}

}  // namespace kiln::standalone
