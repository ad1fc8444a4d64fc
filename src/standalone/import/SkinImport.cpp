// Skins: the library's bones of a node's meshes become one skin modifier
// whose bones are the nodes they name, bound where the asset binds them, with
// every vertex's weights as the asset gives them (more than four influences
// included: the exporter reports those itself).
#include <assimp/scene.h>

#include <cmath>
#include <unordered_map>

#include "standalone/Modifiers.h"
#include "standalone/SceneObjects.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {

// A bone's offset matrix takes the mesh's vertices into the bone's space at
// bind time, so the bone's node transform at bind is the inverse offset
// followed by the mesh node's own node transform: the skin then leaves the
// mesh where the asset has it when the bones stand where they were bound.
void ImportSkin(ImportContext& context, SceneNode& node, const aiNode& libraryNode,
                const MeshParts& parts, uint32_t vertexCount) {
  bool skinned = false;
  for (const aiMesh* mesh : parts.meshes) skinned = skinned || (mesh->mNumBones && mesh->mBones);
  if (!skinned) return;

  auto skin = std::make_unique<SkinModifier>();
  const Matrix3 meshBind = context.world.at(&libraryNode) * context.toHost;
  skin->skinBindTM = meshBind;

  struct Influence {
    uint32_t vertex;
    BoneWeight weight;
  };
  std::vector<Influence> influences;
  std::unordered_map<std::string, int> boneIndex;
  for (size_t m = 0; m < parts.meshes.size(); ++m) {
    const aiMesh& mesh = *parts.meshes[m];
    for (unsigned b = 0; b < mesh.mNumBones && mesh.mBones; ++b) {
      const aiBone* bone = mesh.mBones[b];
      if (!bone) continue;
      const std::string name = bone->mName.C_Str();
      const std::string where = "bone " + Quoted(name) + " of mesh " + Quoted(mesh.mName);
      auto [it, added] = boneIndex.emplace(name, skin->GetNumBones());
      if (added) {
        SceneNode* boneNode = context.NodeNamed(name);
        if (!boneNode) {
          throw AssetProblem("the skin of mesh " + Quoted(mesh.mName) + " names bone " +
                             Quoted(name) + ", which is not a node of the asset");
        }
        const Matrix3 offset = HostMatrix(bone->mOffsetMatrix);
        if (!Finite(bone->mOffsetMatrix) || !(std::fabs(offset.Det3()) > 0.0f)) {
          throw AssetProblem(where + ": its bind matrix is not finite or not invertible");
        }
        skin->AddBone(boneNode, Inverse(offset) * meshBind);
      }
      if (bone->mNumWeights && !bone->mWeights) throw AssetProblem(where + " has no weights");
      for (unsigned w = 0; w < bone->mNumWeights; ++w) {
        const aiVertexWeight& weight = bone->mWeights[w];
        if (weight.mVertexId >= mesh.mNumVertices) {
          throw AssetProblem(where + " weights vertex " + std::to_string(weight.mVertexId) +
                             ", past the " + std::to_string(mesh.mNumVertices) + " vertices");
        }
        if (!std::isfinite(weight.mWeight) || weight.mWeight < 0) {
          throw AssetProblem(where + ": a weight that is negative or not a finite number");
        }
        influences.push_back(
            {parts.firstVertex[m] + weight.mVertexId, {it->second, weight.mWeight}});
      }
    }
  }

  // Every vertex's weights, vertex after vertex, in the order the asset lists them.
  std::vector<uint32_t> start(vertexCount + 1, 0);
  for (const Influence& i : influences) ++start[i.vertex + 1];
  for (uint32_t v = 0; v < vertexCount; ++v) start[v + 1] += start[v];
  std::vector<BoneWeight> weights(influences.size());
  std::vector<uint32_t> next(start.begin(), start.end() - 1);
  for (const Influence& i : influences) weights[next[i.vertex]++] = i.weight;
  for (uint32_t v = 0; v < vertexCount; ++v) {
    skin->AddPoint(std::span<const BoneWeight>(weights.data() + start[v], start[v + 1] - start[v]));
  }
  node.Stack().AddOnTop(std::move(skin));
}

}  // namespace kiln::standalone
