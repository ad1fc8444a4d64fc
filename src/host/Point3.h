#pragma once
// Plain vector types of the host, in the global namespace as the host SDK has them.

#include <cmath>

struct Point2 {
  float x = 0.0f, y = 0.0f;
  constexpr Point2() = default;
  constexpr Point2(float x_, float y_) : x(x_), y(y_) {}
};

struct Point3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  constexpr Point3() = default;
  constexpr Point3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

  friend constexpr Point3 operator+(Point3 a, Point3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
  }
  friend constexpr Point3 operator-(Point3 a, Point3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
  }
  friend constexpr Point3 operator-(Point3 a) { return {-a.x, -a.y, -a.z}; }
  friend constexpr Point3 operator*(Point3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr Point3 operator*(float s, Point3 a) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr bool operator==(Point3 a, Point3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
  Point3& operator+=(Point3 b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
};

// Inline: mesh loops call these once or twice per face.
inline float Length(const Point3& p) {
  return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
}
inline float DotProd(const Point3& a, const Point3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Point3 CrossProd(const Point3& a, const Point3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Unit vector along p; the zero vector stays zero.
inline Point3 Normalize(const Point3& p) {
  const float len = Length(p);
  if (len == 0.0f) return p;
  return p * (1.0f / len);
}

// Axis-aligned box; empty until the first point is added.
struct Box3 {
  Point3 pmin{1e30f, 1e30f, 1e30f};
  Point3 pmax{-1e30f, -1e30f, -1e30f};
  bool IsEmpty() const { return pmin.x > pmax.x; }
};
