// Scene::Validate: the rules are listed where it is declared.
#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "standalone/ControllerValidation.h"
#include "standalone/Modifiers.h"
#include "standalone/ObjectValidation.h"
#include "standalone/Scene.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {
namespace {

bool Finite(float f) {
  return std::isfinite(f);
}
bool Finite(const Point3& p) {
  return Finite(p.x) && Finite(p.y) && Finite(p.z);
}
bool Finite(const Quat& q) {
  return Finite(q.x) && Finite(q.y) && Finite(q.z) && Finite(q.w);
}
bool Finite(const Matrix3& m) {
  for (int r = 0; r < 4; ++r) {
    if (!Finite(m.GetRow(r))) return false;
  }
  return true;
}
bool UnitQuat(const Quat& q) {
  float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  return std::fabs(length - 1.0f) <= 1e-3f;
}

std::string Index(size_t i) {
  return std::string("/").append(std::to_string(i));
}

class Validator {
 public:
  explicit Validator(const Scene& scene) : scene_(scene) {
    for (const auto& node : scene.Nodes()) nodes_.insert(node.get());
    for (const auto& material : scene.Materials()) materials_.insert(material.get());
    for (const auto& texture : scene.Textures()) textures_.insert(texture.get());
  }

  std::vector<SceneProblem> Run() {
    CheckClock();
    CheckTree();
    for (const auto& node : scene_.Nodes()) CheckNode(*node);
    CheckWires(scene_, problems_);
    CheckMaterials();
    return std::move(problems_);
  }

 private:
  void Report(const SceneNode* node, std::string path, std::string message) {
    problems_.push_back({node, std::move(path), std::move(message)});
  }

  void CheckClock() {
    if (scene_.frameRate < 1 || scene_.frameRate > TIME_TICKSPERSEC ||
        TIME_TICKSPERSEC % scene_.frameRate != 0) {
      Report(nullptr, "frameRate",
             "frame rate " + std::to_string(scene_.frameRate) + " does not divide 4800 ticks");
    }
    if (scene_.animRange.start > scene_.animRange.end) {
      Report(nullptr, "animRange", "animation range starts after it ends");
    }
  }

  void CheckTree() {
    const SceneNode& root = scene_.Root();
    if (root.Handle() != Scene::kRootHandle || root.Parent() || root.ObjectRef()) {
      Report(&root, "", "the root must have handle 0, no parent and no object");
    }
    std::unordered_set<uint32_t> handles;
    for (const auto& node : scene_.Nodes()) {
      if (!handles.insert(node->Handle()).second) {
        Report(node.get(), "handle", "handle used by another node");
      }
    }
    // Walk down from the root, counting visits: a node met twice is in a
    // cycle or has two parents; a node never met is an orphan.
    std::unordered_set<const SceneNode*> seen{&root};
    std::vector<std::pair<const SceneNode*, size_t>> stack{{&root, 0}};  // node, depth
    while (!stack.empty()) {
      auto [node, depth] = stack.back();
      stack.pop_back();
      for (const SceneNode* child : node->Children()) {
        if (child->Parent() != node) {
          Report(child, "parent",
                 "listed as a child of '" + node->Name() + "' but its parent is another node");
        }
        if (!seen.insert(child).second) {
          Report(child, "parent", "reached twice from the root (cycle or two parents)");
          continue;
        }
        // Reported once per branch, at the first level too deep.
        if (depth + 1 == Scene::kMaxDepth + 1) {
          std::string text = "more than ";
          text += std::to_string(Scene::kMaxDepth);
          text += " levels below the root";
          Report(child, "parent", text);
        }
        stack.push_back({child, depth + 1});
      }
    }
    for (const auto& node : scene_.Nodes()) {
      if (!seen.count(node.get())) Report(node.get(), "parent", "not reachable from the root");
    }
  }

  void CheckNode(const SceneNode& node) {
    if (node.Name().empty()) Report(&node, "name", "empty name");
    if (!node.IsRoot()) CheckTransform(node);
    CheckObjectParams(node, problems_);
    if (node.target && (!nodes_.count(node.target) || node.target == &node)) {
      Report(&node, "target", "target is not another node of this scene");
    }
    if (node.material && !materials_.count(node.material)) {
      Report(&node, "material", "material is not one of the scene's materials");
    }
    const Object* object = node.ObjectRef();
    if (!object) return;
    DerivedObject* stack = node.StackIfAny();
    const Object* base = stack ? stack->GetObjRef() : object;
    if (stack && (!base || dynamic_cast<const DerivedObject*>(base))) {
      Report(&node, "object", "a modifier stack needs a base object that is not a stack");
      return;
    }
    const Mesh* mesh = BaseMesh(base);
    if (mesh) CheckMesh(node, *mesh);
    if (stack) CheckModifiers(node, *stack, mesh);
  }

