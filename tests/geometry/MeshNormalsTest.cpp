#include <gtest/gtest.h>

#include "host/Mesh.h"

namespace {

Face Tri(uint32_t a, uint32_t b, uint32_t c, uint32_t smGroup) {
  Face face;
  face.v[0] = a, face.v[1] = b, face.v[2] = c;
  face.smGroup = smGroup;
  return face;
}

// Four triangles fanned around vertex 0 in the z = 0 plane, with the given groups.
Mesh Fan(uint32_t g0, uint32_t g1, uint32_t g2, uint32_t g3) {
  Mesh mesh;
  mesh.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
  mesh.faces = {Tri(0, 1, 2, g0), Tri(0, 2, 3, g1), Tri(0, 3, 4, g2), Tri(0, 4, 1, g3)};
  return mesh;
}

TEST(MeshNormals, oneRenderNormalPerSmoothingCluster) {
  // Groups 1, 3 and 2 chain into one cluster; 8 stands apart.
  Mesh chained = Fan(1, 3, 2, 8);
  chained.buildNormals();
  const RVertex& centre = chained.getRVert(0);
  ASSERT_EQ(centre.rFlags & NORCT_MASK, 2u);
  ASSERT_EQ(centre.ern.size(), 2u);
  EXPECT_EQ(centre.ern[0].smGroup, 3u);
  EXPECT_EQ(centre.ern[1].smGroup, 8u);
  EXPECT_EQ(centre.ern[0].normal, Point3(0, 0, 1));

  // All four sharing a bit: one normal in rn.
  Mesh smooth = Fan(1, 1, 1, 1);
  smooth.buildNormals();
  EXPECT_EQ(smooth.getRVert(0).rFlags, 1u);
  EXPECT_EQ(smooth.getRVert(0).rn.normal, Point3(0, 0, 1));
  EXPECT_EQ(smooth.getRVert(0).rn.smGroup, 1u);

  // Faces without groups make no render normal.
  Mesh faceted = Fan(0, 0, 0, 0);
  faceted.buildNormals();
  EXPECT_EQ(faceted.getRVert(0).rFlags, 0u);
  EXPECT_EQ(faceted.getFaceNormal(2), Point3(0, 0, 1));
}

TEST(MeshNormals, normalsAreAreaWeightedAndSpecifiedOnesWin) {
  // A large face facing +z and a small one facing +x meet at vertex 0.
  Mesh mesh;
  mesh.verts = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 1}, {0, 1, 0}};
  mesh.faces = {Tri(0, 1, 2, 1), Tri(0, 4, 3, 1)};
  mesh.specifiedNormals = {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 0, 0}};
  mesh.specifiedNormalSet = {0, 0, 1, 0, 0};
  mesh.buildNormals();
  const Point3 n = mesh.getRVert(0).rn.normal;
  EXPECT_GT(n.z, 0.99f);
  EXPECT_GT(n.x, 0.0f);
  EXPECT_NEAR(Length(n), 1.0f, 1e-6f);
  EXPECT_EQ(mesh.getRVert(2).rFlags, SPECIFIED_NORMAL | 1u);
  EXPECT_EQ(mesh.getRVert(2).rn.normal, Point3(1, 0, 0));

  mesh.buildBoundingBox();
  EXPECT_EQ(mesh.getBoundingBox().pmin, Point3(0, 0, 0));
  EXPECT_EQ(mesh.getBoundingBox().pmax, Point3(10, 10, 1));
  Mesh empty;
  empty.buildBoundingBox();
  EXPECT_TRUE(empty.getBoundingBox().IsEmpty());
}

}  // namespace
