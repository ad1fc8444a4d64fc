#include <gtest/gtest.h>

#include "geometry/MeshExportFixture.h"
#include "geometry/ShadowMeshExporter.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneInterface.h"

namespace kiln {
namespace {

using reader::Float3;
using reader::ShadowMeshChunk;
using standalone::MakeBox;
using standalone::SceneBuilder;
using testing::MeshExportTest;

Face Tri(uint32_t a, uint32_t b, uint32_t c) {
  Face face;
  face.v[0] = a, face.v[1] = b, face.v[2] = c;
  return face;
}

TEST_F(MeshExportTest, closedBoxShadowHasEightVerticesTwelveFacesAndEighteenSharedEdges) {
  SceneBuilder b;
  auto& body = b.Node("Body", 5).Mesh(MakeBox());
  b.Node("s_Box", 6).Parent(body).Mesh(MakeBox(2, 2, 2));
  auto scene = b.Build();
  standalone::SceneInterface ip(*scene);
  INode* node = scene->FindNode("s_Box");
  ShadowMeshExporter exporter(node, &ip);
  EXPECT_TRUE(exporter.TrackRequests().empty());
  ASSERT_EQ(Export(exporter, node), 1);
  const reader::ChunkFile file = Read();
  ASSERT_EQ(file.chunks.at(0).id, (reader::ChunkId{17, 0, 1}));
  EXPECT_EQ(file.chunks.at(0).UndecodedBytes(), 0u);
  const ShadowMeshChunk& shadow = *Decoded<ShadowMeshChunk>(file);
  EXPECT_EQ(shadow.node.name, "s_Box");
  EXPECT_EQ(shadow.node.parent, 5);

  const Mesh host = MakeBox(2, 2, 2);
  ASSERT_EQ(shadow.positions.size(), 8u);
  EXPECT_EQ(shadow.positions[7], (Float3{host.verts[7].x, host.verts[7].z, host.verts[7].y}));
  ASSERT_EQ(shadow.faces.size(), 12u);
  // Corners 0, 2, 1, and outward normals: the bottom faces down (host -z).
  EXPECT_EQ(shadow.faces[0].vertices,
            (std::array<uint32_t, 3>{host.faces[0].v[0], host.faces[0].v[2], host.faces[0].v[1]}));
  EXPECT_EQ(shadow.faces[0].normal, (Float3{0, -1, 0}));
  EXPECT_EQ(shadow.faces[2].normal, (Float3{0, 1, 0}));
  ASSERT_EQ(shadow.edges.size(), 18u);
  for (const ShadowMeshChunk::Edge& edge : shadow.edges) {
    EXPECT_NE(edge.face1, -1);
    EXPECT_LT(edge.face0, edge.face1);
  }
  EXPECT_TRUE(log_.Warnings().empty());
}

TEST(ShadowEdges, singleTriangleAndEdgesSharedByThreeFaces) {
  Mesh triangle;
  triangle.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  triangle.faces = {Tri(0, 1, 2)};
  const int order[3] = {0, 2, 1};
  const std::vector<ShadowEdge> edges = BuildShadowEdges(triangle, order);
  ASSERT_EQ(edges.size(), 3u);
  EXPECT_EQ(edges[0].a, 0u);
  EXPECT_EQ(edges[0].b, 2u);
  for (const ShadowEdge& edge : edges) EXPECT_EQ(edge.face1, -1);

  // Three fins on the edge 0-1, met in both directions.
  Mesh fins;
  fins.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}};
  fins.faces = {Tri(0, 1, 2), Tri(1, 0, 3), Tri(0, 1, 4)};
  const int keep[3] = {0, 1, 2};
  const std::vector<ShadowEdge> shared = BuildShadowEdges(fins, keep);
  ASSERT_EQ(shared.size(), 7u);
  EXPECT_EQ(shared[0].a, 0u);
  EXPECT_EQ(shared[0].b, 1u);
  EXPECT_EQ(shared[0].face0, 0);
  EXPECT_EQ(shared[0].face1, 2);
}

TEST_F(MeshExportTest, shadowMeshWarnsOfMirroringThatOnlyTheParentHasAndFailsWithoutMesh) {
  SceneBuilder b;
  auto& mirror = b.Node("Mirror").Scale({-1, 1, 1}).Object("dummy");
  b.Node("s_Child").Parent(mirror).Mesh(MakeBox());
  b.Node("s_Helper").Object("dummy");
  auto scene = b.Build();
  standalone::SceneInterface ip(*scene);
  ShadowMeshExporter child(scene->FindNode("s_Child"), &ip);
  EXPECT_EQ(Export(child, scene->FindNode("s_Child")), 1);
  EXPECT_EQ(log_.Warnings(),
            (std::vector<std::string>{
                "shadow mesh s_Child has different parity and determinant sign.."}));
  ShadowMeshExporter helper(scene->FindNode("s_Helper"), &ip);
  EXPECT_EQ(Export(helper, scene->FindNode("s_Helper")), 0);
  EXPECT_EQ(log_.Errors(),
            (std::vector<std::string>{"Error getting tri object for node: s_Helper"}));
  const reader::ChunkFile file = Read();
  // Mirrored world transform: the host's own corner order, normals as computed.
  const ShadowMeshChunk& shadow = *Decoded<ShadowMeshChunk>(file);
  const Mesh host = MakeBox();
  EXPECT_EQ(shadow.faces[0].vertices,
            (std::array<uint32_t, 3>{host.faces[0].v[0], host.faces[0].v[1], host.faces[0].v[2]}));
  EXPECT_EQ(shadow.faces[0].normal, (Float3{0, -1, 0}));
  EXPECT_EQ(file.chunks.at(2).id.type, 20u);  // the helper's chunk was dropped
}

}  // namespace
}  // namespace kiln
