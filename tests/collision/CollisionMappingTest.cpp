// Collision mappings of car meshes, exported through the export entry and
// read back: zones on a hand-made shell, every failure with its messages and
// fallback, and the line test and zone lookup on their edges.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
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
using Strings = std::vector<std::string>;

// True when the lines of text hold wanted in this order (others may come between).
bool InOrder(const std::string& text, const Strings& wanted) {
  std::istringstream in(text);
  size_t next = 0;
  for (std::string line; std::getline(in, line) && next < wanted.size();)
    next += line == wanted[next];
  return next == wanted.size();
}

// The car mesh Body and its collision node x_Shell, a ZoneCube whose
// composite material's base reads the zone map. How breaks it (0: not).
std::unique_ptr<Scene> CollisionCar(const std::string& zoneMap, int how = 0,
                                    const Mesh* shellMesh = nullptr) {
  SceneBuilder b;
  Mesh body = testing::Triangles({{1, 0, 0},
                                  {0, 1, 0.5f},
                                  {0, 0, 1},
                                  {-1, 0, 0},
                                  {0, -1, -0.5f},
                                  {0, 0, -1},
                                  {0, 0, 0},
                                  {0, 0, 1},
                                  {0, 0, -1}});
  for (Face& face : body.faces) face.smGroup = 1;
  b.Node("Body", 1).Mesh(body).Material(&b.Material("Paint"));
  Texture& map = b.Texture("Zone map", how == 8 ? "Gradient" : "Bitmap");
  map.fileName = zoneMap;
  Material& base = b.Material("Zones");
  base.SetMap(ID_DI, how == 7 ? nullptr : &map);
  Material& composite = b.Material("Shell material", "Composite");
  composite.subMaterials = {how == 6 ? nullptr : &base, &base};
  Mesh cube = shellMesh ? *shellMesh : testing::ZoneCube();
  if (how == 3) cube.tvFace.clear();
  if (how == 10)
    for (Point3& p : cube.verts) p = p * 0.001f;  // faces of determinant 1.6e-5 at most
  NodeBuilder& shell = b.Node("x_Shell", 2).Mesh(cube);
  if (how == 9) shell.Rotation(Quat(0, 0, 1, 0)).Scale({2, 2, 2});  // half a turn about z
  shell.Material(how == 4 ? nullptr : how == 5 ? &base : &composite);
  if (how == 1) shell.Object("dummy");
  if (how == 2) shell.Object("bone");
  return b.Build();
}

struct Exported {
  int result = 0;
  reader::ChunkFile file;
  std::string errors, warnings, informations, ini;
};
Exported ExportCar(Scene& scene, const std::string& lookup = "Body=x_Shell") {
  testing::ExportHarness h;
  h.WriteText("../config/CarExporterSettings.ini", "[CollisionNodeLookup]\r\n" + lookup + "\r\n");
  Exported out;
  out.result = h.Export(scene, "car.zqc", true);
  out.file = h.Read("car.zqc");
  out.errors = h.ReadText("car_errors.log");
  out.warnings = h.ReadText("car_warnings.log");
  out.informations = h.ReadText("car_informations.log");
  out.ini = h.ReadText("car.ini");
  return out;
}

