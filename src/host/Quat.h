#pragma once
#include "host/Point3.h"

// Unit quaternion (x, y, z, w). Rotating a row vector p by q is p * q.MakeMatrix().
struct Quat {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
  constexpr Quat() = default;
  constexpr Quat(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  friend constexpr bool operator==(const Quat& a, const Quat& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
  }
};

Quat operator*(const Quat& a, const Quat& b);  // a applied first, then b
Quat Inverse(const Quat& q);
Quat QFromAngAxis(float angle, const Point3& axis);

// Rotation as an angle in radians about a unit axis.
struct AngAxis {
  Point3 axis{0.0f, 0.0f, 1.0f};
  float angle = 0.0f;
  AngAxis() = default;
  AngAxis(const Point3& axis_, float angle_) : axis(axis_), angle(angle_) {}
  explicit AngAxis(const Quat& q);
};

// Euler angles (x, y, z order) of a rotation.
void QuatToEuler(const Quat& q, float angles[3]);
