#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "geometry/MeshExportFixture.h"
#include "geometry/MeshExporter.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"

namespace kiln {
namespace {

using reader::Float3;
using reader::MeshChunk;
using standalone::BoneWeight;
using standalone::FloatController;
using standalone::MakeBox;
using standalone::MorpherModifier;
using standalone::SceneBuilder;
using standalone::SkinModifier;
using testing::InOutputAxes;
using testing::MeshExportTest;

// Host vertex of every output vertex, found by position (the box's corners
// are distinct).
std::vector<int> HostVertexOf(const MeshChunk& mesh, const Mesh& host) {
  std::vector<int> result;
  for (const Float3& p : mesh.positions) {
    int found = -1;
    for (size_t v = 0; v < host.verts.size(); ++v)
      if (InOutputAxes(host.verts[v]) == p) found = static_cast<int>(v);
    result.push_back(found);
  }
  return result;
}

// A box on eight bones B0..B7 that sit 10 units up, bound at the origin: an
// enabled skin lifts every weighted vertex by 10.
struct SkinnedBox {
  SceneBuilder b;
  standalone::NodeBuilder& mesh;
  SkinModifier* skin = nullptr;
  std::unique_ptr<standalone::Scene> scene;
  INode* node = nullptr;

  explicit SkinnedBox(const char* name)
      : mesh(b.Node(name).Position({1, 2, 3}).Mesh(MakeBox(2, 2, 2))) {
    skin = &mesh.Skin();
    for (int i = 0; i < 8; ++i) {
      std::string name = "B";
      name += std::to_string(i);
      auto& bone = b.Node(std::move(name)).Position({0, 0, 10}).Object("dummy");
      skin->AddBone(&bone.node(), Matrix3());
    }
  }
  void Build() {
    scene = b.Build();
    node = scene->FindNode(mesh.node().GetName());
  }
};

TEST_F(MeshExportTest, skinnedMeshIsReadInBindPoseWithInfluencesOnEverySplitVertex) {
  SkinnedBox box("Skinned");
  box.skin->AddPoint({{3, 0.5f}, {1, 0.0f}, {7, 0.5f}});
  box.skin->AddPoint({{0, 0.25f}, {1, 0.25f}, {2, 0.25f}, {3, 0.25f}});
  for (int p = 2; p < 7; ++p) box.skin->AddPoint({{0, 1.0f}});
  // Vertex 7 has no skin point.
  box.Build();

  // Evaluated with the skin on, the box is lifted: the export must not be.
  const Mesh host = MakeBox(2, 2, 2);
  ASSERT_EQ(
      box.node->EvalWorldState(0).obj->ConvertToType(0, TRIOBJ_CLASS_ID)->GetMesh().verts[2].z,
      host.verts[2].z + 10.0f);

  MeshExporter exporter(box.node, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, box.node), 1);
  EXPECT_TRUE(box.skin->IsEnabled());
  const reader::ChunkFile file = Read();
  ASSERT_EQ(file.chunks.at(0).id, (reader::ChunkId{0, 2, 1}));
  const MeshChunk& mesh = *Decoded<MeshChunk>(file);
  ASSERT_EQ(mesh.positions.size(), 24u);  // every corner split three ways by its uvs
  const std::vector<int> hostOf = HostVertexOf(mesh, host);
  for (int v : hostOf) ASSERT_GE(v, 0) << "an exported vertex is not where the host has one";

