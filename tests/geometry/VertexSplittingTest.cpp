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

TEST(VertexSplitting, signedZerosShareAVertexAndNansNeverDo) {
  FatVertexTable table;
  FatVertex a;
  a.position = {0.0f, 1.0f, 2.0f};
  FatVertex b = a;
  b.position.x = -0.0f;
  EXPECT_EQ(table.FindOrCreate(a), 0);
  EXPECT_EQ(table.FindOrCreate(b), 0);
  EXPECT_FALSE(std::signbit(table[0].position.x));  // the first corner's bits are kept

  FatVertex nan = a;
  nan.normal.y = kNan;
  EXPECT_EQ(table.FindOrCreate(nan), 1);
  EXPECT_EQ(table.FindOrCreate(nan), 2);
  EXPECT_EQ(table.FindOrCreate(a), 0);

  // Different smoothing groups or material ids split equal geometry.
  FatVertex smoothing = a;
  smoothing.smoothingGroup = 2;
  FatVertex material = a;
  material.materialId = 1;
  EXPECT_EQ(table.FindOrCreate(smoothing), 3);
  EXPECT_EQ(table.FindOrCreate(material), 4);

  // Enough distinct vertices to grow the index several times.
  for (int i = 0; i < 5000; ++i) {
    FatVertex v;
    v.uv = {static_cast<float>(i), 0.0f};
    v.hasUv = true;
    ASSERT_EQ(table.FindOrCreate(v), 5 + i);
  }
  FatVertex again;
  again.uv = {1234.0f, -0.0f};
  again.hasUv = true;
  EXPECT_EQ(table.FindOrCreate(again), 5 + 1234);
}

}  // namespace
}  // namespace kiln
