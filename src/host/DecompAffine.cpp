#include "host/DecompAffine.h"

#include <array>
#include <cmath>
#include <utility>

// Shoemake's decomposition (Graphics Gems IV, "Polar Matrix Decomposition"),
// in row-vector form. With A the 3x3 part of M:
//   1. f = sign(det A); A is replaced by f * A so that its determinant is positive.
//   2. Polar decomposition A = S * R: R the nearest rotation (the orthogonal
//      factor, found by Higham's scaled Newton iteration), S = A * R^T
//      symmetric positive semi-definite.
//   3. Spectral decomposition S = V * diag(k) * V^T (Jacobi); U = V^T.
//   4. Snuggle: of the many (u, k) pairs that give the same S, pick the u
//      nearest the identity, so equal stretch factors give a canonical u.
namespace {

struct Mat {
  double m[3][3] = {};

  static Mat Identity() {
    Mat r;
    for (int i = 0; i < 3; ++i) r.m[i][i] = 1.0;
    return r;
  }
};

Mat operator*(const Mat& a, const Mat& b) {
  Mat r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 3; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
    }
  }
  return r;
}

Mat Transpose(const Mat& a) {
  Mat r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r.m[i][j] = a.m[j][i];
  }
  return r;
}

// Cofactor matrix: adj(A)^T, which equals det(A) * A^-T.
Mat Cofactors(const Mat& a) {
  Mat r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const int r0 = (i + 1) % 3, r1 = (i + 2) % 3, c0 = (j + 1) % 3, c1 = (j + 2) % 3;
      r.m[i][j] = a.m[r0][c0] * a.m[r1][c1] - a.m[r0][c1] * a.m[r1][c0];
    }
  }
  return r;
}

double Det(const Mat& a) {
  const Mat c = Cofactors(a);
  return a.m[0][0] * c.m[0][0] + a.m[0][1] * c.m[0][1] + a.m[0][2] * c.m[0][2];
}

double NormOne(const Mat& a) {  // largest column sum
  double best = 0.0;
  for (int j = 0; j < 3; ++j) {
    best = std::fmax(best, std::fabs(a.m[0][j]) + std::fabs(a.m[1][j]) + std::fabs(a.m[2][j]));
  }
  return best;
}

double NormInf(const Mat& a) {
  return NormOne(Transpose(a));
}

using Vec = std::array<double, 3>;

Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Length(const Vec& a) {
  return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

// Eigen decomposition of a symmetric matrix by cyclic Jacobi rotations:
// s = V * diag(values) * V^T, the eigenvectors in the columns of V.
void SymmetricEigen(Mat s, Mat* vectors, Vec* values) {
  Mat v = Mat::Identity();
  constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
  for (int sweep = 0; sweep < 50; ++sweep) {
    const double off = s.m[0][1] * s.m[0][1] + s.m[0][2] * s.m[0][2] + s.m[1][2] * s.m[1][2];
    const double diag = s.m[0][0] * s.m[0][0] + s.m[1][1] * s.m[1][1] + s.m[2][2] * s.m[2][2];
    if (!(off > 1e-30 * diag)) break;  // also ends on NaN
    for (const auto& pair : kPairs) {
      const int p = pair[0], q = pair[1];
      if (s.m[p][q] == 0.0) continue;
      const double theta = (s.m[q][q] - s.m[p][p]) / (2.0 * s.m[p][q]);
      const double t =
          (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
      const double c = 1.0 / std::sqrt(t * t + 1.0);
      Mat j = Mat::Identity();
      j.m[p][p] = c;
      j.m[q][q] = c;
      j.m[p][q] = t * c;
      j.m[q][p] = -t * c;
      s = Transpose(j) * s * j;
      s.m[p][q] = s.m[q][p] = 0.0;
      v = v * j;
    }
  }
  *vectors = v;
  *values = {s.m[0][0], s.m[1][1], s.m[2][2]};
}

// Orthogonal factor of a matrix without full rank, with determinant +1:
// A * A^T = V * diag(sigma^2) * V^T, R = V * W where row i of W is the unit
// direction of V_i^T * A. Directions the matrix collapses are completed to a
// right-handed basis.
Mat RankDeficientRotation(const Mat& a) {
  Mat v;
  Vec lambda;
  SymmetricEigen(a * Transpose(a), &v, &lambda);
  // Largest first, so the collapsed directions come last.
  std::array<int, 3> order{0, 1, 2};
  for (int i = 0; i < 3; ++i) {
    for (int j = i + 1; j < 3; ++j) {
      if (lambda[order[j]] > lambda[order[i]]) std::swap(order[i], order[j]);
    }
  }
  Mat sorted;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) sorted.m[r][c] = v.m[r][order[c]];
  }
  const double tolerance = 1e-12 * std::sqrt(std::fmax(lambda[order[0]], 0.0));
  std::array<Vec, 3> w{};
  int rank = 0;
  for (int i = 0; i < 3; ++i) {
    Vec row{};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) row[c] += sorted.m[r][i] * a.m[r][c];
    }
    const double len = Length(row);
    if (len <= tolerance || len == 0.0) break;
    w[i] = {row[0] / len, row[1] / len, row[2] / len};
    ++rank;
  }
  if (rank == 0) return Mat::Identity();
  if (rank == 1) {
    // Any unit vector perpendicular to w0: cross with the axis it is least along.
    const Vec& w0 = w[0];
    Vec axis{0.0, 0.0, 0.0};
    int least = 0;
    for (int c = 1; c < 3; ++c) {
      if (std::fabs(w0[c]) < std::fabs(w0[least])) least = c;
    }
    axis[least] = 1.0;
    Vec w1 = Cross(w0, axis);
    const double len = Length(w1);
    w[1] = {w1[0] / len, w1[1] / len, w1[2] / len};
  }
  w[2] = Cross(w[0], w[1]);
  Mat wm;
  for (int i = 0; i < 3; ++i) {
    for (int c = 0; c < 3; ++c) wm.m[i][c] = w[i][c];
  }
  Mat r = sorted * wm;
  if (Det(r) < 0.0) {
    for (int c = 0; c < 3; ++c) wm.m[2][c] = -wm.m[2][c];
    r = sorted * wm;
  }
  return r;
}

