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

std::array<float, 12> Sequence12(float first) {
  std::array<float, 12> values;
  for (int i = 0; i < 12; ++i) values[i] = first + static_cast<float>(i);
  return values;
}

TEST(ChunkReader, decodesEveryChunkKindTheWriterProduced) {
  TempFolder folder;
  ChunkFile file = ParseChunkFile(WriteSampleFile(folder));
  EXPECT_EQ(file.banner, "Pangolin scene marker!");
  ASSERT_EQ(file.chunks.size(), 9u);
  EXPECT_EQ(file.chunks[0].offset, 23u);

  const auto* properties = file.chunks[0].As<UserProperties>();
  ASSERT_NE(properties, nullptr);
  ASSERT_EQ(properties->records.size(), 2u);
  EXPECT_EQ(properties->records[0].handle, 5);
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(properties->records[0].pairs, (Pairs{{"mass", " 12"}, {"name", "Car 1\r"}}));
  EXPECT_EQ(properties->records[1].handle, 9);
  EXPECT_TRUE(properties->records[1].pairs.empty());

  const Chunk& hierarchy = file.chunks[1];
  ASSERT_NE(hierarchy.As<Hierarchy>(), nullptr);
  EXPECT_EQ(hierarchy.As<Hierarchy>()->count, 2u);
  EXPECT_TRUE(hierarchy.notes.empty());
  ASSERT_EQ(hierarchy.children.size(), 2u);
  const auto* bone = hierarchy.children[1].As<HierarchyEntry>();
  ASSERT_NE(bone, nullptr);
  EXPECT_EQ(hierarchy.children[1].id, (ChunkId{19, 49, 1}));
  EXPECT_EQ(bone->node.name, "Bone01");
  EXPECT_EQ(bone->node.handle, 2);
  EXPECT_EQ(bone->node.parent, 1);
  EXPECT_EQ(bone->transform, Sequence12(100));
  EXPECT_EQ(bone->nodeType, 2);
  EXPECT_EQ(hierarchy.children[0].As<HierarchyEntry>()->node.parent, -1);

  const auto* range = file.chunks[2].As<AnimationRange>();
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->start, 0.5f);
  EXPECT_EQ(range->length, 3.25f);

  const Chunk& humans = file.chunks[3];
  EXPECT_EQ(humans.As<HumanNodeList>()->count, 2u);
  ASSERT_EQ(humans.children.size(), 2u);
  const auto* camera = humans.children[0].As<PlainNode>();
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(camera->Kind(), "default node");
  EXPECT_EQ(camera->node.name, "Camera01");
  EXPECT_EQ(camera->objectOffset.translation, (std::array<float, 3>{10, 11, 12}));
  EXPECT_EQ(camera->objectOffset.stretchRotation, (std::array<float, 4>{20, 21, 22, 23}));
  EXPECT_EQ(camera->transform, Sequence12(30));
  const auto* dummy = humans.children[1].As<PlainNode>();
  ASSERT_NE(dummy, nullptr);
  EXPECT_EQ(dummy->Kind(), "dummy");
  EXPECT_EQ(dummy->node.parent, 3);
  EXPECT_EQ(dummy->objectOffset.scale, (std::array<float, 3>{57, 58, 59}));

  const Chunk& position = file.chunks[4];
  EXPECT_EQ(position.As<Track>()->name, "Box01::POS");
  ASSERT_EQ(position.children.size(), 1u);
  EXPECT_EQ(position.children[0].As<TrackContainer>()->Kind(), "position");
  ASSERT_EQ(position.children[0].children.size(), 1u);
  const auto* keys = position.children[0].children[0].As<KeyBlock>();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->keys, (std::vector<std::vector<float>>{{0, 1, 2, 3}}));

  EXPECT_FALSE(file.chunks[5].As<Track>()->name.has_value());
  EXPECT_TRUE(file.chunks[5].children.empty());
  ASSERT_EQ(file.chunks[6].children.size(), 1u);
  EXPECT_NE(file.chunks[6].children[0].As<FailedIkChain>(), nullptr);

  EXPECT_EQ(file.chunks[7].decoded, nullptr);
  EXPECT_EQ(file.chunks[7].notes,
            std::vector<std::string>{"version 2, expected 1: payload not decoded"});
  EXPECT_EQ(file.chunks[7].UndecodedBytes(), 4u);

  // The undone mesh chunk's tail is reported, not taken for a broken chunk.
  EXPECT_EQ(file.chunks[8].As<PlainNode>()->node.name, "Broken");
  EXPECT_EQ(file.trailingOffset, file.chunks[8].End());
  EXPECT_EQ(file.trailingBytes, 187u - 139u);
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

// A family of chunks added by its own registration function.
struct Shadow final : Payload {
  int32_t faces = 0;
  std::string_view Kind() const override { return "shadow mesh"; }
  nlohmann::ordered_json Fields() const override { return {{"faces", faces}}; }
};

TEST(ChunkReader, moreDecodersPlugIntoARegistry) {
  DecoderRegistry registry;
  registry.Add(99, 0, {Body::kNothing, [](PayloadCursor& cursor) -> std::shared_ptr<const Payload> {
                         auto shadow = std::make_shared<Shadow>();
                         shadow->faces = cursor.Int("face count");
                         return shadow;
                       }});
  EXPECT_THROW(registry.Add(99, 0, {Body::kNothing, registry.Find(99, 0)->decode}),
               std::logic_error);
  std::vector<uint8_t> bytes = {'b', 0, 12, 0, 0, 0, 99, 0, 0, 0, 0, 0, 0,
                                0,   1, 0,  0, 0, 4, 0,  0, 0, 6, 0, 0, 0};
  ChunkFile file = ParseChunkFile(bytes, registry);
  ASSERT_NE(file.chunks.at(0).As<Shadow>(), nullptr);
  EXPECT_EQ(file.chunks[0].As<Shadow>()->faces, 6);
  EXPECT_EQ(ParseChunkFile(bytes).chunks.at(0).decoded, nullptr);
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
