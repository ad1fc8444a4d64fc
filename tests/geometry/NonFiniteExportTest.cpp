// Values near the float limit that overflow while the exporter composes them
// are never written as infinities: the node falls back or gets the identity,
// with an error naming it.
#include <gtest/gtest.h>

#include <cmath>

#include "reader/SceneChunks.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using standalone::SceneBuilder;
using testing::ExportHarness;

bool AllFinite(const reader::Matrix3x4& values) {
  for (float v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

TEST(NonFiniteExport, overflowingTransformIsTheIdentityAndOverflowingMeshFallsBack) {
  SceneBuilder b;
  // Each scale is a float; their product is not.
  auto& parent = b.Node("Parent").Scale({3e38f, 1, 1});
  b.Node("Child").Parent(parent).Scale({3e38f, 1, 1}).Position({1, 2, 3});
  // min + max of the box overflows.
  Mesh far;
  far.verts = {{3e38f, 0, 0}, {3.4e38f, 0, 0}, {3e38f, 1, 0}};
  far.faces.resize(1);
  far.faces[0].v[0] = 0, far.faces[0].v[1] = 1, far.faces[0].v[2] = 2;
  b.Node("Far").Mesh(far);
  auto scene = b.Build();

  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "far.zqs", true), 1);
  reader::ChunkFile file = harness.Read("far.zqs");
  const auto entries = reader::FindChunks(file, 19);
  ASSERT_EQ(entries.size(), 3u);
  const auto* child = entries[1]->As<reader::HierarchyEntry>();
  ASSERT_EQ(child->node.name, "Child");
  const reader::Matrix3x4 identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  EXPECT_EQ(child->transform, identity);
  for (const auto* chunk : reader::FindChunks(file, 22)) {
    const auto* plain = chunk->As<reader::PlainNode>();
    EXPECT_TRUE(AllFinite(plain->transform)) << plain->node.name;
    if (plain->node.name == "Child") {
      EXPECT_EQ(plain->transform, identity);
    }
  }
  EXPECT_TRUE(reader::FindChunks(file, 0).empty()) << "the far mesh was written";

  EXPECT_EQ(harness.ReadText("far_errors.log"),
            "*** Errors exporting\n\n"
            "Transform of node Child is not finite: written as the identity\n"
            "Mesh of node Far has vertices, normals or a bounding box that are not finite\n");
  EXPECT_NE(harness.ReadText("far_warnings.log").find("Exporting node Far as unknown node type"),
            std::string::npos);
}

}  // namespace
}  // namespace kiln