  static const Mesh* BaseMesh(const Object* base) {
    if (auto* tri = dynamic_cast<const TriObject*>(base)) return &tri->mesh;
    if (auto* other = dynamic_cast<const SceneObject*>(base)) {
      return other->mesh ? &*other->mesh : nullptr;
    }
    return nullptr;
  }

  void CheckRotation(const SceneNode& node, const std::string& path, const Quat& q) {
    if (!Finite(q) || !UnitQuat(q)) Report(&node, path, "rotation is not a finite unit quaternion");
  }

  void CheckScale(const SceneNode& node, const std::string& path, const ScaleWithAxis& s) {
    if (!Finite(s.scale) || s.scale.x == 0.0f || s.scale.y == 0.0f || s.scale.z == 0.0f) {
      Report(&node, path, "scale factors must be finite and non-zero");
    }
    CheckRotation(node, path + "/axis", s.axis);
  }

  void CheckTransform(const SceneNode& node) {
    CheckNodeControllers(node, nodes_, problems_);
    if (!Finite(node.objectOffset.position)) {
      Report(&node, "objectOffset/position", "position is not finite");
    }
    CheckRotation(node, "objectOffset/rotation", node.objectOffset.rotation);
    CheckScale(node, "objectOffset/scale", node.objectOffset.scale);
  }

  void CheckMesh(const SceneNode& node, const Mesh& mesh) {
    const size_t vertCount = mesh.verts.size();
    for (size_t i = 0; i < vertCount; ++i) {
      if (!Finite(mesh.verts[i])) {
        Report(&node, "mesh/verts" + Index(i), "vertex is not finite");
        break;
      }
    }
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
      for (int c = 0; c < 3; ++c) {
        if (mesh.faces[f].v[c] >= vertCount) {
          Report(&node, "mesh/faces" + Index(f) + "/v" + Index(c),
                 "vertex index " + std::to_string(mesh.faces[f].v[c]) + " outside the " +
                     std::to_string(vertCount) + " vertices");
          return;  // one bad face says enough; the rest would repeat it
        }
      }
    }
    CheckCornerFaces(node, "tvfaces", mesh.tvFace, mesh.faces.size(), mesh.tVerts.size(),
                     "texture vertices");
    CheckCornerFaces(node, "vcfaces", mesh.vcFace, mesh.faces.size(), mesh.vertCol.size(),
                     "colour vertices");
    if (!mesh.specifiedNormals.empty()) {
      if (mesh.specifiedNormals.size() != vertCount) {
        Report(&node, "mesh/normals",
               std::to_string(mesh.specifiedNormals.size()) + " normals for " +
                   std::to_string(vertCount) + " vertices");
      }
      for (size_t i = 0; i < mesh.specifiedNormals.size(); ++i) {
        if (!Finite(mesh.specifiedNormals[i])) {
          Report(&node, "mesh/normals" + Index(i), "normal is not finite");
          break;
        }
      }
    }
    if (mesh.specifiedNormalSet.size() != mesh.specifiedNormals.size()) {
      Report(&node, "mesh/normalSet", "one set flag per specified normal expected");
    }
  }

  void CheckCornerFaces(const SceneNode& node, const std::string& field,
                        const std::vector<TVFace>& faces, size_t faceCount, size_t vertCount,
                        const std::string& what) {
    if (faces.empty()) return;
    if (faces.size() != faceCount) {
      Report(
          &node, "mesh/" + field,
          std::to_string(faces.size()) + " faces where the mesh has " + std::to_string(faceCount));
      return;
    }
    for (size_t f = 0; f < faces.size(); ++f) {
      for (int c = 0; c < 3; ++c) {
        if (faces[f].t[c] >= vertCount) {
          Report(&node, "mesh/" + field + Index(f) + Index(c),
                 "index " + std::to_string(faces[f].t[c]) + " outside the " +
                     std::to_string(vertCount) + " " + what);
          return;
        }
      }
    }
  }

