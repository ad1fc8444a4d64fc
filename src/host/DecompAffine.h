#pragma once
#include "host/Matrix3.h"

// Parts of an affine transform: M = K(u, k) * R(q) * T(t) with the stretch
// K = U^-1 * Scale(k) * U, U the rotation u, and f the determinant's sign
// (the stretch k is then positive).
struct AffineParts {
  Point3 t;        // translation
  Quat q;          // essential rotation
  Quat u;          // stretch rotation
  Point3 k;        // stretch factors
  float f = 1.0f;  // sign of the determinant
};

// Polar decomposition of an affine matrix (Shoemake).
void decomp_affine(const Matrix3& m, AffineParts* parts);