// The rotation R of the polar decomposition A = S * R, for det A > 0.
// Higham's iteration X <- (g * X + X^-T / g) / 2 converges quadratically to
// the orthogonal factor; the scale g keeps early steps short.
Mat OrthogonalFactor(const Mat& a) {
  Mat x = a;
  for (int iteration = 0; iteration < 100; ++iteration) {
    const Mat cof = Cofactors(x);
    const double det = x.m[0][0] * cof.m[0][0] + x.m[0][1] * cof.m[0][1] + x.m[0][2] * cof.m[0][2];
    if (det == 0.0) return RankDeficientRotation(a);
    const double gamma = std::sqrt(
        std::sqrt((NormOne(cof) * NormInf(cof)) / (NormOne(x) * NormInf(x))) / std::fabs(det));
    const double g1 = 0.5 * gamma, g2 = 0.5 / (gamma * det);
    Mat next;
    Mat change;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        next.m[i][j] = g1 * x.m[i][j] + g2 * cof.m[i][j];
        change.m[i][j] = x.m[i][j] - next.m[i][j];
      }
    }
    x = next;
    if (!(NormOne(change) > 1e-13 * NormOne(x))) break;  // also ends on NaN
  }
  return x;
}

Matrix3 ToMatrix3(const Mat& a) {
  Matrix3 r;
  for (int i = 0; i < 3; ++i) {
    r.SetRow(i, Point3(static_cast<float>(a.m[i][0]), static_cast<float>(a.m[i][1]),
                       static_cast<float>(a.m[i][2])));
  }
  return r;
}

Quat PositiveW(const Quat& q) {
  return q.w < 0.0f ? Quat(-q.x, -q.y, -q.z, -q.w) : q;
}

// The 24 rotations that map the coordinate axes onto themselves (signs and
// order may change).
std::array<Quat, 24> AxisRotations() {
  const float h = std::sqrt(0.5f);
  std::array<Quat, 24> all{};
  int n = 0;
  all[n++] = {0, 0, 0, 1};
  all[n++] = {1, 0, 0, 0};
  all[n++] = {0, 1, 0, 0};
  all[n++] = {0, 0, 1, 0};
  for (float sign : {h, -h}) {
    all[n++] = {sign, 0, 0, h};
    all[n++] = {0, sign, 0, h};
    all[n++] = {0, 0, sign, h};
    all[n++] = {h, sign, 0, 0};
    all[n++] = {h, 0, sign, 0};
    all[n++] = {0, h, sign, 0};
  }
  for (int signs = 0; signs < 8; ++signs) {
    all[n++] = {signs & 1 ? -0.5f : 0.5f, signs & 2 ? -0.5f : 0.5f, signs & 4 ? -0.5f : 0.5f, 0.5f};
  }
  return all;
}

// The stretch factors seen through the axis rotation p: factor i is the old
// factor of the axis that p's row i points along.
Point3 PermutedFactors(const Quat& p, const Point3& k) {
  const Matrix3 m = RotateMatrix(p);
  Point3 out;
  for (int i = 0; i < 3; ++i) {
    int along = 0;
    for (int j = 1; j < 3; ++j) {
      if (std::fabs(m(i, j)) > std::fabs(m(i, along))) along = j;
    }
    out[i] = k[along];
  }
  return out;
}

