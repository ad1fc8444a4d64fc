#include "geometry/AxisExchange.h"

namespace kiln {

Point3 ExchangePointAxes(const Point3& p) {
  return {p.x, p.z, p.y};
}

Matrix3 ExchangeMatrixAxes(const Matrix3& m) {
  // Exchanging rows turns the input axes, exchanging columns the output axes.
  return Matrix3(ExchangePointAxes(m.GetRow(0)), ExchangePointAxes(m.GetRow(2)),
                 ExchangePointAxes(m.GetRow(1)), ExchangePointAxes(m.GetRow(3)));
}

TransformFloats LayOutTransform(const Matrix3& m, float scale) {
  TransformFloats out{};
  for (int c = 0; c < 3; ++c) {
    out[c * 4 + 0] = m(0, c);
    out[c * 4 + 1] = m(1, c);
    out[c * 4 + 2] = m(2, c);
    out[c * 4 + 3] = m(3, c) * scale;
  }
  return out;
}

RotationFloats LayOutRotation(const Quat& q) {
  const AngAxis rotation(q);
  const Point3 axis = ExchangePointAxes(Normalize(rotation.axis));
  return {rotation.angle, axis.x, axis.y, axis.z};
}

}  // namespace kiln
