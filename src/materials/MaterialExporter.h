#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <unordered_set>

#include "materials/MaterialChannels.h"
#include "materials/MaterialNames.h"
#include "materials/TextureMaps.h"

class INode;
class Mtl;

namespace kiln {

class CZX9_DiskWriter;

// The materials of one export: gathers every material that a visible
// geometry node uses, names each one uniquely, and writes the material
// chunks, their custom attribute chunks and their sections of the shader
// .ini file. Everything else refers to a material by its unique name.
class MaterialExporter {
 public:
  // Reads the shader map file at shaderMapPath (missing: an empty table).
  explicit MaterialExporter(CZX9_DiskWriter* writer = nullptr,
                            const std::string& shaderMapPath = {});

  // Registers the materials of the node tree, parents before children.
  void CollectMaterials(INode* node);
  // Names a material and, first, its sub-materials.
  void RegisterMaterial(Mtl* material, INode* node, const std::string& prefix, Mtl* parent,
                        int slot);
  // The default material chunk, then one chunk per registered material.
  void ExportMaterials();
  // One material by its kind; nested inside a multi or composite chunk too.
  void WriteMaterial(Mtl* material);
  // One custom attribute chunk per material that has custom attributes.
  void WriteAllCustomAttributes();

  // The material's unique name; false when it was never registered. A
  // material of a class that writes no chunk gets the warning "Material %s
  // of class %s is not exported" the first time it is asked for.
  bool GetMaterialName(Mtl* material, std::string& name) const;
  // The channel mask: a channel's bit is set when it is enabled (the
  // material's "mapEnables" parameter) and its map is a bitmap, gradient or falloff.
  uint32_t GetMapEnables(Mtl* material) const;
  int GetMapKind(Mtl* material, int mapId) const;
  const char* GetMapTypeName(Mtl* material, int mapId) const;
  // The shader of a face block: in a car export the shader map's name for
  // the material id when it lists one, else named after the channel mask.
  std::string GetShaderName(Mtl* material, int materialId) const;
  void WriteCarMeshSwitches(INode* node) const;

  const MaterialNames& Names() const { return names_; }
  const std::map<int32_t, std::string>& ShaderIds() const { return shaderIds_; }

 private:
  void WriteDefaultMaterial();
  void WriteStandard(Mtl* material);
  void WriteMulti(Mtl* material);
  void WriteComposite(Mtl* material);
  void WriteStandardSection(Mtl* material, const std::string& name, uint32_t mask);
  void WriteCustomAttributeChunk(Mtl* material);
  void WalkSubMaterialAttributes(Mtl* material);
  bool CheckSectionName(const std::string& name);

  CZX9_DiskWriter* writer_;
  MaterialNames names_;
  std::map<int32_t, std::string> shaderIds_;
  TextureMapWriter maps_;
  std::unordered_set<Mtl*> registering_;         // guards against a material holding itself
  std::unordered_set<std::string> badSections_;  // names already reported
  mutable std::unordered_set<Mtl*> unexported_;  // classes already reported
};

}  // namespace kiln
