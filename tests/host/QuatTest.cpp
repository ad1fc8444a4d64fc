#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "host/MathTestSupport.h"

namespace kiln::mathtest {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
const Point3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

TEST(Quat, positiveAngleTurnsCounterClockwiseAboutItsAxis) {
  EXPECT_TRUE(PointsNear(kX * RotateMatrix(QFromAngAxis(kPi / 2, kZ)), kY, 1e-6f));
  EXPECT_TRUE(PointsNear(kY * RotateMatrix(QFromAngAxis(kPi / 2, kX)), kZ, 1e-6f));
  EXPECT_TRUE(PointsNear(kZ * RotateMatrix(QFromAngAxis(kPi / 2, kY)), kX, 1e-6f));
  // Axis length does not matter; a zero axis is no rotation.
  EXPECT_TRUE(SameRotation(QFromAngAxis(1.0f, {0, 0, 5}), QFromAngAxis(1.0f, kZ), 1e-6f));
  EXPECT_EQ(QFromAngAxis(1.0f, {}), Quat());
}

// Products compose like matrices; conversion to a matrix and back keeps the
// rotation in every branch of the conversion (half turns included).
TEST(Quat, productAndMatrixConversionAgreeWithMatrices) {
  RandomValues random(1);
  std::vector<Quat> rotations = {Quat(),
                                 QFromAngAxis(kPi, kX),
                                 QFromAngAxis(kPi, kY),
                                 QFromAngAxis(kPi, kZ),
                                 QFromAngAxis(kPi, {1, 1, 0}),
                                 QFromAngAxis(3.1f, {0.2f, -1, 0.4f})};
  for (int i = 0; i < 200; ++i) rotations.push_back(random.Rotation());
  for (const Quat& a : rotations) {
    const Quat b = random.Rotation();
    EXPECT_TRUE(MatricesNear(RotateMatrix(a * b), RotateMatrix(a) * RotateMatrix(b), 1e-5f));
    EXPECT_TRUE(SameRotation(a * Inverse(a), Quat(), 1e-6f));
    // RotateMatrix normalises, so a scaled quaternion is the same rotation.
    const Quat scaled(a.x * 3, a.y * 3, a.z * 3, a.w * 3);
    EXPECT_TRUE(MatricesNear(RotateMatrix(scaled), RotateMatrix(a), 1e-5f));
    const Quat back(RotateMatrix(a));
    EXPECT_TRUE(SameRotation(back, a, 1e-5f));
    EXPECT_NEAR(back.x * back.x + back.y * back.y + back.z * back.z + back.w * back.w, 1.0f, 1e-6f);
  }
  EXPECT_EQ(Inverse(Quat(0, 0, 0, 0)), Quat());
  EXPECT_EQ(Normalize(Quat(0, 0, 0, 0)), Quat());
}

TEST(Quat, angleAxisLiesInZeroToPiWithUnitAxis) {
  const AngAxis identity{Quat()};
  EXPECT_EQ(identity.angle, 0.0f);
  EXPECT_EQ(identity.axis, kZ);

  const AngAxis quarter{QFromAngAxis(kPi / 2, {0, 2, 0})};
  EXPECT_NEAR(quarter.angle, kPi / 2, 1e-6f);
  EXPECT_TRUE(PointsNear(quarter.axis, kY, 1e-6f));

  // 270 degrees about +x is 90 degrees about -x; -q gives the same answer.
  const Quat q = QFromAngAxis(1.5f * kPi, kX);
  for (const Quat& same : {q, Quat(-q.x, -q.y, -q.z, -q.w)}) {
    const AngAxis aa(same);
    EXPECT_NEAR(aa.angle, kPi / 2, 1e-5f);
    EXPECT_TRUE(PointsNear(aa.axis, -kX, 1e-6f));
  }

  // Small angles keep their precision.
  const AngAxis tiny{QFromAngAxis(1e-4f, kZ)};
  EXPECT_NEAR(tiny.angle, 1e-4f, 1e-9f);

  RandomValues random(3);
  for (int i = 0; i < 200; ++i) {
    const Quat r = random.Rotation();
    const AngAxis aa(r);
    EXPECT_GE(aa.angle, 0.0f);
    EXPECT_LE(aa.angle, kPi + 1e-6f);
    EXPECT_NEAR(Length(aa.axis), 1.0f, 1e-6f);
    EXPECT_TRUE(SameRotation(QFromAngAxis(aa.angle, aa.axis), r, 1e-5f));
  }
}

TEST(Quat, eulerAnglesRotateAboutXThenYThenZ) {
  float angles[3];
  QuatToEuler(QFromAngAxis(0.3f, kX), angles);
  EXPECT_NEAR(angles[0], 0.3f, 1e-6f);
  EXPECT_NEAR(angles[1], 0.0f, 1e-6f);
  EXPECT_NEAR(angles[2], 0.0f, 1e-6f);

  const Quat composed = QFromAngAxis(0.1f, kX) * QFromAngAxis(0.2f, kY) * QFromAngAxis(0.3f, kZ);
  QuatToEuler(composed, angles);
  EXPECT_NEAR(angles[0], 0.1f, 1e-5f);
  EXPECT_NEAR(angles[1], 0.2f, 1e-5f);
  EXPECT_NEAR(angles[2], 0.3f, 1e-5f);

  RandomValues random(4);
  std::vector<Quat> rotations = {QFromAngAxis(kPi / 2, kY) * QFromAngAxis(0.7f, kZ),
                                 QFromAngAxis(0.4f, kX) * QFromAngAxis(-kPi / 2, kY)};
  for (int i = 0; i < 200; ++i) rotations.push_back(random.Rotation());
  for (const Quat& q : rotations) {
    QuatToEuler(q, angles);
    EXPECT_LE(std::fabs(angles[1]), kPi / 2 + 1e-6f);
    Quat back;
    EulerToQuat(angles, back);
    EXPECT_TRUE(SameRotation(back, q, 1e-5f));
  }
}

}  // namespace
}  // namespace kiln::mathtest
