#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "standalone/Modifiers.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneInterface.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {
namespace {

const std::filesystem::path kExamples = std::filesystem::path(KILN_SOURCE_DIR) / "examples";

std::unique_ptr<Scene> LoadExample(const char* name) {
  try {
    return LoadSceneFile(kExamples / name);
  } catch (const SceneLoadError& e) {
    ADD_FAILURE() << e.what();
    return std::make_unique<Scene>();
  }
}

TEST(SceneExamples, everyExampleLoadsPassesValidationAndFindsItsConfigFolder) {
  for (const char* name : {"scene.kscene.json", "car.kscene.json", "human.kscene.json",
                           "walk.kscene.json", "level.kscene.json", "car-door.kscene.json"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<Scene> scene = LoadExample(name);
    EXPECT_TRUE(scene->Validate().empty());
    SceneInterface host(*scene);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(host.GetDir(APP_PLUGCFG_DIR)) /
                                        "CarExporterSettings.ini"));
  }
}

TEST(SceneExamples, carAndHumanCarryTheNamesTheirExportsLookFor) {
  std::unique_ptr<Scene> car = LoadExample("car.kscene.json");
  for (const char* name :
       {"p_CenterOfCar", "Point_engine", "Point_exhaust1", "s_shadow", "x_debug"}) {
    EXPECT_NE(car->FindNode(std::string_view(name)), nullptr) << name;
  }
  EXPECT_EQ(car->FindNode("x_debug")->NumberOfChildren(), 1);

  std::unique_ptr<Scene> human = LoadExample("human.kscene.json");
  for (const char* name :
       {"B_calf L", "B_calf R", "B_foot L", "B_foot R", "B_hand L", "B_hand R", "B_head",
        "B_lower arm L", "B_lower arm R", "B_shoulder L", "B_shoulder R", "B_spine1", "B_spine2",
        "B_thigh L", "B_thigh R", "B_upper arm L", "B_upper arm R"}) {
    SceneNode* bone = human->FindNode(std::string_view(name));
    ASSERT_NE(bone, nullptr) << name;
    EXPECT_EQ(bone->EvalWorldState(0).obj->ClassID(), BONE_OBJ_CLASSID) << name;
  }
  SceneNode* torso = human->FindNode("Torso");
  ASSERT_NE(torso, nullptr);
  ASSERT_NE(torso->StackIfAny(), nullptr);
  auto* skin = dynamic_cast<SkinModifier*>(&torso->StackIfAny()->ModifierAt(0));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->GetNumBones(), 2);
  // Posed as bound: evaluation leaves the torso where it was modelled.
  const Mesh& modelled = static_cast<TriObject*>(torso->StackIfAny()->GetObjRef())->mesh;
  const Mesh& evaluated = torso->EvalWorldState(0).obj->ConvertToType(0, TRIOBJ_CLASS_ID)->mesh;
  for (int i = 0; i < modelled.getNumVerts(); ++i) {
    EXPECT_NEAR(Length(evaluated.verts[i] - modelled.verts[i]), 0.0f, 1e-5f) << i;
  }
}

TEST(SceneExamples, theFormatDocumentsCompleteExampleLoads) {
  std::ifstream in(std::filesystem::path(KILN_SOURCE_DIR) / "docs" / "kscene-format.md");
  std::stringstream doc;
  doc << in.rdbuf();
  const std::string text = doc.str();
  const size_t section = text.find("## A complete example");
  ASSERT_NE(section, std::string::npos);
  const size_t begin = text.find("```json\n", section);
  const size_t end = text.find("```", begin + 7);
  ASSERT_NE(end, std::string::npos);
  const std::string example = text.substr(begin + 8, end - begin - 8);
  try {
    std::unique_ptr<Scene> scene = ReadSceneText(example, "kscene-format.md", kExamples);
    EXPECT_EQ(scene->NodesDepthFirst().size(), 4u);
    EXPECT_TRUE(scene->FindNode("Group01")->hidden);
  } catch (const SceneLoadError& e) {
    ADD_FAILURE() << e.what();
  }
}

}  // namespace
}  // namespace kiln::standalone
