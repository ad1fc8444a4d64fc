#include <gtest/gtest.h>

#include <numbers>

#include "geometry/AxisExchange.h"
#include "geometry/FakeNode.h"
#include "geometry/ObjectOffset.h"
#include "host/MathTestSupport.h"

namespace kiln {
namespace {

using mathtest::MatricesNear;
using mathtest::RandomValues;

constexpr float kPi = std::numbers::pi_v<float>;

// Reads a block back into host axes: U^-1 * Scale(k) * U * R(q) * T(t).
Matrix3 Rebuild(const ObjectOffsetFloats& b) {
  const Point3 t{b[0], b[2], b[1]};
  const Quat q = QFromAngAxis(b[3], {b[4], b[6], b[5]});
  const Point3 k{b[7], b[9], b[8]};
  const Matrix3 u = RotateMatrix(QFromAngAxis(b[10], {b[11], b[13], b[12]}));
  return Inverse(u) * ScaleMatrix(k) * u * RotateMatrix(q) * TransMatrix(t);
}

TEST(ObjectOffset, nodeWithoutOffsetWritesNeutralBlock) {
  fake::Node node;
  EXPECT_EQ(ObjectOffsetMatrix(&node), Matrix3());
  EXPECT_EQ(LayOutObjectOffset(&node),
            (ObjectOffsetFloats{0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0}));
}

TEST(ObjectOffset, offsetPartsAreWrittenInOutputAxes) {
  fake::Node node;
  node.offsetPos = {1, 2, 3};
  node.offsetRot = QFromAngAxis(kPi / 2, {0, 0, 1});
  node.offsetScale = {2, 3, 4};
  EXPECT_TRUE(MatricesNear(
      ObjectOffsetMatrix(&node),
      ScaleMatrix({2, 3, 4}) * RotateMatrix(node.offsetRot) * TransMatrix({1, 2, 3}), 1e-6f));
  const ObjectOffsetFloats b = LayOutObjectOffset(&node);
  const ObjectOffsetFloats expected{1, 3, 2, kPi / 2, 0, 1, 0, 2, 4, 3, 0, 0, 1, 0};
  for (size_t i = 0; i < b.size(); ++i) EXPECT_NEAR(b[i], expected[i], 1e-5f) << "float " << i;
}

TEST(ObjectOffset, scaleAxisTurnsTheStretch) {
  fake::Node node;
  node.offsetScale = {2, 1, 1};
  // Scale along x seen through a quarter turn about z stretches y.
  node.offsetScaleAxis = QFromAngAxis(kPi / 2, {0, 0, 1});
  EXPECT_TRUE(MatricesNear(ObjectOffsetMatrix(&node), ScaleMatrix({1, 2, 1}), 1e-6f));
}

TEST(ObjectOffset, blockRebuildsTheOffsetIncludingMirroring) {
  RandomValues random(40);
  for (int i = 0; i < 200; ++i) {
    fake::Node node;
    node.offsetPos = random.Vector(-10, 10);
    node.offsetRot = random.Rotation();
    node.offsetScale = random.Vector(0.2f, 4.0f);
    if (i % 2) node.offsetScale.y = -node.offsetScale.y;
    if (i % 3 == 0) node.offsetScaleAxis = random.Rotation();
    const Matrix3 offset = ObjectOffsetMatrix(&node);
    const ObjectOffsetFloats b = LayOutObjectOffset(&node);
    EXPECT_TRUE(MatricesNear(Rebuild(b), offset, 1e-3f)) << "case " << i;
    // The mirroring lives in the written factors: all three negative.
    if (i % 2) {
      EXPECT_LT(b[7], 0.0f);
      EXPECT_LT(b[8], 0.0f);
      EXPECT_LT(b[9], 0.0f);
    }
  }
}

}  // namespace
}  // namespace kiln
