#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "standalone/LoadErrorExpect.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneCompare.h"
#include "standalone/SceneFile.h"
#include "util/TempFolder.h"

namespace kiln::standalone {
namespace {

using kiln::testing::TempFolder;
using testing::ExpectFirstProblem;
using testing::ExpectSameScene;

// Every kind of thing a scene file can say, with values that do not survive a
// careless float or index conversion.
std::unique_ptr<Scene> RichScene(const std::filesystem::path& configDir) {
  SceneBuilder b;
  b.FrameRate(25).AnimRange(-192, 9600).Time(384).PluginConfigDir(configDir);

  Texture& paint = b.Texture("Paint");
  paint.SetUVAxis(AXIS_VW);
  Texture& ramp = b.Texture("Ramp", "Gradient");
  ramp.subTexmaps = {&paint, nullptr};
  Texture& noise = b.Texture("Noise", "Noise");
  noise.classId = Class_ID(0x234, 0x1);
  Material& body = b.Material("Body paint");
  body.SetMap(ID_DI, &paint);
  body.SetMap(ID_BU, &ramp);
  body.SetMap(14, &noise);
  Material& shell = b.Material("Shell", "Composite");
  shell.classId = Class_ID(0x61DC1E93, 0x5D4B4C49);
  shell.subMaterials = {&body};
  Material& multi = b.Material("Multi", "Multi/Sub-Object");
  multi.subMaterials = {&body, nullptr, &shell};
  Material& oddStandard = b.Material("Odd");
  oddStandard.classId = Class_ID(7, 7);

  auto& car = b.Node("Car", 100)
                  .Position({1.5f, -2.0f, 0.1f})
                  .Rotation(0.3f, {0, 0, 1})
                  .Scale({1, 2, 3}, QFromAngAxis(0.2f, {1, 0, 0}))
                  .UserProps("mass = 12\r\nname=Car 1")
                  .Selected();
  car.PRS().position =
      std::make_unique<PositionController>(Point3(1.5f, -2.0f, 0.1f), Interpolation::kTCB);
  auto& boneA = b.Node("B_thigh L").Parent(car).Object("bone").ConvertsTo(MakeBox(0.1f, 0.1f, 1));
  auto& boneB = b.Node("B_calf L").Parent(boneA).Object("bone").Position({0, 0, 1});

  Mesh mesh = MakeBox(2, 3, 0.7f);
  mesh.vertCol = {{1, 0, 0}, {0.25f, 0.5f, 0.125f}};
  mesh.vcFace.assign(mesh.faces.size(), TVFace{{0, 1, 1}});
  mesh.specifiedNormals.assign(8, Normalize(Point3(1, 1, 1)));
  mesh.specifiedNormalSet = {1, 0, 1, 1, 0, 0, 1, 1};
  mesh.dataChannelCount = 2;
  mesh.faces[3].flags |= 7;
  mesh.faces[4].setMatID(65535);
  auto& hull = b.Node("Hull").Parent(car).Mesh(mesh).Material(&multi).Visibility(0.5f);
  hull.ObjectOffset({0, 0, 0.5f}, QFromAngAxis(0.1f, {0, 1, 0}), {{1, 1, -1}, Quat()});
  MorpherModifier& morpher = hull.Morpher();
  morpher.AddChannel(0, std::vector<Point3>(8, Point3(0.1f, 0, 0)), 33.3f);
  morpher.AddChannel(7, std::vector<Point3>(3, Point3(0, 0.2f, 0)), 0).invalid = true;
  morpher.Channel(7).weights = {0.5, 0.25, 1};
  morpher.Channel(7).points = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  morpher.AddChannel(9, {}, 0).active = false;
  morpher.SetWeightController(9, std::make_unique<FloatController>(75.0f, Interpolation::kLinear));
  SkinModifier& skin = hull.Skin();
  skin.refFrame = 160;
  skin.AddBone(&boneA.node(), TransMatrix({0, 0, 0.25f}));
  skin.AddBone(&boneB.node());
  for (int p = 0; p < 8; ++p) skin.AddPoint({{p % 2, 0.75f}, {1 - p % 2, 0.25f}, {0, 0.0f}});
  skin.SetEnabled(false);
  hull.Modifier(Class_ID(0x1234, 0x5678), "UVW Map", false);

  auto& group = b.Node("x_debug").Parent(car).Object("dummy").Hidden().WithoutRotation();
  b.Node("x_marker").Parent(group).Object("point").WithoutScale().WithoutPosition();
  auto& target = b.Node("Cam.Target").Object("dummy").Position({0, 10, 0});
  b.Node("Cam").Object("targetCamera").Target(target);
  b.Node("Slider").Object("slider");
  b.Node("Custom")
      .Object(std::make_unique<SceneObject>(Class_ID(0xDEAD, 0xBEEF), 0x1A0, "Odd Thing"))
      .ConvertsTo(MakeBox());
  b.Node("Bare").WithoutTransform();
  auto& odd = b.Node("Odd controllers").Roll(0.25f);
  dynamic_cast<RotationController&>(*odd.PRS().rotation)
      .SetClass(Class_ID(0x2013, 0), "Odd Rotation");
  odd.PRS().roll = std::make_unique<FloatController>(0.25f, Interpolation::kLinear);
  return b.Build();
}

TEST(SceneFile, writingThenReadingGivesTheSameScene) {
  TempFolder folder;
  const std::filesystem::path config = folder.Path() / "config";
  std::unique_ptr<Scene> original = RichScene(config);

  const std::string text = WriteSceneText(*original, folder.Path());
  EXPECT_NE(text.find("\"pluginConfigDir\": \"config\""), std::string::npos);
  EXPECT_EQ(text.find("\"buffers\""), std::string::npos);
  EXPECT_NE(text.find("0.1"), std::string::npos);
  EXPECT_EQ(text.find("0.10000000"), std::string::npos) << "floats are written shortest";
  std::unique_ptr<Scene> read = ReadSceneText(text, "rich.kscene.json", folder.Path());
  ExpectSameScene(*original, *read);
  EXPECT_EQ(WriteSceneText(*read, folder.Path()), text) << "a second round trip changes the text";

  // Through files, every array in the side file.
  const std::filesystem::path file = folder.Path() / "rich.kscene.json";
  WriteSceneFile(*original, file, {.sideFileThreshold = 1});
  ASSERT_TRUE(std::filesystem::exists(folder.Path() / "rich.bin"));
  EXPECT_NE(folder.Read("rich.kscene.json").find("\"uri\": \"rich.bin\""), std::string::npos);
  EXPECT_EQ(folder.Read("rich.kscene.json").find("[0.1,"), std::string::npos);
  std::unique_ptr<Scene> fromFiles = LoadSceneFile(file);
  ExpectSameScene(*original, *fromFiles);

  // Without a side file nothing is left beside the scene file.
  const std::filesystem::path inlineFile = folder.Path() / "inline.kscene.json";
  WriteSceneFile(*original, inlineFile);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "inline.bin"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "inline.kscene.json.tmp"));
  ExpectSameScene(*original, *LoadSceneFile(inlineFile));
  EXPECT_EQ(SideFileName("a/b/walk.kscene.json"), std::filesystem::path("a/b/walk.bin"));
  EXPECT_EQ(SideFileName("walk.json"), std::filesystem::path("walk.bin"));
}

