#include "standalone/SceneMaterials.h"

namespace kiln::standalone {

Texmap* Texture::GetSubTexmap(int i) {
  return i >= 0 && i < NumSubTexmaps() ? subTexmaps[i] : nullptr;
}

Mtl* Material::GetSubMtl(int i) {
  return i >= 0 && i < NumSubMtls() ? subMaterials[i] : nullptr;
}

Texmap* Material::GetSubTexmap(int i) {
  return i >= 0 && i < NumSubTexmaps() ? maps[i] : nullptr;
}

void Material::SetMap(int slot, Texmap* map) {
  if (slot < 0) return;
  if (static_cast<size_t>(slot) >= maps.size()) maps.resize(slot + 1, nullptr);
  maps[slot] = map;
}

const std::vector<NamedClass>& KnownMaterialClasses() {
  static const std::vector<NamedClass> classes = {
      {"Standard", Class_ID(2, 0)},
      {"Multi/Sub-Object", Class_ID(0x200, 0)},
  };
  return classes;
}

const std::vector<NamedClass>& KnownTextureClasses() {
  static const std::vector<NamedClass> classes = {
      {"Bitmap", Class_ID(0x240, 0)},
      {"Gradient", Class_ID(0x270, 0)},
      {"Falloff", Class_ID(0x6EC3730C, 0)},
  };
  return classes;
}

const NamedClass* FindNamedClass(const std::vector<NamedClass>& table, std::string_view name) {
  for (const NamedClass& c : table) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

const std::vector<std::string_view>& MapSlotNames() {
  static const std::vector<std::string_view> names = {
      "ambient", "diffuse",     "specular", "shininess",  "shininessStrength", "selfIllumination",
      "opacity", "filterColor", "bump",     "reflection", "refraction"};
  return names;
}

}  // namespace kiln::standalone
