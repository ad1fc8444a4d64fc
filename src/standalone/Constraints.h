#pragma once
#include <string>
#include <vector>

#include "host/Constraints.h"
#include "standalone/Controllers.h"

namespace kiln::standalone {

// A link constraint: a transform controller whose position, rotation and
// scale parts place the node relative to the node of the link active at the
// time (the last link whose time has come; the first one before that), in
// place of its parent in the hierarchy. A link without a node follows the
// world; without any link the node follows its parent.
class LinkConstraint final : public PRSController, public ILinkCtrl {
 public:
  struct Link {
    SceneNode* node = nullptr;  // null: the world
    TimeValue time = 0;
  };

  Class_ID ClassID() override { return LINK_CONSTRAINT_CLASS_ID; }
  std::string GetClassName() override { return "Link Constraint"; }
  void* GetInterfaceByID(Interface_ID id) override {
    return id == LINK_CONSTRAINT_INTERFACE ? static_cast<ILinkCtrl*>(this) : nullptr;
  }
  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override;

  // ILinkCtrl
  int GetNumTargets() override { return static_cast<int>(links.size()); }
  INode* GetNode(int i) override;
  TimeValue GetLinkTime(int i) override;

  std::vector<Link> links;  // in time order
};

// A look-at constraint: turns the node so that its target axis points at the
// weighted average of its targets' positions, with its source axis toward
// the upnode (look at) or along the upnode's axis (axis alignment).
// The upnode is the world (its origin, its axes) unless one is given.
class LookAtConstraint final : public RotationControl, public ILookAtConstRotation {
 public:
  using RotationControl::ValueAt;
  struct Target {
    SceneNode* node = nullptr;  // null: the target was deleted
    float weight = 50.0f;
  };

  Class_ID ClassID() override { return LOOKAT_CONSTRAINT_CLASS_ID; }
  std::string GetClassName() override { return "LookAt Constraint"; }
  void* GetInterfaceByID(Interface_ID id) override {
    return id == LOOKAT_CONSTRAINT_INTERFACE ? static_cast<ILookAtConstRotation*>(this) : nullptr;
  }
  // The rotation relative to place.parentTM that turns the node as above.
  Quat ValueAt(TimeValue t, const NodePlace& place) const override;

  // ILookAtConstRotation
  int GetNumTargets() override { return static_cast<int>(targets.size()); }
  INode* GetNode(int i) override;
  float GetTargetWeight(int i) override;
  bool GetRelative() override { return relative; }
  bool GetTargetAxisFlip() override { return targetAxisFlip; }
  bool GetStoUPAxisFlip() override { return upnodeAxisFlip; }
  bool GetUpnodeWorld() override { return upnodeWorld; }
  bool GetVLisAbs() override { return viewlineAbsolute; }
  int GetTargetAxis() override { return targetAxis; }
  int GetUpNodeAxis() override { return upnodeAxis; }
  int GetStoUPAxis() override { return sourceAxis; }
  int GetUpnodeControl() override { return upnodeControl; }

  std::vector<Target> targets;
  bool relative = false;  // turn by offset first, then look
  bool targetAxisFlip = false;
  bool upnodeAxisFlip = false;
  bool upnodeWorld = true;
  bool viewlineAbsolute = false;  // display only
  int targetAxis = 0;
  int upnodeAxis = 2;
  int sourceAxis = 2;
  int upnodeControl = 0;        // 0 look at the upnode, 1 align with its axis
  SceneNode* upnode = nullptr;  // used when upnodeWorld is off
  Quat offset;                  // the initial offset kept while relative is on
};

}  // namespace kiln::standalone
