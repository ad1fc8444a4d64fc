#include <gtest/gtest.h>

#include <cstring>

#include "nodes/NodeExportSupport.h"

namespace kiln::testing {
namespace {

// Each node chunk of the example level, cut short by one float, is refused
// with the field that it ends in.
TEST(NodeChunkReader, cutPayloadsNameTheFieldTheyEndIn) {
  auto scene = standalone::LoadSceneFile(std::filesystem::path(KILN_SOURCE_DIR) / "examples" /
                                         "level.kscene.json");
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "level.zqs", true), 1);
  const reader::ChunkFile file = harness.Read("level.zqs");
  const std::pair<const char*, const char*> cases[] = {
      {"MainCamera", "target position"}, {"FlyCamera", "transform"}, {"Lamp", "attenuation range"},
      {"Spot", "hotspot and falloff"},   {"Sun", "far attenuation"}, {"bb_Trigger", "transform"},
  };
  for (auto [name, field] : cases) {
    SCOPED_TRACE(name);
    const reader::Chunk* chunk = NodeChunk(file, name);
    ASSERT_NE(chunk, nullptr);
    std::vector<uint8_t> cut(file.bytes.begin(), file.bytes.begin() + 23);
    cut.insert(cut.end(), file.bytes.begin() + static_cast<long>(chunk->offset),
               file.bytes.begin() + static_cast<long>(chunk->End() - 4));
    const uint32_t size = chunk->size - 4;
    std::memcpy(&cut[23 + 16], &size, 4);
    try {
      reader::ParseChunkFile(cut);
      ADD_FAILURE() << "accepted";
    } catch (const reader::ReadError& e) {
      EXPECT_NE(
          std::string(e.what()).find("payload ends inside field '" + std::string(field) + "'"),
          std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
}  // namespace kiln::testing
