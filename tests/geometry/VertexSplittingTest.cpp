#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "geometry/MeshBuilder.h"
#include "host/Material.h"
#include "host/Mesh.h"
#include "standalone/SceneMaterials.h"

namespace kiln {
namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// The plain find-or-create scan: the first stored vertex that matches wins.
bool ScanMatches(const FatVertex& corner, const FatVertex& candidate) {
  if (corner.materialId != candidate.materialId) return false;
  if (corner.smoothingGroup != candidate.smoothingGroup) return false;
  for (int i = 0; i < 3; ++i) {
    if (!(corner.position[i] == candidate.position[i])) return false;
    if (!(corner.normal[i] == candidate.normal[i])) return false;
  }
  if (corner.hasUv || candidate.hasUv) {
    if (!candidate.hasUv || !(corner.uv.x == candidate.uv.x) || !(corner.uv.y == candidate.uv.y))
      return false;
  }
  if (!corner.hasColour && !candidate.hasColour) return true;
  if (!candidate.hasColour) return false;
  for (int i = 0; i < 4; ++i)
    if (!(corner.colour[i] == candidate.colour[i])) return false;
  return true;
}

struct ScanResult {
  std::vector<FatVertex> vertices;
  std::vector<std::array<int32_t, 3>> faces;
  std::vector<std::vector<int32_t>> cornerMap;
  std::vector<int32_t> sequence;
};

ScanResult SplitByScan(const Mesh& mesh, const CornerOrder& order, int uvAxis) {
  ScanResult result;
  result.cornerMap.resize(mesh.verts.size());
  const CornerReader reader(mesh, uvAxis);
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    std::array<int32_t, 3> face{};
    for (int j = 0; j < 3; ++j) {
      FatVertex corner;
      reader.Read(f, order[j], corner);
      size_t k = 0;
      while (k < result.vertices.size() && !ScanMatches(corner, result.vertices[k])) ++k;
      if (k == result.vertices.size()) result.vertices.push_back(corner);
      result.cornerMap[mesh.faces[f].v[order[j]]].push_back(static_cast<int32_t>(k));
      face[j] = static_cast<int32_t>(k);
    }
    result.faces.push_back(face);
  }
  // Numbering by first use, material id ascending, faces ascending.
  result.sequence.assign(result.vertices.size(), -1);
  int32_t next = 0;
  std::set<int> ids;
  for (const Face& face : mesh.faces) ids.insert(face.getMatID());
  for (int id : ids) {
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
      if (mesh.faces[f].getMatID() != id) continue;
      for (int32_t k : result.faces[f])
        if (result.sequence[k] < 0) result.sequence[k] = next++;
    }
  }
  return result;
}

bool SameBits(float a, float b) {
  return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}

void ExpectSameVertex(const FatVertex& a, const FatVertex& b, size_t index) {
  SCOPED_TRACE(index);
  EXPECT_EQ(a.materialId, b.materialId);
  EXPECT_EQ(a.smoothingGroup, b.smoothingGroup);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(SameBits(a.position[i], b.position[i]));
    EXPECT_TRUE(SameBits(a.normal[i], b.normal[i]));
  }
  EXPECT_TRUE(SameBits(a.uv.x, b.uv.x) && SameBits(a.uv.y, b.uv.y));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameBits(a.colour[i], b.colour[i]));
}

// A mesh whose attributes come from tiny pools, so corners repeat often, with
// signed zeros and NaNs among the values.
Mesh RandomMesh(std::mt19937& rng, bool withUv, bool withColour) {
  const float pool[] = {0.0f, -0.0f, 1.0f, 0.5f, kNan};
  auto pick = [&](int poolSize) { return pool[rng() % poolSize]; };
  // NaNs stay rare so that most corners still meet equal ones.
  auto value = [&] { return rng() % 40 == 0 ? kNan : pick(4); };
  Mesh mesh;
  const int vertexCount = 4 + static_cast<int>(rng() % 30);
  for (int v = 0; v < vertexCount; ++v) mesh.verts.push_back({value(), value(), pick(2)});
  const int faceCount = 1 + static_cast<int>(rng() % 80);
  const uint32_t groups[] = {0, 1, 2, 3, 4, 6};
  for (int f = 0; f < faceCount; ++f) {
    Face face;
    for (uint32_t& v : face.v) v = rng() % vertexCount;
    face.smGroup = groups[rng() % 6];
    face.setMatID(static_cast<MtlID>(rng() % 3 * 2));
    mesh.faces.push_back(face);
  }
  if (withUv) {
    for (int t = 0; t < 5; ++t) mesh.tVerts.push_back({value(), value(), value()});
    for (int f = 0; f < faceCount; ++f)
      mesh.tvFace.push_back({{uint32_t(rng() % 5), uint32_t(rng() % 5), uint32_t(rng() % 5)}});
  }
  if (withColour) {
    for (int t = 0; t < 4; ++t) mesh.vertCol.push_back({value(), value(), value()});
    for (int f = 0; f < faceCount; ++f)
      mesh.vcFace.push_back({{uint32_t(rng() % 4), uint32_t(rng() % 4), uint32_t(rng() % 4)}});
  }
  if (rng() % 2 == 0) {
    for (int v = 0; v < vertexCount; ++v) {
      mesh.specifiedNormals.push_back({pick(5), pick(2), 0.0f});
      mesh.specifiedNormalSet.push_back(static_cast<uint8_t>(rng() % 2));
    }
  }
  mesh.buildNormals();
  return mesh;
}

