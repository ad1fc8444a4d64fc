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

// The block in output axes: translation, rotation (angle, axis), scale and
// stretch rotation, y and z exchanged. A scale along x seen through a quarter
// turn about z stretches y.
TEST(ObjectOffset, offsetPartsAreWrittenInOutputAxes) {
  const Quat quarter = QFromAngAxis(kPi / 2, {0, 0, 1});
  const struct {
    Point3 pos, scale;
    Quat rot, scaleAxis;
    Matrix3 matrix;
    ObjectOffsetFloats block;
  } cases[] = {
      {{}, {1, 1, 1}, Quat(), Quat(), Matrix3(), {0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0}},
      {{1, 2, 3},
       {2, 3, 4},
       quarter,
       Quat(),
       ScaleMatrix({2, 3, 4}) * RotateMatrix(quarter) * TransMatrix({1, 2, 3}),
       {1, 3, 2, kPi / 2, 0, 1, 0, 2, 4, 3, 0, 0, 1, 0}},
      {{}, {2, 1, 1}, Quat(), quarter, ScaleMatrix({1, 2, 1}), {}},
  };
  for (const auto& c : cases) {
    fake::Node node;
    node.offsetPos = c.pos;
    node.offsetScale = c.scale;
    node.offsetRot = c.rot;
    node.offsetScaleAxis = c.scaleAxis;
    EXPECT_TRUE(MatricesNear(ObjectOffsetMatrix(&node), c.matrix, 1e-6f));
    if (c.block == ObjectOffsetFloats{}) continue;
    const ObjectOffsetFloats b = LayOutObjectOffset(&node);
    for (size_t i = 0; i < b.size(); ++i) EXPECT_NEAR(b[i], c.block[i], 1e-5f) << "float " << i;
  }
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
