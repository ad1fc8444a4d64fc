// Animation chunks and stream files from outside: malformed payloads are
// read errors naming the field; a stream that does not match its file gives
// notes, never a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "reader/AnimationChunks.h"
#include "reader/ChunkBytes.h"
#include "reader/ChunkFile.h"

namespace kiln::reader {
namespace {

using testing::Bytes;

void Put(Bytes& bytes, uint32_t value) {
  testing::AppendDWords(bytes, {value});
}
void PutFloat(Bytes& bytes, float value) {
  uint32_t raw;
  std::memcpy(&raw, &value, 4);
  Put(bytes, raw);
}

// A file of one track whose body is one chunk (type, subtype) with payload.
Bytes TrackFile(uint32_t type, uint32_t subtype, const Bytes& payload) {
  Bytes inner;
  for (uint32_t v : {12u, type, subtype, 1u, static_cast<uint32_t>(payload.size())}) Put(inner, v);
  inner.insert(inner.end(), payload.begin(), payload.end());
  const std::string banner = "Pangolin scene marker!";
  Bytes file(banner.c_str(), banner.c_str() + banner.size() + 1);
  for (uint32_t v : {12u, 6u, 21u, 1u, static_cast<uint32_t>(inner.size() + 2)}) Put(file, v);
  file.insert(file.end(), {'T', 0});
  file.insert(file.end(), inner.begin(), inner.end());
  return file;
}

// A sampled transform payload in the stream form: count, offset, matrix.
Bytes Streamed(uint32_t count, uint32_t offset, float first = 1) {
  Bytes payload;
  Put(payload, count);
  Put(payload, offset);
  for (int i = 0; i < 12; ++i) PutFloat(payload, first + static_cast<float>(i));
  return payload;
}

std::string ErrorOf(const Bytes& bytes) {
  try {
    ParseChunkFile(bytes);
  } catch (const ReadError& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(AnimationChunkRejects, payloadsThatDoNotHoldWhatTheyCount) {
  Bytes keys;
  for (uint32_t v : {0u, 0u, 1000000u}) Put(keys, v);
  Bytes negativeLinks;
  Put(negativeLinks, 0xFFFFFFFFu);
  Bytes sampled;
  Put(sampled, 3);
  PutFloat(sampled, 0);
  const struct {
    Bytes file;
    std::string message;
  } cases[] = {
      {TrackFile(13, 46, keys), "1000000 keys of 8 bytes do not fit in the 0 bytes left"},
      {TrackFile(7, 29, negativeLinks), "negative count -1 in field 'link count'"},
      {TrackFile(7, 33, sampled),
       "3 samples take 156 bytes inline or 52 streamed, but 4 bytes follow"},
      {TrackFile(12, 20, {'S', 0}), "payload ends inside field 'joint handle'"},
      {TrackFile(9, 30, Bytes(4, 0)), "payload ends inside field 'look-at setting'"},
  };
  for (const auto& c : cases) {
    const std::string error = ErrorOf(c.file);
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST(AnimationChunkRejects, streamsThatDoNotMatchTheirFileGiveNotes) {
  // Two streamed tracks of two samples: 104 bytes each in the stream.
  Bytes file = TrackFile(7, 33, Streamed(2, 0));
  const Bytes second = TrackFile(7, 33, Streamed(2, 104));
  file.insert(file.end(), second.begin() + 23, second.end());
  Bytes stream(208, 0);
  ChunkFile good = ParseChunkFile(file);
  AttachStream(good, stream);
  EXPECT_TRUE(good.notes.empty());
  EXPECT_TRUE(FindChunks(good, 7, 33)[1]->As<SampledTransform>()->samplesRead);

  const struct {
    size_t streamBytes;
    std::string note;
  } cases[] = {
      {150, "run past the end of the stream file (150 bytes)"},
      {300, "92 bytes of the stream file belong to no sampled transform"},
  };
  for (const auto& c : cases) {
    ChunkFile read = ParseChunkFile(file);
    AttachStream(read, Bytes(c.streamBytes, 0));
    ASSERT_FALSE(read.notes.empty());
    EXPECT_NE(read.notes.back().find(c.note), std::string::npos) << read.notes.back();
  }
  // An offset that skips bytes of the stream.
  Bytes skipping = TrackFile(7, 33, Streamed(2, 8));
  ChunkFile gap = ParseChunkFile(skipping);
  AttachStream(gap, Bytes(208, 0));
  EXPECT_NE(gap.notes.at(0).find("do not follow the previous track's (expected 0)"),
            std::string::npos);
  EXPECT_FALSE(FindChunks(gap, 7, 33)[0]->As<SampledTransform>()->samplesRead);

  // No samples at all: nothing to read, nothing to crash on.
  ChunkFile none = ParseChunkFile(TrackFile(7, 33, Streamed(0, 0)));
  AttachStream(none, Bytes(4, 0));
  EXPECT_TRUE(FindChunks(none, 7, 33)[0]->As<SampledTransform>()->samplesRead);

  // One sample reads alike inline and streamed: streamed only when the
  // stream repeats its matrix at the expected place.
  ChunkFile one = ParseChunkFile(TrackFile(7, 33, Streamed(1, 0, 0)));
  AttachStream(one, Bytes(52, 0));
  EXPECT_FALSE(FindChunks(one, 7, 33)[0]->As<SampledTransform>()->streamed);
}

}  // namespace
}  // namespace kiln::reader
