#include "standalone/Scene.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_set>

#include "standalone/DependencyGraph.h"
#include "standalone/IKControllers.h"
#include "standalone/Modifiers.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {

std::string Describe(const SceneProblem& problem) {
  std::string text;
  if (problem.node) {
    text = "node '" + problem.node->Name() + "' (handle " + std::to_string(problem.node->Handle()) +
           ")";
    if (!problem.path.empty()) text += " " + problem.path;
  } else {
    text = problem.path;
  }
  return text + ": " + problem.message;
}

Scene::Scene() {
  nodes_.push_back(std::make_unique<SceneNode>(*this, kRootName, kRootHandle));
  nodes_.front()->isRoot_ = true;
  byHandle_[kRootHandle] = nodes_.front().get();
  RegisterScene(this);
}

Scene::~Scene() {
  ForgetScene(this);
}

SceneNode& Scene::CreateNode(std::string name, SceneNode* parent, std::optional<uint32_t> handle) {
  if (parent && &parent->OwnerScene() != this) {
    throw std::invalid_argument("parent of node " + name + " belongs to another scene");
  }
  uint32_t h = handle.value_or(nextHandle_);
  if (byHandle_.count(h)) {
    throw std::invalid_argument("handle " + std::to_string(h) + " of node " + name +
                                " is already in use");
  }
  auto node = std::make_unique<SceneNode>(*this, std::move(name), h);
  SceneNode& created = *node;
  nodes_.push_back(std::move(node));
  byHandle_[h] = &created;
  if (h >= nextHandle_ && h != UINT32_MAX) nextHandle_ = h + 1;
  SceneNode& p = parent ? *parent : Root();
  created.parent_ = &p;
  p.children_.push_back(&created);
  return created;
}

void Scene::SetParent(SceneNode& node, SceneNode& parent) {
  if (node.isRoot_) throw std::invalid_argument("the root node cannot get a parent");
  if (&node.OwnerScene() != this || &parent.OwnerScene() != this) {
    throw std::invalid_argument("node " + node.Name() +
                                " or its new parent belongs to another scene");
  }
  for (SceneNode* up = &parent; up; up = up->parent_) {
    if (up == &node) {
      throw std::invalid_argument("node " + parent.Name() + " is " + node.Name() +
                                  " or below it and cannot be its parent");
    }
  }
  if (node.parent_) std::erase(node.parent_->children_, &node);
  node.parent_ = &parent;
  parent.children_.push_back(&node);
}

void Scene::SetParents(const std::vector<std::pair<SceneNode*, SceneNode*>>& links) {
  std::unordered_map<SceneNode*, SceneNode*> newParent;
  for (auto [node, parent] : links) {
    if (node->isRoot_) throw std::invalid_argument("the root node cannot get a parent");
    if (&node->OwnerScene() != this || &parent->OwnerScene() != this) {
      throw std::invalid_argument("node " + node->Name() +
                                  " or its new parent belongs to another scene");
    }
    if (!newParent.emplace(node, parent).second) {
      throw std::invalid_argument("node " + node->Name() + " is given two parents");
    }
  }
  // Follow the parent links as they will be: a walk that comes back onto its
  // own path is a loop. Nodes whose walk ended are not walked again.
  enum class Mark { kOnPath, kDone };
  std::unordered_map<SceneNode*, Mark> marks;
  std::vector<SceneNode*> path;
  for (auto [start, ignored] : links) {
    path.clear();
    for (SceneNode* up = start; up;) {
      auto [mark, fresh] = marks.emplace(up, Mark::kOnPath);
      if (!fresh) {
        if (mark->second == Mark::kOnPath) {
          throw std::invalid_argument("node " + newParent[start]->Name() + " is " + start->Name() +
                                      " or below it and cannot be its parent");
        }
        break;
      }
      path.push_back(up);
      auto moved = newParent.find(up);
      up = moved != newParent.end() ? moved->second : up->parent_;
    }
    for (SceneNode* node : path) marks[node] = Mark::kDone;
  }
  std::unordered_set<SceneNode*> oldParents;
  for (auto [node, parent] : links) {
    if (node->parent_) oldParents.insert(node->parent_);
  }
  for (SceneNode* old : oldParents) {
    std::erase_if(old->children_, [&](SceneNode* child) { return newParent.count(child) > 0; });
  }
  for (auto [node, parent] : links) {
    node->parent_ = parent;
    parent->children_.push_back(node);
  }
}

