#include "geometry/FaceBlocks.h"

#include <cstdio>

#include "geometry/MeshBuilder.h"
#include "host/INode.h"
#include "host/Material.h"
#include "io/CZX9_DiskWriter.h"
#include "materials/MaterialExporter.h"
#include "platform/ProfileFile.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "util/MaterialClass.h"

namespace kiln {

bool ResolveFaceBlockMaterial(Mtl* nodeMaterial, int materialId, Mtl*& blockMaterial) {
  blockMaterial = nullptr;
  if (nodeMaterial == nullptr) return true;
  if (IsCompositeMaterial(nodeMaterial)) {
    Mtl* base = nodeMaterial->GetSubMtl(0);
    if (base == nullptr) return false;
    blockMaterial = materialId < base->NumSubMtls() ? base->GetSubMtl(materialId) : nullptr;
    return true;
  }
  const int subCount = nodeMaterial->NumSubMtls();
  blockMaterial = subCount > 0 ? nodeMaterial->GetSubMtl(materialId % subCount) : nodeMaterial;
  return true;
}

bool WriteFaceBlocks(CZX9_DiskWriter& writer, const MeshBuilder& builder, INode* node,
                     const MaterialExporter* materials, std::vector<IniEntry>& iniEntries) {
  const std::vector<MaterialGroup>& groups = builder.Groups();
  writer.WriteInt(static_cast<int32_t>(groups.size()));
  Mtl* nodeMaterial = node->GetMtl();
  int32_t firstIndex = 0;
  int32_t firstVertex = 0;
  int block = 0;
  for (const MaterialGroup& group : groups) {
    Mtl* material = nullptr;
    std::string name;
    const bool resolved = ResolveFaceBlockMaterial(nodeMaterial, group.materialId, material);
    if (!resolved || (material != nullptr &&
                      (materials == nullptr || !materials->GetMaterialName(material, name)))) {
      // Said here: the fallback warning of the walk does not tell why.
      Mtl* unresolved = resolved ? material : nodeMaterial;
      LogError(CurrentLog, "Unable to resolve material %s of node %s",
               unresolved->GetName().c_str(), node->GetName());
      return false;
    }
    writer.WriteString(name.c_str());
    LogInfo(CurrentLog, "Material name: %s", name.c_str());

    const auto faceCount = static_cast<int32_t>(group.faces.size());
    writer.WriteInt(faceCount);
    writer.WriteInt(firstVertex);
    writer.WriteInt(group.vertexCount);
    writer.WriteInt(firstIndex);
    firstIndex += 3 * faceCount;
    firstVertex += group.vertexCount;

    if (WriteIniFiles && material != nullptr) {
      char key[32];
      std::snprintf(key, sizeof key, "FaceBlock%d_Shader", block);
      iniEntries.push_back({key, materials->GetShaderName(material, group.materialId)});
      std::string again;
      if (!materials->GetMaterialName(material, again)) {
        LogError(CurrentLog, "error exporting material: %s", material->GetName().c_str());
        return false;
      }
      std::snprintf(key, sizeof key, "FaceBlock%d_Material", block);
      iniEntries.push_back({key, std::move(again)});
    }
    ++block;
  }
  return true;
}

void WriteFaceBlockEntries(INode* node, const std::vector<IniEntry>& entries) {
  for (const IniEntry& entry : entries) {
    platform::WritePrivateProfileStringA(node->GetName(), entry.key.c_str(), entry.value.c_str(),
                                         IniFileName.c_str());
  }
}

}  // namespace kiln
