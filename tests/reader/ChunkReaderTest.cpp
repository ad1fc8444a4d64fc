#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/AnimationChunks.h"
#include "reader/ChunkFile.h"
#include "reader/Decoders.h"
#include "reader/Dump.h"
#include "reader/SampleFile.h"
#include "reader/SceneChunks.h"

namespace kiln::reader {
namespace {

using kiln::testing::TempFolder;
using kiln::testing::WriteSampleFile;

// Every decoded value of the sample is pinned by the dump below; this checks
// the lookups the tests rely on.
TEST(ChunkReader, decodedTreeAnswersLookups) {
  TempFolder folder;
  ChunkFile file = ParseChunkFile(WriteSampleFile(folder));
  ASSERT_EQ(file.chunks.size(), 9u);
  ASSERT_NE(file.chunks[0].As<UserProperties>(), nullptr);
  EXPECT_EQ(file.chunks[0].As<Hierarchy>(), nullptr);
  EXPECT_EQ(file.chunks[1].children[1].As<HierarchyEntry>()->node.name, "Bone01");
  const auto* keys = file.chunks[4].children[0].children[0].As<KeyBlock>();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->keys, (std::vector<std::vector<float>>{{0, 1, 2, 3}}));
  EXPECT_EQ(file.trailingOffset, file.chunks[8].End());
  EXPECT_EQ(file.trailingOffset + file.trailingBytes, file.bytes.size());
  EXPECT_EQ(FindChunks(file, 19).size(), 2u);
  EXPECT_EQ(FindChunks(file, 22, 0).size(), 3u);
}

TEST(ChunkReader, notesWhatIsOddButReadable) {
  TempFolder folder;
  CZX9_DiskWriter writer;
  std::string name = folder.File("odd.zqs");
  writer.Open(name.c_str());
  writer.WriteString("Other banner");
  writer.BeginChunk(18, 0, 1);
  writer.WriteDWord(3);  // but one entry and a stranger
  writer.BeginChunk(19, 47, 1);
  writer.WriteString("A");
  writer.WriteInt(1);
  writer.WriteInt(-1);
  kiln::testing::WriteFloats(writer, 0, 12);
  writer.WriteInt(4);
  writer.WriteInt(99);  // one field too many
  writer.EndChunk();
  writer.BeginChunk(20, 0, 1);
  writer.WriteFloat(0);
  writer.WriteFloat(1);
  writer.EndChunk();
  writer.EndChunk();
  writer.BeginChunk(14, 0, 1);  // undone last: its header stays behind
  writer.WriteInt(0);
  writer.UndoChunk();
  writer.Close();

  ChunkFile file = ReadChunkFile(name);
  EXPECT_EQ(file.notes, (std::vector<std::string>{
                            "unexpected banner \"Other banner\"",
                            "24 trailing bytes at offset 151 after the last chunk (an unfinished "
                            "chunk)"}));
  ASSERT_EQ(file.chunks.size(), 1u);
  EXPECT_EQ(file.chunks[0].notes,
            (std::vector<std::string>{"chunk (20, 0, 1) at offset 123 is no hierarchy entry",
                                      "count is 3 but the chunk holds 1 entries"}));
  EXPECT_EQ(file.chunks[0].children[0].notes,
            std::vector<std::string>{"4 bytes after the decoded fields"});
  EXPECT_EQ(file.chunks[0].children[0].UndecodedBytes(), 4u);
}

TEST(ChunkDump, textShowsTheTreeWithOffsetsAndFields) {
  TempFolder folder;
  ChunkFile file = ParseChunkFile(WriteSampleFile(folder));
  // Pinned whole: the dump command shows exactly this.
  EXPECT_EQ(DumpText(file), R"(file: 1006 bytes
banner: "Pangolin scene marker!"
! 48 trailing bytes at offset 958 after the last chunk
@23 (14, 0, 1) user properties, size 41
  records:
    - handle: 5
      pairs:
        - key: "mass"
          value: " 12"
        - key: "name"
          value: "Car 1\r"
    - handle: 9
      pairs: []
@84 (18, 0, 1) hierarchy, size 177
  count: 2
  @108 (19, 47, 1) hierarchy entry, size 66
    name: "Box01"
    handle: 1
    parent: -1
    transform: [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]
    nodeType: 0
    nodeTypeName: "mesh"
  @194 (19, 49, 1) hierarchy entry, size 67
    name: "Bone01"
    handle: 2
    parent: 1
    transform: [100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111]
    nodeType: 2
    nodeTypeName: "bone"
@281 (20, 0, 1) animation range, size 8
  start: 0.5
  length: 3.25
@309 (21, 0, 1) human node list, size 291
  count: 2
  @333 (22, 0, 1) default node, size 121
    name: "Camera01"
    handle: 3
    parent: -1
    objectOffset:
      translation: [10, 11, 12]
      rotation: [13, 14, 15, 16]
      scale: [17, 18, 19]
      stretchRotation: [20, 21, 22, 23]
    transform: [30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41]
  @474 (3, 13, 1) dummy, size 126
    name: "p_CenterOfCar"
    handle: 4
    parent: 3
    objectOffset:
      translation: [50, 51, 52]
      rotation: [53, 54, 55, 56]
      scale: [57, 58, 59]
      stretchRotation: [60, 61, 62, 63]
    transform: [70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81]
@620 (6, 21, 1) track, size 79
  name: "Box01::POS"
  @651 (8, 26, 1) position, size 48
    @671 (13, 43, 1) linear position keys, size 28
      before: 0
      after: 0
      count: 1
      keys:
        - time: 0
          value: [1, 2, 3]
@719 (6, 21, 1) track, size 0
@739 (6, 21, 1) track, size 36
  name: "Chain::IK_CHAIN"
  @775 (22, 0, 1) IK chain not written, size 0
@795 (20, 0, 2), size 4
  ! version 2, expected 1: payload not decoded
  undecoded: 4 bytes at offset 815: 00 00 80 3f
@819 (22, 0, 1) default node, size 119
  name: "Broken"
  handle: 7
  parent: -1
  objectOffset:
    translation: [0, 1, 2]
    rotation: [3, 4, 5, 6]
    scale: [7, 8, 9]
    stretchRotation: [10, 11, 12, 13]
  transform: [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11]
trailing bytes: 48 at offset 958
)");
}

TEST(ChunkDump, jsonCarriesTheSameTreeAsValidUtf8) {
  TempFolder folder;
  ChunkFile file = ParseChunkFile(WriteSampleFile(folder));
  auto latin1 = std::make_shared<UserProperties>();
  latin1->records.push_back({1, {{"caf\xE9", "\xFF"}}});
  file.chunks[0].decoded = latin1;
  nlohmann::json json = DumpJson(file);
  EXPECT_EQ(json["banner"], "Pangolin scene marker!");
  EXPECT_EQ(json["chunks"].size(), 9u);
  EXPECT_EQ(json["chunks"][0]["fields"]["records"][0]["pairs"][0]["key"], "caf\xC3\xA9");
  EXPECT_EQ(json["chunks"][0]["fields"]["records"][0]["pairs"][0]["value"], "\xC3\xBF");
  const auto& entry = json["chunks"][1]["children"][1];
  EXPECT_EQ(entry["id"], nlohmann::json({19, 49, 1}));
  EXPECT_EQ(entry["kind"], "hierarchy entry");
  EXPECT_EQ(entry["fields"]["name"], "Bone01");
  EXPECT_EQ(entry["fields"]["transform"][11], 111.0);
  EXPECT_EQ(json["chunks"][4]["children"][0]["children"][0]["fields"]["keys"][0]["value"][2], 3.0);
  EXPECT_EQ(json["trailing"]["size"], 48);
  EXPECT_NO_THROW((void)json.dump());
}

}  // namespace
}  // namespace kiln::reader