  void CheckModifiers(const SceneNode& node, DerivedObject& stack, const Mesh* mesh) {
    for (int m = 0; m < stack.NumModifiers(); ++m) {
      const std::string path = "modifiers" + Index(m);
      StackModifier& modifier = stack.ModifierAt(m);
      if (auto* skin = dynamic_cast<SkinModifier*>(&modifier)) CheckSkin(node, path, *skin, mesh);
      if (auto* morpher = dynamic_cast<MorpherModifier*>(&modifier)) {
        CheckMorpher(node, path, *morpher, mesh);
      }
    }
  }

  void CheckSkin(const SceneNode& node, const std::string& path, SkinModifier& skin,
                 const Mesh* mesh) {
    std::unordered_set<const INode*> bones;
    for (size_t b = 0; b < skin.bones.size(); ++b) {
      const INode* bone = skin.bones[b].node;
      if (!bone || !nodes_.count(bone)) {
        Report(&node, path + "/bones" + Index(b), "bone is not a node of this scene");
      } else if (!bones.insert(bone).second) {
        Report(&node, path + "/bones" + Index(b), "bone listed twice");
      }
      if (skin.bones[b].bindTM && !Finite(*skin.bones[b].bindTM)) {
        Report(&node, path + "/bones" + Index(b) + "/bindTM", "bind transform is not finite");
      }
    }
    if (skin.skinBindTM && !Finite(*skin.skinBindTM)) {
      Report(&node, path + "/bindTM", "bind transform is not finite");
    }
    const size_t vertCount = mesh ? mesh->verts.size() : 0;
    if (static_cast<size_t>(skin.NumPoints()) > vertCount) {
      Report(&node, path + "/weights",
             std::to_string(skin.NumPoints()) + " weighted points but the mesh has " +
                 std::to_string(vertCount) + " vertices");
    }
    for (int p = 0; p < skin.NumPoints(); ++p) {
      std::span<const BoneWeight> weights = skin.PointWeights(p);
      for (size_t k = 0; k < weights.size(); ++k) {
        const std::string at = path + "/weights" + Index(p) + Index(k);
        if (weights[k].bone < 0 || weights[k].bone >= skin.GetNumBones()) {
          Report(&node, at + "/0",
                 "bone index " + std::to_string(weights[k].bone) + " outside the " +
                     std::to_string(skin.GetNumBones()) + " bones");
          return;
        }
        if (!Finite(weights[k].weight) || weights[k].weight < 0.0f) {
          Report(&node, at + "/1", "weight must be finite and not negative");
          return;
        }
      }
    }
  }

