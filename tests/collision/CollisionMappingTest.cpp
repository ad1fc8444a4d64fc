// Collision mappings of car meshes, exported through the export entry and
// read back: zones on a hand-made shell, every failure with its messages and
// fallback, and the line test and zone lookup on their edges.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "collision/CollisionTestSupport.h"
#include "collision/IntersectTriangle.h"
#include "collision/ZoneColour.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "reader/MeshChunks.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using namespace standalone;
using testing::ExportHarness;
using Strings = std::vector<std::string>;

Strings Lines(const std::string& text) {
  Strings lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
// True when wanted appear in lines in this order (others may come between).
bool InOrder(const Strings& lines, const Strings& wanted) {
  size_t next = 0;
  for (const std::string& line : lines)
    if (next < wanted.size() && line == wanted[next]) ++next;
  return next == wanted.size();
}

// The car mesh Body (each vertex named by where its line should cross the
// cube: zone of the side's triangle), and its collision node x_Shell, a
// ZoneCube whose composite material's base reads the 4 x 4 zone map.
struct CollisionCar {
  SceneBuilder b;
  NodeBuilder* shell = nullptr;
  Material* composite = nullptr;
  Material* base = nullptr;
  Texture* map = nullptr;

  explicit CollisionCar(const std::string& zoneMap) {
    Mesh body;
    body.verts = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0.5f}, {0, -1, -0.5f},
                  {0, 0, 0}, {0, 0, 1},  {0, 0, -1}};
    for (std::array<uint32_t, 3> v : {std::array<uint32_t, 3>{0, 2, 5}, {1, 3, 6}, {4, 5, 6}}) {
      Face face;
      std::copy(v.begin(), v.end(), face.v);
      face.smGroup = 1;
      body.faces.push_back(face);
    }
    b.Node("Body", 1).Mesh(body).Material(&b.Material("Paint"));
    map = &b.Texture("Zone map");
    map->fileName = zoneMap;
    base = &b.Material("Zones");
    base->SetMap(ID_DI, map);
    composite = &b.Material("Shell material", "Composite");
    composite->subMaterials = {base};
    shell = &b.Node("x_Shell", 2).Mesh(testing::ZoneCube()).Material(composite);
  }
};

struct Exported {
  int result = 0;
  reader::ChunkFile file;
  Strings errors, warnings, informations;
  std::string ini;
};
Exported ExportCar(Scene& scene, const std::string& lookup = "Body=x_Shell") {
  ExportHarness h;
  h.WriteText("../config/CarExporterSettings.ini", "[CollisionNodeLookup]\r\n" + lookup + "\r\n");
  Exported out;
  out.result = h.Export(scene, "car.zqc", true);
  out.file = h.Read("car.zqc");
  out.errors = Lines(h.ReadText("car_errors.log"));
  out.warnings = Lines(h.ReadText("car_warnings.log"));
  out.informations = Lines(h.ReadText("car_informations.log"));
  out.ini = h.ReadText("car.ini");
  return out;
}

const reader::MeshChunk* MeshOf(const reader::ChunkFile& file, const std::string& name) {
  for (const reader::Chunk* chunk : reader::FindChunks(file, 0)) {
    auto* mesh = chunk->As<reader::MeshChunk>();
    if (mesh && mesh->node.name == name) return mesh;
  }
  return nullptr;
}

// A 4 x 4 zone map whose texel i holds palette index i.
std::string ZoneMap(const testing::TempFolder& folder, const std::string& name) {
  std::vector<uint8_t> indices(16);
  for (int i = 0; i < 16; ++i) indices[i] = uint8_t(i);
  testing::WritePaletted(folder.File(name), 4, 4, testing::DistinctPalette(16), indices);
  return folder.File(name);
}

