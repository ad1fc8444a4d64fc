// Throughput of the chunk writer on an export-sized file of small values,
// against the naive writer that makes one system call per value.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "io/CZX9_DiskWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr int64_t kFileBytes = 200 << 20;
constexpr uint32_t kValuesPerChunk = 4096;
constexpr uint32_t kChunksPerGroup = 16;

// A folder for the output beside the other temporary files (TMPDIR).
std::string OutputFolder() {
  fs::path folder = fs::temp_directory_path() / "kiln-writer-bench";
  fs::create_directories(folder);
  return folder.string();
}

// Groups of chunks of dwords, each group with a count patched in at its
// start, as the hierarchy and the node lists are written.
void BM_ChunkedWriter(benchmark::State& state) {
  std::string name = OutputFolder() + "/chunked.bin";
  const int64_t values = kFileBytes / 4;
  for (auto _ : state) {
    kiln::CZX9_DiskWriter writer;
    writer.Open(name.c_str());
    writer.WriteString("Pangolin scene marker!");
    int64_t written = 0;
    while (written < values) {
      writer.BeginChunk(21, 0, 1);
      uint32_t countPosition = writer.Tell();
      writer.WriteDWord(0);
      uint32_t chunks = 0;
      for (; chunks < kChunksPerGroup && written < values; ++chunks) {
        writer.BeginChunk(13, 43, 1);
        for (uint32_t i = 0; i < kValuesPerChunk; ++i) writer.WriteDWord(i);
        writer.EndChunk();
        written += kValuesPerChunk;
      }
      writer.PushPosition();
      writer.Seek(countPosition);
      writer.WriteDWord(chunks);
      writer.PopPosition();
      writer.EndChunk();
    }
    writer.Close();
  }
  state.SetBytesProcessed(state.iterations() * kFileBytes);
  fs::remove(name);
}
BENCHMARK(BM_ChunkedWriter)->Unit(benchmark::kMillisecond)->UseRealTime();

// One write() per value, at a size that keeps the run short.
void BM_OneSystemCallPerValue(benchmark::State& state) {
  std::string name = OutputFolder() + "/naive.bin";
  const int64_t values = state.range(0) / 4;
  for (auto _ : state) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) state.SkipWithError("cannot create the output file");
    for (int64_t i = 0; i < values; ++i) {
      uint32_t value = static_cast<uint32_t>(i);
      if (::write(fd, &value, sizeof value) != sizeof value) std::abort();
    }
    ::close(fd);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  fs::remove(name);
}
BENCHMARK(BM_OneSystemCallPerValue)->Arg(4 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
