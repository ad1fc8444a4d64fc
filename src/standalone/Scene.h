#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/Time.h"
#include "standalone/SceneMaterials.h"
#include "standalone/SceneNode.h"

namespace kiln::standalone {

// One thing wrong with a scene. The path says where, in the words of the
// scene file: relative to the node's entry when there is a node
// ("mesh/faces/7/v/2"), else relative to the document ("materials/2").
struct SceneProblem {
  const SceneNode* node = nullptr;
  std::string path;
  std::string message;
};
// "node 'Box' (handle 3) mesh/faces/7/v/2: ..." or "materials/2: ...".
std::string Describe(const SceneProblem& problem);

// The in-memory scene: owns its nodes (the root first), materials and
// textures, and knows the host's clock and plug-in configuration folder.
class Scene {
 public:
  static constexpr uint32_t kRootHandle = 0;
  static constexpr const char* kRootName = "Scene Root";
  // Deepest level a node may sit at below the root. The exporter's walks
  // recurse once per level; no real scene comes near this.
  static constexpr size_t kMaxDepth = 10000;
  // Deepest nesting of sub-materials, and most materials one material may
  // hold counted through every path (the exporter writes a material's whole
  // tree inside its chunk, so a material shared at every level of a deep
  // tree would multiply its size).
  static constexpr size_t kMaxMaterialDepth = 100;
  static constexpr size_t kMaxMaterialTree = 100000;

  Scene();
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  SceneNode& Root() { return *nodes_.front(); }
  const SceneNode& Root() const { return *nodes_.front(); }

  // A new node, last child of parent (the root when null). Without a handle
  // it gets one above every handle in use. Throws std::invalid_argument for
  // a handle in use or a parent of another scene.
  SceneNode& CreateNode(std::string name, SceneNode* parent = nullptr,
                        std::optional<uint32_t> handle = std::nullopt);
  // Makes node the last child of parent. Throws std::invalid_argument for the
  // root, a node of another scene, or a parent that is the node or below it.
  void SetParent(SceneNode& node, SceneNode& parent);
  // SetParent for many (node, parent) pairs, each node at most once, in list
  // order, in time linear in the scene rather than in the product of the
  // number of links and the depth. Throws std::invalid_argument, changing
  // nothing, where one of the SetParent calls would.
  void SetParents(const std::vector<std::pair<SceneNode*, SceneNode*>>& links);

  SceneNode* FindNode(uint32_t handle) const;
  // The first node of that exact name, depth first from the root.
  SceneNode* FindNode(std::string_view name) const;
  // Every node but the root, parents before children, children in order.
  std::vector<SceneNode*> NodesDepthFirst() const;
  // Every node, the root first, in creation order.
  const std::vector<std::unique_ptr<SceneNode>>& Nodes() const { return nodes_; }

  Material& CreateMaterial(std::string name);
  Texture& CreateTexture(std::string name);
  const std::vector<std::unique_ptr<Material>>& Materials() const { return materials_; }
  const std::vector<std::unique_ptr<Texture>>& Textures() const { return textures_; }

  // Gives every skin bind transform left unset the pose at the skin's
  // reference frame. Builders and readers call it once the scene is complete.
  void SetDefaultBindPoses();

  int TicksPerFrame() const { return frameRate > 0 ? TIME_TICKSPERSEC / frameRate : 0; }

  int frameRate = 30;                     // frames per second; must divide 4800
  Interval animRange{0, 100 * 160};       // ticks
  TimeValue time = 0;                     // the host's current time, ticks
  std::filesystem::path pluginConfigDir;  // GetDir(APP_PLUGCFG_DIR); empty: none

