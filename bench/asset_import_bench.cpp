// Import plus export of a one-million-triangle asset, beside the import
// library's own conversion of the same asset to its binary format.
//
//   asset_import_bench
//
// The benchmark writes a binary glTF file of 200 meshes of 5,000 triangles
// (2,601 vertices each, with normals and texture coordinates, so every mesh
// stays far under the exporter's 65,536 split vertices), then runs, one after
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

// One binary buffer shared by every mesh's accessors: each mesh is the same
// grid, placed by its own node.
fs::path WriteAsset() {
  const fs::path file = Folder() / "million.glb";
  if (fs::exists(file)) return file;
  const int side = kQuads + 1, vertices = side * side;
  std::string bin;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) Put(bin, std::array<float, 3>{x * 0.1f, 0.0f, y * 0.1f});
  const size_t normals = bin.size();
  for (int v = 0; v < vertices; ++v) Put(bin, std::array<float, 3>{0, 1, 0});
  const size_t uvs = bin.size();
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      Put(bin, std::array<float, 2>{x / float(kQuads), y / float(kQuads)});
  const size_t indices = bin.size();
  for (int y = 0; y < kQuads; ++y) {
    for (int x = 0; x < kQuads; ++x) {
      const uint16_t a = static_cast<uint16_t>(y * side + x), b = a + 1,
                     c = static_cast<uint16_t>(a + side), d = c + 1;
      for (uint16_t i : {a, c, b, b, c, d}) Put(bin, i);
    }
  }
  const size_t indexCount = size_t{kQuads} * kQuads * 6;
  while (bin.size() % 4) bin += '\0';

  auto view = [&](size_t offset, size_t length) {
    return "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
           ",\"byteLength\":" + std::to_string(length) + "}";
  };
  std::string json = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[)";
  for (int m = 0; m < kMeshes; ++m) json += (m ? "," : "") + std::to_string(m);
  json += "]}],\"nodes\":[";
  for (int m = 0; m < kMeshes; ++m) {
    json += (m ? "," : "") + std::string("{\"name\":\"Grid") + std::to_string(m) +
            "\",\"mesh\":" + std::to_string(m) + ",\"translation\":[" + std::to_string(m % 20 * 6) +
            ",0," + std::to_string(m / 20 * 6) + "]}";
  }
  json += "],\"meshes\":[";
  for (int m = 0; m < kMeshes; ++m) {
    json += (m ? "," : "") + std::string(R"({"primitives":[{"attributes":)") +
            R"({"POSITION":0,"NORMAL":1,"TEXCOORD_0":2},"indices":3}]})";
  }
  json += "],\"accessors\":[";
  json += R"({"bufferView":0,"componentType":5126,"count":)" + std::to_string(vertices) +
          R"(,"type":"VEC3","min":[0,0,0],"max":[5,0,5]},)";
  json += R"({"bufferView":1,"componentType":5126,"count":)" + std::to_string(vertices) +
          R"(,"type":"VEC3"},)";
  json += R"({"bufferView":2,"componentType":5126,"count":)" + std::to_string(vertices) +
          R"(,"type":"VEC2"},)";
  json += R"({"bufferView":3,"componentType":5123,"count":)" + std::to_string(indexCount) +
          R"(,"type":"SCALAR"}],)";
  json += "\"bufferViews\":[" + view(0, normals) + "," + view(normals, uvs - normals) + "," +
          view(uvs, indices - uvs) + "," + view(indices, indexCount * 2) + "],";
  json += "\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]}";
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