const reader::MeshChunk* Body(const reader::ChunkFile& file) {
  for (const reader::Chunk* chunk : reader::FindChunks(file, 0))
    if (auto* mesh = chunk->As<reader::MeshChunk>(); mesh->node.name == "Body") return mesh;
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
  auto scene = CollisionCar(ZoneMap(folder, "zones.bmp"));
  const Exported out = ExportCar(*scene);
  ASSERT_EQ(out.result, 1);
  const reader::MeshChunk* body = Body(out.file);
  ASSERT_TRUE(body && body->collision);
  ASSERT_EQ(body->collision->zones.size(), 256u);
  std::map<int32_t, int> zoneOf;
  for (int z = 0; z < 256; ++z) {
    int32_t last = -1;
    for (const auto& entry : body->collision->zones[z]) {
      EXPECT_GT(entry.vertex, last);  // ascending, each once
      EXPECT_EQ(entry.weight, 1.0f);
      EXPECT_TRUE(zoneOf.emplace(last = entry.vertex, z).second);
    }
  }
  // Host position -> zone: the side crossed behind the vertex, not the one
  // toward the centre; on a side's diagonal the lower of its two faces; the
  // vertex at the centre has no direction and misses. Second: the shell
  // turned half about z and scaled by 2 (lines enter its object space).
  const std::map<std::array<float, 3>, std::pair<int, int>> expected = {
      {{1, 0, 0}, {2, 0}},   {{-1, 0, 0}, {0, 2}}, {{0, 1, 0.5f}, {7, 5}}, {{0, -1, -0.5f}, {4, 6}},
      {{0, 0, 1}, {10, 10}}, {{0, 0, -1}, {8, 8}}, {{0, 0, 0}, {-1, -1}}};
  ASSERT_EQ(body->positions.size(), 9u);
  auto turned = CollisionCar(ZoneMap(folder, "zones.bmp"), 9);
  const Exported other = ExportCar(*turned);
  ASSERT_TRUE(Body(other.file) && Body(other.file)->collision);
  std::map<int32_t, int> turnedZoneOf;
  for (int z = 0; z < 256; ++z)
    for (const auto& entry : Body(other.file)->collision->zones[z]) turnedZoneOf[entry.vertex] = z;
  for (int32_t i = 0; i < 9; ++i) {
    const auto& p = body->positions[i];
    const auto [plain, turn] = expected.at({p[0], p[2], p[1]});
    EXPECT_EQ(zoneOf.count(i) ? zoneOf[i] : -1, plain) << i;
    EXPECT_EQ(turnedZoneOf.count(i) ? turnedZoneOf[i] : -1, turn) << i;
  }
  EXPECT_EQ(out.errors, "*** Errors exporting\n\nNo intersection with collision mesh: x_Shell\n");
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
  EXPECT_NE(out.ini.find("FaceBlock0_Shader="), std::string::npos);

  // Without a lookup entry the record is the zone count 0.
  const Exported none = ExportCar(*scene, "Other=x_Shell");
  ASSERT_TRUE(Body(none.file) && Body(none.file)->collision);
  EXPECT_TRUE(Body(none.file)->collision->zones.empty());
  EXPECT_TRUE(InOrder(none.informations, {"CreateAndExportCollisionMapping - no collision mesh",
                                          "returning from CreateAndExportCollisionMapping"}));

  // A shell no line can cross says so; every vertex misses, the mesh is kept.
  auto tiny = CollisionCar(ZoneMap(folder, "zones.bmp"), 10);
  const Exported small = ExportCar(*tiny);
  ASSERT_TRUE(Body(small.file) && Body(small.file)->collision);
  EXPECT_NE(small.warnings.find("Collision mesh x_Shell is too small for the intersection test\n"),
            std::string::npos);
  EXPECT_EQ(small.errors.size() - small.errors.find("No intersection"), 9 * 45u);
}

