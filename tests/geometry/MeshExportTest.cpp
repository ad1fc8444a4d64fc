#include <gtest/gtest.h>

#include <array>

#include "geometry/FaceBlocks.h"
#include "geometry/MeshExportFixture.h"
#include "geometry/MeshExporter.h"
#include "materials/MaterialExporter.h"
#include "materials/ShaderMap.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using reader::Float3;
using reader::MeshChunk;
using standalone::MakeBox;
using standalone::SceneBuilder;
using testing::InOutputAxes;
using testing::MeshExportTest;

Face Tri(uint32_t a, uint32_t b, uint32_t c, MtlID id = 0, uint32_t smGroup = 0) {
  Face face;
  face.v[0] = a, face.v[1] = b, face.v[2] = c;
  face.smGroup = smGroup;
  face.setMatID(id);
  return face;
}

// Triangles that share no vertex, one per material id given.
Mesh SeparateTriangles(std::initializer_list<MtlID> ids) {
  Mesh mesh;
  for (MtlID id : ids) {
    const auto base = static_cast<uint32_t>(mesh.verts.size());
    const auto x = static_cast<float>(base);
    mesh.verts.insert(mesh.verts.end(), {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}});
    mesh.faces.push_back(Tri(base, base + 1, base + 2, id));
  }
  return mesh;
}

Mesh BoxWithoutUv(float width, float length, float height) {
  Mesh box = MakeBox(width, length, height);
  box.tVerts.clear();
  box.tvFace.clear();
  return box;
}

TEST_F(MeshExportTest, boxIsWrittenWithSplitVerticesReversedWindingAndOneBlockPerMaterial) {
  SceneBuilder b;
  b.Node("Box", 7).Position({10, 20, 30}).Mesh(BoxWithoutUv(2, 4, 6)).Visibility(1.0f);
  auto scene = b.Build();
  INode* node = scene->FindNode("Box");
  MaterialExporter materials;
  MeshExporter exporter(node, nullptr, &materials);
  EXPECT_EQ(exporter.TrackRequests(), (std::vector<TrackRequest>{{0, 0}, {4, 6}}));
  ASSERT_EQ(Export(exporter, node), 1);
  const reader::ChunkFile file = Read();
  ASSERT_EQ(file.chunks.at(0).id, (reader::ChunkId{0, 1, 1}));
  const MeshChunk& mesh = *Decoded<MeshChunk>(file);
  EXPECT_EQ(file.chunks.at(0).UndecodedBytes(), 0u);

  EXPECT_EQ(mesh.node.name, "Box");
  EXPECT_EQ(mesh.node.handle, 7);
  EXPECT_EQ(mesh.node.parent, -1);
  EXPECT_EQ(mesh.objectOffset.rotation, (std::array<float, 4>{0, 0, 1, 0}));
  EXPECT_EQ(mesh.objectOffset.scale, (std::array<float, 3>{1, 1, 1}));
  EXPECT_EQ(mesh.transform[3], 10.0f);
  EXPECT_EQ(mesh.transform[7], 30.0f);
  EXPECT_EQ(mesh.transform[11], 20.0f);
  EXPECT_EQ(mesh.boxCentre, (Float3{0, 3, 0}));
  EXPECT_EQ(mesh.boxToMinimum, (Float3{-1, -3, -2}));

  // One smoothing group per side: every side has its own four corners.
  EXPECT_EQ(mesh.vertexFormat, 3u);
  ASSERT_EQ(mesh.positions.size(), 24u);
  EXPECT_EQ(mesh.faceCount, 12u);
  ASSERT_EQ(mesh.indices.size(), 36u);
  const Mesh host = BoxWithoutUv(2, 4, 6);
  // Face 0 (bottom, id 1) comes first, read with corners 0, 2, 1.
  EXPECT_EQ(mesh.positions[mesh.indices[0]], InOutputAxes(host.verts[host.faces[0].v[0]]));
  EXPECT_EQ(mesh.positions[mesh.indices[1]], InOutputAxes(host.verts[host.faces[0].v[2]]));
  EXPECT_EQ(mesh.positions[mesh.indices[2]], InOutputAxes(host.verts[host.faces[0].v[1]]));
  EXPECT_EQ(mesh.normals[mesh.indices[0]], (Float3{0, -1, 0}));  // host -z

  ASSERT_EQ(mesh.faceBlocks.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    const MeshChunk::FaceBlock& block = mesh.faceBlocks[i];
    EXPECT_EQ(block.material, "");
    EXPECT_EQ(block.faceCount, 2);
    EXPECT_EQ(block.firstVertex, 4 * i);
    EXPECT_EQ(block.vertexCount, 4);
    EXPECT_EQ(block.firstIndex, 6 * i);
  }
  EXPECT_FALSE(mesh.morph || mesh.skin);

  const auto& info = log_.Informations();
  EXPECT_TRUE(Logged(info, "Exporting object: Box"));
  EXPECT_TRUE(Logged(info, "Handle: 7"));
  EXPECT_TRUE(Logged(info, "Num vertices: 24"));
  EXPECT_TRUE(Logged(info, "Fat verts: 24, invmapsize: 24, seqmapsize: 24"));
  EXPECT_EQ(info.back(), "Mesh exported!");
  EXPECT_TRUE(log_.Errors().empty());
  ASSERT_EQ(debugLines_.size(), 6u);
  EXPECT_EQ(debugLines_[0], "material id: 1, used by 2 faces\n");
}

