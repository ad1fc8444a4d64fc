// Cameras and lights exported through the export entry and read back.
#include "nodes/NodeExportSupport.h"
#include "platform/Messages.h"
#include "reader/CameraLightChunks.h"

namespace kiln::testing {
namespace {

// A target camera on a look-at transform at (0, 0, 2) aimed along +y at its
// target: its axes are x (1, 0, 0), y (0, 0, 1), z (0, -1, 0), which in
// output axes lay out as the transform below.
const std::string kCameras = R"(
  {"name": "Cam", "handle": 1, "target": 2, "transform": {"type": "lookAt", "position": [0, 0, 2]},
   "object": {"type": "targetCamera", "near": 0, "far": 250, "fov": {"value": 0.8}}},
  {"name": "Cam.Target", "handle": 2, "object": "dummy", "transform": {"position": [0, 10, 2]}},
  {"name": "Free", "handle": 3, "parent": 2, "object": {"type": "freeCamera", "near": 2.5},
   "transform": {"position": [1, 2, 3]}})";

TEST(CameraExport, targetAndFreeCamerasWriteClippingViewTransformTargetAndIniEntries) {
  auto scene = SceneOf(kCameras);
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "cams.zqc", true), 1);
  const reader::ChunkFile file = harness.Read("cams.zqc");

  const reader::Chunk* cam = NodeChunk(file, "Cam");
  ASSERT_NE(cam, nullptr);
  EXPECT_EQ(cam->id, (reader::ChunkId{2, 11, 1}));
  const auto* target = cam->As<reader::CameraNode>();
  EXPECT_EQ(target->nearClip, 0.0001f);
  EXPECT_EQ(target->farClip, 250.0f);
  EXPECT_EQ(target->fov, 0.8f);
  EXPECT_EQ(target->transform, (reader::Matrix3x4{1, 0, 0, 0, 0, 0, 1, 2, 0, -1, 0, 0}));
  ASSERT_TRUE(target->target);
  EXPECT_EQ(target->target->handle, 2);
  EXPECT_EQ(target->target->position, (std::array<float, 3>{0, 2, 10}));

  const reader::Chunk* freeChunk = NodeChunk(file, "Free");
  ASSERT_NE(freeChunk, nullptr);
  EXPECT_EQ(freeChunk->id, (reader::ChunkId{2, 12, 1}));
  const auto* free = freeChunk->As<reader::CameraNode>();
  EXPECT_EQ(free->node.parent, 2);
  EXPECT_EQ(free->nearClip, 2.5f);
  EXPECT_EQ(free->farClip, 1000.0f);
  EXPECT_EQ(free->fov, 0.7853982f);
  EXPECT_EQ(free->transform, (reader::Matrix3x4{1, 0, 0, 1, 0, 1, 0, 3, 0, 0, 1, 2}));
  EXPECT_FALSE(free->target);

  // Transform requests first, the animated field of view last; the free
  // camera's is not animated.
  EXPECT_EQ(TrackNames(file),
            (std::vector<std::string>{"Cam::Position", "Cam::Scale", "Cam::Roll", "Cam::FOV",
                                      "Cam.Target::PRS", "Free::PRS"}));
  EXPECT_EQ(harness.ReadText("cams.ini"),
            "[Cam]\r\nPos=0.000000 2.000000 0.000000\r\nTarget=0.000000 2.000000 10.000000\r\n"
            "Up=0.000000 1.000000 0.000000\r\nNear=0.000100\r\nFOV=0.800000\r\n");

  // With the .ini file kept, the chunks stay the same and the .ini too.
  harness.WriteText("cams.ini", "[Mine]\r\n");
  harness.answers = {platform::IDNO};
  ASSERT_EQ(harness.Export(*scene, "cams.zqc", true), 1);
  EXPECT_EQ(harness.ReadText("cams.ini"), "[Mine]\r\n");
  const reader::ChunkFile kept = harness.Read("cams.zqc");
  EXPECT_TRUE(std::equal(kept.bytes.begin(), kept.bytes.end(), file.bytes.begin(), file.bytes.end()));
}

TEST(CameraExport, aTargetCameraWithoutTargetFallsBackAndSaysSoInTheLog) {
  auto scene = SceneOf(R"({"name": "Lost", "handle": 1, "object": "targetCamera",
                           "transform": {"type": "lookAt"}})");
  for (bool suppressed : {false, true}) {
    ExportHarness harness;
    ASSERT_EQ(harness.Export(*scene, "lost.zqs", suppressed), 1);
    const reader::ChunkFile file = harness.Read("lost.zqs");
    const reader::Chunk* chunk = NodeChunk(file, "Lost");
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->id, (reader::ChunkId{22, 0, 1}));
    const std::string text = "Unable to find camera target for camera: Lost";
    ASSERT_EQ(harness.messages.size(), suppressed ? 0u : 2u);  // the box, then the summary
    if (!suppressed) {
      EXPECT_EQ(harness.messages[0].text, text);
    }
    EXPECT_NE(harness.ReadText("lost_errors.log").find(text), std::string::npos);
    EXPECT_NE(harness.ReadText("lost_warnings.log").find("Exporting node Lost as unknown node type"),
              std::string::npos);
    EXPECT_EQ(harness.ReadText("lost.ini"), "");
  }
}

