#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reader/SceneChunks.h"

// Payloads of the animation chunks inside a track (6, 21, 1): transform,
// position, rotation, scale and float containers, key blocks, sampled
// transforms, IK chains, IK controllers and look-at constraints.
namespace kiln::reader {

// (7, 28, 1) and (7, 29, 1), (8, 26 or 31, 1), (9, 27 or 32, 1), (10, 0, 1),
// (11, 24, 1): containers whose chunks follow; a linked transform (7, 29)
// first lists its links.
struct TrackContainer final : Payload {
  struct Link {
    std::string parent;  // "__world_root__" for the world
    float time = 0;
  };
  ChunkId id;
  std::vector<Link> links;  // (7, 29) only

  std::string_view Kind() const override;
  nlohmann::ordered_json Fields() const override;
};

// (13, k, 1), k from 35 to 46: out-of-range codes and keys.
struct KeyBlock final : Payload {
  struct Field {
    const char* name;
    int floats;
  };
  uint32_t blockType = 0;
  int32_t before = 0, after = 0;
  // Per key its floats in file order, laid out as Layout(blockType) says.
  std::vector<std::vector<float>> keys;

  // The fields of one key record of a block type; empty for other types.
  static std::span<const Field> Layout(uint32_t blockType);
  // The floats of one field of key i ("time", "value", "inHandleX", ...).
  std::span<const float> Get(size_t i, std::string_view field) const;

  std::string_view Kind() const override;
  nlohmann::ordered_json Fields() const override;
};

// (7, 33, 1): samples inline (times, then matrices), or streamed: the stream
// offset and the first matrix here, the samples in the stream file. A
// one-sample chunk reads the same in both forms; it counts as inline until
// the stream file says otherwise (ReadChunkFile of a ".zqa").
struct SampledTransform final : Payload {
  uint32_t count = 0;
  uint32_t firstWord = 0;  // the first time, or the stream offset
  bool streamed = false;
  uint32_t streamOffset = 0;
  // Inline, or read from the stream: one time and one matrix per sample.
  std::vector<float> times;
  std::vector<Matrix3x4> matrices;
  bool samplesRead = true;  // false for a streamed chunk whose samples were not found

  std::string_view Kind() const override { return "sampled transform"; }
  nlohmann::ordered_json Fields() const override;
};

// (7, 34, 1)
struct IKControlled final : Payload {
  std::string chain;  // the last IK chain on the node, or "no chain found"

  std::string_view Kind() const override { return "IK-controlled transform"; }
  nlohmann::ordered_json Fields() const override;
};

// (12, 20, 1)
struct IKChain final : Payload {
  struct Joint {
    std::string name;
    int32_t handle = 0;
  };
  Joint chain, start, middle, end;
  float upperLength = 0, lowerLength = 0;

  std::string_view Kind() const override { return "IK chain"; }
  nlohmann::ordered_json Fields() const override;
};

// (9, 30, 1). Axes are written in output order: host x as 0, y as 2, z as 1.
struct LookAt final : Payload {
  struct Target {
    std::string name;
    float weight = 0;
  };
  std::vector<Target> targets;
  int32_t relative = 0, targetAxisFlip = 0, upnodeAxisFlip = 0, upnodeWorld = 0,
          viewlineAbsolute = 0;
  int32_t targetAxis = 0, upnodeAxis = 0, sourceAxis = 0, upnodeControl = 0;

  std::string_view Kind() const override { return "look-at constraint"; }
  nlohmann::ordered_json Fields() const override;
};

// Reads the samples of the streamed sampled transforms of an animation file
// from the bytes of its stream file, in file order, and settles the
// one-sample chunks: a chunk whose first word is the stream's next offset and
// whose matrix the stream repeats there is streamed. Problems become notes of
// the file; nothing throws.
void AttachStream(ChunkFile& file, std::span<const uint8_t> stream);

}  // namespace kiln::reader
