#include "host/Matrix3.h"

namespace {

// Rows 0..2 of a * b: the 3x3 parts multiplied.
void Multiply3(const Point3 a[3], const Point3 b[3], Point3 out[3]) {
  for (int i = 0; i < 3; ++i) out[i] = b[0] * a[i].x + b[1] * a[i].y + b[2] * a[i].z;
}

}  // namespace

void Matrix3::IdentityMatrix() {
  rows_[0] = {1.0f, 0.0f, 0.0f};
  rows_[1] = {0.0f, 1.0f, 0.0f};
  rows_[2] = {0.0f, 0.0f, 1.0f};
  rows_[3] = {};
}

void Matrix3::Zero() {
  for (Point3& row : rows_) row = {};
}

float Matrix3::Det3() const {
  return DotProd(rows_[0], CrossProd(rows_[1], rows_[2]));
}

bool Matrix3::Parity() const {
  return Det3() < 0.0f;
}

void Matrix3::PreTranslate(const Point3& p) {
  rows_[3] += VectorTransform(p);
}

void Matrix3::PreRotate(const Quat& q) {
  const Matrix3 r = RotateMatrix(q);
  Point3 product[3];
  Multiply3(r.rows_, rows_, product);
  for (int i = 0; i < 3; ++i) rows_[i] = product[i];
}

void Matrix3::SetRotate(const Quat& q) {
  *this = RotateMatrix(q);
}

void Matrix3::PreScale(const Point3& s) {
  for (int i = 0; i < 3; ++i) rows_[i] = rows_[i] * s[i];
}

void Matrix3::NoScale() {
  for (int i = 0; i < 3; ++i) rows_[i] = Normalize(rows_[i]);
}

Point3 Matrix3::PointTransform(const Point3& p) const {
  return VectorTransform(p) + rows_[3];
}

Point3 Matrix3::VectorTransform(const Point3& v) const {
  return rows_[0] * v.x + rows_[1] * v.y + rows_[2] * v.z;
}

Matrix3 operator*(const Matrix3& a, const Matrix3& b) {
  Matrix3 out;
  Multiply3(a.rows_, b.rows_, out.rows_);
  out.rows_[3] = b.PointTransform(a.rows_[3]);
  return out;
}

bool operator==(const Matrix3& a, const Matrix3& b) {
  for (int i = 0; i < 4; ++i) {
    if (!(a.rows_[i] == b.rows_[i])) return false;
  }
  return true;
}

Matrix3 Inverse(const Matrix3& m) {
  // Adjugate over determinant, in double: node transforms with small scales
  // would lose digits in float.
  double a[3][3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) a[i][j] = m(i, j);
  }
  double adj[3][3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      // Cofactor of a[j][i], placed at [i][j].
      const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
      adj[i][j] = a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0];
    }
  }
  const double det = a[0][0] * adj[0][0] + a[0][1] * adj[1][0] + a[0][2] * adj[2][0];
  Matrix3 inverse;
  if (det == 0.0) {
    // A collapsed transform cannot be undone; take back its translation only,
    // so callers get finite numbers.
    inverse.SetTrans(-m.GetTrans());
    return inverse;
  }
  for (int i = 0; i < 3; ++i) {
    inverse.SetRow(i,
                   Point3(static_cast<float>(adj[i][0] / det), static_cast<float>(adj[i][1] / det),
                          static_cast<float>(adj[i][2] / det)));
  }
  const Point3 t = m.GetTrans();
  Point3 back;
  for (int j = 0; j < 3; ++j) {
    back[j] = static_cast<float>(-(t.x * adj[0][j] + t.y * adj[1][j] + t.z * adj[2][j]) / det);
  }
  inverse.SetTrans(back);
  return inverse;
}

Matrix3 TransMatrix(const Point3& p) {
  Matrix3 m;
  m.SetTrans(p);
  return m;
}

Matrix3 ScaleMatrix(const Point3& s) {
  Matrix3 m;
  m.PreScale(s);
  return m;
}

Matrix3 RotateMatrix(const Quat& q) {
  const Quat n = Normalize(q);
  const float xx = n.x * n.x, yy = n.y * n.y, zz = n.z * n.z;
  const float xy = n.x * n.y, xz = n.x * n.z, yz = n.y * n.z;
  const float wx = n.w * n.x, wy = n.w * n.y, wz = n.w * n.z;
  // Row i is the image of axis i: the transpose of the column-vector rotation.
  return Matrix3({1.0f - 2.0f * (yy + zz), 2.0f * (xy + wz), 2.0f * (xz - wy)},
                 {2.0f * (xy - wz), 1.0f - 2.0f * (xx + zz), 2.0f * (yz + wx)},
                 {2.0f * (xz + wy), 2.0f * (yz - wx), 1.0f - 2.0f * (xx + yy)}, {});
}