TEST(CollisionMapping, zonesOfTheCrossingBehindEachVertexWithTiesToTheLowerFace) {
  testing::TempFolder folder;
  CollisionCar car(ZoneMap(folder, "zones.bmp"));
  auto scene = car.b.Build();
  const Exported out = ExportCar(*scene);
  ASSERT_EQ(out.result, 1);
  const reader::MeshChunk* body = MeshOf(out.file, "Body");
  ASSERT_TRUE(body && body->collision);
  ASSERT_EQ(body->collision->zones.size(), 256u);
  std::map<int32_t, size_t> zoneOf;
  for (size_t z = 0; z < 256; ++z) {
    int32_t last = -1;
    for (const auto& entry : body->collision->zones[z]) {
      EXPECT_GT(entry.vertex, last);  // ascending, each once
      EXPECT_EQ(entry.weight, 1.0f);
      zoneOf[last = entry.vertex] = z;
    }
  }
  // Host position -> zone: the side crossed behind the vertex (not the one
  // toward the centre), on the diagonal the lower of the side's two faces;
  // the vertex at the centre has no direction and misses.
  const std::map<std::array<float, 3>, int> expected = {
      {{1, 0, 0}, 2},  {{-1, 0, 0}, 0}, {{0, 1, 0.5f}, 7}, {{0, -1, -0.5f}, 4},
      {{0, 0, 1}, 10}, {{0, 0, -1}, 8}, {{0, 0, 0}, -1}};
  ASSERT_EQ(body->positions.size(), 7u);
  for (size_t i = 0; i < body->positions.size(); ++i) {
    const auto& p = body->positions[i];
    const int zone = expected.at({p[0], p[2], p[1]});
    EXPECT_EQ(zoneOf.count(int32_t(i)) ? int(zoneOf.at(int32_t(i))) : -1, zone) << i;
  }
  EXPECT_EQ(out.errors,
            (Strings{"*** Errors exporting", "", "No intersection with collision mesh: x_Shell"}));
  EXPECT_TRUE(
      InOrder(out.informations, {"CreateAndExportCollisionMapping",
                                 "CreateAndExportCollisionMapping - before GetObjTMAfterWSM()",
                                 "CreateAndExportCollisionMapping - before buildBoundingBox()",
                                 "CreateAndExportCollisionMapping - after buildBoundingBox()",
                                 "before compute collision mapping ",
                                 "ComputeCollisionMapping",
                                 "__Coll map palette__ " + folder.File("zones.bmp"),
                                 "0: 0.000000, 0.999985, 0.000000",
                                 "255: 0.000000, 0.000000, 0.000000",
                                 "DamageZones found on mesh",
                                 "0",
                                 "2",
                                 "4",
                                 "7",
                                 "8",
                                 "10",
                                 "after compute collision mapping ",
                                 "deleting output verts",
                                 "returning from CreateAndExportCollisionMapping",
                                 "Mesh exported!"}));
  // The collision node itself has no lookup entry: a record of zone count 0.
  const reader::MeshChunk* shell = MeshOf(out.file, "x_Shell");
  EXPECT_EQ(shell, nullptr);  // "x_" nodes are not exported, yet serve as shells
  EXPECT_TRUE(out.ini.find("FaceBlock0_Shader=") != std::string::npos) << out.ini;
}

