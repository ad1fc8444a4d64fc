#include "standalone/DependencyGraph.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "standalone/Modifiers.h"
#include "standalone/Scene.h"
#include "standalone/SceneObjects.h"
#include "standalone/WireController.h"

namespace kiln::standalone {

DependencyGraph::DependencyGraph(const Scene& scene) {
  for (const auto& node : scene.Nodes()) AddNode(*node);
}

std::pair<size_t, bool> DependencyGraph::VertexOf(const void* key, const Dependent& self) {
  auto [it, inserted] = index_.emplace(key, vertices_.size());
  if (inserted) vertices_.push_back({self, {}});
  return {it->second, inserted};
}

// Each holder refers to each thing once: parts are owned by one holder, and
// a wire names one source.
void DependencyGraph::Refer(size_t holder, const void* key, const Dependent& self) {
  vertices_[VertexOf(key, self).first].dependents.push_back(holder);
}

void DependencyGraph::AddNode(SceneNode& node) {
  const size_t self = VertexOf(&node, {BASENODE_CLASS_ID, nullptr, &node}).first;
  walking_ = &node;
  if (Control* transform = node.GetTMController()) AddController(self, transform);
  if (Control* visibility = node.GetVisController()) AddController(self, visibility);
  if (Object* object = node.GetObjectRef()) AddObject(self, object);
}

void DependencyGraph::AddObject(size_t holder, Object* object) {
  // Each object has one holder: its node, or the modifier stack over it.
  const Dependent self{object->SuperClassID(), object, nullptr};
  Refer(holder, object, self);
  const size_t vertex = index_.at(object);
  if (auto* stack = dynamic_cast<DerivedObject*>(object)) {
    for (int i = 0; i < stack->NumModifiers(); ++i) {
      StackModifier& modifier = stack->ModifierAt(i);
      const Dependent modifierSelf{modifier.SuperClassID(), &modifier, nullptr};
      Refer(vertex, &modifier, modifierSelf);
      const size_t m = VertexOf(&modifier, modifierSelf).first;
      if (auto* morpher = dynamic_cast<MorpherModifier*>(&modifier)) {
        for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
          if (Control* weight = morpher->WeightController(s)) AddController(m, weight);
        }
      }
    }
    AddObject(vertex, stack->GetObjRef());
  } else if (auto* scene = dynamic_cast<SceneObject*>(object); scene && scene->params) {
    ParamBlock* block = scene->params.get();
    const Dependent blockSelf{PARAMETER_BLOCK2_CLASS_ID, nullptr, nullptr};
    Refer(vertex, block, blockSelf);
    const size_t b = VertexOf(block, blockSelf).first;
    for (const Parameter& param : block->Params()) {
      for (const ParamValue& value : param.values) {
        if (value.keyed) AddController(b, value.keyed.get());
      }
    }
  }
}

void DependencyGraph::AddController(size_t holder, Control* controller) {
  // Walked with a stack: wires may follow one another far. What is reached
  // only through a wire's source is not held by the node being walked.
  struct Step {
    size_t from;
    Control* c;
    bool followed;
  };
  std::vector<Step> pending{{holder, controller, false}};
  while (!pending.empty()) {
    auto [from, c, followed] = pending.back();
    pending.pop_back();
    const Dependent self{c->SuperClassID(), c, nullptr};
    const bool isNew = !index_.count(c);
    Refer(from, c, self);
    if (!followed) owners_.emplace(c, walking_);
    if (!isNew) continue;
    controllers_.push_back(c);
    const size_t vertex = index_.at(c);
    Control* refs[] = {c->GetPositionController(), c->GetRotationController(),
                       c->GetScaleController(),    c->GetRollController(),
                       c->GetXController(),        c->GetYController(),
                       c->GetZController(),        nullptr};
    if (auto* wire = dynamic_cast<WireFloatController*>(c)) refs[7] = wire->source;
    for (int i = 7; i >= 0; --i) {
      if (refs[i]) pending.push_back({vertex, refs[i], followed || i == 7});
    }
  }
}

int DependencyGraph::Enumerate(Control* controller, DependentEnumProc* proc) const {
  auto it = index_.find(controller);
  if (it == index_.end())
    return proc->proc({controller->SuperClassID(), controller, nullptr}) == DEP_ENUM_HALT;
  std::vector<bool> seen(vertices_.size(), false);
  std::vector<size_t> stack{it->second};
  while (!stack.empty()) {
    const size_t v = stack.back();
    stack.pop_back();
    if (seen[v]) continue;
    seen[v] = true;
    const int answer = proc->proc(vertices_[v].self);
    if (answer == DEP_ENUM_HALT) return 1;
    if (answer == DEP_ENUM_SKIP) continue;
    const std::vector<size_t>& dependents = vertices_[v].dependents;
    for (auto d = dependents.rbegin(); d != dependents.rend(); ++d) {
      if (!seen[*d]) stack.push_back(*d);
    }
  }
  return 0;
}

namespace {

struct LiveScene {
  Scene* scene;
  uint64_t hold = 0;                       // the hold the graph was built in; 0: none built
  std::shared_ptr<DependencyGraph> graph;  // shared with enumerations under way
};

std::mutex& LiveScenesLock() {
  static std::mutex lock;
  return lock;
}
std::vector<LiveScene>& LiveScenes() {
  static std::vector<LiveScene> scenes;
  return scenes;
}

}  // namespace

void RegisterScene(Scene* scene) {
  std::lock_guard<std::mutex> guard(LiveScenesLock());
  LiveScenes().push_back({scene, 0, nullptr});
}

void ForgetScene(Scene* scene) {
  std::lock_guard<std::mutex> guard(LiveScenesLock());
  auto& scenes = LiveScenes();
  scenes.erase(std::remove_if(scenes.begin(), scenes.end(),
                              [scene](const LiveScene& live) { return live.scene == scene; }),
               scenes.end());
}

int EnumSceneDependents(Control* controller, DependentEnumProc* proc) {
  std::unique_lock<std::mutex> guard(LiveScenesLock());
  for (LiveScene& live : LiveScenes()) {
    const uint64_t hold = live.scene->TransformHold();
    if (!live.graph || hold == 0 || live.hold != hold) {
      live.graph = std::make_shared<DependencyGraph>(*live.scene);
      live.hold = hold;
    }
    if (!live.graph->Holds(controller)) continue;
    std::shared_ptr<const DependencyGraph> graph = live.graph;
    guard.unlock();  // proc may ask again
    return graph->Enumerate(controller, proc);
  }
  guard.unlock();
  return proc->proc({controller->SuperClassID(), controller, nullptr}) == DEP_ENUM_HALT;
}

}  // namespace kiln::standalone
