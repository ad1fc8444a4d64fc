#include "geometry/ObjectOffset.h"

#include <algorithm>

#include "geometry/AxisExchange.h"
#include "host/DecompAffine.h"
#include "host/INode.h"

namespace kiln {

Matrix3 ObjectOffsetMatrix(INode* node) {
  Matrix3 offset;
  offset.PreTranslate(node->GetObjOffsetPos());
  offset.PreRotate(node->GetObjOffsetRot());
  const Matrix3 axes = RotateMatrix(node->GetObjOffsetScaleAxis());
  return Inverse(axes) * ScaleMatrix(node->GetObjOffsetScale()) * axes * offset;
}

ObjectOffsetFloats LayOutObjectOffset(const Matrix3& offset) {
  AffineParts parts;
  decomp_affine(offset, &parts);
  const float f = parts.f;
  // The mirroring goes back into the factors, so k alone carries it.
  const Quat q(parts.q.x * f, parts.q.y * f, parts.q.z * f, parts.q.w * f);
  const Quat u(parts.u.x * f, parts.u.y * f, parts.u.z * f, parts.u.w * f);
  const Point3 t = ExchangePointAxes(parts.t) * kExportScale;
  const Point3 k = ExchangePointAxes(parts.k * f);
  const RotationFloats qFloats = LayOutRotation(q);
  const RotationFloats uFloats = LayOutRotation(u);

  ObjectOffsetFloats out{};
  auto next = out.begin();
  for (float value : {t.x, t.y, t.z}) *next++ = value;
  next = std::copy(qFloats.begin(), qFloats.end(), next);
  for (float value : {k.x, k.y, k.z}) *next++ = value;
  std::copy(uFloats.begin(), uFloats.end(), next);
  return out;
}

ObjectOffsetFloats LayOutObjectOffset(INode* node) {
  return LayOutObjectOffset(ObjectOffsetMatrix(node));
}

}  // namespace kiln
