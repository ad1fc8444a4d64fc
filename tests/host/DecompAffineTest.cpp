#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/DecompAffine.h"
#include "host/MathTestSupport.h"

namespace kiln::mathtest {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// M = U^-1 * Scale(f * k) * U * R(q) * T(t).
Matrix3 Compose(const AffineParts& parts) {
  const Matrix3 u = RotateMatrix(parts.u);
  return Inverse(u) * ScaleMatrix(parts.k * parts.f) * u * RotateMatrix(parts.q) *
         TransMatrix(parts.t);
}

AffineParts Decompose(const Matrix3& m) {
  AffineParts parts;
  decomp_affine(m, &parts);
  return parts;
}

void ExpectCanonical(const AffineParts& parts) {
  EXPECT_TRUE(parts.f == 1.0f || parts.f == -1.0f);
  EXPECT_GE(parts.k.x, 0.0f);
  EXPECT_GE(parts.k.y, 0.0f);
  EXPECT_GE(parts.k.z, 0.0f);
  EXPECT_GE(parts.q.w, 0.0f);
  EXPECT_GE(parts.u.w, 0.0f);
}

// Exact parts of plain matrices: mirroring moves to the sign and leaves
// positive factors; one mirrored axis, -1 * (1, -1, 1) = (-1, 1, -1), is a
// half turn about y.
TEST(DecompAffine, plainMatricesGiveCanonicalParts) {
  const struct {
    Matrix3 m;
    Point3 t, k;
    Quat q;
    float f;
  } cases[] = {
      {Matrix3(), {}, {1, 1, 1}, Quat(), 1.0f},
      {ScaleMatrix({-2, -2, -2}) * TransMatrix({1, 2, 3}), {1, 2, 3}, {2, 2, 2}, Quat(), -1.0f},
      {ScaleMatrix({1, -1, 1}), {}, {1, 1, 1}, QFromAngAxis(kPi, {0, 1, 0}), -1.0f},
  };
  for (const auto& c : cases) {
    const AffineParts parts = Decompose(c.m);
    EXPECT_EQ(parts.t, c.t);
    EXPECT_TRUE(PointsNear(parts.k, c.k, 1e-5f));
    EXPECT_TRUE(SameRotation(parts.q, c.q, 1e-5f));
    EXPECT_EQ(parts.u, Quat());
    EXPECT_EQ(parts.f, c.f);
  }
}

TEST(DecompAffine, partsRebuildRandomMatrices) {
  RandomValues random(20);
  for (int i = 0; i < 500; ++i) {
    AffineParts source;
    source.t = random.Vector(-100, 100);
    source.q = random.Rotation();
    source.u = random.Rotation();
    source.k = random.Vector(0.1f, 10.0f);
    source.f = i % 2 == 0 ? 1.0f : -1.0f;
    const Matrix3 m = Compose(source);
    const AffineParts parts = Decompose(m);
    ExpectCanonical(parts);
    EXPECT_EQ(parts.f, source.f);
    EXPECT_EQ(parts.t, source.t);
    EXPECT_TRUE(MatricesNear(Compose(parts), m, 2e-3f)) << "case " << i;
    // Distinct factors: the same set, perhaps in another order.
    const float sourceProduct = source.k.x * source.k.y * source.k.z;
    EXPECT_NEAR(parts.k.x * parts.k.y * parts.k.z, sourceProduct, 1e-4f * sourceProduct);
  }
}

TEST(DecompAffine, equalFactorsGiveTheStretchRotationNearestIdentity) {
  // Uniform stretch: any u works, the canonical one is the identity.
  RandomValues random(21);
  for (int i = 0; i < 50; ++i) {
    AffineParts source;
    source.q = random.Rotation();
    source.u = random.Rotation();
    source.k = {3, 3, 3};
    const AffineParts parts = Decompose(Compose(source));
    EXPECT_EQ(parts.u, Quat());
    EXPECT_TRUE(SameRotation(parts.q, source.q, 1e-5f));
  }
  // Two equal factors: u is fixed up to a twist about the lone axis; every u
  // that gives the same stretch gives the same answer, with no component
  // along the lone axis.
  const Quat twist = QFromAngAxis(0.9f, {0, 0, 1});
  const Quat base = QFromAngAxis(0.4f, {1, 2, 0});
  AffineParts a, b;
  a.k = b.k = {2, 2, 5};
  a.u = base;
  b.u = twist * base;
  const AffineParts pa = Decompose(Compose(a)), pb = Decompose(Compose(b));
  EXPECT_TRUE(SameRotation(pa.u, pb.u, 1e-5f));
  EXPECT_TRUE(PointsNear(pa.k, pb.k, 1e-5f));
  const int lone =
      std::fabs(pa.k.x - pa.k.y) < 1e-4f ? 2 : (std::fabs(pa.k.x - pa.k.z) < 1e-4f ? 1 : 0);
  EXPECT_NEAR(lone == 0 ? pa.u.x : (lone == 1 ? pa.u.y : pa.u.z), 0.0f, 1e-6f);
  EXPECT_TRUE(MatricesNear(Compose(pa), Compose(a), 1e-4f));

  // A plain non-uniform scale needs no stretch rotation at all.
  const AffineParts plain = Decompose(ScaleMatrix({1, 2, 3}) * RotateMatrix(base));
  EXPECT_EQ(plain.u, Quat());
  EXPECT_TRUE(PointsNear(plain.k, {1, 2, 3}, 1e-5f));
  EXPECT_TRUE(SameRotation(plain.q, base, 1e-5f));
  const AffineParts plainTwo = Decompose(ScaleMatrix({4, 1, 4}));
  EXPECT_EQ(plainTwo.u, Quat());
  EXPECT_TRUE(PointsNear(plainTwo.k, {4, 1, 4}, 1e-5f));
}

TEST(DecompAffine, collapsedMatricesGiveFiniteParts) {
  for (const Matrix3& m :
       {ScaleMatrix({1, 0, 2}) * RotateMatrix(QFromAngAxis(0.5f, {1, 1, 1})),
        ScaleMatrix({0, 0, 3}) * RotateMatrix(QFromAngAxis(1.0f, {0, 1, 1})), Matrix3(false)}) {
    const AffineParts parts = Decompose(m);
    ExpectCanonical(parts);
    EXPECT_TRUE(std::isfinite(parts.q.w) && std::isfinite(parts.u.w));
    EXPECT_TRUE(MatricesNear(Compose(parts), m, 1e-5f));
  }
  // Garbage in ends, it does not hang.
  Decompose(ScaleMatrix({std::nanf(""), 1, 1}));
  Decompose(ScaleMatrix({INFINITY, 1, 1}));
}

}  // namespace
}  // namespace kiln::mathtest
