#pragma once
// Bounds on the rounding of the line–triangle test (LineTriangle.h), shared
// by the hierarchy's build and its caster. BvhCaster.cpp derives them.
#include <cmath>

#include "collision/LineHit.h"

namespace kiln::rounding {

constexpr double kUnit = 0x1p-24;  // unit roundoff of float
// Absolute error a value of the test can take on from underflow.
constexpr double kUnderflow = 0x1p-146;

// k u / (1 - k u): the relative error of k chained float operations.
constexpr double Gamma(int k) {
  return k * kUnit / (1.0 - k * kUnit);
}

inline const double kSqrt2 = std::sqrt(2.0) * (1.0 + 1e-15);

// How far the test's determinant can lie from the exact one, for a direction
// of length up to direction and edges up to edge, edge lengths' product up to
// edgeProduct.
inline double DeterminantError(double direction, double edgeProduct, double edge) {
  return Gamma(5) * kSqrt2 * direction * edgeProduct + kUnderflow * (1.0 + edge);
}

}  // namespace kiln::rounding
