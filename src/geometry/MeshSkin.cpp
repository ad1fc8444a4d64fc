#include "geometry/MeshSkin.h"

#include "geometry/AxisExchange.h"
#include "geometry/MeshBuilder.h"
#include "geometry/ModifierSwitch.h"
#include "geometry/NodeLookup.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Object.h"
#include "host/Skin.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

bool CollectSkin(INode* node, MeshSkin& skin) {
  LogWarning(CurrentLog, "Warning! Collecting bones!");
  Modifier* modifier = FindModifier(node, SKIN_CLASS_ID);
  if (modifier == nullptr) return true;
  const ModifierSwitch skinOn(modifier, true);
  LogInfo(CurrentLog, "collecting bones");

  auto* iskin = static_cast<ISkin*>(modifier->GetInterface(I_SKIN));
  ISkinContextData* context = iskin != nullptr ? iskin->GetContextInterface(node) : nullptr;
  if (context == nullptr) {
    LogError(CurrentLog, "Skin of node %s gives no skin data", node->GetName());
    return false;
  }
  iskin->GetSkinInitTM(node, skin.bindTransform, false);

  const int boneCount = iskin->GetNumBones();
  LogInfo(CurrentLog, "collecting %d bones", boneCount);
  skin.bones.clear();
  for (int i = 0; i < boneCount; ++i) {
    INode* bone = iskin->GetBone(i);
    SkinBone entry;
    entry.name = bone != nullptr ? bone->GetName() : "";
    LogInfo(CurrentLog, "%d: %s", i, entry.name.c_str());
    if (bone != nullptr) iskin->GetBoneInitTM(bone, entry.bindTransform, false);
    skin.bones.push_back(std::move(entry));
  }

  const int pointCount = context->GetNumPoints();
  LogInfo(CurrentLog, "Skin context has %d points", pointCount);
  skin.influences.assign(static_cast<size_t>(pointCount), SkinInfluence());
  for (int p = 0; p < pointCount; ++p) {
    const int assigned = context->GetNumAssignedBones(p);
    LogInfo(CurrentLog, "%d: #bones: %d", p, assigned);
    SkinInfluence& influence = skin.influences[p];
    int used = 0;
    for (int i = 0; i < assigned; ++i) {
      const float weight = context->GetBoneWeight(p, i);
      if (weight == 0.0f) continue;
      if (used == kMaxInfluences) {
        LogError(CurrentLog, "Skin, %s, has vertices with to many bones affecting it, vert: %d",
                 node->GetName(), p);
        return false;
      }
      influence.weight[used] = weight;
      influence.bone[used] = context->GetAssignedBone(p, i) * kBoneIndexStride;
      ++used;
    }
  }
  return true;
}

void WriteSkin(CZX9_DiskWriter& writer, const MeshSkin& skin, const MeshBuilder& builder,
               const char* nodeName) {
  LogWarning(CurrentLog, "Warning! Exporting bones!");
  WriteTransformScaled(&writer, ExchangeMatrixAxes(skin.bindTransform), kExportScale);
  writer.WriteInt(static_cast<int32_t>(skin.bones.size()));
  LogInfo(CurrentLog, "Exporting %d bones", static_cast<int>(skin.bones.size()));
  for (const SkinBone& bone : skin.bones) {
    writer.WriteString(bone.name.c_str());
    WriteTransformScaled(&writer, ExchangeMatrixAxes(bone.bindTransform), kExportScale);
  }

  const auto vertexCount = static_cast<int32_t>(builder.FatVertices().Size());
  writer.WriteInt(vertexCount);
  std::vector<SkinInfluence> byOutputVertex(static_cast<size_t>(vertexCount));
  const CornerMap& corners = builder.Corners();
  const std::vector<int32_t>& sequence = builder.SequenceMap();
  for (size_t p = 0; p < skin.influences.size(); ++p) {
    if (p >= corners.HostVertexCount() || corners.FatVertices(p).empty()) {
      LogError(CurrentLog, "Error exporting skin info for mesh: %s", nodeName);
      continue;
    }
    for (int32_t fat : corners.FatVertices(p)) byOutputVertex[sequence[fat]] = skin.influences[p];
  }
  LogInfo(CurrentLog, "Exporting %d skin infos", vertexCount);
  writer.WriteBytes(byOutputVertex.data(), byOutputVertex.size() * sizeof(SkinInfluence));
}

}  // namespace kiln
