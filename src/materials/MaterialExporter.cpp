#include "materials/MaterialExporter.h"

#include "host/INode.h"
#include "host/Material.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "materials/CustomAttributes.h"
#include "materials/ParamFinder.h"
#include "materials/ShaderMap.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "util/TextFormat.h"

namespace kiln {
namespace {

constexpr const char* kDefaultName = "Default Material";

void WriteColour(CZX9_DiskWriter& writer, Color c) {
  writer.WriteFloat(c.r);
  writer.WriteFloat(c.g);
  writer.WriteFloat(c.b);
}

std::string ColourText(Color c) {
  return Point3Text(c.r, c.g, c.b);
}

const char* SectionSuffix(MapKind kind) {
  switch (kind) {
    case kMapBitmap:
      return "_bitmap";
    case kMapGradient:
      return "_gradient";
    default:
      return "_falloff";
  }
}

}  // namespace

MaterialExporter::MaterialExporter(CZX9_DiskWriter* writer, const std::string& shaderMapPath)
    : writer_(writer),
      shaderIds_(shaderMapPath.empty() ? std::map<int32_t, std::string>()
                                       : ReadShaderMap(shaderMapPath)),
      maps_(writer) {}

void MaterialExporter::CollectMaterials(INode* node) {
  names_.Insert(nullptr, kDefaultName);
  Object* object = node->EvalWorldState(0, true).obj;
  if (object && object->SuperClassID() == GEOMOBJECT_CLASS_ID && !node->IsHidden()) {
    if (Mtl* material = node->GetMtl()) RegisterMaterial(material, node, "", nullptr, -1);
  }
  for (int i = 0; i < node->NumberOfChildren(); ++i) CollectMaterials(node->GetChildNode(i));
}

void MaterialExporter::RegisterMaterial(Mtl* m, INode* node, const std::string& prefix, Mtl* parent,
                                        int slot) {
  // A material named once keeps its name, and its tree was walked then.
  if (!m || names_.Contains(m) || !registering_.insert(m).second) return;
  const std::string own = m->GetName();
  const std::string inner = prefix + own + "::";
  if (MaterialKindOf(m) == MaterialKind::kComposite) {
    // The base layer, then the other layers, all without a parent.
    for (int i = 0; i < m->NumSubMtls(); ++i)
      RegisterMaterial(m->GetSubMtl(i), node, inner, nullptr, -1);
  } else {
    for (int i = 0; i < m->NumSubMtls(); ++i) RegisterMaterial(m->GetSubMtl(i), node, inner, m, i);
  }
  std::string shortName;
  if (slot != -1 && parent) {
    const std::string title = parent->GetSubMtlSlotName(slot);
    if (title.size() > 4) shortName = title.substr(4);
  }
  if (shortName.empty()) shortName = own;
  std::string taken;
  names_.Insert(m, prefix + shortName, &taken);
  if (!taken.empty()) {
    LogError(CurrentLog, "Change colliding material name: %s to %s", taken.c_str(),
             names_.Find(m)->c_str());
  }
  registering_.erase(m);
}

void MaterialExporter::ExportMaterials() {
  WriteDefaultMaterial();
  for (const MaterialNames::Entry& entry : names_.Entries()) {
    if (!entry.material) continue;
    if (MaterialKindOf(entry.material) == MaterialKind::kComposite)
      WriteComposite(entry.material);
    else
      WriteMaterial(entry.material);
  }
}

void MaterialExporter::WriteMaterial(Mtl* m) {
  if (!m) return;
  switch (MaterialKindOf(m)) {
    case MaterialKind::kMulti:
      WriteMulti(m);
      break;
    case MaterialKind::kStandard:
      WriteStandard(m);
      break;
    case MaterialKind::kComposite:
    case MaterialKind::kOther:
      break;
  }
}

void MaterialExporter::WriteDefaultMaterial() {
  CZX9_DiskWriter& w = *writer_;
  w.BeginChunk(5, 18, 1);
  const std::string* name = names_.Find(nullptr);
  if (!name) {
    LogError(CurrentLog, "Error exportering default material!");
    w.UndoChunk();
    return;
  }
  w.WriteString(name->c_str());
  w.WriteInt(0);  // no channels
  w.WriteInt(0);  // requirements
  for (int i = 0; i < 3; ++i) WriteColour(w, {0.5f, 0.5f, 0.5f});
  for (int i = 0; i < 3; ++i) w.WriteFloat(0.0f);
  w.EndChunk();

  const std::string grey = ColourText({0.5f, 0.5f, 0.5f}), zero = FloatText(0.0f);
  const std::pair<const char*, std::string> keys[] = {
      {"Ambient", grey},
      {"Diffuse", grey},
      {"Specular", grey},
      {"Shininess", zero},
      {"ShineStrenth", zero},
      {"Transparency", zero},
      {"Requirements", IntText(0)},
      {"DiffuseChannel", "false"},
      {"OpacityChannel", "false"},
      {"ReflectionChannel", "false"},
      {"BumpChannel", "false"},
      {"SelfIllumunationChannel", "false"},
      {"SpecularColorChannel", "false"},
  };
  for (const auto& [key, value] : keys) WriteShaderIni(*name, key, value);
}

void MaterialExporter::WriteStandard(Mtl* m) {
  CZX9_DiskWriter& w = *writer_;
  w.BeginChunk(5, 18, 1);
  const std::string* found = names_.Find(m);
  if (!found) {
    LogError(CurrentLog, "Error exporting material: %s", m->GetName().c_str());
    w.UndoChunk();
    return;
  }
  const std::string name = *found;
  const uint32_t mask = GetMapEnables(m);
  w.WriteString(name.c_str());
  w.WriteInt(static_cast<int32_t>(mask));
  auto* standard = static_cast<StdMat*>(m);
  for (const MapChannel& channel : kMapChannels) {
    if (!(mask & channel.maskBit)) continue;
    const float amount = standard->GetTexmapAmt(channel.mapId, 0);
    Texmap* map = m->GetSubTexmap(channel.mapId);
    const MapKind kind = MapKindOf(map);
    const std::string section = name + "_" + channel.lowerName + SectionSuffix(kind);
    if (kind == kMapBitmap)
      maps_.WriteBitmapMap(static_cast<BitmapTex*>(map), amount, section);
    else if (kind == kMapGradient)
      maps_.WriteGradientMap(map, amount, section);
    else
      maps_.WriteFalloffMap(map, amount, section);
  }
  w.WriteInt(m->Requirements(-1));
  WriteColour(w, m->GetAmbient(0, 0));
  WriteColour(w, m->GetDiffuse(0, 0));
  WriteColour(w, m->GetSpecular(0, 0));
  w.WriteFloat(m->GetShininess(0, 0));
  w.WriteFloat(m->GetShinStr(0, 0));
  w.WriteFloat(m->GetXParency(0, 0));
  w.EndChunk();
  if (WriteIniFiles) WriteStandardSection(m, name, mask);
}

void MaterialExporter::WriteStandardSection(Mtl* m, const std::string& name, uint32_t mask) {
  if (!CheckSectionName(name)) return;
  WriteShaderIni(name, "Ambient", ColourText(m->GetAmbient(0, 0)));
  WriteShaderIni(name, "Diffuse", ColourText(m->GetDiffuse(0, 0)));
  WriteShaderIni(name, "Specular", ColourText(m->GetSpecular(0, 0)));
  WriteShaderIni(name, "Shininess", FloatText(m->GetShininess(0, 0)));
  WriteShaderIni(name, "ShineStrength", FloatText(m->GetShinStr(0, 0)));
  WriteShaderIni(name, "Transparency", FloatText(m->GetXParency(0, 0)));
  WriteShaderIni(name, "Requirements", IntText(m->Requirements(-1)));
  for (const MapChannel& channel : kMapChannels) {
    const std::string key = std::string(channel.keyName) + "Channel";
    WriteShaderIni(name, key.c_str(), BoolText((mask & channel.maskBit) != 0));
  }
  for (const MapChannel& channel : kMapChannels) {
    if (!(mask & channel.maskBit)) continue;
    const std::string key = std::string(channel.keyName) + "Type";
    WriteShaderIni(name, key.c_str(), GetMapTypeName(m, channel.mapId));
  }
}

bool MaterialExporter::CheckSectionName(const std::string& name) {
  const bool valid = !name.empty() && name.find_first_of("\r\n]") == std::string::npos &&
                     name[0] != ';' && name[0] != '[';
  if (!valid && badSections_.insert(name).second) {
    LogError(CurrentLog, "Material name %s cannot be an .ini section", name.c_str());
  }
  return valid;
}

void MaterialExporter::WriteMulti(Mtl* m) {
  CZX9_DiskWriter& w = *writer_;
  w.BeginChunk(5, 17, 1);
  const std::string* name = names_.Find(m);
  if (!name) {
    LogError(CurrentLog, "Error exporting sub material: %s", m->GetName().c_str());
    w.UndoChunk();
    return;
  }
  w.WriteString(name->c_str());
  w.WriteInt(m->NumSubMtls());
  for (int i = 0; i < m->NumSubMtls(); ++i) WriteMaterial(m->GetSubMtl(i));
  w.EndChunk();
}

void MaterialExporter::WriteComposite(Mtl* m) {
  CZX9_DiskWriter& w = *writer_;
  w.BeginChunk(5, 19, 1);
  const std::string* name = names_.Find(m);
  if (!name) {
    LogError(CurrentLog, "Error exportering composite material!");
    w.UndoChunk();
    return;
  }
  w.WriteString(name->c_str());
  int32_t layers = 0;
  for (int i = 0; i < m->NumSubMtls(); ++i) layers += m->GetSubMtl(i) ? 1 : 0;
  w.WriteInt(layers);
  for (int i = 0; i < m->NumSubMtls(); ++i) WriteMaterial(m->GetSubMtl(i));
  w.EndChunk();
}

bool MaterialExporter::GetMaterialName(Mtl* m, std::string& name) const {
  const std::string* found = names_.Find(m);
  if (!found) {
    name.clear();
    return false;
  }
  name = *found;
  if (m && MaterialKindOf(m) == MaterialKind::kOther && unexported_.insert(m).second) {
    LogWarning(CurrentLog, "Material %s of class %s is not exported", name.c_str(),
               m->GetClassName().c_str());
  }
  return true;
}

uint32_t MaterialExporter::GetMapEnables(Mtl* m) const {
  if (!m) return 0;
  bool enabled[std::size(kMapChannels)];
  for (bool& e : enabled) e = true;
  ParamFinder finder;
  if (finder.FindParam(m, "mapEnables")) {
    for (size_t c = 0; c < std::size(kMapChannels); ++c) {
      enabled[c] = finder.Block()->GetInt(finder.Def()->ID, 0, kMapChannels[c].mapId) != 0;
    }
  }
  uint32_t mask = 0;
  for (size_t c = 0; c < std::size(kMapChannels); ++c) {
    if (enabled[c] && MapKindOf(m->GetSubTexmap(kMapChannels[c].mapId)) != kMapUnknown) {
      mask |= kMapChannels[c].maskBit;
    }
  }
  return mask;
}

int MaterialExporter::GetMapKind(Mtl* m, int mapId) const {
  return m ? MapKindOf(m->GetSubTexmap(mapId)) : kMapUnknown;
}

const char* MaterialExporter::GetMapTypeName(Mtl* m, int mapId) const {
  return m ? MapKindName(MapKindOf(m->GetSubTexmap(mapId))) : "Null";
}

std::string MaterialExporter::GetShaderName(Mtl* m, int materialId) const {
  if (CarExportMode) {
    auto it = shaderIds_.find(materialId);
    if (it != shaderIds_.end()) return it->second;
  }
  return ShaderNameForMapChannels(GetMapEnables(m));
}

void MaterialExporter::WriteCarMeshSwitches(INode* node) const {
  kiln::WriteCarMeshSwitches(node);
}

void MaterialExporter::WriteAllCustomAttributes() {
  for (const MaterialNames::Entry& entry : names_.Entries()) {
    Mtl* m = entry.material;
    if (!m) continue;
    if (MaterialKindOf(m) == MaterialKind::kComposite) {
      WriteCustomAttributeChunk(m);
      for (int i = 0; i < m->NumSubMtls(); ++i) WalkSubMaterialAttributes(m->GetSubMtl(i));
    } else {
      WalkSubMaterialAttributes(m);
    }
  }
}

void MaterialExporter::WalkSubMaterialAttributes(Mtl* m) {
  if (!m) return;
  switch (MaterialKindOf(m)) {
    case MaterialKind::kMulti:
      for (int i = 0; i < m->NumSubMtls(); ++i) WriteCustomAttributeChunk(m->GetSubMtl(i));
      for (int i = 0; i < m->NumSubMtls(); ++i) WalkSubMaterialAttributes(m->GetSubMtl(i));
      break;
    case MaterialKind::kStandard:
      WriteCustomAttributeChunk(m);
      break;
    case MaterialKind::kComposite:
    case MaterialKind::kOther:
      break;
  }
}

void MaterialExporter::WriteCustomAttributeChunk(Mtl* m) {
  if (!m) return;
  CZX9_DiskWriter& w = *writer_;
  w.BeginChunk(15, 54, 1);
  const std::string* name = names_.Find(m);
  if (!name) {
    LogError(CurrentLog, "Error exporting custom attribute for material: %s", m->GetName().c_str());
    w.UndoChunk();
    return;
  }
  if (WriteCustomAttributes(w, m, *name))
    w.EndChunk();
  else
    w.UndoChunk();
}

}  // namespace kiln
