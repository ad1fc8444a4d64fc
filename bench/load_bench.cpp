// Scene files load, and export, in time linear in their size; `kiln dump
// --json` needs memory linear in the file's size.
//
//   load_bench                    every benchmark
//   load_bench --benchmark_filter=Load
//
// Each loading and export benchmark runs at two sizes: nodes or faces a
// second (items_per_second) stay about the same from the smaller to the larger
// when the work is linear. The dump benchmark runs the kiln program beside
// this one on a file of chunks nested 64 deep and reports its peak resident
// memory against the file's size (peak_per_file_byte), also less the memory of
// dumping an empty file (above_empty_per_file_byte).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "plugin/KilnExporter.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneInterface.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder() {
  fs::path folder = fs::temp_directory_path() / "kiln-load-bench";
  fs::create_directories(folder);
  return folder;
}

// ---- kiln dump --json ----
// Registered first: the peak of a forked child counts the pages it shared with
// this process before the exec, which are few while nothing was loaded yet.

void PutChunkHeader(std::string& out, uint32_t type, uint32_t size) {
  const uint32_t header[5] = {12, type, 0, 1, size};
  out.append(reinterpret_cast<const char*>(header), sizeof header);
}

// Chains of 64 unknown chunks, each holding the next, filling about megabytes.
fs::path NestedChunkFile(int64_t megabytes) {
  std::string chain;
  for (int level = 0; level < 64; ++level) {
    std::string outer;
    PutChunkHeader(outer, 99, static_cast<uint32_t>(chain.size()));
    chain = outer + chain;
  }
  const fs::path file = Folder() / ("nested-" + std::to_string(megabytes) + ".zqs");
  std::ofstream out(file, std::ios::binary);
  out << "Pangolin scene marker!" << '\0';
  for (int64_t written = 0; written < megabytes << 20; written += chain.size()) out << chain;
  return file;
}

// Peak resident kilobytes of `kiln dump --json file`, its output discarded.
long DumpPeakKilobytes(const fs::path& file) {
  const fs::path kiln = fs::read_symlink("/proc/self/exe").parent_path() / "kiln";
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execl(kiln.c_str(), "kiln", "dump", "--json", file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

void BM_DumpJsonNestedChunks(benchmark::State& state) {
  const fs::path file = NestedChunkFile(state.range(0));
  const fs::path empty = Folder() / "empty.zqs";
  std::ofstream(empty, std::ios::binary) << "Pangolin scene marker!" << '\0';
  const double fileBytes = static_cast<double>(fs::file_size(file));
  long peak = 0, baseline = DumpPeakKilobytes(empty);
  for (auto _ : state) peak = DumpPeakKilobytes(file);
  if (peak < 0 || baseline < 0)
    state.SkipWithError("kiln dump failed (is kiln built beside this?)");
  state.counters["file_MB"] = fileBytes / (1 << 20);
  state.counters["peak_MB"] = static_cast<double>(peak) / 1024;
  state.counters["peak_per_file_byte"] = static_cast<double>(peak) * 1024 / fileBytes;
  state.counters["above_empty_per_file_byte"] =
      static_cast<double>(peak - baseline) * 1024 / fileBytes;
}
BENCHMARK(BM_DumpJsonNestedChunks)->Arg(8)->Arg(32)->Iterations(1)->Unit(benchmark::kSecond);

// ---- loading and export ----

// A flat list: every node under the root.
std::string FlatNodes(int64_t count) {
  std::string text = R"({"format": "kscene", "version": 1, "nodes": [)";
  for (int64_t i = 1; i <= count; ++i) {
    text += i == 1 ? "\n" : ",\n";
    text += R"({"name": "N)" + std::to_string(i) + R"(", "handle": )" + std::to_string(i) + "}";
  }
  return text + "]}";
}

// One mesh: a strip of faces written as an array of face objects.
std::string FaceObjects(int64_t faces) {
  std::string text = R"({"format": "kscene", "version": 1, "nodes": [{"name": "M", "handle": 1,
    "mesh": {"verts": [)";
  for (int64_t v = 0; v < faces + 2; ++v) {
    text += v ? ", " : "";
    text += "[" + std::to_string(v / 2) + ", " + std::to_string(v % 2) + ", 0]";
  }
  text += R"(], "faces": [)";
  for (int64_t f = 0; f < faces; ++f) {
    text += f ? ",\n" : "\n";
    text += R"({"v": [)" + std::to_string(f) + ", " + std::to_string(f + 1) + ", " +
            std::to_string(f + 2) + R"(], "smGroup": 1, "matId": )" + std::to_string(f % 4) + "}";
  }
  return text + "]}}]}";
}

void Load(benchmark::State& state, std::string (*make)(int64_t)) {
  const std::string text = make(state.range(0));
  for (auto _ : state) {
    auto scene = kiln::standalone::ReadSceneText(text, "bench.kscene.json");
    benchmark::DoNotOptimize(scene.get());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// Load and export through the exporter's entry point, as kiln does.
void LoadAndExport(benchmark::State& state, std::string (*make)(int64_t)) {
  const std::string text = make(state.range(0));
  kiln::platform::SetMessageHandler(
      [](const kiln::platform::MessageRequest&) { return kiln::platform::IDOK; });
  const fs::path folder = Folder();
  const std::string output = (folder / "bench.zqs").string();
  for (auto _ : state) {
    auto scene = kiln::standalone::ReadSceneText(text, "bench.kscene.json");
    scene->pluginConfigDir = folder;
    kiln::standalone::SceneInterface ip(*scene);
    kiln::standalone::TransformsHeldStill held(*scene);
    kiln::KilnExporter exporter;
    if (exporter.DoExport(output.c_str(), nullptr, &ip, 1, 0) != 1) state.SkipWithError("export");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadFlatNodes(benchmark::State& state) {
  Load(state, FlatNodes);
}
void BM_LoadFaceObjects(benchmark::State& state) {
  Load(state, FaceObjects);
}
void BM_ExportFlatNodes(benchmark::State& state) {
  LoadAndExport(state, FlatNodes);
}
void BM_ExportFaceObjects(benchmark::State& state) {
  LoadAndExport(state, FaceObjects);
}
BENCHMARK(BM_LoadFlatNodes)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFaceObjects)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportFlatNodes)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportFaceObjects)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
