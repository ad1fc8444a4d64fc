// Materials and maps in the scene file: every field round-trips, and bad
// values are refused with their JSON path.
#include <gtest/gtest.h>

#include "host/CustAttrib.h"
#include "standalone/SceneFile.h"

namespace kiln::standalone {
namespace {

const char* const kMaterials = R"({"format": "kscene", "version": 1,
 "textures": [
  {"name": "Wood", "file": "maps/wood.png", "alphaAsMono": true,
   "uv": {"scale": [2, 3], "offset": [0.5, 0.25],
          "tiling": {"uWrap": true, "vWrap": false, "uMirror": true, "vMirror": false}}},
  {"name": "Ramp", "class": "Gradient", "uv": null, "paramBlocks": [[
    {"name": "color1", "type": "color", "value": [1, 0, 0]},
    {"name": "color2Pos", "id": 4, "type": "float", "value": {"value": 0.25, "type": "tcb"}},
    {"name": "gradientType", "id": 5, "type": "int", "value": 1}]]}],
 "materials": [
  {"name": "Car", "class": "Multi/Sub-Object", "subMaterials": [1, null], "slotNames": ["Paint"]},
  {"name": "Paint", "ambient": [0.1, 0.2, 0.3], "diffuse": [0.4, 0.5, 0.6],
   "specular": [0.7, 0.8, 0.9], "shininess": 0.25, "shineStrength": 0.5, "opacity": 0.75,
   "twoSided": true, "requirements": 9, "maps": {"diffuse": 0, "bump": 1},
   "amounts": {"diffuse": 0.5, "40": 0.25}, "mapEnables": {"bump": false},
   "paramBlocks": [null, [{"name": "tags", "type": "stringTab", "value": ["a", null]}]],
   "customAttributes": [{"name": "Game", "paramBlocks": [[
     {"name": "glassy", "type": "bool", "value": true},
     {"name": "hits", "id": 7, "type": "intTab", "value": [1, 2]},
     {"name": "label", "type": "string", "value": null}]]}]}],
 "nodes": []})";

TEST(SceneMaterialFile, everyFieldRoundTrips) {
  std::unique_ptr<Scene> scene = ReadSceneText(kMaterials, "m.kscene.json", "/scenes");
  const std::string written = WriteSceneText(*scene, "/scenes");
  EXPECT_EQ(WriteSceneText(*ReadSceneText(written, "again", "/scenes"), "/scenes"), written);

  Texture& wood = *scene->Textures()[0];
  EXPECT_STREQ(wood.GetMapName(), "/scenes/maps/wood.png");  // as the host holds it
  EXPECT_EQ(wood.GetUVGen()->GetTextureTiling(), U_WRAP | U_MIRROR);
  EXPECT_EQ(scene->Textures()[1]->GetUVGen(), nullptr);
  IParamBlock2* ramp = scene->Textures()[1]->GetParamBlock(0);
  EXPECT_EQ(ramp->GetFloat(4, 0, 0), 0.25f);
  EXPECT_EQ(ramp->GetColor(0, 0, 0), (Color{1, 0, 0}));

  Material& car = *scene->Materials()[0];
  Material& paint = *scene->Materials()[1];
  EXPECT_EQ(car.GetSubMtlSlotName(0), "(1) Paint");
  EXPECT_EQ(car.GetSubMtlSlotName(1), "(2) ");
  EXPECT_EQ(car.GetDiffuse(0, 0), (Color{0.4f, 0.5f, 0.6f}));  // from the sub-material
  EXPECT_EQ(paint.GetXParency(0, 0), 0.25f);
  EXPECT_EQ(paint.GetTexmapAmt(ID_DI, 0), 0.5f);
  EXPECT_EQ(paint.GetTexmapAmt(ID_BU, 0), 1.0f);
  EXPECT_EQ(car.Requirements(-1), 9);
  // The standard material's own block comes first and holds "mapEnables".
  ASSERT_EQ(paint.NumParamBlocks(), 3);
  EXPECT_EQ(paint.GetParamBlock(0)->GetInt(0, 0, ID_BU), 0);
  EXPECT_EQ(paint.GetParamBlock(0)->GetInt(0, 0, ID_DI), 1);
  EXPECT_EQ(paint.GetParamBlock(1), nullptr);
  EXPECT_EQ(paint.GetParamBlock(2)->GetStr(0, 0, 1), nullptr);
  CustAttrib* game = paint.GetCustAttribContainer()->GetCustAttrib(0);
  EXPECT_EQ(game->GetParamBlock(0)->GetInt(7, 0, 1), 2);
  EXPECT_EQ(game->GetParamBlock(0)->GetStr(8, 0, 0), nullptr);  // no such id
}

