// Damage mesh chunks of "c_" nodes in car exports, read back: the unsplit
// mesh, the deform and damage maps from paletted PNG, TGA and BMP files, and
// every failure with its messages and fallback.
#include <gtest/gtest.h>

#include <functional>

#include "collision/CollisionTestSupport.h"
#include "reader/CollisionChunks.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using namespace standalone;
using testing::ExportHarness;
using Strings = std::vector<std::string>;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Two triangles of a door, with texture coordinates.
Mesh Door() {
  Mesh mesh;
  mesh.verts = {{0, 0, 0}, {1, 0, 0}, {1, 2, 0}, {0, 2, 3}};
  for (std::array<uint32_t, 3> v : {std::array<uint32_t, 3>{0, 1, 2}, {0, 2, 3}}) {
    Face face;
    std::copy(v.begin(), v.end(), face.v);
    mesh.faces.push_back(face);
  }
  mesh.tVerts = {{0.25f, 0.75f, 0}, {1, 0, 0}, {1, 1, 0}};
  mesh.tvFace = {{{0, 1, 2}}, {{0, 2, 1}}};
  return mesh;
}

// A car with the door c_door, its material's sub-materials 0 and 1 reading deform and damage.
struct DoorScene {
  SceneBuilder b;
  NodeBuilder* door;
  Material* multi;
  Material *deform, *damage;
  DoorScene(const std::string& deformMap, const std::string& damageMap) {
    auto map = [&](const char* name, const std::string& file) {
      Texture& t = b.Texture(name);
      t.fileName = file;
      return &t;
    };
    deform = &b.Material("Deform");
    deform->SetMap(ID_DI, map("Deform map", deformMap));
    damage = &b.Material("Damage");
    damage->SetMap(ID_DI, map("Damage map", damageMap));
    multi = &b.Material("Door", "Multi/Sub-Object");
    multi->subMaterials = {deform, damage};
    auto& body = b.Node("Body", 1).Object("dummy");
    door = &b.Node("c_door", 7).Parent(body).Position({1, 2, 3}).Mesh(Door()).Material(multi);
  }
};

struct Exported {
  reader::ChunkFile file;
  std::string errors, warnings;
};
Exported ExportDoor(Scene& scene) {
  ExportHarness h;
  EXPECT_EQ(h.Export(scene, "car.zqc", true), 1);
  return {h.Read("car.zqc"), h.ReadText("car_errors.log"), h.ReadText("car_warnings.log")};
}

const reader::DamageMeshChunk* DamageMesh(const reader::ChunkFile& file) {
  const auto chunks = reader::FindChunks(file, 16);
  if (chunks.size() != 1 || chunks[0]->UndecodedBytes() != 0) return nullptr;
  return chunks[0]->As<reader::DamageMeshChunk>();
}

TEST(DamageMesh, doorWithPalettedMapsInEveryFormat) {
  testing::TempFolder folder;
  const std::vector<uint8_t> deformIndices = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3};
  const std::vector<uint8_t> damageIndices = {0, 1, 2, 3};
  for (auto [deformFile, damageFile] :
       {std::pair{"d.png", "g.tga"}, {"d.tga", "g.bmp"}, {"d.bmp", "g.png"}}) {
    const std::string deformMap = folder.File(deformFile), damageMap = folder.File(damageFile);
    testing::WritePaletted(deformMap, 4, 4, testing::DistinctPalette(10), deformIndices);
    testing::WritePaletted(damageMap, 2, 2, testing::DistinctPalette(256), damageIndices);
    DoorScene s(deformMap, damageMap);
    auto scene = s.b.Build();
    const Exported out = ExportDoor(*scene);
    const reader::DamageMeshChunk* door = DamageMesh(out.file);
    ASSERT_NE(door, nullptr) << deformFile;
    EXPECT_EQ(door->node.name, "c_door");
    EXPECT_EQ(door->node.handle, 7);
    EXPECT_EQ(door->node.parent, 1);
    EXPECT_EQ(door->transform[3], 1.0f);  // local translation (1, 3, 2) in output axes
    EXPECT_EQ(door->transform[7], 3.0f);
    EXPECT_EQ(door->positions.at(3), (std::array<float, 3>{0, 3, 2}));
    EXPECT_EQ(door->uvs.at(0), (std::array<float, 2>{0.25f, 0.25f}));
    ASSERT_EQ(door->faces.size(), 2u);
    EXPECT_EQ(door->faces[1].vertices, (std::array<uint32_t, 3>{0, 2, 3}));  // host corner order
    EXPECT_EQ(door->faces[1].uvs, (std::array<uint32_t, 3>{0, 2, 1}));
    ASSERT_TRUE(door->deform && door->damage);
    EXPECT_EQ(door->deform->file, deformFile);
    EXPECT_EQ(door->deform->width, 4);
    EXPECT_EQ(door->deform->indices, deformIndices);
    EXPECT_EQ(door->damage->file, damageFile);
    EXPECT_EQ(door->damage->indices, damageIndices);
    EXPECT_EQ(out.errors, "");
  }
}

