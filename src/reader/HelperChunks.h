#pragma once
#include "reader/SceneChunks.h"

// Payloads of the helper node chunks: bones (3, 14, 1), box helpers
// (3, 16, 1) and IK chain objects (4, 0, 1).
namespace kiln::reader {

// (3, 14, 1): the node's object transform relative to its parent's at time 0.
struct BoneNode final : Payload {
  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};

  std::string_view Kind() const override { return "bone"; }
  nlohmann::ordered_json Fields() const override;
};

// (3, 16, 1): the box of a "bb_" node in its object-offset space.
struct BoxHelperNode final : Payload {
  NodeHeader node;
  std::array<float, 3> centre{};
  std::array<float, 3> cornerOffset{};  // the lowest corner less the centre
  Matrix3x4 transform{};

  std::string_view Kind() const override { return "box helper"; }
  nlohmann::ordered_json Fields() const override;
};

// (4, 0, 1): the node transform relative to the parent's at the range start.
struct IKChainObjectNode final : Payload {
  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};

  std::string_view Kind() const override { return "IK chain object"; }
  nlohmann::ordered_json Fields() const override;
};

}  // namespace kiln::reader
