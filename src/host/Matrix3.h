#pragma once
#include "host/Point3.h"
#include "host/Quat.h"

// Affine transform as the host stores it: three axis rows and a translation
// row. Points are row vectors: p' = p * M.
class Matrix3 {
 public:
  Matrix3() { IdentityMatrix(); }
  explicit Matrix3(bool identity) {
    if (identity)
      IdentityMatrix();
    else
      Zero();
  }
  Matrix3(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3)
      : rows_{r0, r1, r2, r3} {}

  void IdentityMatrix();
  void Zero();
  const Point3& GetRow(int i) const { return rows_[i]; }
  void SetRow(int i, const Point3& p) { rows_[i] = p; }
  Point3 GetTrans() const { return rows_[3]; }
  void SetTrans(const Point3& p) { rows_[3] = p; }
  float operator()(int row, int col) const { return rows_[row][col]; }

  // Determinant sign of the 3x3 part: true when the transform mirrors space.
  bool Parity() const;
  float Det3() const;

  // this = T(p) * this
  void PreTranslate(const Point3& p);
  // this = R(q) * this
  void PreRotate(const Quat& q);
  // this = R(q): a pure rotation, translation zero.
  void SetRotate(const Quat& q);
  // this = S(s) * this
  void PreScale(const Point3& s);
  // Drops the translation (row 3 becomes zero).
  void NoTrans() { rows_[3] = {}; }
  // Drops the scale: each axis row becomes its unit vector (a zero row stays zero).
  void NoScale();

  Point3 PointTransform(const Point3& p) const;   // p * M
  Point3 VectorTransform(const Point3& v) const;  // p * M without translation

  friend Matrix3 operator*(const Matrix3& a, const Matrix3& b);  // a then b
  friend bool operator==(const Matrix3& a, const Matrix3& b);

 private:
  Point3 rows_[4];
};

inline Point3 operator*(const Point3& p, const Matrix3& m) {
  return m.PointTransform(p);
}

// Inverse of an affine transform. A collapsed one (determinant 0) has none:
// the result then only takes back the translation.
Matrix3 Inverse(const Matrix3& m);
Matrix3 TransMatrix(const Point3& p);
Matrix3 ScaleMatrix(const Point3& s);
Matrix3 RotateMatrix(const Quat& q);
