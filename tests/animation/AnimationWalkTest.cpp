// Animation through the export entry: which nodes ask for which tracks, and
// what an animation export leaves on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "reader/AnimationChunks.h"
#include "reader/HelperChunks.h"
#include "standalone/IKControllers.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneFile.h"
#include "support/ExportHarness.h"

namespace kiln::testing {
namespace {

using namespace standalone;

std::vector<std::string> TrackNames(const reader::ChunkFile& file) {
  std::vector<std::string> names;
  for (const reader::Chunk* track : reader::FindChunks(file, 6, 21)) {
    names.push_back(track->As<reader::Track>()->name.value_or("-"));
  }
  return names;
}

TEST(AnimationWalk, bonesMorphWeightsAndKeylessClassesThroughTheExport) {
  SceneBuilder b;
  auto& hip = b.Node("Hip").Object("bone").ConvertsTo(MakeBox()).Position({0, 0, 1});
  auto& knee = b.Node("Knee").Parent(hip).Object("bone").ConvertsTo(MakeBox());
  auto ik = std::make_unique<IKController>();
  ik->SetParts({Point3(0, 0, -1), {}, {}});
  knee.node().SetTransform(std::move(ik));
  auto& face = b.Node("Face").Mesh(MakeBox());
  MorpherModifier& morpher = face.Morpher();
  for (int slot : {0, 3, 7}) morpher.AddChannel(slot, {}, 0.0f);
  morpher.SetWeightController(7, std::make_unique<FloatController>(40.0f));
  auto& odd = b.Node("Odd").WithoutScale();
  auto script = FloatController::WithKeys(Interpolation::kBezier, {{}, {.time = 160}});
  script->SetClass(Class_ID(0x1234, 0x5678), "Float Script");
  odd.PRS().roll = std::move(script);
  auto scene = b.Build();

  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "rig.zqs", true), 1);
  const reader::ChunkFile rig = harness.Read("rig.zqs");
  const auto bones = reader::FindChunks(rig, 3, 14);
  ASSERT_EQ(bones.size(), 2u);
  const auto* hipBone = bones[0]->As<reader::BoneNode>();
  EXPECT_EQ(hipBone->node.name, "Hip");
  EXPECT_EQ(hipBone->transform[7], 1.0f);  // host z 1 is the output's y: column 1
  EXPECT_EQ(bones[1]->As<reader::BoneNode>()->node.parent,
            static_cast<int32_t>(hip.node().GetHandle()));

  ASSERT_EQ(harness.Export(*scene, "rig.zqa", true), 1);
  const reader::ChunkFile animation = harness.Read("rig.zqa");
  // Walk order; the IK bone is sampled; channel 7 is the third collected channel.
  EXPECT_EQ(TrackNames(animation),
            (std::vector<std::string>{"Hip::PRS", "Knee::PRS", "Face::PRS", "Face::MorphChannel_2",
                                      "Odd::Position", "Odd::Rotation", "Odd::Roll"}));
  EXPECT_EQ(reader::FindChunks(animation, 7, 33).size(), 1u);
  // The morph weight's one key; the script controller's keys have no format:
  // an empty float track and a warning.
  const auto floats = reader::FindChunks(animation, 11, 24);
  ASSERT_EQ(floats.size(), 2u);
  EXPECT_EQ(floats[0]->children.at(0).As<reader::KeyBlock>()->keys.at(0),
            (std::vector<float>{0, 40}));
  EXPECT_TRUE(floats[1]->children.empty());
  EXPECT_NE(harness.ReadText("rig_warnings.log").find("Error exporting animations from node: Odd"),
            std::string::npos);
}

TEST(AnimationWalk, aStreamThatCannotBeWrittenFailsAndKeepsTheEarlierFiles) {
  SceneBuilder b;
  auto& bone = b.Node("Bone").Object("bone").ConvertsTo(MakeBox());
  auto ik = std::make_unique<IKController>();
  ik->SetParts({});
  ik->position = PositionController::WithKeys(Interpolation::kLinear,
                                              {{}, {.time = 4800, .value = {1, 0, 0}}});
  bone.node().SetTransform(std::move(ik));
  auto scene = b.Build();
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "walk.zqa", true), 1);
  const std::string earlier = harness.ReadText("walk.zqa");
  const reader::ChunkFile file = harness.Read("walk.zqa");
  ASSERT_EQ(reader::FindChunks(file, 7, 33).at(0)->As<reader::SampledTransform>()->times.size(),
            20u);
  EXPECT_TRUE(file.notes.empty());

  std::filesystem::remove(harness.OutPath("walk.str"));
  std::filesystem::create_directory(harness.OutPath("walk.str"));
  EXPECT_EQ(harness.Export(*scene, "walk.zqa", true), 0);
  EXPECT_EQ(harness.ReadText("walk.zqa"), earlier);
  EXPECT_TRUE(std::filesystem::is_directory(harness.OutPath("walk.str")));
}

TEST(AnimationWalk, theWalkExampleExportsKeyBlocksAndStreamedSamples) {
  auto scene = LoadSceneFile(std::filesystem::path(KILN_SOURCE_DIR) / "examples/walk.kscene.json");
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "walk.zqa", true), 1);
  const reader::ChunkFile file = harness.Read("walk.zqa");
  EXPECT_TRUE(file.notes.empty()) << file.notes.front();
  std::set<uint32_t> blocks;
  for (const reader::Chunk* keys : reader::FindChunks(file, 13)) blocks.insert(keys->id.subtype);
  EXPECT_EQ(blocks, (std::set<uint32_t>{35, 37, 40, 43, 44, 45, 46}));
  const auto sampled = reader::FindChunks(file, 7, 33);
  ASSERT_EQ(sampled.size(), 2u);  // the two IK bones of the left leg
  for (const reader::Chunk* chunk : sampled) {
    const auto* s = chunk->As<reader::SampledTransform>();
    EXPECT_TRUE(s->streamed && s->samplesRead);
    EXPECT_EQ(s->matrices.size(), 6u);
  }
  EXPECT_EQ(reader::FindChunks(file, 9, 30).size(), 1u);  // the head looks at its target
  EXPECT_EQ(reader::FindChunks(file, 7, 29).size(), 1u);  // the cup's links
  EXPECT_TRUE(harness.ReadText("walk_warnings.log").empty())
      << harness.ReadText("walk_warnings.log");
}

}  // namespace
}  // namespace kiln::testing