TEST(DamageMesh, variantsAndFailures) {
  testing::TempFolder folder;
  const std::string map = folder.File("m.tga"), oblong = folder.File("oblong.bmp");
  testing::WritePaletted(map, 2, 2, testing::DistinctPalette(4), {0, 1, 2, 3});
  testing::WritePaletted(oblong, 4, 2, testing::DistinctPalette(4), std::vector<uint8_t>(8, 1));
  const std::string missing = folder.File("gone.png");
  std::string plain(18, '\0');  // a 1 x 1 true-colour TGA
  plain[2] = 2, plain[12] = 1, plain[14] = 1, plain[16] = 24;
  const std::string unpaletted = folder.Write("plain.tga", plain + "abc");
  struct Case {
    const char* name;
    std::function<void(DoorScene&)> edit;
    bool written;    // the damage mesh chunk, else the fallback
    int maps;        // with written: 1 both maps, 0 the flag 0
    size_t uvs;      // texture vertices written
    Strings errors;  // in order, each followed by a line end
    Strings warnings;
  };
  const Case cases[] = {
      {"standard material", [](DoorScene& s) { s.door->Material(s.deform); }, true, 0, 3, {}, {}},
      {"no material", [](DoorScene& s) { s.door->Material(nullptr); }, true, 0, 3, {}, {}},
      {"three sub-materials",
       [](DoorScene& s) { s.multi->subMaterials.push_back(&s.b.Material("Extra")); },
       true,
       1,
       3,
       {},
       {}},
      {"upper case C_door",
       [](DoorScene& s) { s.door->node().SetName("C_door"); },
       true,
       1,
       3,
       {},
       {}},
      {"texture vertices without faces",
       [](DoorScene& s) {
         Mesh mesh = Door();
         mesh.tvFace.clear();
         s.door->Mesh(mesh);
       },
       true,
       1,
       0,
       {},
       {"Mesh c_door has texture vertices but no texture faces"}},
      {"no deform material",
       [](DoorScene& s) { s.multi->subMaterials[0] = nullptr; },
       false,
       0,
       0,
       {"error exporting deform map for node: c_door"},
       {}},
      {"no damage material",
       [](DoorScene& s) { s.multi->subMaterials[1] = nullptr; },
       false,
       0,
       0,
       {"error exporting damage map for node: c_door"},
       {}},
      {"deform without map",
       [](DoorScene& s) { s.deform->SetMap(ID_DI, nullptr); },
       false,
       0,
       0,
       {"unable to save deform map texture info for node: c_door"},
       {}},
      {"damage map a gradient",
       [](DoorScene& s) { s.damage->SetMap(ID_DI, &s.b.Texture("G", "Gradient")); },
       false,
       0,
       0,
       {"unable to save damage map texture info for node: c_door"},
       {}},
      {"damage not square",
       [&](DoorScene& s) {
         static_cast<Texture*>(s.damage->GetSubTexmap(ID_DI))->fileName = oblong;
       },
       false,
       0,
       0,
       {"Texture " + oblong + " isn't square (4x2)",
        "unable to save damage map texture info for node: c_door"},
       {}},
      {"deform missing",
       [&](DoorScene& s) {
         static_cast<Texture*>(s.deform->GetSubTexmap(ID_DI))->fileName = missing;
       },
       false,
       0,
       0,
       {"Error loading texture: " + missing,
        "unable to save deform map texture info for node: c_door"},
       {}},
  };
  for (const Case& c : cases) {
    DoorScene s(map, map);
    c.edit(s);
    auto scene = s.b.Build();
    const Exported out = ExportDoor(*scene);
    const reader::DamageMeshChunk* door = DamageMesh(out.file);
    ASSERT_EQ(door != nullptr, c.written) << c.name << out.errors;
    std::string errors;
    for (const std::string& e : c.errors) errors += e + "\n";
    EXPECT_TRUE(Has(out.errors, errors)) << c.name << out.errors;
    Strings warnings = c.warnings;
    if (!c.written) warnings.push_back("Exporting node c_door as unknown node type");
    for (const std::string& w : warnings) EXPECT_TRUE(Has(out.warnings, w + "\n")) << c.name;
    if (!c.written) {
      EXPECT_EQ(reader::FindChunks(out.file, 22).size(), 1u) << c.name;
      continue;
    }
    EXPECT_EQ(door->deform.has_value(), c.maps == 1) << c.name;
    EXPECT_EQ(door->uvs.size(), c.uvs) << c.name;
    EXPECT_EQ(door->faces.at(0).uvs, (std::array<uint32_t, 3>{0, c.uvs ? 1u : 0u, c.uvs ? 2u : 0u}))
        << c.name;
  }

  // A deform map without a palette: its name, width 1 and the flag 0; the
  // export goes on.
  DoorScene s(unpaletted, map);
  auto scene = s.b.Build();
  const Exported out = ExportDoor(*scene);
  const reader::DamageMeshChunk* door = DamageMesh(out.file);
  ASSERT_NE(door, nullptr);
  EXPECT_EQ(std::make_tuple(door->deform->file, door->deform->width, door->deform->paletted),
            std::make_tuple(std::string("plain.tga"), 1, false));
  EXPECT_TRUE(door->damage->paletted);
}

}  // namespace
}  // namespace kiln