TEST(CollisionMapping, failuresFallBackToTheDefaultNodeWithTheirMessages) {
  testing::TempFolder folder;
  const std::string zones = ZoneMap(folder, "zones.tga"), missing = folder.File("gone.png");
  const std::string plain = folder.Write("plain.tga", testing::TrueColourTga());
  const std::string noMap =
      "node x_Shell: Collision map (material: Shell material) doesn't have a texture map..";
  const struct {
    int how;
    std::string map, lookup, error, warning;
  } cases[] = {
      {0, zones, "Body=x_Gone", "Collision node x_Gone not found", ""},
      {1, zones, "", "node x_Shell isn't of type GEOMOBJECT_CLASS_ID", ""},
      {2, zones, "", "unable to convert collision node: x_Shell to a tri object..", ""},
      {3, zones, "", "Collision node x_Shell has no texture coordinates", ""},
      {4, zones, "", "Collision node x_Shell doesn't have a material", ""},
      {5, zones, "", "Collision node x_Shell doesn't have a composite collision material", ""},
      {6, zones, "", "Unable to get material for collision node..", ""},
      {7, zones, "", noMap, ""},
      {8, zones, "", noMap, ""},  // a gradient, not a bitmap
      {0, missing, "", "", "Collision texture not found: " + missing},
      {0, plain, "", "", "Collision texture (" + plain + ") is not paletized. Quitting."},
  };
  for (const auto& c : cases) {
    auto scene = CollisionCar(c.map, c.how);
    const Exported out = ExportCar(*scene, c.lookup.empty() ? "Body=x_Shell" : c.lookup);
    const std::string name = std::to_string(c.how) + " " + c.map;
    ASSERT_EQ(out.result, 1) << name;
    EXPECT_EQ(Body(out.file), nullptr) << name;
    EXPECT_EQ(reader::FindChunks(out.file, 22).size(), 1u) << name;
    Strings errors = {"error computing collision mapping for node: Body", ""};
    if (!c.error.empty()) errors.insert(errors.begin(), c.error);
    EXPECT_TRUE(InOrder(out.errors, errors)) << name << "\n" << out.errors;
    Strings warnings = {"Exporting node Body as unknown node type"};
    if (!c.warning.empty()) warnings.insert(warnings.begin(), c.warning);
    EXPECT_TRUE(InOrder(out.warnings, warnings)) << name << "\n" << out.warnings;
    // The mesh chunk was dropped after its face blocks: no entries describe it.
    EXPECT_EQ(out.ini.find("FaceBlock0"), std::string::npos) << name;
  }
}

// Random shells of degenerate, duplicated, tiny and enormous triangles (up
// to 1e38: products past the float range make every crossing a miss)
// against a small body: every vertex is in one zone or has its miss logged,
// and the mesh is kept.
TEST(CollisionMapping, randomShellsMapEveryVertexOnceOrLogItsMiss) {
  testing::TempFolder folder;
  const std::string zones = ZoneMap(folder, "zones.png");
  std::mt19937 rng(7);
  for (int round = 0; round < 12; ++round) {
    const float scale = std::pow(10.0f, float(round * 38 / 11));
    std::uniform_real_distribution<float> any(-scale, scale), uv(-0.5f, 1.5f);
    Mesh shell;
    for (int i = 0; i < 60; ++i) {
      shell.verts.push_back(i % 7 == 0 ? shell.verts.empty() ? Point3() : shell.verts.back()
                                       : Point3(any(rng), any(rng), any(rng)));
      shell.tVerts.push_back({uv(rng), uv(rng), 0.0f});
    }
    for (uint32_t f = 0; f < 80; ++f) {
      const uint32_t a = rng() % 60, b = f % 5 ? rng() % 60 : a, c = rng() % 60;
      shell.faces.push_back(Face{{a, b, c}, 1, 0});
      shell.tvFace.push_back(f % 9 ? TVFace{{c, b, a}} : TVFace{{0, 0, 0}});
    }
    auto scene = CollisionCar(zones, 0, &shell);
    const Exported out = ExportCar(*scene);
    ASSERT_EQ(out.result, 1);
    const reader::MeshChunk* body = Body(out.file);
    ASSERT_TRUE(body && body->collision) << round << out.errors;
    size_t zoned = 0;
    std::set<int32_t> seen;
    for (const auto& zone : body->collision->zones)
      for (const auto& entry : zone) zoned += seen.insert(entry.vertex).second;
    size_t misses = 0;
    for (size_t at = 0; (at = out.errors.find("No intersection", at)) != std::string::npos; ++at)
      ++misses;
    EXPECT_EQ(zoned + misses, body->positions.size()) << round;
    if (round < 6) {
      EXPECT_EQ(misses, 1u) << round;  // the vertex at the centre
    }
  }
}