// How many pairs of the three factors are equal within tolerance: 0, 1 or 3.
int EqualPairs(const Point3& k, float tolerance) {
  return (std::fabs(k.x - k.y) <= tolerance) + (std::fabs(k.x - k.z) <= tolerance) +
         (std::fabs(k.y - k.z) <= tolerance);
}

// The index of the factor that differs from the two others, which are equal.
int LoneFactor(const Point3& k, float tolerance) {
  if (std::fabs(k.y - k.z) <= tolerance) return 0;
  return std::fabs(k.x - k.z) <= tolerance ? 1 : 2;
}

float& VectorPart(Quat& q, int axis) {
  return axis == 0 ? q.x : (axis == 1 ? q.y : q.z);
}

// Sine of half the stretch rotation's angle below which it counts as none.
constexpr float kNegligibleTurn = 1e-6f;

// S = U^-1 * K * U = (P * U)^-1 * (P * K * P^-1) * (P * U) for every axis
// rotation P, and with two equal factors also for every rotation about the
// lone axis. Chooses the u nearest the identity (largest |w|).
void Snuggle(Quat* u, Point3* k) {
  const float tolerance = 1e-5f * std::fmax(k->x, std::fmax(k->y, k->z));
  const int equalPairs = EqualPairs(*k, tolerance);
  if (equalPairs == 3) {  // uniform stretch: every u works
    *u = Quat();
    return;
  }
  const bool twistable = equalPairs == 1;
  Quat best = *u;
  Point3 bestK = *k;
  float bestScore = -1.0f;
  for (const Quat& p : AxisRotations()) {
    Quat candidate = p * *u;
    const Point3 permuted = PermutedFactors(p, *k);
    float score = std::fabs(candidate.w);
    if (twistable) {
      // A twist about the lone axis can bring |w| up to this.
      const float along = VectorPart(candidate, LoneFactor(permuted, tolerance));
      score = std::sqrt(candidate.w * candidate.w + along * along);
    }
    // Near ties go to the earlier, simpler axis rotation.
    if (score > bestScore + 1e-6f) {
      bestScore = score;
      best = PositiveW(candidate);
      bestK = permuted;
    }
  }
  if (twistable) {
    // Twist about the lone axis to remove u's component along it.
    const int axis = LoneFactor(bestK, tolerance);
    const float along = VectorPart(best, axis);
    const float n = std::sqrt(best.w * best.w + along * along);
    if (n > 0.0f) {
      Quat twist(0.0f, 0.0f, 0.0f, best.w / n);
      VectorPart(twist, axis) = -along / n;
      best = twist * best;
      VectorPart(best, axis) = 0.0f;
      best = Normalize(best);
    }
  }
  // A turn this small is rounding in the input (a float rotation matrix is
  // off by a few 1e-7); left in, its axis would be noise.
  const float turn = std::sqrt(best.x * best.x + best.y * best.y + best.z * best.z);
  *u = turn <= kNegligibleTurn ? Quat() : PositiveW(best);
  *k = bestK;
}

}  // namespace

void decomp_affine(const Matrix3& m, AffineParts* parts) {
  parts->t = m.GetTrans();
  Mat a;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) a.m[i][j] = m(i, j);
  }
  const double det = Det(a);
  parts->f = det < 0.0 ? -1.0f : 1.0f;
  if (det < 0.0) {
    for (auto& row : a.m) {
      for (double& value : row) value = -value;
    }
  }
  const Mat r = det == 0.0 ? RankDeficientRotation(a) : OrthogonalFactor(a);
  Mat s = a * Transpose(r);
  for (int i = 0; i < 3; ++i) {
    for (int j = i + 1; j < 3; ++j) s.m[i][j] = s.m[j][i] = 0.5 * (s.m[i][j] + s.m[j][i]);
  }
  Mat v;
  Vec k;
  SymmetricEigen(s, &v, &k);
  if (Det(v) < 0.0) {
    for (int row = 0; row < 3; ++row) v.m[row][2] = -v.m[row][2];
  }
  parts->q = PositiveW(Quat(ToMatrix3(r)));
  parts->u = Quat(ToMatrix3(Transpose(v)));
  parts->k =
      Point3(static_cast<float>(std::fmax(k[0], 0.0)), static_cast<float>(std::fmax(k[1], 0.0)),
             static_cast<float>(std::fmax(k[2], 0.0)));
  Snuggle(&parts->u, &parts->k);
}
