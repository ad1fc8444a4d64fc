// libFuzzer target: whatever bytes the chunk reader accepts become an
// inspector page without a crash; a rejected file becomes a page that shows
// the error.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <vector>

#include "reader/ChunkFile.h"
#include "view/PageWriter.h"

namespace {

struct Discard : std::streambuf {
  int overflow(int c) override { return c; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kiln::view::PageInput input{"fuzz.zqs", size, nullptr, "", {}};
  kiln::reader::ChunkFile file;
  try {
    file = kiln::reader::ParseChunkFile(std::vector<uint8_t>(data, data + size));
    input.file = &file;
  } catch (const kiln::reader::ReadError& error) {
    input.error = error.what();
  }
  Discard sink;
  std::ostream out(&sink);
  kiln::view::WritePage(out, kiln::view::BuildPageModel(input), kiln::view::ThreeLibrary{});
  return 0;
}
