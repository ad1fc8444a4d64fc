// libFuzzer target: an animation file and its stream file, split at the
// position the first byte gives (as a share of the input), are read as the
// reader reads a ".zqa" beside its ".str": they parse or give a ReadError,
// and the stream attaches with notes at worst.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "reader/AnimationChunks.h"
#include "reader/ChunkFile.h"
#include "reader/Dump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t split = 1 + (size - 1) * data[0] / 256;
  try {
    kiln::reader::ChunkFile file =
        kiln::reader::ParseChunkFile(std::vector<uint8_t>(data + 1, data + split));
    kiln::reader::AttachStream(file, std::span<const uint8_t>(data + split, size - split));
    (void)kiln::reader::DumpText(file);
    (void)kiln::reader::DumpJson(file).dump();
  } catch (const kiln::reader::ReadError&) {
  }
  return 0;
}