TEST_F(MeshExportTest, mirroredNodeKeepsHostWindingAndChildNamesItsParent) {
  SceneBuilder b;
  auto& parent = b.Node("Parent", 3).Mesh(BoxWithoutUv(1, 1, 1));
  b.Node("Mirror", 4).Parent(parent).Scale({-1, 1, 1}).Mesh(SeparateTriangles({0}));
  auto scene = b.Build();
  INode* node = scene->FindNode("Mirror");
  MeshExporter exporter(node, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, node), 1);
  const auto meshChunk = ReadMesh();
  const MeshChunk& mesh = *meshChunk;
  EXPECT_EQ(mesh.node.parent, 3);
  // Corners 1, 2, 0: the host's own cyclic order.
  EXPECT_EQ(mesh.positions[mesh.indices[0]], (Float3{1, 0, 0}));
  EXPECT_EQ(mesh.positions[mesh.indices[1]], (Float3{0, 0, 1}));
  EXPECT_EQ(mesh.positions[mesh.indices[2]], (Float3{0, 0, 0}));
}

TEST_F(MeshExportTest, faceBlocksFollowAscendingMaterialIdsWithRunningCounters) {
  SceneBuilder b;
  b.Node("Ids").Mesh(SeparateTriangles({5, 1, 5, 3}));
  auto scene = b.Build();
  INode* node = scene->FindNode("Ids");
  MeshExporter exporter(node, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, node), 1);
  const auto meshChunk = ReadMesh();
  const MeshChunk& mesh = *meshChunk;
  ASSERT_EQ(mesh.faceBlocks.size(), 3u);
  const std::array<std::array<int, 4>, 3> expected = {{{1, 0, 3, 0}, {1, 3, 3, 3}, {2, 6, 6, 6}}};
  for (size_t i = 0; i < 3; ++i) {
    const MeshChunk::FaceBlock& block = mesh.faceBlocks[i];
    EXPECT_EQ((std::array<int, 4>{block.faceCount, block.firstVertex, block.vertexCount,
                                  block.firstIndex}),
              expected[i]);
  }
  // Face 1 (id 1) is written first and its vertices are numbered 0, 1, 2.
  EXPECT_EQ((std::vector<uint16_t>(mesh.indices.begin(), mesh.indices.begin() + 6)),
            (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(mesh.positions[0], (Float3{3, 0, 0}));
  EXPECT_EQ(mesh.positions[3], (Float3{9, 0, 0}));  // face 3, id 3
  EXPECT_EQ(debugLines_, (std::vector<std::string>{"material id: 1, used by 1 faces\n",
                                                   "material id: 3, used by 1 faces\n",
                                                   "material id: 5, used by 2 faces\n"}));
}

TEST_F(MeshExportTest, texturedAndColouredCornersFillTheOptionalArrays) {
  Mesh tri = SeparateTriangles({0});
  tri.tVerts = {{0.1f, 0.2f, 0.3f}};
  tri.tvFace = {TVFace{{0, 0, 0}}};
  tri.vertCol = {{0.5f, 1.2f, -0.1f}};
  tri.vcFace = {TVFace{{0, 0, 0}}};
  tri.dataChannelCount = 2;
  SceneBuilder b;
  b.Node("Painted").Mesh(tri);
  auto scene = b.Build();
  INode* node = scene->FindNode("Painted");
  MeshExporter exporter(node, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, node), 1);
  const auto meshChunk = ReadMesh();
  const MeshChunk& mesh = *meshChunk;
  EXPECT_EQ(mesh.vertexFormat, 3u | 4u | 16u);
  ASSERT_EQ(mesh.uvs.size(), 3u);
  EXPECT_FLOAT_EQ(mesh.uvs[0][0], 0.1f);  // no material: the UV axis
  EXPECT_FLOAT_EQ(mesh.uvs[0][1], 0.8f);
  EXPECT_EQ(mesh.colours, (std::vector<uint32_t>(3, 0xFF80FF00u)));
  EXPECT_TRUE(Logged(log_.Informations(), "object Painted uses multiple data channels.."));
}

