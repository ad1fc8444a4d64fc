// Profile-file writing: documents kept in memory and written once per export,
// against reading and rewriting the file on every call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProfileFile.h"

namespace {

constexpr int kKeysPerSection = 10;

struct Entry {
  std::string section, key, value;
};

// Entries of a .ini file as an export writes them: every key of a section in turn.
std::vector<Entry> Entries(int count) {
  std::vector<Entry> entries;
  char text[64];
  for (int i = 0; i < count; ++i) {
    Entry entry;
    std::snprintf(text, sizeof text, "Camera%04d", i / kKeysPerSection);
    entry.section = text;
    std::snprintf(text, sizeof text, "FaceBlock%d_Shader", i % kKeysPerSection);
    entry.key = text;
    std::snprintf(text, sizeof text, "%f %f %f", i * 0.5, i * 0.25, -i * 1.0);
    entry.value = text;
    entries.push_back(std::move(entry));
  }
  return entries;
}

class ScratchFile {
 public:
  ScratchFile() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kiln-profile-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    path_ = (folder_ / "scene.ini").string();
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const char* Path() const { return path_.c_str(); }
  void Remove() const { std::remove(path_.c_str()); }

 private:
  std::filesystem::path folder_;
  std::string path_;
};

// Writes every entry into a fresh file, flushing after each call or once at the end.
void WriteAll(benchmark::State& state, bool flushEachCall) {
  const std::vector<Entry> entries = Entries(static_cast<int>(state.range(0)));
  ScratchFile file;
  for (auto _ : state) {
    file.Remove();
    for (const Entry& e : entries) {
      kiln::platform::WritePrivateProfileStringA(e.section.c_str(), e.key.c_str(), e.value.c_str(),
                                                 file.Path());
      if (flushEachCall) kiln::platform::FlushProfileFiles();
    }
    if (!kiln::platform::FlushProfileFiles()) state.SkipWithError("flush failed");
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries.size()));
}

void BM_ProfileInMemoryFlushedOnce(benchmark::State& state) {
  WriteAll(state, false);
}
BENCHMARK(BM_ProfileInMemoryFlushedOnce)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The naive method: every call reads the file and writes it back.
void BM_ProfileRewrittenPerCall(benchmark::State& state) {
  WriteAll(state, true);
}
BENCHMARK(BM_ProfileRewrittenPerCall)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
