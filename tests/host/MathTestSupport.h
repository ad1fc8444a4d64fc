#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "host/Matrix3.h"
#include "host/Quat.h"

// Helpers shared by the math tests: tolerant comparisons and random values
// from a fixed seed.
namespace kiln::mathtest {

inline ::testing::AssertionResult MatricesNear(const Matrix3& a, const Matrix3& b,
                                               float tolerance) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) {
      if (!(std::fabs(a(r, c) - b(r, c)) <= tolerance)) {
        return ::testing::AssertionFailure()
               << "entry (" << r << ", " << c << "): " << a(r, c) << " vs " << b(r, c);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult PointsNear(const Point3& a, const Point3& b, float tolerance) {
  if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
      std::fabs(a.z - b.z) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << a.x << ' ' << a.y << ' ' << a.z << " vs " << b.x << ' ' << b.y << ' ' << b.z;
}

// Same rotation: q and -q are equal rotations.
inline ::testing::AssertionResult SameRotation(const Quat& a, const Quat& b, float tolerance) {
  const float dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
  if (std::fabs(std::fabs(dot) - 1.0f) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "rotations differ: |dot| = " << std::fabs(dot);
}

class RandomValues {
 public:
  explicit RandomValues(unsigned seed) : engine_(seed) {}
  float Uniform(float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(engine_);
  }
  Point3 Vector(float lo, float hi) { return {Uniform(lo, hi), Uniform(lo, hi), Uniform(lo, hi)}; }
  Quat Rotation() {
    std::normal_distribution<float> normal;
    return Normalize(Quat(normal(engine_), normal(engine_), normal(engine_), normal(engine_)));
  }

 private:
  std::mt19937 engine_;
};

}  // namespace kiln::mathtest
