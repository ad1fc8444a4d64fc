#pragma once
#include "host/Point3.h"

class Matrix3;

// Unit quaternion (x, y, z, w) = (axis * sin(angle / 2), cos(angle / 2)).
// Rotating a row vector p by q is p * RotateMatrix(q); a positive angle turns
// counter-clockwise about the axis (right-handed).
struct Quat {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
  constexpr Quat() = default;
  constexpr Quat(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  // The rotation of a matrix whose rows 0..2 are orthonormal with determinant +1.
  explicit Quat(const Matrix3& rotation);
  friend constexpr bool operator==(const Quat& a, const Quat& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
  }
};

Quat operator*(const Quat& a, const Quat& b);  // a applied first, then b
Quat Inverse(const Quat& q);
// Unit length; the zero quaternion becomes the identity.
Quat Normalize(const Quat& q);
// Rotation by angle (radians) about axis (any length); a zero axis gives the identity.
Quat QFromAngAxis(float angle, const Point3& axis);

// Rotation as an angle in radians about a unit axis. From a quaternion the
// angle lies in [0, pi]; the identity gives angle 0 about (0, 0, 1).
struct AngAxis {
  Point3 axis{0.0f, 0.0f, 1.0f};
  float angle = 0.0f;
  AngAxis() = default;
  AngAxis(const Point3& axis_, float angle_) : axis(axis_), angle(angle_) {}
  explicit AngAxis(const Quat& q);
};

// Euler angles (radians) of a rotation: the rotation turns about x by
// angles[0], then about y by angles[1], then about z by angles[2] (fixed axes),
// i.e. RotateMatrix(q) == RotX * RotY * RotZ. angles[1] lies in [-pi/2, pi/2].
void QuatToEuler(const Quat& q, float angles[3]);
void EulerToQuat(const float angles[3], Quat& q);
