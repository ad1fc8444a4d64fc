// The standalone host's cameras, lights, look-at transforms, wires and
// dependency graph, and their scene file.
#include <gtest/gtest.h>

#include <numbers>

#include "host/MathTestSupport.h"
#include "nodes/NodeExportSupport.h"
#include "standalone/CameraObject.h"
#include "standalone/LightObject.h"
#include "standalone/LoadErrorExpect.h"
#include "standalone/SceneCompare.h"
#include "standalone/WireController.h"

namespace kiln::standalone {
namespace {

using kiln::mathtest::MatricesNear;
using kiln::testing::SceneOf;

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

TEST(LookAtTransform, looksAlongMinusZWithYUpRolledAboutTheViewAndScaledInItsOwnAxes) {
  // Worked by hand: from (0, 0, 2) toward +y, -z points at the target, y up.
  struct Case {
    const char* what;
    std::string transform;
    Point3 target;
    Matrix3 expected;
  };
  const Case cases[] = {
      {"level view",
       R"({"type": "lookAt", "position": [0, 0, 2]})",
       {0, 10, 2},
       Matrix3({1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {0, 0, 2})},
      // A quarter roll turns x onto the old y and y onto the old -x.
      {"rolled",
       R"({"type": "lookAt", "position": [0, 0, 2], "roll": 1.5707964})",
       {0, 10, 2},
       Matrix3({0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, 2})},
      // Straight down the world's z: y takes the world's y.
      {"vertical",
       R"({"type": "lookAt", "position": [0, 0, 5]})",
       {0, 0, 0},
       Matrix3({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 5})},
      {"scaled",
       R"({"type": "lookAt", "position": [0, 0, 2], "scale": [2, 3, 4]})",
       {0, 10, 2},
       Matrix3({2, 0, 0}, {0, 0, 3}, {0, -4, 0}, {0, 0, 2})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto scene =
        SceneOf(R"({"name": "Eye", "handle": 1, "target": 2, "transform": )" + c.transform +
                R"(}, {"name": "T", "handle": 2, "transform": {"position": [)" +
                std::to_string(c.target.x) + "," + std::to_string(c.target.y) + "," +
                std::to_string(c.target.z) + "]}}");
    EXPECT_TRUE(MatricesNear(scene->FindNode("Eye")->GetNodeTM(0), c.expected, 1e-6f));
  }
  // Under a parent turned a quarter about z and moved to (1, 0, 0), the node
  // stands where the parent puts it and still looks at the target.
  auto scene = SceneOf(R"(
    {"name": "P", "handle": 1, "transform": {"position": [1, 0, 0],
                                             "rotation": {"axis": [0, 0, 1], "angle": 1.5707964}}},
    {"name": "Eye", "handle": 2, "parent": 1, "target": 3,
     "transform": {"type": "lookAt", "position": [0, -1, 2]}},
    {"name": "T", "handle": 3, "transform": {"position": [2, 10, 2]}})");
  EXPECT_TRUE(MatricesNear(scene->FindNode("Eye")->GetNodeTM(0),
                           Matrix3({1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {2, 0, 2}), 1e-6f));
}

TEST(CameraAndLightObjects, stateFollowsKeyedParametersAndWiresFollowTheirSource) {
  auto scene = SceneOf(R"(
    {"name": "Cam", "handle": 1, "object": {"type": "freeCamera", "far": 90,
     "fov": {"type": "linear", "keys": [{"time": 0, "value": 1.2}, {"time": 4800, "value": 0.6}]},
     "near": {"type": "linear", "keys": [{"time": 0, "value": 1}, {"time": 4800, "value": 3}]}}},
    {"name": "Spot", "handle": 2, "object": {"type": "freeSpot", "color": [1, 0.5, 0],
     "multiplier": 2, "hotspot": {"type": "linear", "keys": [{"time": 0, "value": 10},
                                                            {"time": 4800, "value": 40}]},
     "falloff": 50, "farAttenuation": true}},
    {"name": "Slider", "handle": 3, "object": {"type": "slider", "value": {"id": "v", "type": "linear",
     "keys": [{"time": 0, "value": 0}, {"time": 4800, "value": 10}]}}},
    {"name": "Door", "handle": 4, "transform": {"position": {"type": "xyz", "x": 0, "y": 0,
     "z": {"type": "wire", "source": "v", "factor": 0.5, "offset": 1}}}})");
  auto* camera = static_cast<CameraObject*>(scene->FindNode("Cam")->ObjectRef());
  Interval valid = FOREVER;
  CameraState cs;
  camera->EvalCameraState(2400, valid, &cs);
  EXPECT_FLOAT_EQ(cs.fov, 0.9f);
  EXPECT_FLOAT_EQ(cs.hither, 2.0f);
  EXPECT_EQ(cs.yon, 90.0f);
  EXPECT_NE(camera->GetFOVControl(), nullptr);

  LightState ls;
  static_cast<LightObject*>(scene->FindNode("Spot")->ObjectRef())->EvalLightState(1200, valid, &ls);
  EXPECT_EQ(ls.color, Color(1, 0.5f, 0));
  EXPECT_EQ(ls.intens, 2.0f);
  EXPECT_FLOAT_EQ(ls.hotsize, 17.5f);
  EXPECT_EQ(ls.fallsize, 50.0f);
  EXPECT_EQ(ls.useAtten, 1);
  EXPECT_EQ(ls.attenStart, 80.0f);
  // The slider's value 5 at frame 15 moves the door to 1 + 0.5 * 5.
  EXPECT_FLOAT_EQ(scene->FindNode("Door")->GetNodeTM(2400).GetTrans().z, 3.5f);
}

// Records what EnumDependents hands over.
struct Recorder : DependentEnumProc {
  int answer = DEP_ENUM_CONTINUE;
  int haltAt = -1;
  std::vector<std::string> seen;
  int proc(const Dependent& d) override {
    seen.push_back(d.node ? d.node->GetName() : std::to_string(d.superClass));
    if (static_cast<int>(seen.size()) == haltAt) return DEP_ENUM_HALT;
    return seen.size() == 1 ? DEP_ENUM_CONTINUE : answer;
  }
};

TEST(DependencyGraph, dependentsComeDepthFirstEachOnceAsTheProcAllows) {
  auto scene = SceneOf(R"(
    {"name": "Slider", "handle": 1, "object": {"type": "slider", "value": {"id": "v"}}},
    {"name": "Door", "handle": 2, "transform": {"position": {"type": "xyz",
     "x": {"type": "wire", "source": "v", "id": "w"}, "y": {"type": "wire", "source": "v"},
     "z": {"type": "wire", "source": "w"}}}})");
  auto* slider = static_cast<SceneObject*>(scene->FindNode("Slider")->ObjectRef());
  Control* value = slider->params->GetController(0, 0);
  const std::string f = std::to_string(CTRL_FLOAT_CLASS_ID),
                    p = std::to_string(CTRL_POSITION_CLASS_ID),
                    m = std::to_string(CTRL_MATRIX3_CLASS_ID);
  struct Case {
    int answer, haltAt;
    std::vector<std::string> seen;
    int result;
  };
  const Case cases[] = {
      {DEP_ENUM_SKIP, -1, {f, "130", f, f}, 0},
      {DEP_ENUM_CONTINUE, -1, {f, "130", "80", "Slider", f, p, m, "Door", f, f}, 0},
      {DEP_ENUM_CONTINUE, 3, {f, "130", "80"}, 1},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    recorder.answer = c.answer;
    recorder.haltAt = c.haltAt;
    EXPECT_EQ(value->EnumDependents(&recorder), c.result);
    EXPECT_EQ(recorder.seen, c.seen);
  }
  // A controller that no scene holds has only itself.
  FloatController loose;
  Recorder alone;
  EXPECT_EQ(loose.EnumDependents(&alone), 0);
  EXPECT_EQ(alone.seen, std::vector<std::string>{f});
}

TEST(CameraLightSceneFile, examplesRoundTripAndBadParametersAreRefusedWithTheirPath) {
  for (const char* name : {"level.kscene.json", "car-door.kscene.json"}) {
    SCOPED_TRACE(name);
    const auto examples = std::filesystem::path(KILN_SOURCE_DIR) / "examples";
    auto scene = LoadSceneFile(examples / name);
    const std::string text = WriteSceneText(*scene, examples);
    auto read = ReadSceneText(text, name, examples);
    testing::ExpectSameScene(*scene, *read);
    EXPECT_EQ(WriteSceneText(*read, examples), text);
  }
  const std::string camera = R"({"name": "C", "handle": 1, "object": {"type": "freeCamera", )";
  const std::string spot = R"({"name": "S", "handle": 1, "object": {"type": "freeSpot", )";
  struct Bad {
    std::string nodes, path, message;
  };
  const Bad cases[] = {
      {camera + R"("near": -1}})", "/nodes/0/object/near", "near clipping distance is below zero"},
      {camera + R"("far": {"keys": [{"time": 0, "value": -2}]}}})",
       "/nodes/0/object/far/keys/0/value", "far clipping distance is below zero"},
      {camera + R"("zoom": 2}})", "/nodes/0/object/zoom",
       "unknown field \"zoom\" of a Free Camera"},
      {spot + R"("hotspot": 50, "falloff": 40}})", "/nodes/0/object/hotspot",
       "hotspot 50.000000 is larger than the falloff 40.000000 at 0 ticks"},
      {spot + R"("falloff": {"type": "linear", "keys": [{"time": 0, "value": 60},
                 {"time": 160, "value": 30}]}}})",
       "/nodes/0/object/hotspot", "hotspot 43.000000 is larger than the falloff 30.000000 at 160"},
      {R"({"name": "C", "handle": 1, "object": "targetCamera", "target": 1})", "/nodes/0/target",
       "target is not another node of this scene"},
      {R"({"name": "C", "handle": 1, "object": "targetCamera", "target": 7})", "/nodes/0/target",
       "no node has handle 7"},
      {R"({"name": "C", "handle": 1, "target": 2, "transform": {"type": "lookAt"}},
          {"name": "T", "handle": 2, "parent": 1})",
       "/nodes/0/target", "target is below the node, which it would move"},
      {R"({"name": "C", "handle": 1, "transform": {"type": "lookAt", "rotation": [0, 0, 0, 1]}})",
       "/nodes/0/transform/rotation", "a lookAt transform has no rotation part"},
      {R"({"name": "D", "handle": 1, "transform": {"roll": {"type": "wire", "source": "nowhere"}}})",
       "/nodes/0/transform/roll/source", "no float controller has the id \"nowhere\""},
      {R"({"name": "D", "handle": 1, "transform": {"roll": {"type": "wire", "source": "b", "id": "a"},
          "position": {"type": "xyz", "x": {"type": "wire", "source": "a", "id": "b"}, "y": 0, "z": 0}}})",
       "/nodes/0/transform/position/x/source",
       "wires follow one another round a loop: b -> a -> b"},
      {R"({"name": "D", "handle": 1, "visibility": {"id": "a"}, "transform": {"roll": {"id": "a"}}})",
       "/nodes/0/visibility/id", "controller id \"a\" is already given to another controller"},
  };
  // What a scene file cannot say, a built scene can.
  auto built = SceneOf(camera + R"("near": 1}}, {"name": "D", "handle": 2, "transform":
                       {"roll": {"type": "wire", "source": "v", "id": "w"}}, "visibility": {"id": "v"}})");
  static_cast<CameraObject*>(built->FindNode("C")->ObjectRef())
      ->Param(CameraObject::kFarClip)
      .values[0]
      .number = NAN;
  auto* wire = dynamic_cast<WireFloatController*>(built->FindNode("D")->PRS()->roll.get());
  wire->source = nullptr;
  std::vector<std::string> problems;
  for (const SceneProblem& problem : built->Validate()) problems.push_back(Describe(problem));
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "node 'C' (handle 1) object/far: value is not finite",
                          "node 'D' (handle 2): float wire \"w\" follows no float controller "
                          "of this scene"}));
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.nodes);
    testing::ExpectFirstProblem([&] { SceneOf(bad.nodes); }, bad.path, bad.message);
  }
}

}  // namespace
}  // namespace kiln::standalone