TEST(SceneFile, defaultsGiveAFullTransformAndBindPoseAtTheReferenceFrame) {
  std::unique_ptr<Scene> scene = ReadSceneText(R"({
    "format": "kscene", "version": 1,
    "nodes": [
      {"name": "Bone", "handle": 1, "object": "bone", "transform": {"position": [0, 0, 2]}},
      {"name": "Skin", "handle": 2, "parent": 1,
       "transform": {"rotation": {"axis": [0, 0, 2], "angle": 1.5707964}, "scale": null},
       "mesh": {"verts": [[0, 0, 0], [1, 0, 0], [0, 1, 0]], "faces": [{"v": [0, 1, 2]}]},
       "modifiers": [{"type": "skin", "bones": [{"node": 1}], "weights": [[[0, 1]]]}]}
    ]})",
                                               "defaults");
  EXPECT_EQ(scene->frameRate, 30);
  EXPECT_EQ(scene->TicksPerFrame(), 160);
  EXPECT_EQ(scene->animRange.start, 0);
  EXPECT_EQ(scene->animRange.end, 16000);
  EXPECT_TRUE(scene->pluginConfigDir.empty());
  SceneNode& bone = *scene->FindNode(1u);
  SceneNode& skinned = *scene->FindNode(2u);
  ASSERT_NE(bone.PRS(), nullptr);
  EXPECT_NE(bone.PRS()->rotation, nullptr);
  EXPECT_NE(bone.PRS()->scale, nullptr);
  EXPECT_EQ(skinned.PRS()->scale, nullptr);
  EXPECT_EQ(skinned.PRS()->position->ValueAt(0), Point3());
  EXPECT_EQ(skinned.GetParentNode(), &bone);
  EXPECT_EQ(skinned.GetObjectRef()->SuperClassID(), GEN_DERIVOB_CLASS_ID);
  EXPECT_EQ(static_cast<IDerivedObject*>(skinned.GetObjectRef())->GetObjRef()->ClassID(),
            TRIOBJ_CLASS_ID);
  auto& skin = static_cast<SkinModifier&>(skinned.StackIfAny()->ModifierAt(0));
  ASSERT_TRUE(skin.bones[0].bindTM.has_value());
  EXPECT_EQ(skin.bones[0].bindTM->GetTrans(), Point3(0, 0, 2));
  ASSERT_TRUE(skin.skinBindTM.has_value());
  EXPECT_EQ(skin.skinBindTM->GetTrans(), Point3(0, 0, 2));
  EXPECT_TRUE(skin.IsEnabled());
  // The angle-axis form became a unit quaternion about z.
  EXPECT_NEAR(skinned.PRS()->rotation->ValueAt(0).z, std::sqrt(0.5f), 1e-6f);
}