  void CheckMorpher(const SceneNode& node, const std::string& path, MorpherModifier& morpher,
                    const Mesh* mesh) {
    const size_t vertCount = mesh ? mesh->verts.size() : 0;
    size_t listed = 0;  // channels are written as a list of the present slots
    for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
      const MorphChannelSlot& slot = morpher.SlotAt(s);
      if (!slot.present) continue;
      const std::string at = path + "/channels" + Index(listed++);
      const size_t count = slot.deltas.size();
      if (count > vertCount) {
        Report(&node, at + "/deltas",
               std::to_string(count) + " deltas but the mesh has " + std::to_string(vertCount) +
                   " vertices");
      }
      if (slot.weights.size() != count) {
        Report(&node, at + "/pointWeights", "one weight per delta expected");
      }
      if (!slot.points.empty() && slot.points.size() != count) {
        Report(&node, at + "/points", "one target point per delta expected");
      }
      bool finite = Finite(morpher.WeightAt(s, 0));
      for (const Point3& d : slot.deltas) finite = finite && Finite(d);
      for (const Point3& p : slot.points) finite = finite && Finite(p);
      for (double w : slot.weights) finite = finite && std::isfinite(w);
      if (!finite) Report(&node, at, "channel holds numbers that are not finite");
    }
  }

  void CheckMaterials() {
    bool cyclic = false;
    const auto& materials = scene_.Materials();
    for (size_t i = 0; i < materials.size(); ++i) {
      Material& m = *materials[i];
      for (size_t s = 0; s < m.subMaterials.size(); ++s) {
        if (m.subMaterials[s] && !materials_.count(m.subMaterials[s])) {
          Report(nullptr, "materials" + Index(i) + "/subMaterials" + Index(s),
                 "not one of the scene's materials");
        }
      }
      for (size_t s = 0; s < m.maps.size(); ++s) {
        if (m.maps[s] && !textures_.count(m.maps[s])) {
          Report(nullptr, "materials" + Index(i) + "/maps",
                 "map is not one of the scene's textures");
        }
      }
      if (ContainsItself<Mtl>(
              &m, [](Mtl* x, int k) { return x->GetSubMtl(k); },
              [](Mtl* x) { return x->NumSubMtls(); })) {
        Report(nullptr, "materials" + Index(i), "material is its own sub-material");
        cyclic = true;
      }
    }
    if (!cyclic) CheckMaterialTrees();
    const auto& textures = scene_.Textures();
    for (size_t i = 0; i < textures.size(); ++i) {
      Texture& t = *textures[i];
      for (size_t s = 0; s < t.subTexmaps.size(); ++s) {
        if (t.subTexmaps[s] && !textures_.count(t.subTexmaps[s])) {
          Report(nullptr, "textures" + Index(i) + "/subTexmaps" + Index(s),
                 "not one of the scene's textures");
        }
      }
      if (ContainsItself<Texmap>(
              &t, [](Texmap* x, int k) { return x->GetSubTexmap(k); },
              [](Texmap* x) { return x->NumSubTexmaps(); })) {
        Report(nullptr, "textures" + Index(i), "map is its own sub-map");
      }
    }
  }

  // Depth and tree size of every material, children before parents, without
  // recursion (a hostile file may nest deeply).
  void CheckMaterialTrees() {
    struct Tree {
      size_t depth = 0, size = 0;
    };
    std::unordered_map<Mtl*, Tree> trees;
    const auto& materials = scene_.Materials();
    for (size_t i = 0; i < materials.size(); ++i) {
      std::vector<std::pair<Mtl*, bool>> stack{{materials[i].get(), false}};
      while (!stack.empty()) {
        auto [m, childrenDone] = stack.back();
        stack.pop_back();
        if (trees.count(m)) continue;
        if (!childrenDone) {
          stack.push_back({m, true});
          for (int k = 0; k < m->NumSubMtls(); ++k) {
            Mtl* sub = m->GetSubMtl(k);
            if (sub && materials_.count(sub) && !trees.count(sub)) stack.push_back({sub, false});
          }
          continue;
        }
        Tree tree{1, 1};
        for (int k = 0; k < m->NumSubMtls(); ++k) {
          auto it = trees.find(m->GetSubMtl(k));
          if (it == trees.end()) continue;
          tree.depth = std::max(tree.depth, it->second.depth + 1);
          tree.size = std::min(tree.size + it->second.size, Scene::kMaxMaterialTree + 1);
        }
        trees[m] = tree;
      }
      const Tree& tree = trees[materials[i].get()];
      if (tree.depth > Scene::kMaxMaterialDepth) {
        Report(nullptr, "materials" + Index(i),
               "sub-materials nest " + std::to_string(tree.depth) + " levels deep (at most " +
                   std::to_string(Scene::kMaxMaterialDepth) + ")");
      } else if (tree.size > Scene::kMaxMaterialTree) {
        Report(nullptr, "materials" + Index(i),
               "the material's tree holds more than " + std::to_string(Scene::kMaxMaterialTree) +
                   " materials counted through every path");
      }
    }
  }

  // Whether start can be reached from itself through its children.
  template <typename T>
  static bool ContainsItself(T* start, const std::function<T*(T*, int)>& child,
                             const std::function<int(T*)>& count) {
    std::unordered_set<T*> seen;
    std::vector<T*> stack{start};
    while (!stack.empty()) {
      T* x = stack.back();
      stack.pop_back();
      for (int k = 0; k < count(x); ++k) {
        T* c = child(x, k);
        if (!c) continue;
        if (c == start) return true;
        if (seen.insert(c).second) stack.push_back(c);
      }
    }
    return false;
  }

  const Scene& scene_;
  std::unordered_set<const INode*> nodes_;
  std::unordered_set<const Mtl*> materials_;
  std::unordered_set<const Texmap*> textures_;
  std::vector<SceneProblem> problems_;
};

}  // namespace

std::vector<SceneProblem> Scene::Validate() const {
  return Validator(*this).Run();
}

}  // namespace kiln::standalone
