// Material chunks, names, channels, shader names and custom attributes,
// exported through the export entry and read back with the chunk reader.
#include <gtest/gtest.h>

#include "materials/MaterialTestSupport.h"
#include "materials/ShaderMap.h"
#include "standalone/SceneFile.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using namespace standalone;
using testing::ExportHarness;
using Strings = std::vector<std::string>;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(MaterialExport, kindsNestingAndNames) {
  SceneBuilder b;
  auto& mat01 = b.Material("Mat01");
  auto& glass = b.Material("Glass");
  auto& body = b.Material("Body", "Multi/Sub-Object");
  body.subMaterials = {&mat01, nullptr, &glass};
  body.slotNames = {"Paint", "", ""};  // "(1) Paint", "(2) ", "(3) "
  auto& car = b.Material("Car", "Composite");
  car.subMaterials = {&b.Material("Metal"), nullptr, &b.Material("Decal")};
  auto& odd = b.Material("Odd", "Raytrace");
  b.Node("Hull").Mesh(testing::Triangles({0, 2})).Material(&body);
  b.Node("Roof").Mesh(testing::Triangles({0})).Material(&car);
  b.Node("Seat").Mesh(testing::Triangles({0})).Material(&mat01);
  b.Node("Odd").Mesh(testing::Triangles({0, 1})).Material(&odd);
  b.Node("Ghost").Mesh(testing::Triangles({0})).Material(&b.Material("Hidden")).Hidden();
  auto scene = b.Build();
  ExportHarness h;
  ASSERT_EQ(h.Export(*scene, "k.zqs", true), 1);
  const reader::ChunkFile file = h.Read("k.zqs");

  // Registration order; sub-materials before their parent; composite layers
  // after the base; a material of another class writes nothing.
  EXPECT_EQ(testing::MaterialNames(file), (Strings{"Default Material", "Body::Paint", "Body::Glass",
                                                   "Body", "Car::Metal", "Car::Decal", "Car"}));
  const reader::Chunk* multi = testing::MaterialChunk(file, "Body");
  EXPECT_EQ(multi->id, (reader::ChunkId{5, 17, 1}));
  EXPECT_EQ(multi->As<reader::MaterialList>()->count, 3u);
  ASSERT_EQ(multi->children.size(), 2u);
  EXPECT_EQ(testing::MaterialName(multi->children[1]), "Body::Glass");
  const reader::Chunk* composite = testing::MaterialChunk(file, "Car");
  EXPECT_EQ(composite->id, (reader::ChunkId{5, 19, 1}));
  EXPECT_EQ(composite->As<reader::MaterialList>()->count, composite->children.size());
  EXPECT_EQ(composite->children.size(), 2u);
  EXPECT_TRUE(composite->notes.empty());

  // Face blocks name their materials; a shared material keeps its first name.
  EXPECT_EQ(testing::FaceBlockNames(file, "Hull"), (Strings{"Body::Paint", "Body::Glass"}));
  EXPECT_EQ(testing::FaceBlockNames(file, "Seat"), (Strings{"Body::Paint"}));
  EXPECT_EQ(testing::FaceBlockNames(file, "Odd"), (Strings{"Odd", "Odd"}));
  EXPECT_EQ(h.ReadText("k_warnings.log"),
            "*** Warnings exporting\n\nHidden node (and children) not exported: Ghost\n"
            "Material Odd of class Raytrace is not exported\n"
            "Hidden node (and children) not exported: Ghost\n");
  EXPECT_FALSE(h.Exists("k_errors.log"));
  const std::string ini = h.ReadText("k.ini");
  EXPECT_TRUE(
      Has(ini, "[Hull]\r\nFaceBlock0_Shader=Diffuse\r\nFaceBlock0_Material=Body::Paint\r\n"));
}

TEST(MaterialExport, namesAreUniqueAndExportsRepeatByteForByte) {
  SceneBuilder b;
  const char* names[] = {"Wood", "wood", "WOOD_2", "Default Material", "Bad]Name"};
  for (const char* name : names)
    b.Node(name).Mesh(testing::Triangles({0})).Material(&b.Material(name));
  auto scene = b.Build();
  ExportHarness h;
  h.WriteText("u_shaders.ini", "[Gone]\r\nDiffuse=1\r\n");  // no .ini: a stale shader file
  ASSERT_EQ(h.Export(*scene, "u.zqs", true), 1);
  ASSERT_EQ(h.Export(*scene, "v.zqs", true), 1);
  EXPECT_EQ(h.ReadText("u.zqs"), h.ReadText("v.zqs"));
  EXPECT_EQ(testing::MaterialNames(h.Read("u.zqs")),
            (Strings{"Default Material", "Wood", "wood_2", "WOOD_2_2", "Default Material_2",
                     "Bad]Name"}));
  EXPECT_EQ(h.ReadText("u_errors.log"),
            "*** Errors exporting\n\n"
            "Change colliding material name: wood to wood_2\n"
            "Change colliding material name: WOOD_2 to WOOD_2_2\n"
            "Change colliding material name: Default Material to Default Material_2\n"
            "Material name Bad]Name cannot be an .ini section\n");
  const std::string shaders = h.ReadText("u_shaders.ini");
  EXPECT_FALSE(Has(shaders, "[Gone]"));
  EXPECT_TRUE(Has(shaders, "[wood_2]\r\n"));
}

