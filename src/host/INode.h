#pragma once
#include <string>

#include "host/Matrix3.h"
#include "host/Time.h"

class Object;
class Control;
class Mtl;

// The result of evaluating a node: its object after every modifier. The
// object belongs to the node and stays valid until the node's next evaluation.
struct ObjectState {
  Object* obj = nullptr;
};

// A node of the scene tree.
class INode {
 public:
  virtual ~INode() = default;

  virtual const char* GetName() = 0;
  virtual void SetName(const char* name) = 0;
  virtual uint32_t GetHandle() = 0;

  virtual INode* GetParentNode() = 0;
  virtual int IsRootNode() = 0;
  virtual int NumberOfChildren() = 0;
  virtual INode* GetChildNode(int i) = 0;
  virtual int IsHidden() = 0;
  virtual int Selected() = 0;

  // World transform of the node's pivot.
  virtual Matrix3 GetNodeTM(TimeValue t) = 0;
  // World transform of the parent's pivot (identity for the root's children).
  virtual Matrix3 GetParentTM(TimeValue t) = 0;
  // Object transform: the object offset applied to the node transform.
  virtual Matrix3 GetObjectTM(TimeValue t) = 0;
  virtual Matrix3 GetObjTMAfterWSM(TimeValue t) = 0;
  virtual Point3 GetObjOffsetPos() = 0;
  virtual Quat GetObjOffsetRot() = 0;
  // Scale with its axis system.
  virtual Point3 GetObjOffsetScale() = 0;
  virtual Quat GetObjOffsetScaleAxis() = 0;

  virtual ObjectState EvalWorldState(TimeValue t, bool evalHidden = true) = 0;
  // The object at the top of the node's reference chain (a derived object when
  // the node has modifiers).
  virtual Object* GetObjectRef() = 0;
  virtual Mtl* GetMtl() = 0;
  virtual Control* GetTMController() = 0;
  virtual Control* GetVisController() = 0;
  virtual INode* GetTarget() = 0;
  virtual std::string GetUserPropBuffer() = 0;
};