struct BadInput {
  const char* what;
  std::string text;
  std::string path;
  std::string message;  // the start of the message
};

// A node list inside an otherwise valid document.
std::string WithNodes(const std::string& nodes, const std::string& extra = "") {
  return R"({"format": "kscene", "version": 1, )" + extra + R"("nodes": [)" + nodes + "]}";
}

const char* kTriangles =
    R"("verts": [[0, 0, 0], [1, 0, 0], [0, 1, 0]], "faces": [{"v": [0, 1, 2]}, {"v": [2, 1, 0]}])";

std::string MeshNode(const std::string& meshExtra, const std::string& nodeExtra = "") {
  return R"({"name": "M", "handle": 1, "mesh": {)" + std::string(kTriangles) + meshExtra + "}" +
         nodeExtra + "}";
}

std::string MeshDocument(const std::string& meshExtra, const std::string& nodeExtra = "") {
  return WithNodes(MeshNode(meshExtra, nodeExtra));
}

TEST(SceneFile, badInputNamesTheFileThePathAndWhatWasExpected) {
  std::string manyNodes = "0";  // the list is refused by its length, before its entries are read
  for (int i = 0; i < 1 << 20; ++i) manyNodes += ",0";
  const std::vector<BadInput> cases = {
      {"malformed JSON", "{\n  \"format\": \"kscene\",\n  \"version\": 1\n  \"nodes\": []\n}", "",
       "malformed JSON: parse error at line 4, column 9"},
      {"duplicate key", WithNodes(R"({"name": "A", "handle": 1, "handle": 2})"), "/nodes/0/handle",
       "key \"handle\" given twice"},
      {"not an object", "[1, 2]", "", "expected an object, found an array"},
      {"wrong format", R"({"format": "gltf", "version": 1})", "/format", "expected \"kscene\""},
      {"newer version", R"({"format": "kscene", "version": 2})", "/version",
       "version 2 is not one this reader knows (1)"},
      {"wrong type", WithNodes(R"({"name": "A", "handle": "one"})"), "/nodes/0/handle",
       "expected a non-negative integer, found a string"},
      {"missing field", WithNodes(R"({"handle": 1})"), "/nodes/0", "missing field \"name\""},
      {"misspelt field", WithNodes(R"({"name": "A", "handle": 1, "hiden": true})"),
       "/nodes/0/hiden", "unknown field \"hiden\" (expected one of: name, handle,"},
      {"unknown object type", WithNodes(R"({"name": "A", "handle": 1, "object": "teapot"})"),
       "/nodes/0/object", "unknown object type \"teapot\" (expected one of: mesh, custom, dummy"},
      {"custom object without class name",
       WithNodes(R"({"name": "A", "handle": 1, "object": {"type": "custom",
                 "classId": ["0x10", "0x0"], "superClass": 16}})"),
       "/nodes/0/object", "missing field \"className\""},
      {"bad class id word", WithNodes(R"({"name": "A", "handle": 1, "object": {"type": "custom",
                 "classId": ["0xZZ", 0], "superClass": 16, "className": "X"}})"),
       "/nodes/0/object/classId/0", "expected a 32-bit word such as \"0x876234\""},
      {"mesh object without mesh", WithNodes(R"({"name": "A", "handle": 1, "object": "mesh"})"),
       "/nodes/0/object", "an object of type mesh needs the node's \"mesh\""},
      {"unknown material class",
       WithNodes("", R"("materials": [{"name": "Lacquer", "class": "Shellac"}], )"),
       "/materials/0/class", "unknown material class \"Shellac\": give its classId"},
      {"texture index out of range",
       WithNodes("", R"("materials": [{"name": "M", "maps": {"diffuse": 3}}], )"),
       "/materials/0/maps/diffuse", "no texture 3 (the file has 0)"},
      {"unknown modifier type", MeshDocument("", R"(, "modifiers": [{"type": "bend"}])"),
       "/nodes/0/modifiers/0/type", "unknown modifier type \"bend\""},
      {"modifiers without object", WithNodes(R"({"name": "A", "handle": 1, "modifiers": []})"),
       "/nodes/0/modifiers", "modifiers need an object to modify"},
      {"duplicate handles", WithNodes(R"({"name": "A", "handle": 5}, {"name": "B", "handle": 5})"),
       "/nodes/1/handle", "handle 5 is already used by /nodes/0"},
      {"root handle", WithNodes(R"({"name": "A", "handle": 0})"), "/nodes/0/handle",
       "handle 0 is the scene root's"},
      {"unknown parent", WithNodes(R"({"name": "A", "handle": 1, "parent": 9})"), "/nodes/0/parent",
       "no node has handle 9"},
      {"parent loop",
       WithNodes(R"({"name": "R", "handle": 3}, {"name": "A", "handle": 1, "parent": 2},
                    {"name": "B", "handle": 2, "parent": 1})"),
       "/nodes/1/parent", "parent loop: /nodes/1 -> /nodes/2 -> /nodes/1"},
      {"own parent", WithNodes(R"({"name": "A", "handle": 1, "parent": 1})"), "/nodes/0/parent",
       "parent loop: /nodes/0 -> /nodes/0"},
      {"float out of range",
       WithNodes(R"({"name": "A", "handle": 1, "transform": {"position": [1e39, 0, 0]}})"),
       "/nodes/0/transform/position/0", "number outside the range of a 32-bit float"},
      {"short quaternion",
       WithNodes(R"({"name": "A", "handle": 1, "transform": {"rotation": [0, 0, 1]}})"),
       "/nodes/0/transform/rotation", "expected a quaternion [x, y, z, w]"},
      {"unknown controller type",
       WithNodes(R"({"name": "A", "handle": 1, "visibility": {"value": 1, "type": "step"}})"),
       "/nodes/0/visibility/type", "unknown controller type \"step\""},
      {"face index outside the vertices",
       WithNodes(R"({"name": "M", "handle": 1, "mesh": {"verts": [[0, 0, 0], [1, 0, 0], [0, 1, 0]],
                 "faces": [{"v": [0, 1, 2]}, {"v": [2, 1, 3]}]}})"),
       "/nodes/0/mesh/faces/1/v/2", "vertex index 3 outside the 3 vertices"},
      {"texture faces not one per face",
       MeshDocument(R"(, "tverts": [[0, 0, 0]], "tvfaces": [[0, 0, 0]])"), "/nodes/0/mesh/tvfaces",
       "1 faces where the mesh has 2"},
      {"colour face index outside the colours",
       MeshDocument(R"(, "colors": [[1, 1, 1]], "vcfaces": [[0, 0, 1], [0, 0, 0]])"),
       "/nodes/0/mesh/vcfaces/0/2", "index 1 outside the 1 colour vertices"},
      {"face column of the wrong length",
       WithNodes(R"({"name": "M", "handle": 1, "mesh": {"verts": [[0, 0, 0], [1, 0, 0], [0, 1, 0]],
                 "faces": {"v": [[0, 1, 2], [2, 1, 0]], "smGroup": [1]}}})"),
       "/nodes/0/mesh/faces/smGroup", "1 values for 2 faces"},
      {"material id above 16 bits",
       WithNodes(R"({"name": "M", "handle": 1, "mesh": {"verts": [], "faces": [{"v": [0, 0, 0],
                 "matId": 65536}]}})"),
       "/nodes/0/mesh/faces/0/matId", "expected an integer from 0 to 65535"},
      {"skin bone that is no node",
       MeshDocument("", R"(, "modifiers": [{"type": "skin", "bones": [{"node": 42}]}])"),
       "/nodes/0/modifiers/0/bones/0/node", "no node has handle 42"},
      {"skin weight naming a missing bone",
       WithNodes(R"({"name": "Bone", "handle": 7, "object": "bone"}, )" +
                 MeshNode("", R"(, "modifiers": [{"type": "skin", "bones": [{"node": 7}],
                 "weights": [[[0, 1]], [[0, 1]], [[0, 0.5], [1, 0.5]]]}])")),
       "/nodes/1/modifiers/0/weights/2/1/0", "bone index 1 outside the 1 bones"},
      {"skin with more points than vertices",
       WithNodes(R"({"name": "Bone", "handle": 7, "object": "bone"}, )" +
                 MeshNode("", R"(, "modifiers": [{"type": "skin", "bones": [{"node": 7}],
                 "weights": [[], [], [], []]}])")),
       "/nodes/1/modifiers/0/weights", "4 weighted points but the mesh has 3 vertices"},
      {"packed skin weights that do not add up",
       MeshDocument("", R"(, "modifiers": [{"type": "skin",
                "weights": {"counts": [2, 1], "bones": [0, 0, 0], "weights": [1, 1]}}])"),
       "/nodes/0/modifiers/0/weights/weights", "2 weights where the counts add up to 3"},
      {"morph deltas longer than the mesh",
       MeshDocument("", R"(, "modifiers": [{"type": "morpher", "channels": [{"slot": 4,
                "deltas": [[0, 0, 1], [0, 0, 1], [0, 0, 1], [0, 0, 1]]}]}])"),
       "/nodes/0/modifiers/0/channels/0/deltas", "4 deltas but the mesh has 3 vertices"},
      {"morph slot out of range",
       MeshDocument("", R"(, "modifiers": [{"type": "morpher", "channels": [{"slot": 100,
                "deltas": []}]}])"),
       "/nodes/0/modifiers/0/channels/0/slot", "expected an integer from 0 to 99, found 100"},
      {"morph slots out of order",
       MeshDocument("", R"(, "modifiers": [{"type": "morpher", "channels": [
                {"slot": 5, "deltas": []}, {"slot": 5, "deltas": []}]}])"),
       "/nodes/0/modifiers/0/channels/1/slot", "channels must be listed by increasing slot"},
      {"frame rate that does not divide a second", WithNodes("", R"("frameRate": 7, )"),
       "/frameRate", "frame rate 7 does not divide 4800 ticks"},
      // Hostile input: what the JSON library refuses, and what would size the memory.
      {"number too large to read", "1e400", "",
       "cannot read the number '1e400': it is outside the range of a 64-bit float"},
      {"number too large to read, deep inside",
       WithNodes(R"({"name": "A", "handle": 1, "transform": {"position": [0, -1e999, 0]}})"),
       "/nodes/0/transform/position/1", "cannot read the number '-1e999'"},
      {"NUL inside a name", WithNodes(R"({"name": "Box\u0000Hidden", "handle": 1})"),
       "/nodes/0/name", "text holds a NUL character (\\u0000) at byte 3"},
      {"name too long", WithNodes(R"({"name": ")" + std::string(65537, 'n') + R"(", "handle": 1})"),
       "/nodes/0/name", "name of 65537 bytes, longer than 65536"},
      {"too many nodes", WithNodes(manyNodes), "/nodes",
       "1048577 nodes, more than the 1048576 a scene may hold"},
  };
  for (const BadInput& bad : cases) {
    SCOPED_TRACE(bad.what);
    const auto e = ExpectFirstProblem([&] { ReadSceneText(bad.text, "bad.kscene.json"); }, bad.path,
                                      bad.message);
    if (e) {
      EXPECT_EQ(e->File(), "bad.kscene.json");
      const std::string where = bad.path.empty() ? "" : bad.path + ": ";
      EXPECT_EQ(std::string(e->what()).rfind("bad.kscene.json: " + where + bad.message, 0), 0u)
          << e->what();
    }
  }
}

