// The node tree: names, local transforms as position/rotation/scale
// controllers, user properties, and the objects of nodes that hold nothing
// else (bones and helpers).
#include <assimp/scene.h>

#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "host/DecompAffine.h"
#include "standalone/SceneObjects.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {
namespace {

// Scale factors smaller than this collapse a node; they are raised to it so
// that the node's children keep a transform relative to it.
constexpr float kSmallestScale = 1e-6f;

// A transform that animation keys can take over: rotation, uniform scale and
// translation, without a mirror.
bool IsSimilarity(const Matrix3& m) {
  AffineParts parts;
  decomp_affine(m, &parts);
  const float k = parts.k.x;
  return parts.f > 0 && k > 0 && std::fabs(parts.k.y - k) <= 1e-5f * k &&
         std::fabs(parts.k.z - k) <= 1e-5f * k;
}

// Names that something in the asset looks up: cameras, lights, bones and
// animation channels.
std::unordered_set<std::string> NamesInUse(const aiScene& ai) {
  std::unordered_set<std::string> names;
  for (unsigned i = 0; i < ai.mNumCameras; ++i) names.insert(ai.mCameras[i]->mName.C_Str());
  for (unsigned i = 0; i < ai.mNumLights; ++i) names.insert(ai.mLights[i]->mName.C_Str());
  for (unsigned m = 0; m < ai.mNumMeshes; ++m) {
    const aiMesh* mesh = ai.mMeshes[m];
    for (unsigned b = 0; b < mesh->mNumBones; ++b) names.insert(mesh->mBones[b]->mName.C_Str());
  }
  for (unsigned a = 0; a < ai.mNumAnimations; ++a) {
    const aiAnimation* animation = ai.mAnimations[a];
    for (unsigned c = 0; c < animation->mNumChannels; ++c)
      names.insert(animation->mChannels[c]->mNodeName.C_Str());
    for (unsigned c = 0; c < animation->mNumMorphMeshChannels; ++c)
      names.insert(animation->mMorphMeshChannels[c]->mName.C_Str());
  }
  return names;
}

TransformParts PartsOf(ImportContext& context, const Matrix3& local, const std::string& node) {
  AffineParts a;
  decomp_affine(local, &a);
  TransformParts parts;
  parts.position = a.t;
  parts.rotation = a.q;
  for (int i = 0; i < 3; ++i) {
    if (a.k[i] < kSmallestScale) {
      context.Warn("node " + Quoted(node) + ": a scale factor of " + std::to_string(a.k[i]) +
                   " is raised to 1e-06 (a collapsed node cannot place its children)");
      a.k[i] = kSmallestScale;
    }
  }
  parts.scale = {a.k * a.f, a.u};
  return parts;
}

std::string MetaValue(const aiMetadataEntry& entry) {
  char text[96];
  switch (entry.mType) {
    case AI_BOOL:
      return *static_cast<const bool*>(entry.mData) ? "true" : "false";
    case AI_INT32:
      return std::to_string(*static_cast<const int32_t*>(entry.mData));
    case AI_UINT64:
      return std::to_string(*static_cast<const uint64_t*>(entry.mData));
    case AI_FLOAT:
      std::snprintf(text, sizeof text, "%g", *static_cast<const float*>(entry.mData));
      return text;
    case AI_DOUBLE:
      std::snprintf(text, sizeof text, "%g", *static_cast<const double*>(entry.mData));
      return text;
    case AI_AISTRING:
      return static_cast<const aiString*>(entry.mData)->C_Str();
    case AI_AIVECTOR3D: {
      const auto* v = static_cast<const aiVector3D*>(entry.mData);
      std::snprintf(text, sizeof text, "%g %g %g", v->x, v->y, v->z);
      return text;
    }
    default:
      return {};
  }
}

// The node's user data as the host's user-property text: the user-defined
// properties of an FBX node as they stand (the other FBX entries are the
// library's bookkeeping), else one "key = value" line per plain entry.
std::string UserProps(const ImportContext& context, const aiMetadata* meta) {
  if (!meta) return {};
  aiString defined;
  if (meta->Get("UserProperties", defined)) return defined.C_Str();
  if (context.format.find("FBX") != std::string::npos) return {};
  std::string text;
  for (unsigned i = 0; i < meta->mNumProperties; ++i) {
    const aiMetadataEntry& entry = meta->mValues[i];
    if (!entry.mData || entry.mType == AI_AIMETADATA) continue;
    std::string value = MetaValue(entry);
    if (value.find('\0') != std::string::npos) continue;
    if (!text.empty()) text += "\r\n";
    text += std::string(meta->mKeys[i].C_Str()) + " = " + value;
  }
  return text;
}

// The host name of a library node. The library names an unnamed glTF node
// "nodes[i]"; brackets cannot stand in the exporter's .ini sections, so such
// a node is called "Node_i".
std::string HostName(const ImportContext& context, const aiString& name) {
  if (name.length == 0) return "Node";
  std::string text = name.C_Str();
  if (context.format.find("glTF") != std::string::npos && text.rfind("nodes[", 0) == 0 &&
      text.back() == ']' && text.size() > 7 &&
      text.find_first_not_of("0123456789", 6) == text.size() - 1) {
    return "Node_" + text.substr(6, text.size() - 7);
  }
  return text;
}

}  // namespace