SceneNode* Scene::FindNode(uint32_t handle) const {
  auto it = byHandle_.find(handle);
  return it == byHandle_.end() ? nullptr : it->second;
}

SceneNode* Scene::FindNode(std::string_view name) const {
  if (nodes_.front()->Name() == name) return nodes_.front().get();
  for (SceneNode* node : NodesDepthFirst()) {
    if (node->Name() == name) return node;
  }
  return nullptr;
}

std::vector<SceneNode*> Scene::NodesDepthFirst() const {
  std::vector<SceneNode*> order;
  order.reserve(nodes_.size());
  std::vector<SceneNode*> stack(nodes_.front()->children_.rbegin(),
                                nodes_.front()->children_.rend());
  while (!stack.empty()) {
    SceneNode* node = stack.back();
    stack.pop_back();
    order.push_back(node);
    stack.insert(stack.end(), node->children_.rbegin(), node->children_.rend());
  }
  return order;
}

void Scene::SetDefaultBindPoses() {
  for (const auto& node : nodes_) {
    DerivedObject* stack = node->StackIfAny();
    for (int i = 0; stack && i < stack->NumModifiers(); ++i) {
      if (auto* skin = dynamic_cast<SkinModifier*>(&stack->ModifierAt(i))) {
        skin->SetDefaultBindPose(*node);
      }
    }
  }
}

const std::vector<SceneNode*>& Scene::IKChainNodes() const {
  if (!ikChainsKnown_) {
    ikChains_.clear();
    for (const auto& node : nodes_) {
      if (dynamic_cast<IKChainController*>(node->Transform())) ikChains_.push_back(node.get());
    }
    ikChainsKnown_ = true;
  }
  return ikChains_;
}

void Scene::ReleaseTransforms() {
  transformHold_ = 0;
  for (const auto& node : nodes_) node->frameTMs_ = {};
  frameCacheBytes_ = 0;
}

long Scene::FrameIndex(TimeValue t) const {
  const int perFrame = TicksPerFrame();
  if (perFrame <= 0 || t < animRange.start || t > animRange.end) return -1;
  const long offset = static_cast<long>(t) - animRange.start;
  return offset % perFrame == 0 ? offset / perFrame : -1;
}

void Scene::StartFrameCache(SceneNode& node) {
  const size_t frames =
      static_cast<size_t>((animRange.end - animRange.start) / TicksPerFrame()) + 1;
  SceneNode::FrameTMs& cache = node.frameTMs_;
  frameCacheBytes_ -= std::min(frameCacheBytes_, cache.Bytes());
  const size_t bytes = frames * sizeof(Matrix3) + frames / 8;
  if (frameCacheBytes_ + bytes > frameCacheBudget) {
    // Free the least recently used caches down to half the budget.
    std::vector<SceneNode*> holders;
    for (const auto& n : nodes_) {
      if (n.get() != &node && n->frameTMs_.frames > 0) holders.push_back(n.get());
    }
    std::sort(holders.begin(), holders.end(), [](const SceneNode* a, const SceneNode* b) {
      return a->frameTMs_.lastUse < b->frameTMs_.lastUse;
    });
    for (SceneNode* n : holders) {
      if (frameCacheBytes_ + bytes <= frameCacheBudget / 2) break;
      frameCacheBytes_ -= std::min(frameCacheBytes_, n->frameTMs_.Bytes());
      n->frameTMs_ = {};
    }
  }
  cache.hold = transformHold_;
  if (cache.frames != frames) cache.tms = std::make_unique_for_overwrite<Matrix3[]>(frames);
  cache.frames = frames;
  cache.known.assign(frames, false);
  frameCacheBytes_ += cache.Bytes();
}

Material& Scene::CreateMaterial(std::string name) {
  materials_.push_back(std::make_unique<Material>(std::move(name)));
  return *materials_.back();
}

Texture& Scene::CreateTexture(std::string name) {
  textures_.push_back(std::make_unique<Texture>(std::move(name)));
  return *textures_.back();
}

}  // namespace kiln::standalone