TEST(SceneMaterialFile, computedRequirements) {
  std::unique_ptr<Scene> scene = ReadSceneText(R"({"format": "kscene", "version": 1,
    "textures": [{"name": "T"}], "materials": [
      {"name": "Plain"}, {"name": "Glass", "opacity": 0.5, "twoSided": true},
      {"name": "Bumpy", "maps": {"diffuse": 0, "bump": 0}},
      {"name": "Both", "class": "Multi/Sub-Object", "subMaterials": [1, 2]}]})",
                                               "r");
  std::vector<int> flags;
  for (const auto& m : scene->Materials()) flags.push_back(m->Requirements(-1));
  EXPECT_EQ(flags, (std::vector<int>{0, MTLREQ_2SIDE | MTLREQ_TRANSP, MTLREQ_UV | MTLREQ_BUMPUV,
                                     MTLREQ_2SIDE | MTLREQ_TRANSP | MTLREQ_UV | MTLREQ_BUMPUV}));
}

TEST(SceneMaterialFile, badMaterialsAreRefusedWithTheirPath) {
  struct Bad {
    std::string textures, materials, path, message;
  };
  // Deep: 101 multi-materials, each holding the next.
  std::string chain;
  for (int i = 0; i < 101; ++i) {
    chain += std::string(i ? ", " : "") + R"({"class": "Multi/Sub-Object", "subMaterials": [)" +
             (i < 100 ? std::to_string(i + 1) : "") + "]}";
  }
  chain += R"(, {"name": "leaf"})";
  // Wide: 18 levels of two slots each holding the next level.
  std::string wide;
  for (int i = 0; i < 18; ++i) {
    wide += std::string(i ? ", " : "") + R"({"class": "Multi/Sub-Object", "subMaterials": [)" +
            std::to_string(i + 1) + ", " + std::to_string(i + 1) + "]}";
  }
  wide += R"(, {"name": "leaf"})";
  const Bad cases[] = {
      {"", R"({"amounts": {"diffuse": "full"}})", "/materials/0/amounts/diffuse",
       "expected a number"},
      {"", R"({"amounts": {"glow": 1}})", "/materials/0/amounts/glow", "unknown map slot \"glow\""},
      {"", R"({"mapEnables": {"diffuse": 1}})", "/materials/0/mapEnables/diffuse",
       "expected true or false"},
      {"", R"({"mapEnables": {"20": false}})", "/materials/0/mapEnables/20",
       "a standard material has map enables"},
      {"", R"({"slotNames": ["a"]})", "/materials/0/slotNames", "1 slot names for 0"},
      {"", R"({"diffuse": [1, 2]})", "/materials/0/diffuse", "expected [r, g, b]"},
      {"", R"({"maps": {"diffuse": 3}})", "/materials/0/maps/diffuse", "no texture 3"},
      {"", R"({"subMaterials": [0]})", "/materials/0", "material is its own sub-material"},
      {"", R"({"paramBlocks": [[{"name": "n", "type": "int", "value": 0.5}]]})",
       "/materials/0/paramBlocks/0/0/value", "expected an integer"},
      {"", R"({"paramBlocks": [[{"name": "n", "type": "bool", "value": 1}]]})",
       "/materials/0/paramBlocks/0/0/value", "expected true or false"},
      {"", R"({"paramBlocks": [[{"name": "n", "type": "floatTab", "value": 1}]]})",
       "/materials/0/paramBlocks/0/0/value", "expected a list of values"},
      {"", R"({"paramBlocks": [[{"name": "n", "type": "matrix", "value": 1}]]})",
       "/materials/0/paramBlocks/0/0/type", "unknown parameter type \"matrix\""},
      {"", R"({"customAttributes": [{"paramBlocks": [[{"name": "a", "type": "int", "value": 1},
            {"name": "b", "id": 0, "type": "int", "value": 2}]]}]})",
       "/materials/0/customAttributes/0/paramBlocks/0/1/id", "parameter id 0 is used twice"},
      {R"({"uv": {"scale": [1]}})", "", "/textures/0/uv/scale", "expected [u, v]"},
      {R"({"uv": {"tiling": {"uwrap": true}}})", "", "/textures/0/uv/tiling/uwrap",
       "unknown field"},
      {R"({"subTexmaps": [0]})", "", "/textures/0", "map is its own sub-map"},
      {"", chain, "/materials/0", "sub-materials nest 101 levels deep"},
      {"", wide, "/materials/0", "the material's tree holds more than 100000"},
  };
  for (const Bad& bad : cases) {
    std::string text = R"({"format": "kscene", "version": 1)";
    if (!bad.textures.empty()) text += ", \"textures\": [" + bad.textures + "]";
    if (!bad.materials.empty()) text += ", \"materials\": [" + bad.materials + "]";
    text += "}";
    try {
      ReadSceneText(text, "bad.kscene.json");
      ADD_FAILURE() << bad.path << " was accepted";
    } catch (const SceneLoadError& e) {
      ASSERT_FALSE(e.Problems().empty());
      EXPECT_EQ(e.Problems()[0].path, bad.path) << e.what();
      EXPECT_NE(e.Problems()[0].message.find(bad.message), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace kiln::standalone
