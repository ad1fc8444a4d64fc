#include <gtest/gtest.h>

#include <numbers>

#include "geometry/AxisExchange.h"
#include "host/MathTestSupport.h"

namespace kiln {
namespace {

using mathtest::MatricesNear;
using mathtest::PointsNear;
using mathtest::RandomValues;

constexpr float kPi = std::numbers::pi_v<float>;

TEST(AxisExchange, transformLayoutIsColumnsThenTranslationEntryWithYAndZSwapped) {
  EXPECT_EQ(ExchangePointAxes({1, 2, 3}), Point3(1, 3, 2));
  EXPECT_EQ(LayOutTransform(ExchangeMatrixAxes(TransMatrix({10, 20, 30}))),
            (TransformFloats{1, 0, 0, 10, 0, 1, 0, 30, 0, 0, 1, 20}));
  const Matrix3 m({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12});
  EXPECT_EQ(LayOutTransform(m), (TransformFloats{1, 4, 7, 10, 2, 5, 8, 11, 3, 6, 9, 12}));
  // The scale multiplies the translation entries only.
  EXPECT_EQ(LayOutTransform(m, 2.0f), (TransformFloats{1, 4, 7, 20, 2, 5, 8, 22, 3, 6, 9, 24}));
  EXPECT_EQ(LayOutTransform(m, kExportScale), LayOutTransform(m));
  // Exchanged: rows 1 and 2 and then columns 1 and 2 swap.
  EXPECT_EQ(ExchangeMatrixAxes(m), Matrix3({1, 3, 2}, {7, 9, 8}, {4, 6, 5}, {10, 12, 11}));
}

TEST(AxisExchange, exchangedMatrixMapsOutputPointsAsTheHostMatrixMapsHostPoints) {
  // Integer entries keep the arithmetic exact: mirrored, scaled and turned.
  const Matrix3 integral({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {});  // quarter turn about z
  const std::vector<Matrix3> exact = {
      ScaleMatrix({-1, 1, 1}), ScaleMatrix({2, -3, 4}) * TransMatrix({5, 6, 7}),
      ScaleMatrix({1, 1, -2}) * integral * TransMatrix({-1, 8, 3}), Matrix3(false)};
  for (const Matrix3& m : exact) {
    const Matrix3 out = ExchangeMatrixAxes(m);
    EXPECT_EQ(out.Parity(), m.Parity());
    for (const Point3& p : {Point3(1, 2, 3), Point3(-4, 0, 9), Point3(0.5f, -0.25f, 8)}) {
      EXPECT_EQ(ExchangePointAxes(p) * out, ExchangePointAxes(p * m));
    }
  }
  RandomValues random(30);
  for (int i = 0; i < 100; ++i) {
    Point3 scale = random.Vector(0.1f, 5.0f);
    if (i % 2) scale.z = -scale.z;
    const Matrix3 m =
        ScaleMatrix(scale) * RotateMatrix(random.Rotation()) * TransMatrix(random.Vector(-9, 9));
    const Matrix3 out = ExchangeMatrixAxes(m);
    EXPECT_EQ(out.Parity(), m.Parity());
    EXPECT_EQ(ExchangeMatrixAxes(out), m);  // its own inverse
    const Point3 p = random.Vector(-9, 9);
    EXPECT_TRUE(PointsNear(ExchangePointAxes(p) * out, ExchangePointAxes(p * m), 1e-4f));
  }
}

TEST(AxisExchange, rotationIsAngleThenExchangedUnitAxis) {
  EXPECT_EQ(LayOutRotation(Quat()), (RotationFloats{0, 0, 1, 0}));
  const RotationFloats aboutZ = LayOutRotation(QFromAngAxis(kPi / 2, {0, 0, 3}));
  EXPECT_NEAR(aboutZ[0], kPi / 2, 1e-6f);
  EXPECT_TRUE(PointsNear({aboutZ[1], aboutZ[2], aboutZ[3]}, {0, 1, 0}, 1e-6f));
  // q and -q are one rotation and are written alike.
  const Quat q = QFromAngAxis(2.0f, {1, 2, -3});
  const RotationFloats a = LayOutRotation(q);
  const RotationFloats b = LayOutRotation(Quat(-q.x, -q.y, -q.z, -q.w));
  EXPECT_EQ(a, b);
  const Point3 axis = Normalize({1, 2, -3});
  EXPECT_NEAR(a[0], 2.0f, 1e-6f);
  EXPECT_TRUE(PointsNear({a[1], a[2], a[3]}, {axis.x, axis.z, axis.y}, 1e-6f));
  // A quaternion that is not unit length is normalised first.
  EXPECT_EQ(LayOutRotation(Quat(0, 0, 0, 5)), (RotationFloats{0, 0, 1, 0}));
}

}  // namespace
}  // namespace kiln
