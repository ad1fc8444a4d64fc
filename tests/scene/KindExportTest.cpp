// Car, human-character and animation exports.
#include <gtest/gtest.h>

#include "platform/Messages.h"
#include "plugin/Globals.h"
#include "reader/SceneChunks.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"
#include "util/SettingsFile.h"

namespace kiln {
namespace {

using standalone::MakeBox;
using standalone::SceneBuilder;
using testing::ExportHarness;
using testing::TopLevelIds;

std::vector<std::string> WrittenNames(const reader::ChunkFile& file, uint32_t type) {
  std::vector<std::string> names;
  for (const reader::Chunk* chunk : reader::FindChunks(file, type)) {
    if (const auto* plain = chunk->As<reader::PlainNode>()) names.push_back(plain->node.name);
  }
  return names;
}

TEST(CarExport, attachmentPointsAndTheCentreGetTheirIniEntries) {
  SceneBuilder b;
  auto& body = b.Node("Body").Position({0, 0, 1});
  b.Node("POINT_ENGINE")
      .Parent(body)
      .Object("point")
      .Position({1, 2, 3})
      .Rotation(1.5707964f, {1, 0, 0});
  b.Node("Point_engine01").Object("point").Position({5, 5, 5});
  b.Node("p_centerofcar").Object("dummy").Position({7, 8, 9});
  auto& skipped = b.Node("X_wheel");
  b.Node("UnderSkipped").Parent(skipped);
  auto scene = b.Build();

  ExportHarness harness;
  std::string settings = harness.ConfigPath("CarExporterSettings.ini");
  std::ofstream(settings) << "[Car]\nmass = 1200\n";
  ASSERT_EQ(harness.Export(*scene, "car.zqc", true), 1);

  reader::ChunkFile file = harness.Read("car.zqc");
  EXPECT_EQ(WrittenNames(file, 22),
            (std::vector<std::string>{"Body", "POINT_ENGINE", "Point_engine01"}));
  EXPECT_EQ(WrittenNames(file, 3), (std::vector<std::string>{"p_centerofcar"}));
  ASSERT_TRUE(CarSettings);
  EXPECT_EQ(CarSettings->GetValue("Car", "mass", ""), "1200");

  // Relative to the parent at the range start, y and z exchanged; the
  // normal is the point's y axis: host (0, 0, 1) after a quarter turn about x.
  std::string ini = harness.ReadText("car.ini");
  EXPECT_NE(ini.find("[POINT_ENGINE]\r\nPos=1.000000 3.000000 2.000000\r\n"), std::string::npos)
      << ini;
  EXPECT_NE(ini.find("Normal=0.000000 1.000000 "), std::string::npos) << ini;
  EXPECT_NE(ini.find("[p_centerofcar]\r\nPos=7.000000 9.000000 8.000000\r\n"), std::string::npos)
      << ini;
  EXPECT_EQ(ini.find("Point_engine01"), std::string::npos);

  std::string info = harness.ReadText("car_informations.log");
  EXPECT_NE(info.find("Exporting node: X_wheel\n"), std::string::npos);
  EXPECT_EQ(info.find("UnderSkipped"), std::string::npos);

  // A scene export afterwards forgets the car settings.
  harness.Export(*scene, "after.zqs", true);
  EXPECT_FALSE(CarSettings);
}

TEST(CarExport, refusingTheIniFileKeepsItButStillWritesTheChunks) {
  SceneBuilder b;
  b.Node("Point_gearbox").Object("point");
  auto scene = b.Build();
  ExportHarness harness;
  harness.WriteText("car.ini", "[Mine]\r\n");
  harness.answers = {platform::IDNO};
  harness.Export(*scene, "car.zqc", true);
  EXPECT_EQ(harness.ReadText("car.ini"), "[Mine]\r\n");
  reader::ChunkFile file = harness.Read("car.zqc");
  EXPECT_EQ(WrittenNames(file, 22), (std::vector<std::string>{"Point_gearbox"}));
}

void AddSkeleton(SceneBuilder& b, const std::vector<std::string>& skip) {
  const char* bones[] = {
      "B_calf L", "B_calf R",      "B_foot L",      "B_foot R",      "B_hand L",     "B_hand R",
      "B_head",   "B_lower arm L", "B_lower arm R", "B_shoulder L",  "B_shoulder R", "B_spine1",
      "B_spine2", "B_thigh L",     "B_thigh R",     "B_upper arm L", "B_upper arm R"};
  for (const char* bone : bones) {
    if (std::find(skip.begin(), skip.end(), bone) == skip.end()) b.Node(bone).Object("bone");
  }
}

TEST(HumanExport, missingBonesAreReportedInTableOrderAndTheExportGoesOn) {
  SceneBuilder b;
  AddSkeleton(b, {"B_head", "B_spine2"});
  b.Node("b_head");  // case counts
  auto& body = b.Node("Body").Mesh(MakeBox());
  body.Skin().SetEnabled(false);  // a disabled skin still makes a skinned mesh
  b.Node("Cam").Object("freeCamera");
  auto scene = b.Build();

  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "man.zqh"), 1);
  std::vector<std::string> texts;
  for (const auto& message : harness.messages) texts.push_back(message.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Bone B_head not found", "Bone B_spine2 not found"}));

  reader::ChunkFile file = harness.Read("man.zqh");
  using Ids = std::vector<std::pair<uint32_t, uint32_t>>;
  EXPECT_EQ(TopLevelIds(file), (Ids{{5, 18}, {14, 0}, {18, 0}, {20, 0}, {21, 0}}));
  const reader::Chunk& list = file.chunks[4];
  EXPECT_EQ(list.As<reader::HumanNodeList>()->count, list.children.size());
  EXPECT_EQ(list.children.size(), 15u + 1 + 1 + 1);
  // The camera is written by the default exporter in a human export.
  EXPECT_EQ(list.children.back().id, (reader::ChunkId{22, 0, 1}));
  EXPECT_EQ(list.children.back().As<reader::PlainNode>()->node.name, "Cam");
}

TEST(HumanExport, aSceneWithoutSkinnedMeshFailsAndKeepsTheEarlierFile) {
  SceneBuilder good;
  AddSkeleton(good, {});
  good.Node("Body").Mesh(MakeBox()).Skin().SetEnabled(false);
  auto goodScene = good.Build();
  SceneBuilder b;
  AddSkeleton(b, {});
  auto scene = b.Build();
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*goodScene, "man.zqh"), 1);
  const std::string earlier = harness.ReadText("man.zqh");

  EXPECT_EQ(harness.Export(*scene, "man.zqh"), 0);
  ASSERT_EQ(harness.messages.size(), 2u);
  EXPECT_EQ(harness.messages[0].text, "No skinned meshes found");
  EXPECT_EQ(harness.ReadText("man.zqh"), earlier);
  for (const auto& entry : std::filesystem::directory_iterator(harness.OutPath("")))
    EXPECT_EQ(entry.path().filename().string().find("tmp"), std::string::npos) << entry.path();
  // Failure logged so a pipeline run with suppressed prompts sees it.
  EXPECT_NE(harness.ReadText("man_errors.log").find("No skinned meshes found"), std::string::npos);
}

