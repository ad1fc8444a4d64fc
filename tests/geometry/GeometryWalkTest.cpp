#include <gtest/gtest.h>

#include <fstream>

#include "reader/MeshChunks.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using standalone::MakeBox;
using standalone::SceneBuilder;
using testing::ExportHarness;
using testing::TopLevelIds;
using Ids = std::vector<std::pair<uint32_t, uint32_t>>;

TEST(GeometryWalk, carShadowNodesBecomeShadowMeshesAndOversizedMeshesFallBack) {
  Mesh big;
  for (uint32_t f = 0; f < 22000; ++f) {
    const auto x = static_cast<float>(f);
    big.verts.insert(big.verts.end(), {{x, 0, 0}, {x, 1, 0}, {x, 0, 1}});
    Face face;
    face.v[0] = 3 * f, face.v[1] = 3 * f + 1, face.v[2] = 3 * f + 2;
    big.faces.push_back(face);
  }
  SceneBuilder b;
  b.Node("S_Floor").Mesh(MakeBox());
  b.Node("Big").Mesh(big);
  b.Node("Body").Mesh(MakeBox());
  auto scene = b.Build();

  ExportHarness harness;
  std::ofstream(harness.ConfigPath("CarExporterSettings.ini")) << "[Car]\n";
  ASSERT_EQ(harness.Export(*scene, "car.zqc", true), 1);
  const reader::ChunkFile car = harness.Read("car.zqc");
  const Ids carIds = TopLevelIds(car);
  // Car exports follow each node with its track chunks (6, 21).
  Ids nodes;
  for (auto id : carIds) {
    if (id.first != 6) nodes.push_back(id);
  }
  nodes.erase(nodes.begin(), nodes.end() - 3);
  EXPECT_EQ(nodes, (Ids{{17, 0}, {22, 0}, {0, 1}}));
  const std::string errors = harness.ReadText("car_errors.log");
  EXPECT_NE(errors.find("Vertex index (65536) too large in mesh: Big\n"), std::string::npos);
  EXPECT_NE(harness.ReadText("car_warnings.log").find("Exporting node Big as unknown node type"),
            std::string::npos);

  ASSERT_EQ(harness.Export(*scene, "scene.zqs", true), 1);
  const Ids sceneIds = TopLevelIds(harness.Read("scene.zqs"));
  EXPECT_EQ(Ids(sceneIds.end() - 3, sceneIds.end()), (Ids{{0, 1}, {22, 0}, {0, 1}}));
}

}  // namespace
}  // namespace kiln
