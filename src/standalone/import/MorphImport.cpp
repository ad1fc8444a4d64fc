// Morph targets: the library's animation meshes of a node's meshes become
// the channels of one morpher, target n of every library mesh in channel n
// (the meshes of one glTF mesh share their targets), as deltas from the base
// mesh with the target's name and default weight.
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "standalone/Modifiers.h"
#include "standalone/SceneObjects.h"
#include "standalone/import/GltfExtras.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {

void ImportMorphs(ImportContext& context, SceneNode& node, const aiNode& libraryNode,
                  const MeshParts& parts, uint32_t vertexCount) {
  unsigned targets = 0;
  for (const aiMesh* mesh : parts.meshes) {
    if (mesh->mAnimMeshes) targets = std::max(targets, mesh->mNumAnimMeshes);
  }
  if (targets == 0) return;
  if (targets > MORPHER_SLOT_COUNT) {
    context.Warn("node " + Quoted(node.Name()) + ": only the first " +
                 std::to_string(MORPHER_SLOT_COUNT) + " of its " + std::to_string(targets) +
                 " morph targets are carried (the morpher has that many channels)");
    targets = MORPHER_SLOT_COUNT;
  }
  const std::vector<std::string>* names =
      context.gltf ? context.gltf->TargetNames(libraryNode.mName.C_Str()) : nullptr;

  auto morpher = std::make_unique<MorpherModifier>();
  for (unsigned t = 0; t < targets; ++t) {
    std::vector<Point3> deltas(vertexCount);
    std::string name;
    std::optional<float> weight;  // the first mesh's: a glTF mesh has one per target
    for (size_t m = 0; m < parts.meshes.size(); ++m) {
      const aiMesh& mesh = *parts.meshes[m];
      if (t >= mesh.mNumAnimMeshes || !mesh.mAnimMeshes || !mesh.mAnimMeshes[t]) continue;
      const aiAnimMesh& target = *mesh.mAnimMeshes[t];
      const std::string where =
          "morph target " + std::to_string(t) + " of mesh " + Quoted(mesh.mName);
      if (!std::isfinite(target.mWeight)) throw AssetProblem(where + ": its weight is not finite");
      if (name.empty()) name = target.mName.C_Str();
      if (!weight) weight = target.mWeight;
      if (!target.mVertices) continue;  // a target of normals only moves no vertex
      if (target.mNumVertices != mesh.mNumVertices) {
        throw AssetProblem(where + " has " + std::to_string(target.mNumVertices) +
                           " vertices, its mesh " + std::to_string(mesh.mNumVertices));
      }
      for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        if (!Finite(target.mVertices[v])) {
          throw AssetProblem(where + " vertex " + std::to_string(v) +
                             ": its position is not a finite number");
        }
        deltas[parts.firstVertex[m] + v] =
            HostPoint(target.mVertices[v]) - HostPoint(mesh.mVertices[v]);
      }
    }
    if (names && t < names->size() && !(*names)[t].empty()) name = (*names)[t];
    MorphChannelSlot& slot =
        morpher->AddChannel(static_cast<int>(t), std::move(deltas), weight.value_or(0.0f) * 100.0f);
    slot.name = name.empty() ? "Target " + std::to_string(t + 1) : name;
  }
  node.Stack().AddOnTop(std::move(morpher));
}

}  // namespace kiln::standalone