TEST(LightExport, theFiveKindsWriteColourTransformAttenuationAndCone) {
  auto scene = SceneOf(R"(
    {"name": "Omni", "handle": 1, "transform": {"position": [1, 2, 3]},
     "object": {"type": "omniLight", "color": [1, 0.5, 0.25], "multiplier": 3,
                "farAttenuation": true, "farAttenuationStart": 4, "farAttenuationEnd": 9}},
    {"name": "Spot", "handle": 2, "target": 3, "transform": {"type": "lookAt", "position": [0, 0, 2]},
     "object": {"type": "targetSpot", "hotspot": 20, "falloff": 30}},
    {"name": "Spot.Target", "handle": 3, "object": "dummy", "transform": {"position": [0, 10, 2]}},
    {"name": "Sun", "handle": 4, "object": "directionalLight", "visibility": 1},
    {"name": "Free", "handle": 5, "object": {"type": "freeSpot", "falloff": 50}},
    {"name": "Aimed", "handle": 6, "object": "targetDirectional", "transform": {"type": "lookAt"}},
    {"name": "Orphan", "handle": 7, "object": "targetSpot", "transform": {"type": "lookAt"}},
    {"name": "Sky", "handle": 8, "object": {"type": "custom", "classId": ["0x7BF61478", "0x522E4705"],
                                            "superClass": 48, "className": "Skylight"}})");
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "lights.zqc", true), 1);
  const reader::ChunkFile file = harness.Read("lights.zqc");
  using Pair = std::optional<std::array<float, 2>>;
  struct Case {
    const char* name;
    uint32_t kind;
    std::array<float, 3> colour;
    Pair attenuation, cone;
  };
  const Case cases[] = {
      {"Omni", 10, {1, 0.5f, 0.25f}, std::array<float, 2>{4, 9}, {}},
      {"Spot", 8, {1, 1, 1}, {}, std::array<float, 2>{20, 30}},
      {"Sun", 6, {1, 1, 1}, {}, {}},
      {"Free", 9, {1, 1, 1}, {}, std::array<float, 2>{43, 50}},
      {"Aimed", 7, {1, 1, 1}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const reader::Chunk* chunk = NodeChunk(file, c.name);
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->id, (reader::ChunkId{1, c.kind, 1}));
    const auto* light = chunk->As<reader::LightNode>();
    EXPECT_EQ(light->colour, c.colour);
    EXPECT_EQ(light->farAttenuation, c.attenuation ? 1 : 0);
    EXPECT_EQ(light->attenuation, c.attenuation);
    EXPECT_EQ(light->cone, c.cone);
  }
  EXPECT_EQ(NodeChunk(file, "Omni")->As<reader::LightNode>()->transform,
            (reader::Matrix3x4{1, 0, 0, 1, 0, 1, 0, 3, 0, 0, 1, 2}));
  EXPECT_EQ(NodeChunk(file, "Spot")->As<reader::LightNode>()->transform,
            (reader::Matrix3x4{1, 0, 0, 0, 0, 0, 1, 2, 0, -1, 0, 0}));
  // A target spot without target, and a light of another class, fall back.
  EXPECT_EQ(NodeChunk(file, "Orphan")->id, (reader::ChunkId{22, 0, 1}));
  EXPECT_EQ(NodeChunk(file, "Sky")->id, (reader::ChunkId{22, 0, 1}));
  EXPECT_EQ(harness.ReadText("lights_errors.log"),
            "*** Errors exporting\n\nCouldn't find target for spot light Orphan\n");
  const std::string warnings = harness.ReadText("lights_warnings.log");
  EXPECT_NE(warnings.find("Couldn't export node Sky as a light"), std::string::npos);
  EXPECT_NE(warnings.find("Exporting node Orphan as unknown node type"), std::string::npos);

  EXPECT_EQ(TrackNames(file),
            (std::vector<std::string>{"Omni::PRS", "Spot::Position", "Spot::Scale", "Spot::Roll",
                                      "Spot.Target::PRS", "Sun::PRS", "Sun::Visibility",
                                      "Free::PRS", "Aimed::Position", "Aimed::Scale",
                                      "Aimed::Roll", "Orphan::Position", "Orphan::Scale",
                                      "Orphan::Roll", "Sky::PRS"}));
}

}  // namespace
}  // namespace kiln::testing
