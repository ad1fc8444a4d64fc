// Controllers in the scene file: every kind reads, validates and writes back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "standalone/Constraints.h"
#include "standalone/IKControllers.h"
#include "standalone/LoadErrorExpect.h"
#include "standalone/SceneFile.h"
#include "standalone/XYZControllers.h"

namespace kiln::standalone {
namespace {

const std::filesystem::path kWalk =
    std::filesystem::path(KILN_SOURCE_DIR) / "examples" / "walk.kscene.json";

TEST(ControllerFile, theWalkCycleReadsEveryControllerKindAndWritesItBack) {
  std::unique_ptr<Scene> walk = LoadSceneFile(kWalk);
  auto node = [&](std::string_view name) { return walk->FindNode(name); };
  auto* look = dynamic_cast<LookAtConstraint*>(node("Head")->PRS()->rotation.get());
  ASSERT_NE(look, nullptr);
  EXPECT_EQ(look->targets.at(0).node, node("Look target"));
  EXPECT_EQ(look->upnodeControl, 1);
  auto* link = dynamic_cast<LinkConstraint*>(node("Cup")->Transform());
  ASSERT_NE(link, nullptr);
  ASSERT_EQ(link->links.size(), 3u);
  EXPECT_EQ(link->links[1].node, node("Hand R"));
  EXPECT_EQ(link->links[2].node, nullptr);
  auto* chain = dynamic_cast<IKChainController*>(node("IK Leg L")->Transform());
  ASSERT_NE(chain, nullptr);
  EXPECT_EQ(chain->MiddleJoint(), node("Shin L"));
  EXPECT_NE(dynamic_cast<IKController*>(node("Thigh L")->Transform()), nullptr);
  EXPECT_NE(dynamic_cast<EulerXYZController*>(node("Spine")->PRS()->rotation.get()), nullptr);
  EXPECT_NE(dynamic_cast<PositionXYZController*>(node("Look target")->PRS()->position.get()),
            nullptr);
  // The pelvis cycles: a cycle before the range reads as the same time inside it.
  PositionControl& pelvis = *node("Pelvis")->PRS()->position;
  EXPECT_EQ(pelvis.ValueAt(-3600), pelvis.ValueAt(1200));

  const std::string text = WriteSceneText(*walk, kWalk.parent_path());
  const std::string again =
      WriteSceneText(*ReadSceneText(text, "walk", kWalk.parent_path()), kWalk.parent_path());
  EXPECT_EQ(again, text);
  for (const char* form : {"\"lookAt\"", "\"link\"", "\"ikChain\"", "\"euler\"", "\"xyz\"",
                           "\"pingPong\"", "\"tension\": 0.2", "\"inLength\""}) {
    EXPECT_NE(text.find(form), std::string::npos) << form;
  }
}

TEST(ControllerFile, theFormatsAnimatedExampleLoadsAndMoves) {
  std::ifstream in(std::filesystem::path(KILN_SOURCE_DIR) / "docs" / "kscene-format.md");
  std::stringstream doc;
  doc << in.rdbuf();
  const std::string text = doc.str();
  const size_t begin = text.find("```json\n", text.find("### An animated example"));
  const size_t end = text.find("```", begin + 7);
  ASSERT_NE(end, std::string::npos);
  std::unique_ptr<Scene> scene = ReadSceneText(text.substr(begin + 8, end - begin - 8), "doc");
  const std::string written = WriteSceneText(*scene);
  EXPECT_EQ(WriteSceneText(*ReadSceneText(written, "again")), written);
  EXPECT_NE(written.find("\"fov\""), std::string::npos);
  // Half way through the swing (eased) the bob hangs straight down, 2 below the pivot.
  const Point3 bob = scene->FindNode("Bob")->GetNodeTM(1200).GetTrans();
  EXPECT_NEAR(bob.z, 1.0f, 1e-3f);
  EXPECT_NEAR(scene->FindNode("Ball")->GetNodeTM(4800).GetTrans().z,
              scene->FindNode("Bob")->GetNodeTM(4800).GetTrans().z, 1e-5f);
}

TEST(ControllerFile, badControllersNameThePathAndWhatWasExpected) {
  struct Bad {
    const char* what;
    std::string transform;  // of node 1 ("A"); node 2 "B" and node 3 "C" (child of B) exist
    std::string path;
    std::string message;
  };
  auto keys = [](const std::string& list) {
    return R"({"position": {"type": "linear", "keys": [)" + list + "]}}";
  };
  const Bad cases[] = {
      {"keys out of time order",
       keys(R"({"time": 10, "value": [0, 0, 0]}, {"time": 5, "value": [1, 1, 1]})"),
       "/nodes/0/transform/position/keys/1/time", "key at 5 ticks does not come after"},
      {"key value out of float range", keys(R"({"time": 0, "value": [1e39, 0, 0]})"),
       "/nodes/0/transform/position/keys/0/value/0", "number outside the range of a 32-bit float"},
      {"a field of another interpolation", keys(R"({"time": 0, "value": [0, 0, 0], "tension": 1})"),
       "/nodes/0/transform/position/keys/0/tension", "unknown field \"tension\""},
      {"tension past 1",
       R"({"scale": {"type": "tcb", "keys": [{"time": 0, "value": [1, 1, 1], "tension": 2}]}})",
       "/nodes/0/transform/scale/keys/0", "tension, continuity and bias must lie between -1 and 1"},
      {"Bezier length past 1", R"({"roll": {"keys": [{"time": 0, "value": 0, "inLength": 1.5}]}})",
       "/nodes/0/transform/roll/keys/0", "Bezier lengths must lie between 0 and 1"},
      {"unknown out-of-range type",
       R"({"position": {"type": "tcb", "outOfRange": {"before": "bounce"}}})",
       "/nodes/0/transform/position/outOfRange/before", "unknown out-of-range type \"bounce\""},
      {"linear rotation key past a turn",
       R"({"rotation": {"type": "linear", "keys": [{"time": 0, "value": {"axis": [0, 0, 1], "angle": 7}}]}})",
       "/nodes/0/transform/rotation/keys/0/value",
       "a linear rotation key turns at most one full turn"},
      {"look-at target naming no node",
       R"({"rotation": {"type": "lookAt", "targets": [{"node": 99}]}})",
       "/nodes/0/transform/rotation/targets/0/node", "no node has handle 99"},
      {"look-at target the node itself",
       R"({"rotation": {"type": "lookAt", "targets": [{"node": 1}]}})",
       "/nodes/0/transform/rotation/targets/0/node", "look-at target is the node itself"},
      {"link to the node itself", R"({"type": "link", "links": [{"node": 1, "time": 0}]})",
       "/nodes/0/transform/links/0/node", "link is the node itself"},
      {"chain whose joints are not an ancestor line",
       R"({"type": "ikChain", "startJoint": 3, "endJoint": 2})", "/nodes/0/transform/endJoint",
       "the end joint is not below the start joint"},
      {"Euler order other than xyz",
       R"({"rotation": {"type": "euler", "order": "zyx", "x": 0, "y": 0, "z": 0}})",
       "/nodes/0/transform/rotation/order", "unknown Euler order \"zyx\""},
      {"field of view of a node that is no camera",
       R"({"position": [0, 0, 0]}, "object": {"type": "dummy", "fov": 1})", "/nodes/0/object/fov",
       "unknown field \"fov\" of a Dummy object"},
      {"XYZ for a rotation", R"({"rotation": {"type": "xyz", "x": 0, "y": 0, "z": 0}})",
       "/nodes/0/transform/rotation/type", "unknown controller type \"xyz\""},
  };
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    const std::string text = R"({"format": "kscene", "version": 1, "nodes": [
        {"name": "A", "handle": 1, "transform": )" +
                             bad.transform + R"(},
        {"name": "B", "handle": 2}, {"name": "C", "handle": 3, "parent": 2}]})";
    testing::ExpectFirstProblem([&] { ReadSceneText(text, "bad.kscene.json"); }, bad.path,
                                bad.message);
  }
}

}  // namespace
}  // namespace kiln::standalone
