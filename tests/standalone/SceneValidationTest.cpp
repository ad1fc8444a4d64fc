#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"

namespace kiln::standalone {
namespace {

// "name path: message" for every problem, name empty for scene-wide ones.
std::vector<std::string> Problems(const Scene& scene) {
  std::vector<std::string> out;
  for (const SceneProblem& p : scene.Validate()) {
    out.push_back((p.node ? p.node->Name() + " " : std::string()) + p.path + ": " + p.message);
  }
  return out;
}

::testing::AssertionResult HasProblem(const std::vector<std::string>& problems,
                                      const std::string& start) {
  for (const std::string& p : problems) {
    if (p.rfind(start, 0) == 0) return ::testing::AssertionSuccess();
  }
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "no problem starting with \"" << start << "\" among:";
  for (const std::string& p : problems) failure << "\n  " << p;
  return failure;
}

TEST(SceneValidation, aBuiltSceneWithEveryFeaturePasses) {
  SceneBuilder b;
  auto& bone = b.Node("Bone").Object("bone");
  auto& body = b.Node("Body").Mesh(MakeBox()).Rotation(1.0f, {1, 1, 0}).Scale({1, -2, 3});
  body.Skin().AddBone(&bone.node());
  body.Morpher().AddChannel(0, std::vector<Point3>(8), 10);
  Material& multi = b.Material("Multi", "Multi/Sub-Object");
  multi.subMaterials = {&b.Material("A"), nullptr};
  multi.SetMap(ID_DI, &b.Texture("Map"));
  body.Material(&multi);
  std::unique_ptr<Scene> scene = b.Build();
  EXPECT_TRUE(Problems(*scene).empty());
}

TEST(SceneValidation, clockTreeAndTransformProblemsNameTheirPlace) {
  SceneBuilder b;
  b.FrameRate(7).AnimRange(100, 0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  b.Node("").Position({0, 0, 0});
  b.Node("Nan").Position({nan, 0, 0});
  b.Node("Long").Rotation(Quat(0, 0, 0.5f, 1));
  b.Node("Flat").Scale({1, 0, 1});
  b.Node("Offset").ObjectOffset({}, Quat(), ScaleWithAxis{{1, 1, 1}, Quat(1, 1, 0, 0)});
  auto& self = b.Node("Self");
  self.Target(self);
  b.Node("Roll").Roll(std::numeric_limits<float>::infinity());
  SceneBuilder other;
  b.Node("Foreign").Material(&other.Material("Elsewhere"));
  std::unique_ptr<Scene> scene = b.BuildUnchecked();

  const std::vector<std::string> problems = Problems(*scene);
  EXPECT_TRUE(HasProblem(problems, "frameRate: frame rate 7 does not divide 4800 ticks"));
  EXPECT_TRUE(HasProblem(problems, "animRange: animation range starts after it ends"));
  EXPECT_TRUE(HasProblem(problems, " name: empty name"));
  EXPECT_TRUE(HasProblem(problems, "Nan transform/position: position is not finite"));
  EXPECT_TRUE(HasProblem(problems, "Long transform/rotation: rotation is not a finite unit"));
  EXPECT_TRUE(HasProblem(problems, "Flat transform/scale: scale factors must be finite"));
  EXPECT_TRUE(HasProblem(problems, "Offset objectOffset/scale/axis: rotation is not"));
  EXPECT_TRUE(HasProblem(problems, "Self target: target is not another node"));
  EXPECT_TRUE(HasProblem(problems, "Roll transform/roll: roll is not finite"));
  EXPECT_TRUE(HasProblem(problems, "Foreign material: material is not one of"));
  EXPECT_EQ(problems.size(), 10u);

  const SceneProblem first = scene->Validate()[2];
  EXPECT_EQ(Describe(first), "node '' (handle 1) name: empty name");
  EXPECT_EQ(Describe(scene->Validate()[0]), "frameRate: frame rate 7 does not divide 4800 ticks");
}

TEST(SceneValidation, meshIndicesAndCornerFacesMustFitTheirArrays) {
  SceneBuilder b;
  Mesh badFace = MakeBox();
  badFace.faces[1].v[2] = 8;
  b.Node("BadFace").Mesh(badFace);
  Mesh shortUV = MakeBox();
  shortUV.tvFace.pop_back();
  b.Node("ShortUV").Mesh(shortUV);
  Mesh badUV = MakeBox();
  badUV.tvFace[3].t[1] = 4;
  b.Node("BadUV").Mesh(badUV);
  Mesh badColour = MakeBox();
  badColour.vertCol = {{1, 0, 0}};
  badColour.vcFace.assign(badColour.faces.size(), TVFace{{0, 1, 0}});
  b.Node("BadColour").Mesh(badColour);
  Mesh normals = MakeBox();
  normals.specifiedNormals.assign(7, Point3(0, 0, 1));
  normals.specifiedNormalSet.assign(6, 1);
  b.Node("Normals").Mesh(normals);
  Mesh nanVertex = MakeBox();
  nanVertex.verts[5].y = std::numeric_limits<float>::quiet_NaN();
  b.Node("NanVertex").Object("point").ConvertsTo(nanVertex);
  std::unique_ptr<Scene> scene = b.BuildUnchecked();

  const std::vector<std::string> problems = Problems(*scene);
  EXPECT_TRUE(
      HasProblem(problems, "BadFace mesh/faces/1/v/2: vertex index 8 outside the 8 vertices"));
  EXPECT_TRUE(HasProblem(problems, "ShortUV mesh/tvfaces: 11 faces where the mesh has 12"));
  EXPECT_TRUE(HasProblem(problems, "BadUV mesh/tvfaces/3/1: index 4 outside the 4 texture"));
  EXPECT_TRUE(HasProblem(problems, "BadColour mesh/vcfaces/0/1: index 1 outside the 1 colour"));
  EXPECT_TRUE(HasProblem(problems, "Normals mesh/normals: 7 normals for 8 vertices"));
  EXPECT_TRUE(HasProblem(problems, "Normals mesh/normalSet: one set flag per"));
  EXPECT_TRUE(HasProblem(problems, "NanVertex mesh/verts/5: vertex is not finite"));
  EXPECT_EQ(problems.size(), 7u);
}

TEST(SceneValidation, skinAndMorpherMustFitTheirMeshAndBones) {
  SceneBuilder b;
  SceneBuilder other;
  auto& stranger = other.Node("Stranger");
  auto& bone = b.Node("Bone").Object("bone");

  SkinModifier& foreign = b.Node("Foreign").Mesh(MakeBox()).Skin();
  foreign.AddBone(&stranger.node());
  SkinModifier& twice = b.Node("Twice").Mesh(MakeBox()).Skin();
  twice.AddBone(&bone.node());
  twice.AddBone(&bone.node());
  SkinModifier& tooMany = b.Node("TooMany").Mesh(MakeBox(1, 1, 1)).Skin();
  tooMany.AddBone(&bone.node());
  for (int p = 0; p < 9; ++p) tooMany.AddPoint({{0, 1.0f}});
  SkinModifier& missing = b.Node("Missing").Mesh(MakeBox()).Skin();
  missing.AddBone(&bone.node());
  missing.AddPoint({{0, 1.0f}});
  missing.AddPoint({{0, 0.5f}, {1, 0.5f}});
  SkinModifier& negative = b.Node("Negative").Mesh(MakeBox()).Skin();
  negative.AddBone(&bone.node());
  negative.AddPoint({{0, -0.5f}});

  auto& morphed = b.Node("Morphed").Mesh(MakeBox());
  MorpherModifier& morpher = morphed.Morpher();
  morpher.AddChannel(2, std::vector<Point3>(8), 0);
  morpher.AddChannel(4, std::vector<Point3>(9), 0);
  morpher.AddChannel(5, std::vector<Point3>(3), 0).weights.pop_back();
  morpher.Channel(6).deltas.assign(2, Point3());
  morpher.Channel(6).weights.assign(2, 1.0);
  morpher.Channel(6).points.assign(1, Point3());
  morphed.Modifier(Class_ID(0x1234, 0), "On top");  // the morpher is now modifier 1

  auto& stacked = b.Node("Nested").Mesh(MakeBox());
  stacked.node().SetObject(std::make_unique<DerivedObject>(
      std::make_unique<DerivedObject>(std::make_unique<MeshObject>(MakeBox()))));
  std::unique_ptr<Scene> scene = b.BuildUnchecked();

  const std::vector<std::string> problems = Problems(*scene);
  EXPECT_TRUE(HasProblem(problems, "Foreign modifiers/0/bones/0: bone is not a node of this"));
  EXPECT_TRUE(HasProblem(problems, "Twice modifiers/0/bones/1: bone listed twice"));
  EXPECT_TRUE(
      HasProblem(problems, "TooMany modifiers/0/weights: 9 weighted points but the mesh has 8"));
  EXPECT_TRUE(
      HasProblem(problems, "Missing modifiers/0/weights/1/1/0: bone index 1 outside the 1 bones"));
  EXPECT_TRUE(HasProblem(problems, "Negative modifiers/0/weights/0/0/1: weight must be"));
  EXPECT_TRUE(
      HasProblem(problems, "Morphed modifiers/1/channels/1/deltas: 9 deltas but the mesh has 8"));
  EXPECT_TRUE(HasProblem(problems, "Morphed modifiers/1/channels/2/pointWeights: one weight"));
  EXPECT_TRUE(HasProblem(problems, "Morphed modifiers/1/channels/3/points: one target point"));
  EXPECT_TRUE(HasProblem(problems, "Nested object: a modifier stack needs a base object"));
  EXPECT_EQ(problems.size(), 9u);
}

TEST(SceneValidation, materialsAndMapsMustNotContainThemselves) {
  SceneBuilder b;
  Material& outer = b.Material("Outer", "Multi/Sub-Object");
  Material& inner = b.Material("Inner", "Multi/Sub-Object");
  outer.subMaterials = {&inner};
  inner.subMaterials = {nullptr, &outer};
  Texture& mix = b.Texture("Mix", "Gradient");
  mix.subTexmaps = {&mix};
  SceneBuilder other;
  b.Material("Loner").SetMap(ID_BU, &other.Texture("Stranger"));
  std::unique_ptr<Scene> scene = b.BuildUnchecked();

  const std::vector<std::string> problems = Problems(*scene);
  EXPECT_TRUE(HasProblem(problems, "materials/0: material is its own sub-material"));
  EXPECT_TRUE(HasProblem(problems, "materials/1: material is its own sub-material"));
  EXPECT_TRUE(HasProblem(problems, "textures/0: map is its own sub-map"));
  EXPECT_TRUE(HasProblem(problems, "materials/2/maps: map is not one of the scene's textures"));
  EXPECT_EQ(problems.size(), 4u);
  EXPECT_NO_THROW(SceneBuilder().Build()) << "an empty scene is valid";
  SceneBuilder unnamed;
  unnamed.Node("");
  EXPECT_THROW(unnamed.Build(), std::invalid_argument);
}

}  // namespace
}  // namespace kiln::standalone