TEST(CollisionMapping, failuresFallBackToTheDefaultNodeWithTheirMessages) {
  testing::TempFolder folder;
  const std::string zones = ZoneMap(folder, "zones.tga");
  const std::string missing = folder.File("missing.png");
  std::string plain(18, '\0');  // a 1 x 1 true-colour TGA
  plain[2] = 2, plain[12] = 1, plain[14] = 1, plain[16] = 24;
  const std::string unpaletted = folder.Write("plain.tga", plain + "abc");
  struct Case {
    const char* name;
    std::function<void(CollisionCar&)> edit;
    std::string lookup;
    Strings errors, warnings;
  };
  const std::string fallback = "Exporting node Body as unknown node type";
  const Case cases[] = {
      {"missing node", nullptr, "Body=x_Gone", {"Collision node x_Gone not found"}, {}},
      {"not geometry",
       [](CollisionCar& c) { c.shell->Object("dummy"); },
       "",
       {"node x_Shell isn't of type GEOMOBJECT_CLASS_ID"},
       {}},
      {"no mesh",
       [](CollisionCar& c) { c.shell->Object("bone"); },
       "",
       {"unable to convert collision node: x_Shell to a tri object.."},
       {}},
      {"no texture faces",
       [](CollisionCar& c) {
         Mesh bare = testing::ZoneCube();
         bare.tvFace.clear();
         c.shell->Mesh(bare);
       },
       "",
       {"Collision node x_Shell has no texture coordinates"},
       {}},
      {"no material",
       [](CollisionCar& c) { c.shell->Material(nullptr); },
       "",
       {"Collision node x_Shell doesn't have a material"},
       {}},
      {"not composite",
       [](CollisionCar& c) { c.shell->Material(c.base); },
       "",
       {"Collision node x_Shell doesn't have a composite collision material"},
       {}},
      {"no base",
       [](CollisionCar& c) {
         c.composite->subMaterials = {nullptr, c.base};
       },
       "",
       {"Unable to get material for collision node.."},
       {}},
      {"no diffuse map",
       [](CollisionCar& c) { c.base->SetMap(ID_DI, nullptr); },
       "",
       {"node x_Shell: Collision map (material: Shell material) doesn't have a texture map.."},
       {}},
      {"gradient",
       [](CollisionCar& c) { c.base->SetMap(ID_DI, &c.b.Texture("G", "Gradient")); },
       "",
       {"node x_Shell: Collision map (material: Shell material) doesn't have a texture map.."},
       {}},
      {"missing bitmap",
       [&](CollisionCar& c) { c.map->fileName = missing; },
       "",
       {},
       {"Collision texture not found: " + missing}},
      {"true colour",
       [&](CollisionCar& c) { c.map->fileName = unpaletted; },
       "",
       {},
       {"Collision texture (" + unpaletted + ") is not paletized. Quitting."}},
  };
  for (const Case& c : cases) {
    CollisionCar car(zones);
    if (c.edit) c.edit(car);
    auto scene = car.b.Build();
    const Exported out = ExportCar(*scene, c.lookup.empty() ? "Body=x_Shell" : c.lookup);
    ASSERT_EQ(out.result, 1) << c.name;
    EXPECT_EQ(MeshOf(out.file, "Body"), nullptr) << c.name;
    EXPECT_EQ(reader::FindChunks(out.file, 22).size(), 1u) << c.name;
    Strings errors = c.errors;
    errors.insert(errors.end(), {"error computing collision mapping for node: Body"});
    EXPECT_TRUE(InOrder(out.errors, errors)) << c.name << "\n"
                                             << ::testing::PrintToString(out.errors);
    Strings warnings = c.warnings;
    warnings.push_back(fallback);
    EXPECT_TRUE(InOrder(out.warnings, warnings)) << c.name;
    // The mesh chunk was dropped after its face blocks: no entries describe it.
    EXPECT_EQ(out.ini.find("FaceBlock0"), std::string::npos) << c.name;
  }

  // Without a lookup entry the record is the zone count 0.
  CollisionCar car(zones);
  auto scene = car.b.Build();
  const Exported out = ExportCar(*scene, "Other=x_Shell");
  const reader::MeshChunk* body = MeshOf(out.file, "Body");
  ASSERT_TRUE(body && body->collision);
  EXPECT_TRUE(body->collision->zones.empty());
  EXPECT_TRUE(InOrder(out.informations, {"CreateAndExportCollisionMapping",
                                         "CreateAndExportCollisionMapping - no collision mesh",
                                         "returning from CreateAndExportCollisionMapping"}));
}

TEST(CollisionMapping, lineTestOnItsEdges) {
  struct Case {
    const char* name;
    Point3 o, d, v0, v1, v2;
    bool hit;
    float t, u, v;
  };
  const Point3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), above(0, 0.00010001f, 0);
  const Case cases[] = {
      {"front", {0.25f, 0.25f, 1}, {0, 0, -1}, a, b, c, true, 1, 0.25f, 0.25f},
      {"back, det < 0", {0.25f, 0.25f, 1}, {0, 0, -1}, a, c, b, true, 1, 0.25f, 0.25f},
      {"behind the origin", {0.25f, 0.25f, -2}, {0, 0, -1}, a, b, c, true, -2, 0.25f, 0.25f},
      {"edge u + v = det", {0.5f, 0.5f, 1}, {0, 0, -1}, a, b, c, true, 1, 0.5f, 0.5f},
      {"outside", {0.75f, 0.5f, 1}, {0, 0, -1}, a, b, c, false, 0, 0, 0},
      // det = 0.0001f lies below 0.0001 as a double: no hit.
      {"det 0.0001f", {0.5f, 0.00001f, 1}, {0, 0, -1}, a, b, {0, 0.0001f, 0}, false, 0, 0, 0},
      {"det 0.00010001f", {0.5f, 0.00001f, 1}, {0, 0, -1}, a, b, above, true, 1, 0.5f, 0.09999f},
      {"parallel", {0.25f, 0.25f, 1}, {1, 0, 0}, a, b, c, false, 0, 0, 0},
  };
  for (const Case& k : cases) {
    LineCrossing x;
    ASSERT_EQ(IntersectTriangle(k.o, k.d, k.v0, k.v1, k.v2, x), k.hit) << k.name;
    if (!k.hit) continue;
    EXPECT_EQ(x.t, k.t) << k.name;
    EXPECT_NEAR(x.u, k.u, 1e-4) << k.name;
    EXPECT_NEAR(x.v, k.v, 1e-4) << k.name;
  }
}