TEST(VertexSplitting, hashedLookupNumbersLikeTheLinearScan) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    const Mesh mesh = RandomMesh(rng, round % 2 == 0, round % 3 == 0);
    ASSERT_TRUE(MeshIndicesAreValid(mesh));
    const CornerOrder order = round % 4 == 0 ? kOddParityCorners : kEvenParityCorners;
    const ScanResult expected = SplitByScan(mesh, order, round % 4);

    MeshBuilder builder;
    builder.GatherFaces(mesh, order, round % 4);
    builder.GroupFacesByMaterial();
    builder.NumberOutputVertices();

    const FatVertexTable& fat = builder.FatVertices();
    ASSERT_EQ(fat.Size(), expected.vertices.size());
    for (size_t k = 0; k < fat.Size(); ++k) ExpectSameVertex(fat[k], expected.vertices[k], k);
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
      for (int j = 0; j < 3; ++j) EXPECT_EQ(builder.Faces()[f].corner[j], expected.faces[f][j]);
    }
    for (size_t v = 0; v < mesh.verts.size(); ++v) {
      auto got = builder.Corners().FatVertices(v);
      EXPECT_EQ(std::vector<int32_t>(got.begin(), got.end()), expected.cornerMap[v]) << v;
    }
    EXPECT_EQ(builder.SequenceMap(), expected.sequence);
    for (size_t out = 0; out < builder.InverseMap().size(); ++out)
      EXPECT_EQ(builder.SequenceMap()[builder.InverseMap()[out]], static_cast<int32_t>(out));
  }
}

// Signed zeros, NaNs, smoothing groups and material ids are covered by the
// random meshes above; this grows the index well past their sizes.
TEST(VertexSplitting, theIndexKeepsFindingVerticesAsItGrows) {
  FatVertexTable table;
  auto withUv = [](float u, float v) {
    FatVertex corner;
    corner.uv = {u, v};
    corner.hasUv = true;
    return corner;
  };
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(table.FindOrCreate(withUv(float(i), 0.0f)), i);
  EXPECT_EQ(table.FindOrCreate(withUv(1234.0f, -0.0f)), 1234);
  EXPECT_FALSE(std::signbit(table[1234].uv.y));  // the first corner's bits are kept
}

TEST(VertexSplitting, textureCoordinatesFollowTheMaterialsMappingAxis) {
  Mesh mesh;
  mesh.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  Face face;
  face.v[0] = 0, face.v[1] = 1, face.v[2] = 2;
  mesh.faces = {face};
  mesh.tVerts = {{0.1f, 0.2f, 0.3f}};
  mesh.tvFace = {TVFace{{0, 0, 0}}};
  mesh.buildNormals();

  standalone::Texture diffuse, opacity;
  diffuse.SetUVAxis(AXIS_VW);
  opacity.SetUVAxis(AXIS_WU);
  standalone::Material material;
  EXPECT_EQ(UvAxisOf(nullptr), AXIS_UV);
  EXPECT_EQ(UvAxisOf(&material), AXIS_UV);
  material.SetMap(ID_OP, &opacity);
  EXPECT_EQ(UvAxisOf(&material), AXIS_WU);  // opacity stands in for a missing diffuse map
  material.SetMap(ID_DI, &diffuse);
  EXPECT_EQ(UvAxisOf(&material), AXIS_VW);

  const struct {
    int axis;
    float u, v;
  } cases[] = {{AXIS_UV, 0.1f, 0.8f}, {AXIS_VW, 0.2f, 0.7f}, {AXIS_WU, 0.3f, 0.9f}, {7, 0, 0}};
  for (const auto& c : cases) {
    FatVertex corner;
    CornerReader(mesh, c.axis).Read(0, 0, corner);
    EXPECT_TRUE(corner.hasUv);
    EXPECT_FLOAT_EQ(corner.uv.x, c.u) << c.axis;
    EXPECT_FLOAT_EQ(corner.uv.y, c.v) << c.axis;
  }
}

TEST(VertexSplitting, cornersTakeTheNormalOfTheirSmoothingCluster) {
  // Two faces of group 1 and one of group 2 around vertex 0, plus a face
  // whose group no render normal of vertex 0 serves (stale normals).
  Mesh mesh;
  mesh.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  auto tri = [](uint32_t a, uint32_t b, uint32_t c, uint32_t group) {
    Face face;
    face.v[0] = a, face.v[1] = b, face.v[2] = c;
    face.smGroup = group;
    return face;
  };
  mesh.faces = {tri(0, 1, 2, 1), tri(0, 2, 3, 2), tri(0, 3, 1, 0)};
  mesh.buildNormals();
  mesh.faces.push_back(tri(0, 1, 2, 4));
  mesh.faceNormals.push_back(mesh.faceNormals[0]);
  const CornerReader reader(mesh, AXIS_UV);
  FatVertex corner;
  reader.Read(0, 0, corner);
  EXPECT_EQ(corner.normal, Point3(0, 1, 0));  // host +z, axes exchanged
  reader.Read(1, 0, corner);
  EXPECT_EQ(corner.normal, Point3(1, 0, 0));
  reader.Read(2, 0, corner);  // smoothing group 0: the face normal
  EXPECT_EQ(corner.normal, Point3(0, 0, 1));
  reader.Read(3, 0, corner);  // no cluster shares group 4: the face normal
  EXPECT_EQ(corner.normal, Point3(0, 1, 0));
}

}  // namespace
}  // namespace kiln
