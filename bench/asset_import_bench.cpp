// Import plus export of a one-million-triangle asset, beside the import
// library's own conversion of the same asset to its binary format.
//
//   asset_import_bench
//
// The benchmark writes a binary glTF file of 200 meshes of 5,000 triangles
// (2,601 vertices each, with normals and texture coordinates, so every mesh
// stays far under the exporter's 65,536 split vertices; 28 MB), then runs, one after
// the other, `kiln export ASSET OUT.zqs` (the kiln program beside this one)
// and `assimp export ASSET OUT.assbin` (Debian's assimp-utils) as child
// processes. It reports each one's wall time and peak resident memory, and
// kiln's against assimp's (time_ratio, peak_ratio): the targets are a time
// ratio of at most 1 and a peak ratio of at most 1.5.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kMeshes = 200;
constexpr int kQuads = 50;  // a side: 50 x 50 quads, 5,000 triangles

fs::path Folder() {
  fs::path folder = fs::temp_directory_path() / "kiln-asset-bench";
  fs::create_directories(folder / "config");
  return folder;
}

template <typename T>
void Put(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Every mesh has its own data in the binary buffer (a grid of its own place
// and height), so the importer reads all of it as it would a real asset.
fs::path WriteAsset() {
  const fs::path file = Folder() / "million.glb";
  if (fs::exists(file)) return file;
  const int side = kQuads + 1, vertices = side * side;
  const size_t indexCount = size_t{kQuads} * kQuads * 6;
  std::string bin, json = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[)";
  std::string nodes, meshes, accessors, views;
  auto addView = [&](size_t offset) {
    if (!views.empty()) views += ',';
    views += R"({"buffer":0,"byteOffset":)";
    views += std::to_string(offset);
    views += R"(,"byteLength":)";
    views += std::to_string(bin.size() - offset);
    views += '}';
  };
  auto addAccessor = [&](int view, int componentType, size_t count, const char* type) {
    if (!accessors.empty()) accessors += ',';
    accessors += R"({"bufferView":)";
    accessors += std::to_string(view);
    accessors += R"(,"componentType":)";
    accessors += std::to_string(componentType);
    accessors += R"(,"count":)";
    accessors += std::to_string(count);
    accessors += R"(,"type":")";
    accessors += type;
    accessors += "\"}";
  };
  for (int m = 0; m < kMeshes; ++m) {
    const float x0 = static_cast<float>(m % 20 * 6), z0 = static_cast<float>(m / 20 * 6);
    const size_t positions = bin.size();
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        Put(bin, std::array<float, 3>{x0 + x * 0.1f, m * 0.01f, z0 + y * 0.1f});
    addView(positions);
    const size_t normals = bin.size();
    for (int v = 0; v < vertices; ++v) Put(bin, std::array<float, 3>{0, 1, 0});
    addView(normals);
    const size_t uvs = bin.size();
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        Put(bin, std::array<float, 2>{x / float(kQuads), y / float(kQuads)});
    addView(uvs);
    const size_t indices = bin.size();
    for (int y = 0; y < kQuads; ++y) {
      for (int x = 0; x < kQuads; ++x) {
        const uint16_t a = static_cast<uint16_t>(y * side + x), b = a + 1,
                       c = static_cast<uint16_t>(a + side), d = c + 1;
        for (uint16_t i : {a, c, b, b, c, d}) Put(bin, i);
      }
    }
    addView(indices);
    while (bin.size() % 4) bin += '\0';
    addAccessor(4 * m, 5126, vertices, "VEC3");
    addAccessor(4 * m + 1, 5126, vertices, "VEC3");
    addAccessor(4 * m + 2, 5126, vertices, "VEC2");
    addAccessor(4 * m + 3, 5123, indexCount, "SCALAR");
    const std::string n = std::to_string(m), a = std::to_string(4 * m);
    if (m) json += ',', nodes += ',', meshes += ',';
    json += n;
    nodes += R"({"name":"Grid)";
    nodes += n;
    nodes += R"(","mesh":)";
    nodes += n;
    nodes += '}';
    meshes += R"({"primitives":[{"attributes":{"POSITION":)";
    meshes += a;
    meshes += R"(,"NORMAL":)";
    meshes += std::to_string(4 * m + 1);
    meshes += R"(,"TEXCOORD_0":)";
    meshes += std::to_string(4 * m + 2);
    meshes += R"(},"indices":)";
    meshes += std::to_string(4 * m + 3);
    meshes += "}]}";
  }
  json += "]}],\"nodes\":[" + nodes + "],\"meshes\":[" + meshes + "],\"accessors\":[" + accessors +
          "],\"bufferViews\":[" + views +
          "],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]}";
  while (json.size() % 4) json += ' ';

  std::string glb;
  Put(glb, uint32_t{0x46546C67});
  Put(glb, uint32_t{2});
  Put(glb, static_cast<uint32_t>(12 + 8 + json.size() + 8 + bin.size()));
  Put(glb, static_cast<uint32_t>(json.size()));
  Put(glb, uint32_t{0x4E4F534A});
  glb += json;
  Put(glb, static_cast<uint32_t>(bin.size()));
  Put(glb, uint32_t{0x004E4942});
  glb += bin;
  std::ofstream(file, std::ios::binary) << glb;
  return file;
}

struct Run {
  double seconds = -1;
  long peakKilobytes = -1;
};

// Runs a program with its output discarded; its wall time and peak memory.
Run RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return {};
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), usage.ru_maxrss};
}

void BM_ImportAndExportMillionTriangles(benchmark::State& state) {
  const fs::path asset = WriteAsset();
  const fs::path folder = Folder();
  const fs::path kiln = fs::read_symlink("/proc/self/exe").parent_path() / "kiln";
  Run ours, theirs;
  for (auto _ : state) {
    ours =
        RunProgram({kiln.string(), "export", asset.string(), (folder / "million.zqs").string(),
                    "--quiet", "--ini", "overwrite", "--config-dir", (folder / "config").string()});
    theirs = RunProgram({"assimp", "export", asset.string(), (folder / "million.assbin").string()});
  }
  if (ours.seconds < 0) state.SkipWithError("kiln export failed (is kiln built beside this?)");
  if (theirs.seconds < 0) state.SkipWithError("assimp export failed (Debian: assimp-utils)");
  state.counters["kiln_s"] = ours.seconds;
  state.counters["kiln_peak_MB"] = ours.peakKilobytes / 1024.0;
  state.counters["assimp_s"] = theirs.seconds;
  state.counters["assimp_peak_MB"] = theirs.peakKilobytes / 1024.0;
  state.counters["time_ratio"] = ours.seconds / theirs.seconds;
  state.counters["peak_ratio"] = double(ours.peakKilobytes) / double(theirs.peakKilobytes);
}
BENCHMARK(BM_ImportAndExportMillionTriangles)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