  // Checks what the exporter relies on; a scene with problems is never
  // exported. The rules:
  //  - frame rate between 1 and 4800 and a divisor of 4800; the animation
  //    range's start not after its end;
  //  - handles unique; the root has handle 0, no parent and no object;
  //  - every node has a non-empty name (names may repeat: the exporter
  //    renames collisions itself);
  //  - parent and child links agree, and every node hangs from the root
  //    exactly once (no cycles, no orphans), at most kMaxDepth levels down;
  //  - transforms are finite: controller and object offset positions,
  //    rotations and scales; rotations (and scale axes) are unit
  //    quaternions within 1e-3; scale factors are non-zero, since a singular
  //    node transform leaves its children's relative transforms undefined;
  //    roll and visibility values are finite;
  //  - keyframe controllers (every part, roll, visibility, morph weights,
  //    fields of view, XYZ and Euler axes): keys in strictly increasing
  //    time with finite values and tangents, Bezier lengths from 0 to 1 (or
  //    -1), tension, continuity and bias from -1 to 1, eases from 0 to 1,
  //    known out-of-range types; keyed scale factors may be 0;
  //  - look-at targets and upnodes, and link nodes, are other nodes of this
  //    scene not below the node (whose transform they would then depend on);
  //  - IK chains: start and end joints of this scene, the end joint below
  //    the start joint, the chain's own node not the start joint or below it;
  //  - target and bone nodes, materials and maps belong to this scene; a
  //    node does not target itself, nor, on a look-at transform, a node
  //    below it;
  //  - camera, light and slider parameters finite; clipping distances not
  //    below zero and a hotspot not larger than its falloff, as values, key
  //    values and at every key time (ObjectValidation.h);
  //  - every float wire follows a float controller of this scene, no wire
  //    follows itself round a loop, and no two controllers share an id;
  //  - meshes: finite vertices; face vertex indices below the vertex count;
  //    texture and colour faces absent or one per face, with indices below
  //    their vertex counts; specified normals absent or one per vertex,
  //    finite, with a set flag per normal;
  //  - a modifier stack has a base object that is not itself a stack;
  //  - skin: bones listed once each; no more points than the base mesh has
  //    vertices; weights name existing bones, are finite and not negative;
  //    bind transforms finite;
  //  - morpher: per channel no more deltas than the base mesh has vertices,
  //    one per-point weight per delta, target points absent or one per
  //    delta, all finite; the channel weight finite;
  //  - no material is its own sub-material, no map its own sub-map, at any
  //    depth; sub-materials nest at most kMaxMaterialDepth levels, and a
  //    material's tree, counted through every path, holds at most
  //    kMaxMaterialTree materials.
  std::vector<SceneProblem> Validate() const;

  // Promises that no transform changes until the hold ends, so node
  // transforms may be computed once per time (as a host does during an
  // export). Holds do not nest.
  void HoldTransformsStill() { transformHold_ = ++lastHold_; }
  void ReleaseTransforms();
  // The current hold, 0 when transforms may change.
  uint64_t TransformHold() const { return transformHold_; }

  // Nodes whose transform controller is an IK chain's, in creation order.
  const std::vector<SceneNode*>& IKChainNodes() const;
  // Called when a node takes another transform controller.
  void TransformControllersChanged() { ikChainsKnown_ = false; }

  // Whole-frame transforms cached during a hold take at most this many bytes;
  // past it the least recently used nodes give theirs up.
  size_t frameCacheBudget = size_t{64} << 20;
  // The frame of the animation range t falls on, -1 off whole frames.
  long FrameIndex(TimeValue t) const;

 private:
  friend class SceneNode;
  uint64_t NextFrameCacheUse() { return ++frameCacheClock_; }
  // Gives node an empty frame cache for the current hold.
  void StartFrameCache(SceneNode& node);

  size_t frameCacheBytes_ = 0;
  uint64_t frameCacheClock_ = 0;
  mutable std::vector<SceneNode*> ikChains_;
  mutable bool ikChainsKnown_ = false;
  std::vector<std::unique_ptr<SceneNode>> nodes_;
  std::unordered_map<uint32_t, SceneNode*> byHandle_;
  uint32_t nextHandle_ = 1;
  uint64_t transformHold_ = 0;
  uint64_t lastHold_ = 0;
  std::vector<std::unique_ptr<Material>> materials_;
  std::vector<std::unique_ptr<Texture>> textures_;
};

// Holds a scene's transforms still for the length of a scope (an export).
class TransformsHeldStill {
 public:
  explicit TransformsHeldStill(Scene& scene) : scene_(scene) { scene_.HoldTransformsStill(); }
  ~TransformsHeldStill() { scene_.ReleaseTransforms(); }
  TransformsHeldStill(const TransformsHeldStill&) = delete;
  TransformsHeldStill& operator=(const TransformsHeldStill&) = delete;

 private:
  Scene& scene_;
};

}  // namespace kiln::standalone
