// Damage mesh chunks of "c_" nodes in car exports, read back: the unsplit
// mesh, the deform and damage maps from paletted PNG, TGA and BMP files, and
// every failure with its messages and fallback.
#include <gtest/gtest.h>

#include "collision/CollisionTestSupport.h"
#include "reader/CollisionChunks.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using namespace standalone;

// A car with the door c_door under Body, its material's sub-materials 0 and
// 1 reading deform and damage. How changes it (0: not).
std::unique_ptr<Scene> DoorScene(const std::string& deform, const std::string& damage,
                                 int how = 0) {
  SceneBuilder b;
  Texture& deformMap = b.Texture("Deform map");
  deformMap.fileName = deform;
  Texture& damageMap = b.Texture("Damage map", how == 6 ? "Gradient" : "Bitmap");
  damageMap.fileName = damage;
  Material& deformer = b.Material("Deform");
  deformer.SetMap(ID_DI, how == 5 ? nullptr : &deformMap);
  Material& damager = b.Material("Damage");
  damager.SetMap(ID_DI, &damageMap);
  Material& multi = b.Material("Door", "Multi/Sub-Object");
  multi.subMaterials = {how == 3 ? nullptr : &deformer, how == 4 ? nullptr : &damager};
  if (how == 2) multi.subMaterials.push_back(&b.Material("Extra"));
  Mesh door = testing::Triangles({{0, 0, 0}, {1, 0, 0}, {1, 2, 0}, {0, 2, 3}});
  door.faces.push_back(door.faces[0]);
  door.faces[1].v[1] = 2, door.faces[1].v[2] = 3;
  door.tVerts = {{0.25f, 0.75f, 0}, {1, 0, 0}, {1, 1, 0}};
  if (how != 7) door.tvFace = {{{0, 1, 2}}, {{0, 2, 1}}};
  auto& body = b.Node("Body", 1).Object("dummy");
  b.Node(how == 8 ? "C_door" : "c_door", 7)
      .Parent(body)
      .Position({1, 2, 3})
      .Mesh(door)
      .Material(how == 1 ? &deformer : &multi);
  return b.Build();
}

struct Exported {
  const reader::DamageMeshChunk* door = nullptr;  // when written whole
  reader::ChunkFile file;
  std::string errors, warnings;
};
Exported ExportDoor(Scene& scene) {
  testing::ExportHarness h;
  EXPECT_EQ(h.Export(scene, "car.zqc", true), 1);
  Exported out{nullptr, h.Read("car.zqc"), h.ReadText("car_errors.log"),
               h.ReadText("car_warnings.log")};
  const auto chunks = reader::FindChunks(out.file, 16);
  if (chunks.size() == 1 && chunks[0]->UndecodedBytes() == 0)
    out.door = chunks[0]->As<reader::DamageMeshChunk>();
  return out;
}

TEST(DamageMesh, doorWithPalettedMapsInEveryFormat) {
  testing::TempFolder folder;
  const std::vector<uint8_t> deformIndices = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3};
  for (auto [deformFile, damageFile] :
       {std::pair{"d.png", "g.tga"}, {"d.tga", "g.bmp"}, {"d.bmp", "g.png"}}) {
    const std::string deform = folder.File(deformFile), damage = folder.File(damageFile);
    testing::WritePaletted(deform, 4, 4, testing::DistinctPalette(10), deformIndices);
    testing::WritePaletted(damage, 2, 2, testing::DistinctPalette(256), {0, 1, 2, 255});
    auto scene = DoorScene(deform, damage);
    const Exported out = ExportDoor(*scene);
    const reader::DamageMeshChunk* door = out.door;
    ASSERT_NE(door, nullptr) << deformFile << out.errors;
    EXPECT_EQ(std::make_tuple(door->node.name, door->node.handle, door->node.parent),
              std::make_tuple(std::string("c_door"), 7, 1));
    EXPECT_EQ(door->transform[3], 1.0f);  // translation (1, 3, 2) in output axes
    EXPECT_EQ(door->transform[7], 3.0f);
    EXPECT_EQ(door->positions.at(3), (std::array<float, 3>{0, 3, 2}));
    EXPECT_EQ(door->uvs.at(0), (std::array<float, 2>{0.25f, 0.25f}));
    ASSERT_EQ(door->faces.size(), 2u);
    EXPECT_EQ(door->faces[1].vertices, (std::array<uint32_t, 3>{0, 2, 3}));  // host corner order
    EXPECT_EQ(door->faces[1].uvs, (std::array<uint32_t, 3>{0, 2, 1}));
    ASSERT_TRUE(door->deform && door->damage);
    EXPECT_EQ(std::make_tuple(door->deform->file, door->deform->width, door->deform->indices),
              std::make_tuple(std::string(deformFile), 4, deformIndices));
    EXPECT_EQ(door->damage->file, damageFile);
    EXPECT_EQ(door->damage->indices, (std::vector<uint8_t>{0, 1, 2, 255}));
    EXPECT_EQ(out.errors, "");
  }
}