  ASSERT_TRUE(mesh.skin);
  const MeshChunk::Skin& skin = *mesh.skin;
  EXPECT_EQ(skin.bindTransform[3], 1.0f);  // the node's transform, axes exchanged
  EXPECT_EQ(skin.bindTransform[7], 3.0f);
  EXPECT_EQ(skin.bindTransform[11], 2.0f);
  ASSERT_EQ(skin.bones.size(), 8u);
  EXPECT_EQ(skin.bones[3].name, "B3");
  EXPECT_EQ(skin.bones[3].bindTransform[0], 1.0f);
  ASSERT_EQ(skin.influences.size(), 24u);
  for (size_t out = 0; out < 24; ++out) {
    const MeshChunk::Influence& got = skin.influences[out];
    using W = std::array<float, 4>;
    using B = std::array<int32_t, 4>;
    switch (hostOf[out]) {
      case 0:
        EXPECT_EQ(got.weights, (W{0.5f, 0.5f, 0, 0}));
        EXPECT_EQ(got.bones, (B{192, 448, -1, -1}));
        break;
      case 1:
        EXPECT_EQ(got.bones, (B{0, 64, 128, 192}));
        break;
      case 7:
        EXPECT_EQ(got.weights, (W{0, 0, 0, 0}));
        EXPECT_EQ(got.bones, (B{-1, -1, -1, -1}));
        break;
      default:
        EXPECT_EQ(got.weights, (W{1.0f, 0, 0, 0}));
        EXPECT_EQ(got.bones, (B{0, -1, -1, -1}));
    }
  }
  EXPECT_TRUE(Logged(log_.Warnings(), "Warning! Collecting bones!"));
  EXPECT_TRUE(Logged(log_.Informations(), "0: #bones: 3"));
  EXPECT_TRUE(Logged(log_.Informations(), "Exporting 24 skin infos"));
}

TEST_F(MeshExportTest, skinFailuresAndDisabledSkinsLeaveTheSkinAsTheyFoundIt) {
  SkinnedBox five("Five");
  five.skin->AddPoint({{0, 0.2f}, {1, 0.2f}, {2, 0.2f}, {3, 0.2f}, {4, 0.2f}});
  five.Build();
  MeshExporter failing(five.node, nullptr, nullptr);
  EXPECT_EQ(Export(failing, five.node), 0);
  EXPECT_TRUE(five.skin->IsEnabled());
  EXPECT_EQ(log_.Errors(),
            (std::vector<std::string>{
                "Skin, Five, has vertices with to many bones affecting it, vert: 0"}));

  SkinnedBox off("Off");
  off.skin->AddPoint({{0, 1.0f}});
  off.skin->SetEnabled(false);
  off.skin->refFrame = 160;
  off.Build();
  MeshExporter plain(off.node, nullptr, nullptr);
  EXPECT_EQ(Export(plain, off.node), 1);
  EXPECT_FALSE(off.skin->IsEnabled());

  const reader::ChunkFile file = Read();
  EXPECT_EQ(file.chunks.at(0).id.type, 20u);  // the failed chunk was dropped
  ASSERT_EQ(file.chunks.at(1).id, (reader::ChunkId{0, 1, 1}));
  const MeshChunk& mesh = *Decoded<MeshChunk>(file, 1);
  EXPECT_FALSE(mesh.skin);
  EXPECT_EQ(mesh.boxCentre, (Float3{0, 1, 0}));  // not lifted by the skin
}

MorphChannelSlot& AddChannel(MorpherModifier& morpher, int slot, float dx, size_t points) {
  MorphChannelSlot& channel = morpher.Channel(slot);
  channel.active = true;
  channel.deltas.assign(points, {dx, 0, 0});
  channel.deltas[0] = {dx, 1, 2};
  channel.weights.assign(points, 1.0);
  channel.weight = 0.0f;
  return channel;
}

TEST_F(MeshExportTest, morphChannelsAreNumberedInSlotOrderWithDeltasPerSplitVertex) {
  SceneBuilder b;
  auto& node = b.Node("Morphed").Mesh(MakeBox(2, 2, 2));
  MorpherModifier& morpher = node.Morpher();
  // Half applied at the evaluation time: the base must still be the
  // unmorphed box, and the channel its full delta.
  AddChannel(morpher, 0, 1, 8).weight = 50.0f;
  AddChannel(morpher, 3, 3, 4);  // reaches vertices 0..3 only
  AddChannel(morpher, 7, 7, 8);
  morpher.Channel(5).invalid = true;  // present but invalid: skipped
  morpher.SetWeightController(7, std::make_unique<FloatController>(0.0f));
  auto scene = b.Build();
  INode* mesh = scene->FindNode("Morphed");

  MeshExporter exporter(mesh, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, mesh), 1);
  EXPECT_TRUE(morpher.IsEnabled());
  EXPECT_EQ(exporter.TrackRequests(), (std::vector<TrackRequest>{{0, 0}, {4, 9}}));
  const reader::ChunkFile file = Read();
  ASSERT_EQ(file.chunks.at(0).id, (reader::ChunkId{0, 3, 1}));
  const MeshChunk& chunk = *Decoded<MeshChunk>(file);
  ASSERT_TRUE(chunk.morph);
  ASSERT_EQ(chunk.morph->channels.size(), 3u);
  EXPECT_FALSE(chunk.morph->channels[0].animated);
  EXPECT_TRUE(chunk.morph->channels[2].animated);
  const std::vector<int> hostOf = HostVertexOf(chunk, MakeBox(2, 2, 2));
  for (size_t out = 0; out < hostOf.size(); ++out) {
    const int v = hostOf[out];
    ASSERT_GE(v, 0) << "vertex " << out << " is not where the unmorphed box has one";
    EXPECT_EQ(chunk.morph->channels[0].deltas[out], (v == 0 ? Float3{1, 2, 1} : Float3{1, 0, 0}));
    // Host vertex 0 is split three ways; all three carry its delta.
    const Float3 first = v == 0 ? Float3{7, 2, 1} : Float3{7, 0, 0};
    EXPECT_EQ(chunk.morph->channels[2].deltas[out], first) << out;
    // Channel 1 starts from zero where it has no point.
    const Float3 partial = v == 0 ? Float3{3, 2, 1} : (v < 4 ? Float3{3, 0, 0} : Float3{0, 0, 0});
    EXPECT_EQ(chunk.morph->channels[1].deltas[out], partial) << out;
  }
  EXPECT_TRUE(Logged(log_.Informations(), "num vertices in channel 4"));
}

