#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "geometry/MeshExporter.h"
#include "io/CZX9_DiskWriter.h"
#include "reader/ChunkFile.h"
#include "reader/Dump.h"
#include "reader/MeshChunks.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "util/TempFolder.h"

namespace kiln {
namespace {

// The bytes of a file holding one mesh chunk of a node named "Tri".
std::vector<uint8_t> OneMeshFile() {
  Mesh tri;
  tri.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  Face face;
  face.v[0] = 0, face.v[1] = 1, face.v[2] = 2;
  tri.faces = {face};
  standalone::SceneBuilder b;
  b.Node("Tri").Mesh(tri);
  auto scene = b.Build();
  testing::TempFolder folder;
  {
    CZX9_DiskWriter writer;
    writer.Open(folder.File("mesh.zqs").c_str());
    writer.WriteString("Pangolin scene marker!");
    MeshExporter exporter(scene->FindNode("Tri"), nullptr, nullptr);
    EXPECT_EQ(exporter.Export(&writer, nullptr), 1);
    writer.Close();
  }
  const std::string bytes = folder.Read("mesh.zqs");
  return {bytes.begin(), bytes.end()};
}

constexpr size_t kChunkStart = sizeof("Pangolin scene marker!");
// Payload offset of the vertex count: name "Tri", two handles, the object
// offset, the transform and the bounding box come first.
constexpr size_t kVertexCount = kChunkStart + 20 + 4 + 8 + 56 + 48 + 24;

void Put(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

std::string ReadErrorOf(std::vector<uint8_t> bytes) {
  try {
    reader::ParseChunkFile(std::move(bytes));
  } catch (const reader::ReadError& error) {
    return error.what();
  }
  return "no error";
}

TEST(MeshChunkReader, decodesAnExportedMeshAndDumpsIt) {
  const reader::ChunkFile file = reader::ParseChunkFile(OneMeshFile());
  ASSERT_EQ(file.chunks.size(), 1u);
  EXPECT_EQ(file.chunks[0].As<reader::MeshChunk>()->positions.size(), 3u);
  EXPECT_NE(reader::DumpText(file).find("faceBlocks"), std::string::npos);
}

TEST(MeshChunkReader, rejectsCutShortAndImplausiblePayloads) {
  std::vector<uint8_t> huge = OneMeshFile();
  Put(huge, kVertexCount, 0x7FFFFFFF);
  EXPECT_NE(ReadErrorOf(huge).find("vertex count 2147483647 needs"), std::string::npos)
      << ReadErrorOf(huge);

  std::vector<uint8_t> format = OneMeshFile();
  Put(format, kVertexCount + 4, 99);
  EXPECT_NE(ReadErrorOf(format).find("unknown vertex format 99"), std::string::npos);

  // A chunk that claims to end inside its index list.
  std::vector<uint8_t> cut = OneMeshFile();
  const size_t payloadEnd = kVertexCount + 8 + 3 * 24 + 4 + 6;
  Put(cut, kChunkStart + 16, static_cast<uint32_t>(payloadEnd - 2 - (kChunkStart + 20)));
  cut.resize(payloadEnd - 2);
  EXPECT_NE(ReadErrorOf(cut).find("face count 1 needs 6 bytes, only 4 left"), std::string::npos)
      << ReadErrorOf(cut);
}

}  // namespace
}  // namespace kiln