TEST(DamageMesh, variantsAndFailures) {
  testing::TempFolder folder;
  const std::string map = folder.File("m.tga"), oblong = folder.File("oblong.bmp");
  testing::WritePaletted(map, 2, 2, testing::DistinctPalette(4), {0, 1, 2, 3});
  testing::WritePaletted(oblong, 4, 2, testing::DistinctPalette(4), std::vector<uint8_t>(8, 1));
  const std::string gone = folder.File("gone.png");
  const std::string plain = folder.Write("plain.tga", testing::TrueColourTga());
  const std::string damageFails = "unable to save damage map texture info for node: c_door";
  const std::string deformFails = "unable to save deform map texture info for node: c_door";
  const struct {
    int how;
    std::string deform, damage;
    int maps;    // the damage mesh with (1) or without (0) maps; -1: the fallback
    size_t uvs;  // texture vertices written
    std::string message;
  } cases[] = {
      {1, map, map, 0, 3, ""},  // a standard material
      {2, map, map, 1, 3, ""},  // three sub-materials: 0 and 1 are read
      {8, map, map, 1, 3, ""},  // C_door
      {7, map, map, 1, 0, "Mesh c_door has texture vertices but no texture faces"},
      {0, plain, map, 1, 3, "Texture " + plain + " has no palette"},
      {3, map, map, -1, 0, "error exporting deform map for node: c_door"},
      {4, map, map, -1, 0, "error exporting damage map for node: c_door"},
      {5, map, map, -1, 0, deformFails},
      {6, map, map, -1, 0, damageFails},  // a gradient
      {0, map, oblong, -1, 0, "Texture " + oblong + " isn't square (4x2)\n" + damageFails},
      {0, gone, map, -1, 0, "Error loading texture: " + gone + "\n" + deformFails},
  };
  for (const auto& c : cases) {
    auto scene = DoorScene(c.deform, c.damage, c.how);
    const Exported out = ExportDoor(*scene);
    const std::string name = std::to_string(c.how) + " " + c.deform + " " + c.damage;
    ASSERT_EQ(out.door != nullptr, c.maps >= 0) << name << out.errors;
    const std::string logs = out.errors + out.warnings;
    EXPECT_TRUE(c.message.empty() || logs.find(c.message + "\n") != std::string::npos) << name;
    if (c.maps < 0) {
      EXPECT_NE(out.warnings.find("Exporting node c_door as unknown node type\n"),
                std::string::npos);
      EXPECT_EQ(reader::FindChunks(out.file, 22).size(), 1u) << name;
      continue;
    }
    EXPECT_EQ(out.door->deform.has_value(), c.maps == 1) << name;
    EXPECT_EQ(out.door->uvs.size(), c.uvs) << name;
    EXPECT_EQ(out.door->faces.at(0).uvs[2], c.uvs ? 2u : 0u) << name;
    EXPECT_EQ(c.maps == 1 && out.door->deform->paletted, c.maps == 1 && c.deform != plain);
  }
}

}  // namespace
}  // namespace kiln