// An index list past 65535 vertices is pinned through the walk (GeometryWalk).
TEST_F(MeshExportTest, failedMeshesAreDroppedWithTheirErrorAndTheNextNodeGoesOn) {
  Mesh noFaces;
  noFaces.verts = {{0, 0, 0}};
  SceneBuilder b;
  b.Node("Empty").Mesh(noFaces);
  b.Node("Helper").Object("dummy");
  b.Node("Fine").Mesh(SeparateTriangles({0}));
  auto scene = b.Build();

  for (const char* name : {"Empty", "Helper"}) {
    MeshExporter exporter(scene->FindNode(name), nullptr, nullptr);
    EXPECT_EQ(Export(exporter, scene->FindNode(name)), 0) << name;
  }
  MeshExporter fine(scene->FindNode("Fine"), nullptr, nullptr);
  EXPECT_EQ(Export(fine, scene->FindNode("Fine")), 1);

  EXPECT_EQ(log_.Errors(),
            (std::vector<std::string>{"Mesh of node Empty has no vertices or no faces",
                                      "Error getting tri object for node: Helper"}));
  const reader::ChunkFile file = Read();
  // Each marker sits where the dropped chunk began; the good mesh follows.
  ASSERT_EQ(file.chunks.size(), 4u);
  EXPECT_EQ(file.chunks[0].offset, std::string("Pangolin scene marker!").size() + 1);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(file.chunks[i].id.type, 20u) << i;
  EXPECT_EQ(file.chunks[2].As<MeshChunk>()->node.name, "Fine");
}

// A face block whose material cannot be resolved fails the mesh with an error
// that says why; the walk writes the node's default chunk instead.
TEST(FaceBlockMaterials, unresolvedMaterialsAreLoggedBeforeTheFallback) {
  SceneBuilder b;
  b.Node("Painted").Mesh(SeparateTriangles({0})).Material(&b.Material("Paint"));
  b.Node("Layered").Mesh(SeparateTriangles({0})).Material(&b.Material("Stack", "Composite"));
  auto scene = b.Build();
  testing::ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "m.zqs", true), 1);
  const reader::ChunkFile file = harness.Read("m.zqs");
  using Ids = std::vector<std::pair<uint32_t, uint32_t>>;
  // Paint is exported and names its face block; the composite has no base layer.
  EXPECT_EQ(testing::TopLevelIds(file),
            (Ids{{5, 18}, {5, 18}, {5, 19}, {14, 0}, {18, 0}, {20, 0}, {0, 1}, {22, 0}}));
  EXPECT_EQ(harness.ReadText("m_errors.log"),
            "*** Errors exporting\n\n"
            "Unable to resolve material Stack of node Layered\n");
}

TEST(FaceBlockMaterials, resolveSubMaterialsAndNameShaders) {
  SceneBuilder b;
  auto& multi = b.Material("Multi", "Multi/Sub-Object");
  std::vector<standalone::Material*> subs;
  for (const char* name : {"A", "B", "C", "D"}) {
    subs.push_back(&b.Material(name));
    multi.subMaterials.push_back(subs.back());
  }
  Mtl* resolved = nullptr;
  ASSERT_TRUE(ResolveFaceBlockMaterial(&multi, 6, resolved));
  EXPECT_EQ(resolved, subs[2]);
  ASSERT_TRUE(ResolveFaceBlockMaterial(subs[0], 6, resolved));
  EXPECT_EQ(resolved, subs[0]);
  ASSERT_TRUE(ResolveFaceBlockMaterial(nullptr, 6, resolved));
  EXPECT_EQ(resolved, nullptr);

  auto& composite = b.Material("Layered", "Composite");
  EXPECT_FALSE(ResolveFaceBlockMaterial(&composite, 1, resolved));
  composite.subMaterials.push_back(&multi);
  ASSERT_TRUE(ResolveFaceBlockMaterial(&composite, 1, resolved));
  EXPECT_EQ(resolved, subs[1]);
  ASSERT_TRUE(ResolveFaceBlockMaterial(&composite, 6, resolved));
  EXPECT_EQ(resolved, nullptr);  // no modulo inside a composite

  EXPECT_EQ(ShaderNameForMapChannels(0), "Diffuse");
  EXPECT_EQ(ShaderNameForMapChannels(kMapChannelDiffuse | kMapChannelReflection | kMapChannelBump),
            "Reflection");
  EXPECT_EQ(ShaderNameForMapChannels(kMapChannelDiffuse | kMapChannelBump), "Bump");
  EXPECT_EQ(ShaderNameForMapChannels(kMapChannelDiffuse), "Texture");
  EXPECT_EQ(ShaderNameForMapChannels(kMapChannelBump), "");
}

}  // namespace
}  // namespace kiln
