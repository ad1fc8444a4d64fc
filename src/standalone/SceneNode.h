#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/INode.h"
#include "host/Object.h"
#include "standalone/Controllers.h"

class Mtl;

namespace kiln::standalone {

class Scene;
class DerivedObject;

// A node of the in-memory scene. Structure (name, handle, parent and
// children) changes through Scene so that handles stay unique and the tree
// stays a tree; the rest is plain data.
class SceneNode final : public INode {
 public:
  SceneNode(Scene& scene, std::string name, uint32_t handle);
  ~SceneNode() override;
  SceneNode(const SceneNode&) = delete;
  SceneNode& operator=(const SceneNode&) = delete;

  // ---- INode
  const char* GetName() override { return name_.c_str(); }
  void SetName(const char* name) override { name_ = name ? name : ""; }
  uint32_t GetHandle() override { return handle_; }
  INode* GetParentNode() override { return parent_; }
  int IsRootNode() override { return isRoot_; }
  int NumberOfChildren() override { return static_cast<int>(children_.size()); }
  INode* GetChildNode(int i) override;
  int IsHidden() override { return hidden; }
  int Selected() override { return selected; }

  // The transform controller's local transform on the parent's node transform
  // (identity for the root; a node without controller sits on its parent).
  Matrix3 GetNodeTM(TimeValue t) override;
  Matrix3 GetParentTM(TimeValue t) override;
  // Object offset, then node transform. No space warps exist here, so the
  // object transform after them is the same.
  Matrix3 GetObjectTM(TimeValue t) override;
  Matrix3 GetObjTMAfterWSM(TimeValue t) override { return GetObjectTM(t); }
  Point3 GetObjOffsetPos() override { return objectOffset.position; }
  Quat GetObjOffsetRot() override { return objectOffset.rotation; }
  Point3 GetObjOffsetScale() override { return objectOffset.scale.scale; }
  Quat GetObjOffsetScaleAxis() override { return objectOffset.scale.axis; }

  // Runs the modifier stack bottom-up over a copy of the base mesh; the
  // result stays in this node until the next evaluation. An object that is
  // not a mesh, and an unmodified object, evaluate to themselves.
  ObjectState EvalWorldState(TimeValue t, bool evalHidden = true) override;
  Object* GetObjectRef() override { return object_.get(); }
  Mtl* GetMtl() override { return material; }
  Control* GetTMController() override { return transform_.get(); }
  Control* GetVisController() override { return visibility_.get(); }
  INode* GetTarget() override { return target; }
  std::string GetUserPropBuffer() override { return userProps; }

  // ---- the standalone scene's view
  const std::string& Name() const { return name_; }
  uint32_t Handle() const { return handle_; }
  bool IsRoot() const { return isRoot_; }
  SceneNode* Parent() const { return parent_; }
  const std::vector<SceneNode*>& Children() const { return children_; }
  Scene& OwnerScene() const { return scene_; }

  TransformController* Transform() const { return transform_.get(); }
  // The transform controller when it is a position/rotation/scale one.
  PRSController* PRS() const;
  void SetTransform(std::unique_ptr<TransformController> controller);
  FloatController* Visibility() const { return visibility_.get(); }
  void SetVisibility(std::unique_ptr<FloatController> controller);

  Object* ObjectRef() const { return object_.get(); }
  void SetObject(std::unique_ptr<Object> object);
  // The modifier stack, put over the node's object on first use. Throws
  // std::logic_error when the node has no object.
  DerivedObject& Stack();
  // The stack when the node has one.
  DerivedObject* StackIfAny() const;

  bool hidden = false;
  bool selected = false;
  TransformParts objectOffset;
  std::string userProps;
  Mtl* material = nullptr;      // owned by the scene
  SceneNode* target = nullptr;  // look-at target of cameras and lights

 private:
  friend class Scene;

  Scene& scene_;
  std::string name_;
  uint32_t handle_;
  bool isRoot_ = false;
  SceneNode* parent_ = nullptr;
  std::vector<SceneNode*> children_;
  std::unique_ptr<TransformController> transform_;
  std::unique_ptr<FloatController> visibility_;
  std::unique_ptr<Object> object_;
  std::unique_ptr<TriObject> evaluated_;
  // The last node transform computed while the scene holds its transforms
  // still (Scene::TransformsHeldStill), and the hold it belongs to.
  struct CachedTM {
    uint64_t hold = 0;
    TimeValue time = 0;
    Matrix3 tm;
  } cachedTM_;
  // Node transforms at the whole frames of the animation range during one
  // hold, so that sampling a node after its parent reads the parent's
  // transforms instead of computing them again. The scene bounds their size.
  struct FrameTMs {
    uint64_t hold = 0;
    uint64_t lastUse = 0;
    size_t frames = 0;
    std::unique_ptr<Matrix3[]> tms;  // written before read: known says which
    std::vector<bool> known;
    size_t Bytes() const { return frames * sizeof(Matrix3) + frames / 8; }
  } frameTMs_;
  bool evaluating_ = false;  // breaks a dependency loop instead of recursing forever
};

}  // namespace kiln::standalone