TEST_F(MeshExportTest, onlyTenMorphChannelsCanBeAnimated) {
  SceneBuilder b;
  auto& node = b.Node("Faces").Mesh(MakeBox());
  MorpherModifier& morpher = node.Morpher();
  for (int slot = 0; slot < 11; ++slot) AddChannel(morpher, slot * 2, 1, 8);
  morpher.SetWeightController(20, std::make_unique<FloatController>(0.0f));
  auto scene = b.Build();
  INode* mesh = scene->FindNode("Faces");
  MeshExporter exporter(mesh, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, mesh), 1);
  EXPECT_EQ(exporter.TrackRequests(), (std::vector<TrackRequest>{{0, 0}}));
  EXPECT_EQ(log_.Errors(),
            (std::vector<std::string>{
                "Node Faces has more than nine animated morph channels, which isn't supported.."}));
  const auto chunk = ReadMesh();
  ASSERT_EQ(chunk->morph->channels.size(), 11u);
  EXPECT_FALSE(chunk->morph->channels[10].animated);
}

TEST_F(MeshExportTest, skinnedAndMorphedMeshCarriesMorphThenSkin) {
  SkinnedBox box("Both");
  box.skin->AddPoint({{2, 1.0f}});
  MorpherModifier& morpher = box.mesh.Morpher();  // above the skin
  AddChannel(morpher, 0, 1, 8);
  box.Build();
  MeshExporter exporter(box.node, nullptr, nullptr);
  ASSERT_EQ(Export(exporter, box.node), 1);
  EXPECT_TRUE(box.skin->IsEnabled());
  const reader::ChunkFile file = Read();
  ASSERT_EQ(file.chunks.at(0).id, (reader::ChunkId{0, 4, 1}));
  EXPECT_EQ(file.chunks.at(0).UndecodedBytes(), 0u);
  const MeshChunk& chunk = *Decoded<MeshChunk>(file);
  ASSERT_TRUE(chunk.morph && chunk.skin);
  EXPECT_EQ(chunk.morph->channels.size(), 1u);
  EXPECT_EQ(chunk.skin->influences.size(), chunk.positions.size());
}

}  // namespace
}  // namespace kiln
