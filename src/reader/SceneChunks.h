#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reader/ChunkFile.h"
#include "reader/PayloadCursor.h"

// Payloads of the chunks that frame a scene: user properties, the node
// hierarchy, the animation range, the human node list, plain node chunks and
// track chunks. Also the field groups that many node chunks share, for the
// decoders of other chunk families.
namespace kiln::reader {

// Three rows of (three rotation entries, translation).
using Matrix3x4 = std::array<float, 12>;

// Name, handle and parent handle (-1 under the scene root).
struct NodeHeader {
  std::string name;
  int32_t handle = 0;
  int32_t parent = -1;
};

// The 14-float object offset block. Rotations are an angle (radians) and an axis.
struct ObjectOffset {
  std::array<float, 3> translation{};
  std::array<float, 4> rotation{};
  std::array<float, 3> scale{};
  std::array<float, 4> stretchRotation{};
};

NodeHeader ReadNodeHeader(PayloadCursor& cursor);
ObjectOffset ReadObjectOffset(PayloadCursor& cursor);
// Adds the fields of the group to a dump object.
void AddFields(nlohmann::ordered_json& fields, const NodeHeader& header);
nlohmann::ordered_json ToFields(const ObjectOffset& offset);

// (14, 0, 1)
struct UserProperties final : Payload {
  struct Record {
    int32_t handle = 0;
    std::vector<std::pair<std::string, std::string>> pairs;  // key, value
  };
  std::vector<Record> records;

  std::string_view Kind() const override { return "user properties"; }
  nlohmann::ordered_json Fields() const override;
};

// (18, 0, 1): followed by one (19, ...) entry chunk per node.
struct Hierarchy final : Payload {
  uint32_t count = 0;

  std::string_view Kind() const override { return "hierarchy"; }
  nlohmann::ordered_json Fields() const override;
  void CheckChildren(const std::vector<Chunk>& children,
                     std::vector<std::string>& notes) const override;
};

// (19, subtype, 1); the subtype tells which transform controllers the node
// has: 47 position, rotation and scale, 48 no rotation, 49 no scale.
struct HierarchyEntry final : Payload {
  NodeHeader node;
  Matrix3x4 transform{};
  // 0 mesh, 1 skinned, 2 bone, 3 helper, 4 other.
  int32_t nodeType = 0;

  std::string_view Kind() const override { return "hierarchy entry"; }
  nlohmann::ordered_json Fields() const override;
};

// (20, 0, 1), in seconds.
struct AnimationRange final : Payload {
  float start = 0;
  float length = 0;

  std::string_view Kind() const override { return "animation range"; }
  nlohmann::ordered_json Fields() const override;
};

// (21, 0, 1): the number of nodes written, followed by their chunks.
struct HumanNodeList final : Payload {
  uint32_t count = 0;

  std::string_view Kind() const override { return "human node list"; }
  nlohmann::ordered_json Fields() const override;
};

// (22, 0, 1) default node and (3, 13, 1) dummy.
struct PlainNode final : Payload {
  enum class Variant { kDefault, kDummy };
  Variant variant = Variant::kDefault;
  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};

  std::string_view Kind() const override {
    return variant == Variant::kDummy ? "dummy" : "default node";
  }
  nlohmann::ordered_json Fields() const override;
};

// An empty (22, 0, 1) chunk: the body of an IK chain track that could not be written.
struct FailedIkChain final : Payload {
  std::string_view Kind() const override { return "IK chain not written"; }
  nlohmann::ordered_json Fields() const override;
};

// (6, 21, 1): the track name, then the track body chunks. Some requests give
// a track with neither.
struct Track final : Payload {
  std::optional<std::string> name;

  std::string_view Kind() const override { return "track"; }
  nlohmann::ordered_json Fields() const override;
};

}  // namespace kiln::reader
