#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "reader/ChunkFile.h"
#include "reader/PayloadCursor.h"

// Payloads of material chunks (5, 17/18/19, 1) and custom attribute chunks
// (15, 54, 1), and the indexed texture record that damage mesh chunks carry.
namespace kiln::reader {

// A bitmap channel of a standard material.
struct BitmapRecord {
  std::string file;
  int32_t alphaAsMono = 0;
  int32_t alphaAsRGB = 0;
  float tileU = 1, tileV = 1, offsetU = 0, offsetV = 0;
  int32_t wrapU = 3, wrapV = 3;  // 1 wrap, 2 mirror, 3 neither
};

// (5, 18, 1): a standard material, or the default material.
struct StandardMaterial final : Payload {
  std::string name;
  uint32_t channelMask = 0;
  // One per set channel whose map is a bitmap, in channel order (diffuse,
  // opacity, reflection, self-illumination, bump, specular colour).
  std::vector<BitmapRecord> bitmaps;
  int32_t requirements = 0;
  std::array<float, 3> ambient{}, diffuse{}, specular{};
  float shininess = 0, shineStrength = 0, transparency = 0;

  std::string_view Kind() const override { return "material"; }
  nlohmann::ordered_json Fields() const override;
};

// (5, 17, 1): the slot count, then one nested material chunk per written slot.
// (5, 19, 1): the layer count, then one nested chunk per written layer.
struct MaterialList final : Payload {
  enum class Variant { kMulti, kComposite };
  Variant variant = Variant::kMulti;
  std::string name;
  uint32_t count = 0;

  std::string_view Kind() const override {
    return variant == Variant::kMulti ? "multi/sub-object material" : "composite material";
  }
  nlohmann::ordered_json Fields() const override;
  void CheckChildren(const std::vector<Chunk>& children,
                     std::vector<std::string>& notes) const override;
};

// (15, 54, 1)
struct CustomAttributes final : Payload {
  struct Param {
    std::string name;
    int32_t type = 0;  // 0 bool, 1 int, 2 float, 3 string
    int32_t integer = 0;
    float number = 0;
    std::string text;
  };
  std::string material;
  std::vector<Param> params;

  std::string_view Kind() const override { return "custom attributes"; }
  nlohmann::ordered_json Fields() const override;
};

// A square paletted bitmap as palette indices, rows from the top.
struct IndexedTexture {
  std::string file;
  int32_t width = 0;
  bool paletted = false;
  std::vector<uint8_t> indices;  // width x width with a palette
};
IndexedTexture ReadIndexedTexture(PayloadCursor& cursor);
nlohmann::ordered_json ToFields(const IndexedTexture& texture);

}  // namespace kiln::reader
