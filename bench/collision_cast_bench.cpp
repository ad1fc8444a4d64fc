// Lines a second through collision shells of 2,000, 20,000 and 200,000
// triangles: the brute-force loop, the hierarchy (on lines from an inner body
// toward the centre, and on lines through the shell's vertices where faces
// tie), the hierarchy's build, and Embree's closest hit on the same lines as
// a speed reference (when the benchmark was built with Embree).
//
//   build/release/bin/collision_cast_bench
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "CarShell.h"
#include "collision/BruteForceCast.h"
#include "collision/BvhCaster.h"

#ifdef KILN_BENCH_EMBREE
#include <embree3/rtcore.h>
#endif

namespace {

// Grid sides giving 2,028, 20,172 and 199,692 triangles.
int SideFor(int64_t triangles) {
  return triangles <= 2000 ? 13 : triangles <= 20000 ? 41 : 129;
}

struct Fixture {
  Mesh shell;
  std::vector<Point3> corners;
  std::vector<carshell::Line> lines, ties;
  std::unique_ptr<kiln::CollisionBvh> bvh;
};

const Fixture& FixtureFor(int64_t triangles) {
  static std::map<int64_t, Fixture> fixtures;
  Fixture& f = fixtures[triangles];
  if (!f.bvh) {
    f.shell = carshell::MakeShell(SideFor(triangles));
    f.corners = carshell::Corners(f.shell);
    f.lines = carshell::InnerLines(10000);
    f.ties = carshell::TieLines(f.shell, 10000);
    f.bvh = std::make_unique<kiln::CollisionBvh>(f.corners);
  }
  return f;
}

void BruteForce(benchmark::State& state) {
  const Fixture& f = FixtureFor(state.range(0));
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    const carshell::Line& line = f.lines[i++ % f.lines.size()];
    hits += kiln::CastBruteForce(f.corners, line.o, line.d).Hit();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["hit%"] = 100.0 * hits / state.iterations();
}

void Hierarchy(benchmark::State& state, bool ties) {
  const Fixture& f = FixtureFor(state.range(0));
  const std::vector<carshell::Line>& lines = ties ? f.ties : f.lines;
  const kiln::BvhCaster caster(*f.bvh, carshell::BoundsOf(lines));
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    const carshell::Line& line = lines[i++ % lines.size()];
    hits += caster.Cast(line.o, line.d).Hit();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["hit%"] = 100.0 * hits / state.iterations();
}
void HierarchyInner(benchmark::State& state) {
  Hierarchy(state, false);
}
void HierarchyTies(benchmark::State& state) {
  Hierarchy(state, true);
}

void HierarchyBuild(benchmark::State& state) {
  const Fixture& f = FixtureFor(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(kiln::CollisionBvh(f.corners).Nodes().size());
  state.SetItemsProcessed(state.iterations() * (f.corners.size() / 3));
}

#ifdef KILN_BENCH_EMBREE
// Closest hit along the whole line: the ray starts far behind the origin.
void Embree(benchmark::State& state) {
  const Fixture& f = FixtureFor(state.range(0));
  RTCDevice device = rtcNewDevice(nullptr);
  RTCScene scene = rtcNewScene(device);
  RTCGeometry geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
  auto* vertices = static_cast<float*>(rtcSetNewGeometryBuffer(
      geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 3 * sizeof(float), f.corners.size()));
  auto* indices = static_cast<unsigned*>(
      rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                              3 * sizeof(unsigned), f.corners.size() / 3));
  for (size_t i = 0; i < f.corners.size(); ++i) {
    vertices[3 * i] = f.corners[i].x, vertices[3 * i + 1] = f.corners[i].y;
    vertices[3 * i + 2] = f.corners[i].z;
    indices[i] = static_cast<unsigned>(i);
  }
  rtcCommitGeometry(geometry);
  rtcAttachGeometry(scene, geometry);
  rtcReleaseGeometry(geometry);
  rtcCommitScene(scene);
  RTCIntersectContext context;
  rtcInitIntersectContext(&context);
  size_t i = 0, hits = 0;
  for (auto _ : state) {
    const carshell::Line& line = f.lines[i++ % f.lines.size()];
    RTCRayHit hit{};
    hit.ray.org_x = line.o.x - 10.0f * line.d.x, hit.ray.org_y = line.o.y - 10.0f * line.d.y;
    hit.ray.org_z = line.o.z - 10.0f * line.d.z;
    hit.ray.dir_x = line.d.x, hit.ray.dir_y = line.d.y, hit.ray.dir_z = line.d.z;
    hit.ray.tnear = 0.0f, hit.ray.tfar = 1e30f, hit.ray.mask = ~0u;
    hit.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(scene, &context, &hit);
    hits += hit.hit.geomID != RTC_INVALID_GEOMETRY_ID;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["hit%"] = 100.0 * hits / state.iterations();
  rtcReleaseScene(scene);
  rtcReleaseDevice(device);
}
BENCHMARK(Embree)->Arg(2000)->Arg(20000)->Arg(200000);
#endif

BENCHMARK(BruteForce)->Arg(2000)->Arg(20000)->Arg(200000);
BENCHMARK(HierarchyInner)->Arg(2000)->Arg(20000)->Arg(200000);
BENCHMARK(HierarchyTies)->Arg(2000)->Arg(20000)->Arg(200000);
BENCHMARK(HierarchyBuild)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
