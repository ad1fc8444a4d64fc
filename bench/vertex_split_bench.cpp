// Vertex splitting throughput in corners per second: the hashed fat vertex
// table against the plain find-or-create scan (on a mesh small enough for
// it) and against meshoptimizer's vertex remap on the same corner data.
#include <benchmark/benchmark.h>
#include <meshoptimizer.h>

#include <bit>
#include <cstring>
#include <vector>

#include "GridMesh.h"
#include "geometry/MeshBuilder.h"
#include "host/Material.h"

namespace {

using kiln::CornerReader;
using kiln::FatVertex;

// Side of the grid: 256 x 256 = 65,536 vertices, 130,050 triangles.
constexpr int kFullSide = 256;
// 71 x 71 vertices: 9,800 triangles, a size the linear scan finishes.
constexpr int kScanSide = 71;

std::vector<FatVertex> CornersOf(const Mesh& mesh) {
  std::vector<FatVertex> corners;
  corners.reserve(mesh.faces.size() * 3);
  const CornerReader reader(mesh, AXIS_UV);
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    for (int c : kiln::kEvenParityCorners) {
      corners.emplace_back();
      reader.Read(f, c, corners.back());
    }
  }
  return corners;
}

const std::vector<FatVertex>& Corners(int side) {
  static std::vector<FatVertex> full = CornersOf(MakeGridMesh(kFullSide));
  static std::vector<FatVertex> small = CornersOf(MakeGridMesh(kScanSide));
  return side == kFullSide ? full : small;
}

void BM_HashedSplit(benchmark::State& state) {
  const auto& corners = Corners(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    kiln::FatVertexTable table;
    // As the mesh builder does: room for one and a half fat vertices per host vertex.
    table.Reserve(static_cast<size_t>(state.range(0) * state.range(0)) * 3 / 2);
    for (const FatVertex& corner : corners) benchmark::DoNotOptimize(table.FindOrCreate(corner));
    state.counters["fat_vertices"] = static_cast<double>(table.Size());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(corners.size()));
}
BENCHMARK(BM_HashedSplit)->Arg(kScanSide)->Arg(kFullSide)->Unit(benchmark::kMillisecond);

// The whole gathering: corner reading, splitting and the corner map.
void BM_GatherFaces(benchmark::State& state) {
  const Mesh mesh = MakeGridMesh(kFullSide);
  for (auto _ : state) {
    kiln::MeshBuilder builder;
    builder.GatherFaces(mesh, kiln::kEvenParityCorners, AXIS_UV);
    benchmark::DoNotOptimize(builder.FatVertices().Size());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(mesh.faces.size() * 3));
}
BENCHMARK(BM_GatherFaces)->Unit(benchmark::kMillisecond);

bool ScanMatches(const FatVertex& a, const FatVertex& b) {
  return a.materialId == b.materialId && a.smoothingGroup == b.smoothingGroup &&
         a.position == b.position && a.normal == b.normal && a.uv.x == b.uv.x && a.uv.y == b.uv.y &&
         a.colour[0] == b.colour[0] && a.colour[1] == b.colour[1] && a.colour[2] == b.colour[2] &&
         a.colour[3] == b.colour[3];
}

void BM_LinearScan(benchmark::State& state) {
  const auto& corners = Corners(kScanSide);
  for (auto _ : state) {
    std::vector<FatVertex> vertices;
    for (const FatVertex& corner : corners) {
      size_t k = 0;
      while (k < vertices.size() && !ScanMatches(corner, vertices[k])) ++k;
      if (k == vertices.size()) vertices.push_back(corner);
      benchmark::DoNotOptimize(k);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(corners.size()));
}
BENCHMARK(BM_LinearScan)->Unit(benchmark::kMillisecond);

// meshoptimizer compares raw bytes, so the corners go in as padding-free records.
struct PackedCorner {
  float values[14];
};

std::vector<PackedCorner> Packed(const std::vector<FatVertex>& corners) {
  std::vector<PackedCorner> packed(corners.size());
  for (size_t i = 0; i < corners.size(); ++i) {
    const FatVertex& v = corners[i];
    float* out = packed[i].values;
    out[0] = std::bit_cast<float>(v.materialId);
    out[1] = std::bit_cast<float>(v.smoothingGroup);
    std::memcpy(out + 2, &v.position, 12);
    std::memcpy(out + 5, &v.normal, 12);
    std::memcpy(out + 8, &v.uv, 8);
    std::memcpy(out + 10, v.colour, 16);
  }
  return packed;
}

void BM_MeshoptRemap(benchmark::State& state) {
  const std::vector<PackedCorner> packed = Packed(Corners(static_cast<int>(state.range(0))));
  std::vector<unsigned int> remap(packed.size());
  for (auto _ : state) {
    const size_t unique = meshopt_generateVertexRemap(
        remap.data(), nullptr, packed.size(), packed.data(), packed.size(), sizeof(PackedCorner));
    state.counters["fat_vertices"] = static_cast<double>(unique);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(packed.size()));
}
BENCHMARK(BM_MeshoptRemap)->Arg(kScanSide)->Arg(kFullSide)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
