#pragma once
#include <optional>

#include "reader/SceneChunks.h"

// Payloads of the camera (2, 11 | 12, 1) and light (1, kind, 1) chunks.
namespace kiln::reader {

// (2, 11, 1) target camera, (2, 12, 1) free camera.
struct CameraNode final : Payload {
  struct Target {
    int32_t handle = 0;
    std::array<float, 3> position{};  // relative to the target's parent, output axes
  };
  NodeHeader node;
  ObjectOffset objectOffset;
  float nearClip = 0, farClip = 0, fov = 0;
  Matrix3x4 transform{};
  std::optional<Target> target;  // target cameras only

  std::string_view Kind() const override { return target ? "target camera" : "free camera"; }
  nlohmann::ordered_json Fields() const override;
};

// (1, kind, 1): kind 10 omni, 8 target spot, 6 free directional, 9 free
// spot, 7 target directional.
struct LightNode final : Payload {
  uint32_t kind = 0;
  NodeHeader node;
  ObjectOffset objectOffset;
  std::array<float, 3> colour{};
  Matrix3x4 transform{};
  int32_t farAttenuation = 0;
  std::optional<std::array<float, 2>> attenuation;  // start, end: when switched on
  std::optional<std::array<float, 2>> cone;         // hotspot, falloff: spots only

  std::string_view Kind() const override;
  nlohmann::ordered_json Fields() const override;
};

}  // namespace kiln::reader
