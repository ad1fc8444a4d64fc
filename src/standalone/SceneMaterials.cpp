#include "standalone/SceneMaterials.h"

#include <string>

namespace kiln::standalone {

Texmap* Texture::GetSubTexmap(int i) {
  return i >= 0 && i < NumSubTexmaps() ? subTexmaps[i] : nullptr;
}

Material::Material(std::string name) : name(std::move(name)) {
  Parameter& enables = mapsBlock_.Add("mapEnables", 0, TYPE_BOOL | TYPE_TAB);
  enables.values.resize(STD_MAP_COUNT);
  for (ParamValue& v : enables.values) v.integer = 1;
}

Mtl* Material::GetSubMtl(int i) {
  return i >= 0 && i < NumSubMtls() ? subMaterials[i] : nullptr;
}

std::string Material::GetSubMtlSlotName(int i) {
  if (i < 0 || i >= NumSubMtls()) return {};
  std::string title = "(";
  title += std::to_string(i + 1);
  title += ") ";
  if (static_cast<size_t>(i) < slotNames.size()) title += slotNames[i];
  return title;
}

Texmap* Material::GetSubTexmap(int i) {
  return i >= 0 && i < NumSubTexmaps() ? maps[i] : nullptr;
}

void Material::SetMap(int slot, Texmap* map) {
  if (slot < 0) return;
  if (static_cast<size_t>(slot) >= maps.size()) maps.resize(slot + 1, nullptr);
  maps[slot] = map;
}

float Material::GetTexmapAmt(int id, TimeValue) {
  auto it = amounts.find(id);
  return it == amounts.end() ? 1.0f : it->second;
}

bool Material::MapEnabled(int slot) const {
  const std::vector<ParamValue>& values = mapsBlock_.Params()[0].values;
  return slot < 0 || static_cast<size_t>(slot) >= values.size() || values[slot].integer != 0;
}

void Material::SetMapEnabled(int slot, bool enabled) {
  Parameter* enables = mapsBlock_.Find(0);
  if (slot >= 0 && static_cast<size_t>(slot) < enables->values.size())
    enables->values[slot].integer = enabled ? 1 : 0;
}

int Material::ComputedRequirements() {
  int flags = twoSided ? MTLREQ_2SIDE : 0;
  if (opacity < 1.0f || GetSubTexmap(ID_OP)) flags |= MTLREQ_TRANSP;
  for (int slot = 0; slot < NumSubTexmaps(); ++slot) {
    if (maps[slot] && MapEnabled(slot)) flags |= MTLREQ_UV;
  }
  if (GetSubTexmap(ID_BU) && MapEnabled(ID_BU)) flags |= MTLREQ_BUMPUV;
  return flags;
}

Material* Material::SubFor(int mtlNum) {
  if (IsStandard() || subMaterials.empty()) return nullptr;
  return dynamic_cast<Material*>(GetSubMtl(mtlNum));
}

int Material::Requirements(int subMtlNum) {
  if (requirements) return *requirements;
  if (IsStandard() || subMaterials.empty()) return ComputedRequirements();
  if (subMtlNum >= 0) {
    Mtl* sub = GetSubMtl(subMtlNum);
    return sub ? sub->Requirements(-1) : 0;
  }
  int flags = 0;
  for (Mtl* sub : subMaterials) flags |= sub ? sub->Requirements(-1) : 0;
  return flags;
}

Color Material::GetAmbient(int mtlNum, int backFace) {
  Material* sub = SubFor(mtlNum);
  return sub ? sub->GetAmbient(0, backFace) : ambient;
}
Color Material::GetDiffuse(int mtlNum, int backFace) {
  Material* sub = SubFor(mtlNum);
  return sub ? sub->GetDiffuse(0, backFace) : diffuse;
}
Color Material::GetSpecular(int mtlNum, int backFace) {
  Material* sub = SubFor(mtlNum);
  return sub ? sub->GetSpecular(0, backFace) : specular;
}
float Material::GetShininess(int mtlNum, int backFace) {
  Material* sub = SubFor(mtlNum);
  return sub ? sub->GetShininess(0, backFace) : shininess;
}
float Material::GetShinStr(int mtlNum, int backFace) {
  Material* sub = SubFor(mtlNum);
  return sub ? sub->GetShinStr(0, backFace) : shineStrength;
}
float Material::GetXParency(int mtlNum, int backFace) {
  Material* sub = SubFor(mtlNum);
  return sub ? sub->GetXParency(0, backFace) : 1.0f - opacity;
}

int Material::NumParamBlocks() {
  return static_cast<int>(paramBlocks.size()) + (IsStandard() ? 1 : 0);
}

IParamBlock2* Material::GetParamBlock(int i) {
  if (IsStandard()) {
    if (i == 0) return &mapsBlock_;
    --i;
  }
  return Block(i);
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