TEST(CollisionMapping, lineTestOnItsEdges) {
  const Point3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), down(0, 0, -1);
  const struct {
    Point3 o, d, v2;
    bool front, hit;
    float t, u, v;
  } cases[] = {
      {{0.25f, 0.25f, 1}, down, c, true, true, 1, 0.25f, 0.25f},
      {{0.25f, 0.25f, 1}, down, c, false, true, 1, 0.25f, 0.25f},   // seen from behind
      {{0.25f, 0.25f, -2}, down, c, true, true, -2, 0.25f, 0.25f},  // behind the origin
      {{0.5f, 0.5f, 1}, down, c, true, true, 1, 0.5f, 0.5f},        // on the edge u + v = 1
      {{0.75f, 0.5f, 1}, down, c, true, false, 0, 0, 0},
      {{0.25f, 0.25f, 1}, {1, 0, 0}, c, true, false, 0, 0, 0},  // parallel
      // det = 0.0001f lies below 0.0001 as a double: no crossing.
      {{0.5f, 0.00001f, 1}, down, {0, 0.0001f, 0}, true, false, 0, 0, 0},
      {{0.5f, 0.00001f, 1}, down, {0, 0.00010001f, 0}, true, true, 1, 0.5f, 0.09999f},
  };
  for (const auto& k : cases) {
    LineCrossing x;
    const bool hit = k.front ? IntersectTriangle(k.o, k.d, a, b, k.v2, x)
                             : IntersectTriangle(k.o, k.d, a, k.v2, b, x);
    ASSERT_EQ(hit, k.hit) << k.o.x << " " << k.o.z;
    if (!hit) continue;
    EXPECT_EQ(x.t, k.t);
    EXPECT_NEAR(k.front ? x.u : x.v, k.u, 1e-4);
    EXPECT_NEAR(k.front ? x.v : x.u, k.v, 1e-4);
  }
}

// A bitmap whose every texel has one colour, recording where it was read.
class OneColour final : public BitmapStorage {
 public:
  int Paletted() override { return 256; }
  int GetPalette(int, int, BMM_Color_48*) override { return 1; }
  int GetLinearPixels(int x, int y, int, BMM_Color_fl* ptr) override {
    reads.push_back({x, y});
    *ptr = texel;
    return !fail;
  }
  BMM_Color_fl texel;
  bool fail = false;
  std::vector<std::pair<int, int>> reads;
};

TEST(CollisionMapping, zoneByColourRoundsToTexelsAndTakesTheLowerOfEqualEntries) {
  BMM_Color_48 entries[256] = {};
  entries[7] = {32768, 0, 0};  // 0.5 red; 0 to 6 black
  for (int i = 8; i < 256; ++i) entries[i] = {65535, 65535, 65535};
  entries[4] = {0, 0, 65535};
  ZonePalette palette(entries);
  EXPECT_EQ(palette.Colours()[7].r, 0.5f);
  ExportLog log;
  CurrentLog = &log;
  OneColour bitmap;
  const struct {
    float u, v;
    BMM_Color_fl texel;
    int zone;  // -1: not found
  } cases[] = {
      {1, 0, {0.25f, 0, 0, 1}, 0},  // halfway between 0 and 7: the lower; texel (255, 255)
      {0, 1, {0.5f, 0, 0, 1}, 7},   // texel (0, 0)
      {0.5f, 0.5f, {0, 0, 1, 1}, 4},
      {-3, 7, {2000, 0, 0, 1}, -1},  // limited to (0, 0); no entry nearer than 1000
  };
  for (const auto& c : cases) {
    bitmap.texel = c.texel;
    int zone = -1;
    EXPECT_EQ(FindZoneByColour(c.u, c.v, &bitmap, 256, 256, palette, zone), c.zone >= 0);
    EXPECT_EQ(c.zone >= 0 ? zone : -1, c.zone);
  }
  EXPECT_EQ(bitmap.reads,
            (std::vector<std::pair<int, int>>{{255, 255}, {0, 0}, {128, 128}, {0, 0}}));
  EXPECT_EQ(log.Informations().back(),
            "Col 4 found, col diff: 0.000015, col 0.000000, 0.000000, 1.000000, tex coords: 128, "
            "128, orig coords: 0.500000, 0.500000");
  bitmap.fail = true;
  int zone = 0;
  EXPECT_FALSE(FindZoneByColour(0, 0, &bitmap, 4, 4, palette, zone));
  EXPECT_EQ(log.Warnings(), (Strings{"Error finding color in collision palette..\n",
                                     "Error getting pixel from collision map..\n"}));
  CurrentLog = nullptr;
}

}  // namespace
}  // namespace kiln