TEST(AnimationExport, writesTheFileAndItsStreamBesideIt) {
  SceneBuilder b;
  b.Node("Hip").Position({0, 0, 1});
  auto scene = b.Build();
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "walk.zqa", true), 1);
  EXPECT_TRUE(harness.Exists("walk.str"));
  reader::ChunkFile file = harness.Read("walk.zqa");
  using Ids = std::vector<std::pair<uint32_t, uint32_t>>;
  EXPECT_EQ(TopLevelIds(file), (Ids{{20, 0}, {6, 21}}));
  EXPECT_EQ(harness.progressTitles,
            (std::vector<std::string>{"Kiln Animation Export status --> "}));
}

TEST(Walks, progressShowsPercentagesAndCancelKeepsTheFileComplete) {
  SceneBuilder b;
  for (int i = 0; i < 5; ++i) b.Node(std::string("N").append(std::to_string(i)));
  auto scene = b.Build();
  ExportHarness harness;
  harness.Export(*scene, "p.zqs", true);
  EXPECT_EQ(harness.progressPercents, (std::vector<int>{0, 25, 50, 75, 100}));

  harness.progressPercents.clear();
  harness.cancelAfterUpdates = 3;
  harness.Export(*scene, "c.zqs", true);
  reader::ChunkFile file = harness.Read("c.zqs");
  EXPECT_EQ(WrittenNames(file, 22), (std::vector<std::string>{"N0", "N1"}));
  EXPECT_EQ(file.trailingBytes, 0u);

  SceneBuilder single;
  single.Node("Only");
  auto one = single.Build();
  harness.progressPercents.clear();
  harness.cancelAfterUpdates = -1;
  harness.Export(*one, "one.zqs", true);
  EXPECT_EQ(harness.progressPercents, (std::vector<int>{0}));
}

}  // namespace
}  // namespace kiln
