// Box helpers, IK chain objects, bone helpers, sliders and the example level
// exported through the export entry and read back.
#include "nodes/NodeExportSupport.h"
#include "platform/Messages.h"
#include "reader/HelperChunks.h"

namespace kiln::testing {
namespace {

TEST(HelperExport, boxesIKChainObjectsAndBoneHelpers) {
  // The box is measured in the object-offset space: the offset moves its
  // centre, not its corner offset.
  auto scene = SceneOf(R"(
    {"name": "bb_Box", "handle": 1, "transform": {"position": [1, 2, 3]},
     "objectOffset": {"position": [10, 0, 0]},
     "mesh": {"verts": [[0, 0, 0], [2, 4, 6], [1, 1, 1]], "faces": []}},
    {"name": "BB_Upper", "handle": 2, "mesh": {"verts": [[0, 0, 0]], "faces": []}},
    {"name": "b_Plain", "handle": 3, "mesh": {"verts": [[0, 0, 0], [1, 0, 0], [0, 1, 0]],
                                              "faces": [{"v": [0, 1, 2]}]}},
    {"name": "bb_Empty", "handle": 4, "mesh": {"verts": [], "faces": []}},
    {"name": "bb_Odd", "handle": 5, "object": {"type": "custom", "classId": [77, 0],
                                              "superClass": 16, "className": "Odd"}},
    {"name": "IK", "handle": 6, "object": "ikChainObject", "visibility": 1,
     "transform": {"position": {"type": "linear", "keys": [{"time": 0, "value": [0, 0, 0]},
                                                           {"time": 4800, "value": [3, 0, 0]}]}}},
    {"name": "BoneHelper", "handle": 7, "object": "boneHelper"},
    {"name": "Slider", "handle": 8, "object": "slider"},
    {"name": "Skinned", "handle": 9, "mesh": {"verts": [[0, 0, 0], [1, 0, 0], [0, 1, 0]],
     "faces": [{"v": [0, 1, 2]}]}, "modifiers": [{"type": "skin"}]})");
  ExportHarness harness;
  scene->animRange = Interval(1600, 4800);  // the chain object is placed at the range start
  ASSERT_EQ(harness.Export(*scene, "helpers.zqs", true), 1);
  const reader::ChunkFile file = harness.Read("helpers.zqs");

  const auto* box = NodeChunk(file, "bb_Box")->As<reader::BoxHelperNode>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->centre, (std::array<float, 3>{11, 3, 2}));
  EXPECT_EQ(box->cornerOffset, (std::array<float, 3>{-1, -3, -2}));
  EXPECT_EQ(box->transform, (reader::Matrix3x4{1, 0, 0, 11, 0, 1, 0, 3, 0, 0, 1, 2}));
  EXPECT_EQ(NodeChunk(file, "BB_Upper")->id, (reader::ChunkId{3, 16, 1}));
  EXPECT_EQ(NodeChunk(file, "b_Plain")->id, (reader::ChunkId{0, 1, 1}));
  // Without a mesh, or with one without vertices, there is no box.
  EXPECT_EQ(NodeChunk(file, "bb_Empty")->id, (reader::ChunkId{22, 0, 1}));
  EXPECT_EQ(NodeChunk(file, "bb_Odd")->id, (reader::ChunkId{22, 0, 1}));
  EXPECT_EQ(harness.ReadText("helpers_errors.log"),
            "*** Errors exporting\n\nMesh of node bb_Empty has no vertices or no faces\n"
            "Error getting tri object for node: bb_Odd\n");

