#pragma once
#include "reader/SceneChunks.h"

// Payloads of the helper node chunks: bones (3, 14, 1).
namespace kiln::reader {

// (3, 14, 1): the node's object transform relative to its parent's at time 0.
struct BoneNode final : Payload {
  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};

  std::string_view Kind() const override { return "bone"; }
  nlohmann::ordered_json Fields() const override;
};

}  // namespace kiln::reader