// A bitmap storage of one row of texels read back at any (x, y).
class FakeStorage final : public BitmapStorage {
 public:
  int Paletted() override { return 256; }
  int GetPalette(int, int, BMM_Color_48*) override { return 1; }
  int GetLinearPixels(int x, int y, int len, BMM_Color_fl* ptr) override {
    reads.push_back({x, y});
    if (fail || len != 1) return 0;
    *ptr = texel;
    return 1;
  }
  BMM_Color_fl texel;
  bool fail = false;
  std::vector<std::pair<int, int>> reads;
};

TEST(CollisionMapping, zoneByColourRoundsToTexelsAndTakesTheLowerOfEqualEntries) {
  BMM_Color_48 entries[256] = {};
  entries[3] = {0, 0, 0};
  entries[7] = {32768, 0, 0};  // 0.5 red
  for (int i = 8; i < 256; ++i) entries[i] = {65535, 65535, 65535};
  ZonePalette palette(entries);
  EXPECT_EQ(palette.Colours()[7].r, 0.5f);
  EXPECT_EQ(palette.Colours()[7].a, 1.0f);
  ExportLog log;
  CurrentLog = &log;
  FakeStorage storage;
  int zone = -1;
  // Halfway between entries 3 and 7 (and 0..6 are black as entry 3): the first, 0.
  storage.texel = {0.25f, 0, 0, 1};
  ASSERT_TRUE(FindZoneByColour(1.0f, 0.0f, &storage, 256, 256, palette, zone));
  EXPECT_EQ(zone, 0);
  entries[0] = entries[1] = entries[2] = {0, 65535, 0};
  entries[4] = entries[5] = entries[6] = {0, 65535, 0};
  ZonePalette sparse(entries);
  ASSERT_TRUE(FindZoneByColour(0.0f, 1.0f, &storage, 256, 256, sparse, zone));
  EXPECT_EQ(zone, 3);
  storage.texel = {0, 1, 0, 1};
  ASSERT_TRUE(FindZoneByColour(0.5f, 0.5f, &storage, 256, 256, sparse, zone));
  EXPECT_EQ(zone, 0);
  ASSERT_TRUE(FindZoneByColour(-3.0f, 7.0f, &storage, 4, 4, palette, zone));
  EXPECT_EQ(storage.reads,
            (std::vector<std::pair<int, int>>{{255, 255}, {0, 0}, {128, 128}, {0, 0}}));
  // Entry 4 wins alone: the information line of its own.
  entries[4] = {0, 0, 65535};
  storage.texel = {0, 0, 1, 1};
  ZonePalette blue(entries);
  ASSERT_TRUE(FindZoneByColour(0.5f, 0.25f, &storage, 3, 3, blue, zone));
  EXPECT_EQ(zone, 4);
  EXPECT_EQ(log.Informations().back(),
            "Col 4 found, col diff: 0.000015, col 0.000000, 0.000000, 1.000000, tex coords: 1, 2, "
            "orig coords: 0.500000, 0.250000");
  // A texel that cannot be read, or no entry nearer than 1000.
  storage.fail = true;
  EXPECT_FALSE(FindZoneByColour(0, 0, &storage, 4, 4, palette, zone));
  storage.fail = false;
  storage.texel = {2000, 0, 0, 1};
  EXPECT_FALSE(FindZoneByColour(0, 0, &storage, 4, 4, palette, zone));
  EXPECT_EQ(log.Warnings(), (Strings{"Error getting pixel from collision map..\n",
                                     "Error finding color in collision palette..\n"}));
  CurrentLog = nullptr;
}

}  // namespace
}  // namespace kiln