TEST(SceneFile, sideFileViewsAreCheckedAgainstTheFile) {
  TempFolder folder;
  std::unique_ptr<Scene> scene = RichScene(folder.Path());
  const std::filesystem::path file = folder.Path() / "car.kscene.json";
  WriteSceneFile(*scene, file, {.sideFileThreshold = 1});

  auto problemOf = [](const std::filesystem::path& path) -> SceneFileProblem {
    try {
      LoadSceneFile(path);
    } catch (const SceneLoadError& e) {
      return e.Problems().at(0);
    }
    return {"", "accepted"};
  };

  const std::string bytes = folder.Read("car.bin");
  folder.Write("car.bin", bytes.substr(0, bytes.size() - 1));
  SceneFileProblem shortFile = problemOf(file);
  EXPECT_EQ(shortFile.path, "/buffers/0/byteLength");
  EXPECT_NE(shortFile.message.find("holds " + std::to_string(bytes.size() - 1) +
                                   " bytes, fewer than its byteLength"),
            std::string::npos)
      << shortFile.message;
  std::filesystem::remove(folder.Path() / "car.bin");
  SceneFileProblem missing = problemOf(file);
  EXPECT_EQ(missing.path, "/buffers/0/uri");
  EXPECT_NE(missing.message.find("car.bin cannot be opened"), std::string::npos);

  // Hand-made views: 3 vertices (36 bytes of f32) then 6 u16 indices.
  std::string side(48, '\0');
  const float verts[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  std::memcpy(side.data(), verts, sizeof(verts));
  const uint16_t corners[6] = {0, 1, 2, 2, 1, 0};
  std::memcpy(side.data() + 36, corners, sizeof(corners));
  folder.Write("hand.bin", side);
  auto document = [](const std::string& verts, const std::string& faces) {
    return R"({"format": "kscene", "version": 1, "buffers": [{"uri": "hand.bin"}],
      "nodes": [{"name": "M", "handle": 1, "mesh": {"verts": )" +
           verts + R"(, "faces": {"v": )" + faces + "}}}]}";
  };
  const std::string goodVerts = R"({"buffer": 0, "count": 9, "type": "f32"})";
  const std::string goodFaces = R"({"buffer": 0, "offset": 36, "count": 6, "type": "u16"})";
  std::unique_ptr<Scene> hand =
      ReadSceneText(document(goodVerts, goodFaces), "hand.kscene.json", folder.Path());
  const Mesh& mesh = static_cast<MeshObject*>(hand->FindNode(1u)->GetObjectRef())->mesh;
  ASSERT_EQ(mesh.getNumVerts(), 3);
  EXPECT_EQ(mesh.verts[1], Point3(1, 0, 0));
  ASSERT_EQ(mesh.getNumFaces(), 2);
  EXPECT_EQ(mesh.faces[1].v[0], 2u);

  const std::vector<BadInput> cases = {
      {"view past the end", document(goodVerts, R"({"buffer": 0, "offset": 40, "count": 6,
       "type": "u16"})"),
       "/nodes/0/mesh/faces/v", "view of 12 bytes at offset 40 runs past the end of buffer 0 (48"},
      {"huge count", document(R"({"buffer": 0, "count": 4294967295, "type": "f32"})", goodFaces),
       "/nodes/0/mesh/verts/count", "count 4294967295 is more than 67108864 items of 3"},
      {"largest count, past the end",
       document(R"({"buffer": 0, "count": 201326592, "type": "f32"})", goodFaces),
       "/nodes/0/mesh/verts", "view of 805306368 bytes at offset 0 runs past the end"},
      {"huge offset",
       document(R"({"buffer": 0, "offset": 4294967295, "count": 3,
       "type": "f32"})",
                goodFaces),
       "/nodes/0/mesh/verts", "view of 12 bytes at offset 4294967295 runs past the end"},
      {"count not whole points", document(R"({"buffer": 0, "count": 8, "type": "f32"})", goodFaces),
       "/nodes/0/mesh/verts/count", "count 8 is not a multiple of 3"},
      {"no such buffer", document(R"({"buffer": 1, "count": 9, "type": "f32"})", goodFaces),
       "/nodes/0/mesh/verts/buffer", "no buffer 1 (the file lists 1)"},
      {"integers where floats go",
       document(R"({"buffer": 0, "count": 9, "type": "u32"})", goodFaces),
       "/nodes/0/mesh/verts/type", "expected type f32"},
      {"floats where indices go", document(goodVerts, R"({"buffer": 0, "count": 6,
       "type": "f32"})"),
       "/nodes/0/mesh/faces/v/type", "expected an integer type"},
      {"unknown number type", document(R"({"buffer": 0, "count": 9, "type": "f16"})", goodFaces),
       "/nodes/0/mesh/verts/type", "unknown number type \"f16\""},
      {"index read from the file checked like any other",
       document(goodVerts, R"({"buffer": 0, "offset": 28, "count": 6, "type": "u16"})"),
       "/nodes/0/mesh/faces/0/v/1", "vertex index 16256 outside the 3 vertices"},
  };
  for (const BadInput& bad : cases) {
    SCOPED_TRACE(bad.what);
    ExpectFirstProblem([&] { ReadSceneText(bad.text, "hand.kscene.json", folder.Path()); },
                       bad.path, bad.message);
  }

  try {
    LoadSceneFile(folder.Path() / "absent.kscene.json");
    ADD_FAILURE() << "a missing file loaded";
  } catch (const SceneLoadError& e) {
    EXPECT_EQ(std::string(e.what()),
              (folder.Path() / "absent.kscene.json").string() + ": cannot open the scene file");
  }
}

}  // namespace
}  // namespace kiln::standalone