TEST(MaterialExport, standardChunkChannelsAndShaderSections) {
  testing::TempFolder files;
  const std::string wood = files.Write("wood.png", "not decoded");
  SceneBuilder b;
  auto& paint = b.Material("Paint");
  paint.ambient = {0.1f, 0.2f, 0.3f};
  paint.diffuse = {0.4f, 0.5f, 0.6f};
  paint.specular = {0.7f, 0.8f, 0.9f};
  paint.shininess = 0.25f, paint.shineStrength = 0.5f, paint.opacity = 0.75f;
  paint.requirements = 42;
  auto& diffuse = b.Texture("Grain");
  diffuse.fileName = wood;
  diffuse.alphaAsMono = true;
  diffuse.uvGen.uScale = 2, diffuse.uvGen.vScale = 3;
  diffuse.uvGen.uOffset = 0.5f, diffuse.uvGen.vOffset = 0.25f;
  diffuse.uvGen.tiling = U_WRAP | U_MIRROR;
  auto& gradient = b.Texture("Ramp", "Gradient");
  gradient.paramBlocks.push_back(std::make_unique<ParamBlock>());
  gradient.paramBlocks[0]->Add("color1", 0, TYPE_RGBA).Colour({1, 0, 0});
  gradient.paramBlocks[0]->Add("gradientType", 1, TYPE_INT).Int(2);
  auto& falloff = b.Texture("Fall", "Falloff");
  falloff.paramBlocks.push_back(std::make_unique<ParamBlock>());
  falloff.paramBlocks[0]->Add("type", 0, TYPE_INT).Int(5);
  falloff.paramBlocks[0]->Add("direction", 1, TYPE_INT).Int(7);
  auto& noise = b.Texture("Noise", "Noise");
  paint.SetMap(ID_DI, &diffuse);
  paint.SetMap(ID_BU, &gradient);
  paint.SetMap(ID_RL, &falloff);
  paint.SetMap(ID_SI, &noise);    // a map of another class sets no bit
  paint.SetMap(ID_OP, &diffuse);  // switched off below
  paint.SetMapEnabled(ID_OP, false);
  paint.amounts[ID_DI] = 0.5f;
  b.Node("Box").Mesh(testing::Triangles({0})).Material(&paint);
  auto scene = b.Build();
  ExportHarness h;
  ASSERT_EQ(h.Export(*scene, "s.zqs", true), 1);
  const reader::ChunkFile file = h.Read("s.zqs");
  const auto* m = testing::MaterialChunk(file, "Paint")->As<reader::StandardMaterial>();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->channelMask, 0x01u | 0x04u | 0x08u);
  ASSERT_EQ(m->bitmaps.size(), 1u);  // gradient and falloff add no record
  const reader::BitmapRecord& r = m->bitmaps[0];
  EXPECT_EQ(r.file, "wood.png");
  EXPECT_EQ(std::make_tuple(r.alphaAsMono, r.alphaAsRGB, r.tileU, r.tileV, r.offsetU, r.offsetV),
            std::make_tuple(1, 0, 2.0f, 3.0f, 0.5f, 0.25f));
  EXPECT_EQ(std::make_pair(r.wrapU, r.wrapV), std::make_pair(2, 3));  // mirror, neither
  EXPECT_EQ(m->requirements, 42);
  EXPECT_EQ(m->ambient, (std::array<float, 3>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(m->specular, (std::array<float, 3>{0.7f, 0.8f, 0.9f}));
  EXPECT_EQ(std::make_tuple(m->shininess, m->shineStrength, m->transparency),
            std::make_tuple(0.25f, 0.5f, 0.25f));

  const std::string shaders = h.ReadText("s_shaders.ini");
  EXPECT_TRUE(Has(shaders,
                  "[Paint_diffuse_bitmap]\r\nFilename=wood.png\r\nAmount=0.500000\r\n"
                  "AlphaAsMono=true\r\nAlphaAsRGB=false\r\nTileU=2.000000\r\nTileV=3.000000\r\n"
                  "OffsetU=0.500000\r\nOffsetV=0.250000\r\nWrapU=2\r\nWrapV=3\r\n"));
  // Missing gradient and falloff parameters, and a falloff type past the table, leave keys out.
  EXPECT_TRUE(Has(shaders,
                  "[Paint_bump_gradient]\r\nAmount=1.000000\r\nColor1=1.000000 0.000000 "
                  "0.000000\r\nGradientType=Radial\r\n\r\n"));
  EXPECT_TRUE(
      Has(shaders, "[Paint_reflection_falloff]\r\nAmount=1.000000\r\nDirection=WorldX\r\n\r\n"));
  EXPECT_TRUE(
      Has(shaders,
          "[Paint]\r\nAmbient=0.100000 0.200000 0.300000\r\nDiffuse=0.400000 0.500000 "
          "0.600000\r\nSpecular=0.700000 0.800000 0.900000\r\nShininess=0.250000\r\n"
          "ShineStrength=0.500000\r\nTransparency=0.250000\r\nRequirements=42\r\n"
          "DiffuseChannel=true\r\nOpacityChannel=false\r\nReflectionChannel=true\r\n"
          "SelfIlluminationChannel=false\r\nBumpChannel=true\r\nSpecularColorChannel=false\r\n"
          "DiffuseType=Bitmap\r\nReflectionType=Falloff\r\nBumpType=Gradient\r\n"));
  EXPECT_TRUE(
      Has(shaders,
          "[Default Material]\r\nAmbient=0.500000 0.500000 0.500000\r\n"
          "Diffuse=0.500000 0.500000 0.500000\r\nSpecular=0.500000 0.500000 0.500000\r\n"
          "Shininess=0.000000\r\nShineStrenth=0.000000\r\nTransparency=0.000000\r\n"
          "Requirements=0\r\nDiffuseChannel=false\r\nOpacityChannel=false\r\n"
          "ReflectionChannel=false\r\nBumpChannel=false\r\nSelfIllumunationChannel=false\r\n"
          "SpecularColorChannel=false\r\n"));
  EXPECT_TRUE(Has(h.ReadText("s.ini"), "FaceBlock0_Shader=Reflection\r\n"));
  // Every parameter search gave its descriptor back.
  for (IParamBlock2* block :
       {paint.GetParamBlock(0), gradient.GetParamBlock(0), falloff.GetParamBlock(0)}) {
    EXPECT_EQ(dynamic_cast<ParamBlock*>(block)->OpenDescriptors(), 0);
  }
}

TEST(MaterialExport, shaderNamesAndCarMeshSwitches) {
  struct Case {
    const char* node;
    std::vector<int> slots;  // bitmaps in these slots
    bool diffuseOff;
    const char* shader;
  };
  const Case cases[] = {
      {"Plain", {}, false, "Diffuse"},
      {"Textured", {ID_DI}, false, "Texture"},
      {"Bumpy", {ID_DI, ID_BU}, false, "Bump"},
      {"Shiny", {ID_DI, ID_BU, ID_RL}, false, "Reflection"},
      {"Clear", {ID_OP}, false, ""},
      {"Off", {ID_DI, ID_BU}, true, ""},
  };
  SceneBuilder b;
  auto& map = b.Texture("Map");
  for (const Case& c : cases) {
    auto& m = b.Material(std::string(c.node) + "Mat");
    for (int slot : c.slots) m.SetMap(slot, &map);
    m.SetMapEnabled(ID_DI, !c.diffuseOff);
    b.Node(c.node).Mesh(testing::Triangles({3})).Material(&m);
  }
  const std::string longName(300, 'L');
  b.Node(longName).Mesh(testing::Triangles({3}));
  auto scene = b.Build();
  ExportHarness h;
  h.WriteText("../config/ShaderMap.ini", "[ShaderID]\n3=Glass\n99999999999=Big\n");
  h.WriteText("../config/CarExporterSettings.ini", "[Plain]\nSwitch=true\n");
  ASSERT_EQ(h.Export(*scene, "s.zqs", true), 1);
  ASSERT_EQ(h.Export(*scene, "c.zqc", true), 1);
  const std::string sceneIni = h.ReadText("s.ini"), carIni = h.ReadText("c.ini");
  for (const Case& c : cases) {
    const std::string section = "[" + std::string(c.node) + "]\r\n";
    EXPECT_TRUE(Has(sceneIni, section + "FaceBlock0_Shader=" + c.shader + "\r\n")) << c.node;
    EXPECT_FALSE(Has(sceneIni, section + "Switch")) << c.node;
  }
  EXPECT_TRUE(Has(carIni,
                  "[Plain]\r\nSwitch=true\r\nSwitchBox=light\r\nPredicate=NotUsed\r\n"
                  "FaceBlock0_Shader=Glass\r\n"));
  EXPECT_TRUE(Has(carIni,
                  "[Clear]\r\nSwitch=false\r\nSwitchBox=light\r\nPredicate=NotUsed\r\n"
                  "FaceBlock0_Shader=Glass\r\n"));
  // A name of more than 255 characters names its section whole.
  EXPECT_TRUE(Has(carIni, "[" + longName + "]\r\nSwitch=false\r\nSwitchBox=light\r\n"));

  const std::pair<const char*, int32_t> keys[] = {
      {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}, {" 12abc", 12}, {"x", 0}, {"+7", 7}};
  for (auto [text, id] : keys) EXPECT_EQ(SaturatingAtoi(text), id) << text;
}

// Adds a block of (name, id, type, value) parameters to a custom attribute.
ParamBlock& AddAttribute(ParamHolder& holder) {
  holder.customAttributes.push_back(std::make_unique<CustomAttribute>("Game"));
  auto& blocks = holder.customAttributes.back()->blocks;
  blocks.push_back(nullptr);  // an absent block is skipped
  blocks.push_back(std::make_unique<ParamBlock>());
  return *blocks.back();
}

TEST(MaterialExport, customAttributesOfEachType) {
  SceneBuilder b;
  auto& glassy = b.Material("Glassy");
  ParamBlock& first = AddAttribute(glassy);
  first.Add("glassy", 0, TYPE_BOOL).Int(1);
  first.Add("friction", 1, TYPE_FLOAT).Number(0.5f);
  ParamBlock& second = AddAttribute(glassy);
  second.Add("count", 5, TYPE_INT).Int(7);                 // ids with gaps, by id
  second.Add("label", 2, TYPE_STRING).Text(std::nullopt);  // a null string
  auto& coloured = b.Material("Coloured");
  ParamBlock& third = AddAttribute(coloured);
  third.Add("ok", 0, TYPE_BOOL).Int(1);
  third.Add("tint", 1, TYPE_RGBA).Colour({});
  auto& empty = b.Material("Empty");
  AddAttribute(empty);
  auto& layered = b.Material("Layered", "Composite");
  layered.subMaterials = {&empty, &glassy};
  AddAttribute(layered).Add("weight", 0, TYPE_FLOAT).Number(2);
  b.Node("A").Mesh(testing::Triangles({0})).Material(&layered);
  b.Node("B").Mesh(testing::Triangles({0})).Material(&coloured);
  auto scene = b.Build();
  ExportHarness h;
  ASSERT_EQ(h.Export(*scene, "a.zqs", true), 1);
  std::vector<std::string> written;
  const reader::ChunkFile file = h.Read("a.zqs");
  for (const reader::Chunk* chunk : reader::FindChunks(file, 15, 54)) {
    const auto* a = chunk->As<reader::CustomAttributes>();
    std::string text = a->material + ":";
    for (const auto& p : a->params) {
      text += " " + p.name + "/" + std::to_string(p.type) + "=" +
              (p.type == 2   ? std::to_string(p.number)
               : p.type == 3 ? "'" + p.text + "'"
                             : std::to_string(p.integer));
    }
    written.push_back(text);
  }
  const std::string glassyText =
      "Layered::Glassy: glassy/0=1 friction/2=0.500000 label/3='' count/1=7";
  // The walk over the composite's layers, then the layers' own entries.
  EXPECT_EQ(written, (Strings{glassyText, "Layered: weight/2=2.000000", glassyText}));
  EXPECT_EQ(
      h.ReadText("a_warnings.log"),
      "*** Warnings exporting\n\nunsupported parameter type found in custom attributes: tint\n");
}

TEST(MaterialExport, examplesExportWithTheirMaterialsAndTextures) {
  const std::filesystem::path examples = std::filesystem::path(KILN_SOURCE_DIR) / "examples";
  ExportHarness h;
  auto car = LoadSceneFile(examples / "car.kscene.json");
  ASSERT_EQ(h.Export(*car, "car.zqc", true), 1);
  EXPECT_EQ(testing::MaterialNames(h.Read("car.zqc")),
            (Strings{"Default Material", "Car::Paint", "Car::Windows", "Car", "Door::Deform",
                     "Door::Damage", "Door", "Collision::Zones", "Collision"}));
  EXPECT_EQ(testing::FaceBlockNames(h.Read("car.zqc"), "Body").at(0), "Car::Windows");
  for (const char* copy : {"paint.png", "chrome.tga", "glass.png"}) {
    EXPECT_TRUE(h.Exists(std::string("textures/") + copy)) << copy;
  }
  auto scene = LoadSceneFile(examples / "scene.kscene.json");
  ASSERT_EQ(h.Export(*scene, "scene.zqs", true), 1);
  EXPECT_TRUE(h.Exists("textures/crate.bmp"));
  EXPECT_TRUE(Has(h.ReadText("scene_shaders.ini"), "[Crate_bump_gradient]\r\nAmount=0.400000\r\n"));
  EXPECT_FALSE(h.Exists("car_errors.log") || h.Exists("scene_errors.log"));
}

}  // namespace
}  // namespace kiln
