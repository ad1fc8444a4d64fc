#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/MathTestSupport.h"

namespace kiln::mathtest {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

Matrix3 RandomAffine(RandomValues& random, bool mirrored) {
  Point3 scale = random.Vector(0.2f, 3.0f);
  if (mirrored) scale.y = -scale.y;
  return ScaleMatrix(scale) * RotateMatrix(random.Rotation()) *
         TransMatrix(random.Vector(-50.0f, 50.0f));
}

// A product and the pre-operations apply their left (or new) transform first.
TEST(Matrix3, compositionAppliesTheLeftTransformFirst) {
  const Point3 p{1, 2, 3};
  EXPECT_EQ(p * (TransMatrix({10, 0, 0}) * ScaleMatrix({2, 2, 2})), Point3(22, 4, 6));
  const Matrix3 scaleThenTranslate = ScaleMatrix({2, 2, 2}) * TransMatrix({10, 0, 0});
  EXPECT_EQ(p * scaleThenTranslate, Point3(12, 4, 6));
  EXPECT_EQ(scaleThenTranslate.VectorTransform(p), Point3(2, 4, 6));

  RandomValues random(10);
  for (int i = 0; i < 50; ++i) {
    const Matrix3 m = RandomAffine(random, i % 2 == 1), b = RandomAffine(random, true);
    const Point3 q = random.Vector(-5, 5), t = random.Vector(-5, 5), s = random.Vector(0.5f, 2);
    EXPECT_TRUE(PointsNear(q * (m * b), (q * m) * b, 1e-3f));
    const Quat r = random.Rotation();
    Matrix3 translated = m, rotated = m, scaled = m;
    translated.PreTranslate(t);
    rotated.PreRotate(r);
    scaled.PreScale(s);
    EXPECT_TRUE(MatricesNear(translated, TransMatrix(t) * m, 1e-4f));
    EXPECT_TRUE(MatricesNear(rotated, RotateMatrix(r) * m, 1e-4f));
    EXPECT_TRUE(MatricesNear(scaled, ScaleMatrix(s) * m, 1e-4f));
  }
  Matrix3 m = TransMatrix({1, 2, 3});
  m.SetRotate(QFromAngAxis(kPi / 2, {0, 0, 1}));
  EXPECT_TRUE(MatricesNear(m, RotateMatrix(QFromAngAxis(kPi / 2, {0, 0, 1})), 0.0f));
}

TEST(Matrix3, parityIsTrueOnlyForMirroringTransforms) {
  EXPECT_FALSE(Matrix3().Parity());
  EXPECT_TRUE(ScaleMatrix({1, -1, 1}).Parity());
  EXPECT_FALSE(ScaleMatrix({-1, -1, 1}).Parity());
  EXPECT_TRUE(ScaleMatrix({-2, -2, -2}).Parity());
  EXPECT_FLOAT_EQ(ScaleMatrix({2, 3, -4}).Det3(), -24.0f);
  RandomValues random(12);
  for (int i = 0; i < 20; ++i) {
    EXPECT_FALSE(RandomAffine(random, false).Parity());
    EXPECT_TRUE(RandomAffine(random, true).Parity());
  }
}

TEST(Matrix3, inverseUndoesAffineTransforms) {
  RandomValues random(13);
  for (int i = 0; i < 100; ++i) {
    const Matrix3 m = RandomAffine(random, i % 2 == 1);
    EXPECT_TRUE(MatricesNear(m * Inverse(m), Matrix3(), 1e-4f));
    EXPECT_TRUE(MatricesNear(Inverse(m) * m, Matrix3(), 1e-4f));
  }
  // Small scales keep their precision.
  const Matrix3 tiny = ScaleMatrix({1e-4f, 1e-4f, 1e-4f}) * TransMatrix({1e-3f, 0, 0});
  EXPECT_TRUE(MatricesNear(Inverse(tiny),
                           TransMatrix({-1e-3f, 0, 0}) * ScaleMatrix({1e4f, 1e4f, 1e4f}), 1e-2f));
  // A collapsed transform gives finite numbers: only its translation is undone.
  const Matrix3 flat = ScaleMatrix({1, 0, 1}) * TransMatrix({4, 5, 6});
  EXPECT_EQ(Inverse(flat), TransMatrix({-4, -5, -6}));
}

}  // namespace
}  // namespace kiln::mathtest
