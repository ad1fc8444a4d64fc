#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "reader/ChunkBytes.h"
#include "reader/ChunkFile.h"
#include "reader/Dump.h"
#include "reader/SampleFile.h"

namespace kiln::reader {
namespace {

using testing::Bytes;
constexpr auto Append = testing::AppendDWords;

Bytes Banner() {
  return {'B', 0};
}

struct Rejection {
  uint64_t offset;
  std::string message;
};

Rejection RejectionOf(Bytes bytes) {
  try {
    ParseChunkFile(std::move(bytes));
  } catch (const ReadError& error) {
    return {error.Offset(), error.what()};
  }
  return {0, "(accepted)"};
}

TEST(ChunkReaderRejects, filesWithoutBannerOrWholeHeaders) {
  Rejection empty = RejectionOf({});
  EXPECT_EQ(empty.message, "offset 0: file too short: it is empty, expected the banner string");
  EXPECT_EQ(RejectionOf({'P', 'a', 'n'}).message,
            "offset 0: missing banner: the file does not start with a zero-terminated string");

  Bytes truncatedHeader = Banner();
  Append(truncatedHeader, {12, 20, 0});
  Rejection header = RejectionOf(truncatedHeader);
  EXPECT_EQ(header.offset, 2u);
  EXPECT_EQ(header.message,
            "offset 2: truncated chunk header: 12 bytes left before the end of the file, a "
            "header needs 20");

  Bytes wrongIdLength = Banner();
  Append(wrongIdLength, {8, 20, 0, 0, 0});
  EXPECT_EQ(RejectionOf(wrongIdLength).message,
            "offset 2: wrong chunk id length 8 (chunk ids are 12 bytes)");
}

TEST(ChunkReaderRejects, chunksThatDoNotFitOrPayloadsThatEndEarly) {
  kiln::testing::TempFolder folder;
  Bytes sample = kiln::testing::WriteSampleFile(folder);
  ChunkFile good = ParseChunkFile(sample);
  const Chunk& humans = good.chunks[3];

  // The file cut inside its last chunk.
  Bytes cut(sample.begin(), sample.begin() + static_cast<long>(humans.End() - 10));
  Rejection truncated = RejectionOf(cut);
  EXPECT_EQ(truncated.offset, humans.offset);
  EXPECT_EQ(truncated.message,
            "offset 309: chunk (21, 0, 1) has size 291, past the end of the "
            "file (281 bytes left)");

  // A nested chunk claiming more than its parent holds.
  Bytes pastParent = sample;
  const Chunk& camera = humans.children[0];
  uint32_t tooBig = camera.size + 200;
  std::memcpy(&pastParent[camera.offset + 16], &tooBig, 4);
  EXPECT_EQ(RejectionOf(pastParent).message,
            "offset 333: chunk (22, 0, 1) has size 321, past the end of its parent (267 bytes "
            "left)");

  // A nested header with the wrong id length.
  Bytes nestedId = sample;
  nestedId[camera.offset] = 11;
  EXPECT_EQ(RejectionOf(nestedId).message,
            "offset 333: wrong chunk id length 11 (chunk ids are 12 bytes)");

  // An animation range with one float.
  Bytes shortRange = Banner();
  Append(shortRange, {12, 20, 0, 1, 4, 0});
  Rejection range = RejectionOf(shortRange);
  EXPECT_EQ(range.offset, 2u + 20 + 4);
  EXPECT_EQ(range.message,
            "offset 26: chunk (20, 0, 1) (starts at 2): payload ends inside field "
            "'length' (needs 4 bytes, 0 left)");

  // A node name that runs to the end of its payload.
  Bytes unterminated = Banner();
  Append(unterminated, {12, 22, 0, 1, 4, 0x41414141});
  EXPECT_EQ(RejectionOf(unterminated).message,
            "offset 22: chunk (22, 0, 1) (starts at 2): string 'name' has no terminating zero "
            "before the end of the payload (4 bytes left)");

  // A negative record count.
  Bytes negative = Banner();
  Append(negative, {12, 14, 0, 1, 4, 0xFFFFFFFF});
  EXPECT_EQ(RejectionOf(negative).message,
            "offset 22: chunk (14, 0, 1) (starts at 2): negative count -1 in field 'record count'");

  // Chunks nested without end: tracks (each with an empty name), and unknown
  // chunks, whose payloads are only tried as chunks.
  for (bool track : {true, false}) {
    const uint32_t header = track ? 21 : 20;
    Bytes deep;
    for (int level = 0; level < 100; ++level) {
      Bytes outer;
      Append(outer, {12, track ? 6u : 99u, track ? 21u : 0u, 1,
                     static_cast<uint32_t>(header - 20 + deep.size())});
      if (track) outer.push_back(0);
      outer.insert(outer.end(), deep.begin(), deep.end());
      deep = std::move(outer);
    }
    deep.insert(deep.begin(), {'B', 0});
    Rejection tooDeep = RejectionOf(deep);
    EXPECT_EQ(tooDeep.offset, 2u + 65 * header);
    EXPECT_EQ(tooDeep.message, "offset " + std::to_string(2 + 65 * header) +
                                   ": chunks nested deeper than 64 levels");
  }

  EXPECT_THROW(ReadChunkFile(folder.File("missing.zqs")), ReadError);
  EXPECT_THROW(ReadChunkFile(folder.Path().string()), ReadError);
}

TEST(ChunkReaderRejects, unknownPayloadThatIsNotChunksStaysRaw) {
  Bytes bytes = Banner();
  // Unknown (99, 0, 1) whose payload starts like a chunk but runs past it.
  Append(bytes, {12, 99, 0, 1, 20, 12, 1, 2, 3, 500});
  ChunkFile file = ParseChunkFile(bytes);
  ASSERT_EQ(file.chunks.size(), 1u);
  EXPECT_TRUE(file.chunks[0].children.empty());
  EXPECT_EQ(file.chunks[0].UndecodedBytes(), 20u);
  EXPECT_TRUE(file.chunks[0].notes.empty());

  Append(bytes, {12, 99, 0, 3, 0});
  EXPECT_EQ(ParseChunkFile(bytes).chunks.at(1).notes,
            std::vector<std::string>{"version 3, expected 1"});
}

// Every mutation of a valid file either parses or is a ReadError, and what
// parses can be dumped.
TEST(ChunkReaderRejects, randomMutationsNeverCrash) {
  kiln::testing::TempFolder folder;
  const Bytes sample = kiln::testing::WriteSampleFile(folder);
  std::mt19937 random(2024);
  const uint32_t interesting[] = {0, 1, 12, 20, 0xBABEFACE, 0x7FFFFFFF, 0xFFFFFFFF, 0x80000000};
  int parsed = 0;
  for (int round = 0; round < 2000; ++round) {
    Bytes bytes = sample;
    int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits; ++edit) {
      size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0:
          bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
          break;
        case 1:
          bytes[at] = static_cast<uint8_t>(random());
          break;
        case 2:
          if (at + 4 <= bytes.size())
            std::memcpy(&bytes[at], &interesting[random() % std::size(interesting)], 4);
          break;
        default:
          bytes.resize(at);
          break;
      }
      if (bytes.empty()) break;
    }
    try {
      ChunkFile file = ParseChunkFile(std::move(bytes));
      if (++parsed % 8 == 0) {  // the dumps cost more than the parse: sample them
        (void)DumpText(file);
        (void)DumpJson(file).dump();
      }
    } catch (const ReadError&) {
    }
  }
  EXPECT_GT(parsed, 100);  // the loop reaches the decoders, not only the header checks
}

}  // namespace
}  // namespace kiln::reader
