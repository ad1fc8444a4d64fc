// Collision records and damage meshes that the reader must refuse: a clear
// error at the field, never a crash or a count that sizes memory.
#include <gtest/gtest.h>

#include <cstring>

#include "reader/ChunkBytes.h"
#include "reader/ChunkFile.h"

namespace kiln::reader {
namespace {

using testing::Bytes;
constexpr auto Put = testing::AppendDWords;

// A file of one chunk: the banner, the chunk's header, then payload.
Bytes File(uint32_t type, uint32_t subtype, const Bytes& payload) {
  Bytes bytes{'B', 0};
  Put(bytes, {12, type, subtype, 1, uint32_t(payload.size())});
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

// Node "n", handle 1, parent -1, then the object offset and transform (26 floats).
Bytes NodeHead() {
  Bytes b{'n', 0};
  Put(b, {1, 0xFFFFFFFF});
  b.resize(b.size() + 26 * 4);
  return b;
}

std::string ErrorOf(const Bytes& file) {
  try {
    ParseChunkFile(Bytes(file));
  } catch (const ReadError& error) {
    return error.what();
  }
  return "(accepted)";
}

TEST(CollisionReader, refusesCountsPastThePayloadAndCutRecords) {
  // An empty plain mesh: head, bounding box, no vertices, format 3, no faces or blocks.
  Bytes mesh = NodeHead();
  mesh.resize(mesh.size() + 6 * 4);
  Put(mesh, {0, 3, 0, 0});
  Bytes zonesTooMany = mesh, entriesTooMany = mesh, cutEntry = mesh;
  Put(zonesTooMany, {300, 0});
  Put(entriesTooMany, {1, 1000000});
  Put(cutEntry, {1, 1, 7});
  Bytes damage = NodeHead();
  Bytes verticesTooMany = damage, cutMaps = damage;
  Put(verticesTooMany, {0x40000000});
  Put(cutMaps, {0, 0, 0});
  cutMaps.push_back(1);  // maps flag, then nothing
  const std::pair<Bytes, std::string> cases[] = {
      {File(0, 1, zonesTooMany), "zone count 300 needs 1200 bytes, only 4 left"},
      {File(0, 1, entriesTooMany), "zone entry count 1000000 needs 8000000 bytes"},
      {File(0, 1, cutEntry), "zone entry count 1 needs 8 bytes, only 4 left"},
      {File(16, 0, verticesTooMany), "vertex count 1073741824 needs"},
      {File(16, 0, cutMaps), "'texture file name'"},
  };
  for (const auto& [file, message] : cases)
    EXPECT_NE(ErrorOf(file).find(message), std::string::npos) << ErrorOf(file);

  // Whole records decode: a mesh with zone count 0, a damage mesh without maps.
  Bytes none = mesh, plain = damage;
  Put(none, {0});
  Put(plain, {0, 0, 0});
  plain.push_back(0);
  const ChunkFile meshFile = ParseChunkFile(File(0, 1, none));
  EXPECT_EQ(meshFile.chunks.at(0).UndecodedBytes(), 0u);
  const ChunkFile damageFile = ParseChunkFile(File(16, 0, plain));
  EXPECT_EQ(damageFile.chunks.at(0).UndecodedBytes(), 0u);
}

}  // namespace
}  // namespace kiln::reader
