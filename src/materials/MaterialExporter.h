#pragma once
#include <cstdint>
#include <string>

class Mtl;

namespace kiln {

// Map channel bits of a material's enabled maps.
constexpr uint32_t kMapChannelDiffuse = 1;
constexpr uint32_t kMapChannelBump = 4;
constexpr uint32_t kMapChannelReflection = 8;

// The scene's exported materials, referred to by their unique names.
// Material chunks are not written yet: every material is unknown, so face
// blocks that name one fall back as for an unknown material.
class MaterialExporter {
 public:
  // The exported name of a material; false when the material is unknown.
  bool GetMaterialName(Mtl* material, std::string& name) const;
  // The shader name registered for a material id; false when there is none.
  bool GetShaderNameForId(int materialId, std::string& shader) const;
  // Mask of the material's enabled map channels.
  uint32_t GetMapChannelMask(Mtl* material) const;
};

}  // namespace kiln
