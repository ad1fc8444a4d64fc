// libFuzzer target: any bytes given to the chunk file reader parse or give a
// ReadError, and whatever parses can be dumped.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "reader/ChunkFile.h"
#include "reader/Dump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    kiln::reader::ChunkFile file =
        kiln::reader::ParseChunkFile(std::vector<uint8_t>(data, data + size));
    (void)kiln::reader::DumpText(file);
    (void)kiln::reader::DumpJson(file).dump();
  } catch (const kiln::reader::ReadError&) {
  }
  return 0;
}
