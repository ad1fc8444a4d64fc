#include "host/Quat.h"

#include <cmath>

#include "host/Matrix3.h"

namespace {

// Hamilton product: the rotation b followed by the rotation a.
Quat Hamilton(const Quat& a, const Quat& b) {
  return {
      a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
      a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

}  // namespace

Quat::Quat(const Matrix3& m) {
  // Shepperd's method: divide by the largest of the four candidates for
  // numerical stability. m is the row-vector matrix, the transpose of the
  // column-vector rotation.
  const float trace = m(0, 0) + m(1, 1) + m(2, 2);
  if (trace > 0.0f) {
    const float s = std::sqrt(trace + 1.0f) * 2.0f;  // 4w
    w = 0.25f * s;
    x = (m(1, 2) - m(2, 1)) / s;
    y = (m(2, 0) - m(0, 2)) / s;
    z = (m(0, 1) - m(1, 0)) / s;
  } else if (m(0, 0) >= m(1, 1) && m(0, 0) >= m(2, 2)) {
    const float s = std::sqrt(1.0f + m(0, 0) - m(1, 1) - m(2, 2)) * 2.0f;  // 4x
    x = 0.25f * s;
    y = (m(0, 1) + m(1, 0)) / s;
    z = (m(0, 2) + m(2, 0)) / s;
    w = (m(1, 2) - m(2, 1)) / s;
  } else if (m(1, 1) >= m(2, 2)) {
    const float s = std::sqrt(1.0f + m(1, 1) - m(0, 0) - m(2, 2)) * 2.0f;  // 4y
    x = (m(0, 1) + m(1, 0)) / s;
    y = 0.25f * s;
    z = (m(1, 2) + m(2, 1)) / s;
    w = (m(2, 0) - m(0, 2)) / s;
  } else {
    const float s = std::sqrt(1.0f + m(2, 2) - m(0, 0) - m(1, 1)) * 2.0f;  // 4z
    x = (m(0, 2) + m(2, 0)) / s;
    y = (m(1, 2) + m(2, 1)) / s;
    z = 0.25f * s;
    w = (m(0, 1) - m(1, 0)) / s;
  }
  *this = Normalize(*this);
}

Quat operator*(const Quat& a, const Quat& b) {
  return Hamilton(b, a);
}

Quat Inverse(const Quat& q) {
  const float n = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
  if (n == 0.0f) return {};
  return {-q.x / n, -q.y / n, -q.z / n, q.w / n};
}

Quat Normalize(const Quat& q) {
  const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  if (n == 0.0f) return {};
  return {q.x / n, q.y / n, q.z / n, q.w / n};
}

Quat QFromAngAxis(float angle, const Point3& axis) {
  const Point3 unit = Normalize(axis);
  if (unit == Point3{}) return {};
  const float s = std::sin(angle * 0.5f);
  return {unit.x * s, unit.y * s, unit.z * s, std::cos(angle * 0.5f)};
}

AngAxis::AngAxis(const Quat& q) {
  Quat n = Normalize(q);
  // q and -q are the same rotation; the one with w >= 0 has its angle in [0, pi].
  if (n.w < 0.0f) n = {-n.x, -n.y, -n.z, -n.w};
  const Point3 v{n.x, n.y, n.z};
  const float s = Length(v);
  if (s == 0.0f) return;  // identity: angle 0 about the default axis
  axis = v * (1.0f / s);
  // atan2 keeps full precision for small angles, where acos(w) would not.
  angle = 2.0f * std::atan2(s, n.w);
}

void QuatToEuler(const Quat& q, float angles[3]) {
  const Matrix3 m = RotateMatrix(q);
  // m = RotX(ax) * RotY(ay) * RotZ(az); its row 0 is
  // (cos ay cos az, cos ay sin az, -sin ay).
  const float cosY = std::sqrt(m(0, 0) * m(0, 0) + m(0, 1) * m(0, 1));
  angles[1] = std::atan2(-m(0, 2), cosY);
  if (cosY > 1e-6f) {
    angles[0] = std::atan2(m(1, 2), m(2, 2));
    angles[2] = std::atan2(m(0, 1), m(0, 0));
  } else {
    // Gimbal lock: x and z turn about the same line; put it all in x.
    angles[0] = std::atan2(-m(0, 2) * m(1, 0), m(1, 1));
    angles[2] = 0.0f;
  }
}

void EulerToQuat(const float angles[3], Quat& q) {
  q = QFromAngAxis(angles[0], {1.0f, 0.0f, 0.0f}) * QFromAngAxis(angles[1], {0.0f, 1.0f, 0.0f}) *
      QFromAngAxis(angles[2], {0.0f, 0.0f, 1.0f});
}
