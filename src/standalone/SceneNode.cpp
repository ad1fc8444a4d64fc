#include "standalone/SceneNode.h"

#include <stdexcept>

#include "standalone/Modifiers.h"
#include "standalone/Scene.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {

SceneNode::SceneNode(Scene& scene, std::string name, uint32_t handle)
    : scene_(scene), name_(std::move(name)), handle_(handle) {}

SceneNode::~SceneNode() = default;

INode* SceneNode::GetChildNode(int i) {
  if (i < 0 || i >= NumberOfChildren()) return nullptr;
  return children_[i];
}

Matrix3 SceneNode::GetNodeTM(TimeValue t) {
  if (isRoot_) return Matrix3();
  // While transforms are held still, each node's transform is computed once
  // per time from its parent's, so a walk costs one step per node rather
  // than one per level above it.
  const uint64_t hold = scene_.TransformHold();
  const long frame = hold != 0 ? scene_.FrameIndex(t) : -1;
  if (hold != 0) {
    if (cachedTM_.hold == hold && cachedTM_.time == t) return cachedTM_.tm;
    if (frame >= 0 && frameTMs_.hold == hold && static_cast<size_t>(frame) < frameTMs_.frames &&
        frameTMs_.known[frame]) {
      frameTMs_.lastUse = scene_.NextFrameCacheUse();
      return frameTMs_.tms[frame];
    }
  }
  Matrix3 parentTM = GetParentTM(t);
  // A node whose transform depends on itself (through constraints) sits on
  // its parent while the loop is open.
  if (evaluating_) return parentTM;
  evaluating_ = true;
  Matrix3 tm = transform_ ? transform_->WorldTM(t, parentTM) : parentTM;
  evaluating_ = false;
  if (hold != 0) {
    cachedTM_ = {hold, t, tm};
    if (frame >= 0 && frameTMs_.hold != hold) scene_.StartFrameCache(*this);
    if (frame >= 0 && static_cast<size_t>(frame) < frameTMs_.frames) {
      frameTMs_.tms[frame] = tm;
      frameTMs_.known[frame] = true;
      frameTMs_.lastUse = scene_.NextFrameCacheUse();
    }
  }
  return tm;
}

Matrix3 SceneNode::GetParentTM(TimeValue t) {
  return parent_ ? parent_->GetNodeTM(t) : Matrix3();
}

Matrix3 SceneNode::GetObjectTM(TimeValue t) {
  return ComposeTransform(objectOffset) * GetNodeTM(t);
}

ObjectState SceneNode::EvalWorldState(TimeValue t, bool evalHidden) {
  (void)evalHidden;  // hidden nodes evaluate like any other
  ObjectState state;
  DerivedObject* stack = StackIfAny();
  if (!stack) {
    state.obj = object_.get();
    return state;
  }
  Object& base = stack->Base();
  TriObject* baseMesh = base.ConvertToType(t, TRIOBJ_CLASS_ID);
  if (!baseMesh) {
    state.obj = &base;
    return state;
  }
  // One result object per node, refilled, so a pointer from an earlier
  // evaluation still points at a live object.
  if (!evaluated_) evaluated_ = std::make_unique<TriObject>();
  evaluated_->mesh = baseMesh->mesh;
  for (int i = stack->NumModifiers() - 1; i >= 0; --i) {
    StackModifier& modifier = stack->ModifierAt(i);
    if (modifier.IsEnabled()) modifier.Apply(t, *this, evaluated_->mesh);
  }
  state.obj = evaluated_.get();
  return state;
}

PRSController* SceneNode::PRS() const {
  return dynamic_cast<PRSController*>(transform_.get());
}

void SceneNode::SetTransform(std::unique_ptr<TransformController> controller) {
  transform_ = std::move(controller);
  if (transform_) transform_->owner = this;
  scene_.TransformControllersChanged();
}

void SceneNode::SetVisibility(std::unique_ptr<FloatController> controller) {
  visibility_ = std::move(controller);
}

void SceneNode::SetObject(std::unique_ptr<Object> object) {
  object_ = std::move(object);
  evaluated_.reset();
}

DerivedObject& SceneNode::Stack() {
  if (DerivedObject* stack = StackIfAny()) return *stack;
  if (!object_) throw std::logic_error("node " + name_ + " has no object to modify");
  object_ = std::make_unique<DerivedObject>(std::move(object_));
  return static_cast<DerivedObject&>(*object_);
}

DerivedObject* SceneNode::StackIfAny() const {
  return dynamic_cast<DerivedObject*>(object_.get());
}

}  // namespace kiln::standalone
