#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/INode.h"
#include "host/Object.h"

// Minimal host objects for the geometry tests: a node with settable
// transforms and object offset, modifiers known by class id, and modifier
// stacks.
namespace kiln::fake {

class Node : public INode {
 public:
  explicit Node(std::string name = "node") : name_(std::move(name)) {}

  Node* AddChild(std::string name) {
    children_.push_back(std::make_unique<Node>(std::move(name)));
    children_.back()->parent_ = this;
    return children_.back().get();
  }

  std::string name_;
  Node* parent_ = nullptr;
  std::vector<std::unique_ptr<Node>> children_;
  Matrix3 nodeTM, objectTM;
  Point3 offsetPos, offsetScale{1, 1, 1};
  Quat offsetRot, offsetScaleAxis;
  Object* objectRef = nullptr;

  const char* GetName() override { return name_.c_str(); }
  void SetName(const char* name) override { name_ = name; }
  uint32_t GetHandle() override { return 0; }
  INode* GetParentNode() override { return parent_; }
  int IsRootNode() override { return parent_ == nullptr; }
  int NumberOfChildren() override { return static_cast<int>(children_.size()); }
  INode* GetChildNode(int i) override { return children_[i].get(); }
  int IsHidden() override { return 0; }
  int Selected() override { return 0; }
  Matrix3 GetNodeTM(TimeValue) override { return nodeTM; }
  Matrix3 GetParentTM(TimeValue t) override { return parent_ ? parent_->GetNodeTM(t) : Matrix3(); }
  Matrix3 GetObjectTM(TimeValue) override { return objectTM; }
  Matrix3 GetObjTMAfterWSM(TimeValue) override { return objectTM; }
  Point3 GetObjOffsetPos() override { return offsetPos; }
  Quat GetObjOffsetRot() override { return offsetRot; }
  Point3 GetObjOffsetScale() override { return offsetScale; }
  Quat GetObjOffsetScaleAxis() override { return offsetScaleAxis; }
  ObjectState EvalWorldState(TimeValue, bool) override { return {objectRef}; }
  Object* GetObjectRef() override { return objectRef; }
  Mtl* GetMtl() override { return nullptr; }
  Control* GetTMController() override { return nullptr; }
  Control* GetVisController() override { return nullptr; }
  INode* GetTarget() override { return nullptr; }
  std::string GetUserPropBuffer() override { return {}; }
};

class FakeModifier : public Modifier {
 public:
  FakeModifier(Class_ID id, std::string name) : id_(id), name_(std::move(name)) {}
  Class_ID ClassID() override { return id_; }
  std::string GetClassName() override { return name_; }

 private:
  Class_ID id_;
  std::string name_;
};

class Stack : public IDerivedObject {
 public:
  Stack(std::vector<Modifier*> modifiers, Object* below)
      : modifiers_(std::move(modifiers)), below_(below) {}
  Class_ID ClassID() override { return {0xDE41, 0}; }
  std::string GetClassName() override { return "Modifier Stack"; }
  int NumModifiers() override { return static_cast<int>(modifiers_.size()); }
  Modifier* GetModifier(int index) override { return modifiers_[index]; }
  Object* GetObjRef() override { return below_; }

 private:
  std::vector<Modifier*> modifiers_;
  Object* below_;
};

}  // namespace kiln::fake
