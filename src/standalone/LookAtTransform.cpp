#include "standalone/LookAtTransform.h"

#include <cmath>

#include "standalone/KeyframeController.h"
#include "standalone/SceneNode.h"

namespace kiln::standalone {

LookAtTransform::LookAtTransform() {
  position = std::make_unique<PositionController>();
  scale = std::make_unique<ScaleController>();
  roll = std::make_unique<FloatController>();
}

Matrix3 LookAtRotation(const Point3& eye, const Point3& target, float roll) {
  const Point3 back = Normalize(eye - target);  // the node's +z
  if (Length(back) == 0.0f) return Matrix3();
  Point3 right = CrossProd(Point3(0, 0, 1), back);
  if (Length(right) < 1e-6f) right = CrossProd(Point3(0, 1, 0), back);
  right = Normalize(right);
  const Point3 up = CrossProd(back, right);
  const float c = std::cos(roll), s = std::sin(roll);
  return Matrix3(right * c + up * s, up * c - right * s, back, Point3());
}

Matrix3 LookAtTransform::WorldTM(TimeValue t, const Matrix3& parentTM) {
  const TransformParts parts = PartsAt(t, parentTM);
  const Point3 eye = parentTM.PointTransform(parts.position);
  INode* target = owner ? owner->GetTarget() : nullptr;
  const float angle = roll ? roll->ValueAt(t) : 0.0f;
  Matrix3 tm = target ? LookAtRotation(eye, target->GetNodeTM(t).GetTrans(), angle) : Matrix3();
  TransformParts scaleOnly;
  scaleOnly.scale = parts.scale;
  tm = ComposeTransform(scaleOnly) * tm;
  tm.SetTrans(eye);
  return tm;
}

}  // namespace kiln::standalone
