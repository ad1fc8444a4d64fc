#pragma once
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "host/Dependents.h"

class Control;
class Object;

namespace kiln::standalone {

class Scene;
class SceneNode;

// Who refers to what in a scene, as the host's reference graph has it: a
// node refers to its transform and visibility controllers and its object; a
// modifier stack to its modifiers and its base object; an object to its
// parameter block; a parameter block, a morpher and a controller to the
// controllers they hold (parts, axes, keyed values); a wire to its source.
// Each holder is a dependent of what it refers to.
class DependencyGraph {
 public:
  explicit DependencyGraph(const Scene& scene);

  // EnumDependents for a controller of this scene: proc sees the controller
  // first, then its dependents depth first in the order the scene holds
  // them (nodes in creation order), each once. Nonzero when proc halted.
  int Enumerate(Control* controller, DependentEnumProc* proc) const;
  bool Holds(const Control* controller) const { return index_.count(controller) != 0; }
  // The node that holds a controller (in its transform, visibility, object
  // or modifiers), null when only wires follow it from elsewhere.
  SceneNode* Owner(const Control* controller) const {
    auto it = owners_.find(controller);
    return it == owners_.end() ? nullptr : it->second;
  }
  // Every controller of the scene, in the order the graph met them.
  const std::vector<Control*>& Controllers() const { return controllers_; }

 private:
  struct Vertex {
    Dependent self;
    std::vector<size_t> dependents;
  };
  // The vertex of something, made on first sight; true when it is new.
  std::pair<size_t, bool> VertexOf(const void* key, const Dependent& self);
  void Refer(size_t holder, const void* key, const Dependent& self);
  void AddNode(SceneNode& node);
  void AddObject(size_t holder, ::Object* object);
  void AddController(size_t holder, Control* controller);

  SceneNode* walking_ = nullptr;  // the node whose references are being added

  std::vector<Vertex> vertices_;
  std::unordered_map<const void*, size_t> index_;
  std::vector<Control*> controllers_;
  std::unordered_map<const Control*, SceneNode*> owners_;
};

// The host's EnumDependents for a controller of any live scene (every
// standalone controller answers with it). A controller that no scene holds
// has no dependents: proc sees it alone.
int EnumSceneDependents(Control* controller, DependentEnumProc* proc);

// Scenes announce themselves for EnumSceneDependents while they live. While
// a scene holds its transforms still (an export), its graph is built once.
void RegisterScene(Scene* scene);
void ForgetScene(Scene* scene);

}  // namespace kiln::standalone