  const auto* chain = NodeChunk(file, "IK")->As<reader::IKChainObjectNode>();
  ASSERT_NE(chain, nullptr);
  EXPECT_EQ(chain->transform, (reader::Matrix3x4{1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(NodeChunk(file, "BoneHelper"), nullptr);

  EXPECT_EQ(NodeChunk(file, "Slider"), nullptr);

  ASSERT_EQ(harness.Export(*scene, "helpers.zqa", true), 1);
  const std::vector<std::string> tracks = TrackNames(harness.Read("helpers.zqa"));
  // Bone helpers and sliders ask for no track.
  EXPECT_EQ(
      std::vector<std::string>(tracks.begin() + 5, tracks.end()),
      (std::vector<std::string>{"IK::PRS", "IK::IK_CHAIN", "IK::Visibility", "Skinned::PRS"}));

  // A human character keeps its IK chain objects; its sliders are plain nodes.
  ASSERT_EQ(harness.Export(*scene, "helpers.zqh", true), 1);
  Ids human;
  const reader::ChunkFile humanFile = harness.Read("helpers.zqh");
  for (const reader::Chunk& chunk : humanFile.chunks.back().children)
    human.emplace_back(chunk.id.type, chunk.id.subtype);
  EXPECT_EQ(Ids(human.begin() + 5, human.end()), (Ids{{4, 0}, {22, 0}, {0, 2}}));
}

// The slider's value drives the door's y position and x rotation straight,
// and the hood's z position; the door's z rotation follows the hood's wire,
// not the value, so it has no range.
const std::string kRig = R"(
  {"name": "Slider", "handle": 1, "object": {"type": "slider", "value": {"id": "open", "value": 5},
                                             "min": -10, "max": 45}},
  {"name": "Door", "handle": 2, "transform": {
    "position": {"type": "xyz", "x": 0, "y": {"type": "wire", "source": "open"}, "z": 0},
    "rotation": {"type": "euler", "x": {"type": "wire", "source": "open"}, "y": 0,
                 "z": {"type": "wire", "source": "hoodLift", "factor": 2}}}},
  {"name": "Hood", "handle": 3, "transform": {"position": {"type": "xyz", "x": 0, "y": 0,
    "z": {"type": "wire", "source": "open", "id": "hoodLift"}}}},
  {"name": "Still", "handle": 4, "object": {"type": "slider", "value": 3}},
  {"name": "Lonely", "handle": 5, "object": {"type": "slider", "value": {"id": "unused"}}})";

TEST(SliderExport, directlyWiredChannelsGetTheSliderRangeInTheCfgFile) {
  const std::string ranges =
      "[Door]\r\nPOSITION_Z_MIN=-10.000000\r\nPOSITION_Z_MAX=45.000000\r\n"
      "ROTATION_X_MIN=-10.000000\r\nROTATION_X_MAX=45.000000\r\n\r\n"
      "[Hood]\r\nPOSITION_Y_MIN=-10.000000\r\nPOSITION_Y_MAX=45.000000\r\n";
  auto scene = SceneOf(kRig);
  ExportHarness harness;
  // Ranges of an earlier export go with the .ini files: when there is none
  // to ask about, and when the artist overwrites them.
  harness.WriteText("rig.cfg", "[Gone]\r\nPOSITION_X_MIN=1\r\n");
  ASSERT_EQ(harness.Export(*scene, "rig.zqc", true), 1);
  EXPECT_EQ(harness.ReadText("rig.cfg"), ranges);
  EXPECT_EQ(NodeChunk(harness.Read("rig.zqc"), "Slider"), nullptr);

  harness.WriteText("rig.ini", "");
  harness.WriteText("rig.cfg", "[Mine]\r\n");
  harness.answers = {platform::IDNO};
  ASSERT_EQ(harness.Export(*scene, "rig.zqc", true), 1);
  EXPECT_EQ(harness.ReadText("rig.cfg"), "[Mine]\r\n");

  harness.WriteText("rig.cfg", "[Gone]\r\nPOSITION_X_MIN=1\r\n");
  harness.answers = {platform::IDYES};
  ASSERT_EQ(harness.Export(*scene, "rig.zqs", true), 1);
  EXPECT_EQ(harness.ReadText("rig.cfg"), ranges);
}

TEST(ExampleLevel, everyKindWritesItsLayout) {
  auto scene = standalone::LoadSceneFile(std::filesystem::path(KILN_SOURCE_DIR) / "examples" /
                                         "level.kscene.json");
  const Ids head{{5, 18}, {14, 0}, {18, 0}, {20, 0}};
  const std::vector<std::string> tracks{
      "MainCamera::Position", "MainCamera::Scale", "MainCamera::Roll", "MainCamera.Target::PRS",
      "FlyCamera::PRS",       "FlyCamera::FOV",    "Lamp::PRS",        "Spot::Position",
      "Spot::Scale",          "Spot::Roll",        "Spot.Target::PRS", "Sun::PRS",
      "Sun::Visibility",      "bb_Trigger::PRS",   "FlagPole::PRS",    "Flag::PRS"};
  struct Case {
    const char* file;
    Ids nodes;  // node chunks, top level or in the human node list
    bool tracks;
  };
  const Case cases[] = {
      {"level.zqs",
       {{2, 11}, {3, 13}, {2, 12}, {1, 10}, {1, 8}, {3, 13}, {1, 6}, {3, 16}, {3, 14}, {0, 2}},
       false},
      {"level.zqc",
       {{2, 11}, {3, 13}, {2, 12}, {1, 10}, {1, 8}, {3, 13}, {1, 6}, {0, 1}, {3, 14}, {0, 2}},
       true},
      {"level.zqh",
       {{22, 0}, {3, 13}, {22, 0}, {22, 0}, {22, 0}, {3, 13}, {22, 0}, {3, 16}, {3, 14}, {0, 2}},
       false},
      {"level.zqa", {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ExportHarness harness;
    ASSERT_EQ(harness.Export(*scene, c.file, true), 1);
    const reader::ChunkFile file = harness.Read(c.file);
    Ids top = TopLevelIds(file), nodes;
    const bool animation = std::string(c.file).ends_with("zqa");
    const bool human = std::string(c.file).ends_with("zqh");
    if (animation) {
      EXPECT_EQ(top.front(), (std::pair<uint32_t, uint32_t>{20, 0}));
    } else {
      EXPECT_EQ(Ids(top.begin(), top.begin() + 4), head);
    }
    const auto& list = human ? file.chunks.back().children : file.chunks;
    for (const reader::Chunk& chunk : list) {
      const uint32_t type = chunk.id.type;
      if (type != 5 && type != 6 && type != 14 && type != 18 && type != 20 && type != 21)
        nodes.emplace_back(type, chunk.id.subtype);
    }
    if (human) {
      EXPECT_EQ(file.chunks.back().id, (reader::ChunkId{21, 0, 1}));
    }
    EXPECT_EQ(nodes, c.nodes);
    EXPECT_EQ(TrackNames(file), c.tracks ? tracks : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace kiln::testing
