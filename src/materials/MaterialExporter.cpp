#include "materials/MaterialExporter.h"

namespace kiln {

bool MaterialExporter::GetMaterialName(Mtl* material, std::string& name) const {
  (void)material;
  name.clear();
  return false;
}

bool MaterialExporter::GetShaderNameForId(int materialId, std::string& shader) const {
  (void)materialId;
  shader.clear();
  return false;
}

uint32_t MaterialExporter::GetMapChannelMask(Mtl* material) const {
  (void)material;
  return 0;
}

}  // namespace kiln