void ImportNodes(ImportContext& context) {
  const aiNode* root = context.ai.mRootNode;
  if (!root) throw AssetProblem("the asset holds no nodes");
  context.toHost = LibraryAxes(context);

  const std::unordered_set<std::string> inUse = NamesInUse(context.ai);
  const Matrix3 fold = HostMatrix(root->mTransformation) * context.toHost;
  if (root->mNumMeshes == 0 && !inUse.count(root->mName.C_Str()) && IsSimilarity(fold)) {
    context.foldedRoot = root;
  }

  struct Item {
    const aiNode* node;
    SceneNode* parent;  // null: the host's root
    Matrix3 parentWorld;
  };
  std::vector<Item> stack{{root, nullptr, Matrix3()}};
  while (!stack.empty()) {
    const Item item = stack.back();
    stack.pop_back();
    const aiNode* n = item.node;
    const std::string name = n->mName.C_Str();
    if (!Finite(n->mTransformation)) {
      throw AssetProblem("node " + Quoted(name) + ": its transform is not a finite number");
    }
    const Matrix3 local = HostMatrix(n->mTransformation);
    context.world[n] = local * item.parentWorld;

    SceneNode* host = nullptr;
    if (n != context.foldedRoot) {
      host = &context.scene.CreateNode(HostName(context, n->mName), item.parent);
      Matrix3 after;
      if (n == root)
        after = context.toHost;
      else if (n->mParent == context.foldedRoot)
        after = fold;
      if (!(after == Matrix3())) context.after[host] = after;
      host->SetTransform(PRSController::WithParts(PartsOf(context, local * after, name)));
      host->userProps = UserProps(context, n->mMetaData);
      context.nodes[n] = host;
      context.byName.emplace(name, host);
      context.order.push_back(n);
    }
    for (unsigned i = n->mNumChildren; i-- > 0;) {
      if (n->mChildren[i]) stack.push_back({n->mChildren[i], host, context.world[n]});
    }
  }
}

// Nodes that hold nothing become bones when a skin names them (as the host's
// skinned skeletons are made of bones), helpers otherwise.
void GiveEmptyNodesObjects(ImportContext& context) {
  std::unordered_set<std::string> bones;
  for (unsigned m = 0; m < context.ai.mNumMeshes; ++m) {
    const aiMesh* mesh = context.ai.mMeshes[m];
    for (unsigned b = 0; b < mesh->mNumBones; ++b) bones.insert(mesh->mBones[b]->mName.C_Str());
  }
  for (const aiNode* n : context.order) {
    SceneNode* node = context.Node(n);
    if (node->ObjectRef()) continue;
    node->SetObject(MakeObject(bones.count(n->mName.C_Str()) ? "bone" : "dummy"));
  }
}

}  // namespace kiln::standalone
