#pragma once
#include "host/Time.h"

class INode;

// The link constraint (GetInterfaceByID(LINK_CONSTRAINT_INTERFACE)): the node
// follows link i's node from link i's time until the next link's. A link
// without a node follows the world.
class ILinkCtrl {
 public:
  virtual ~ILinkCtrl() = default;
  virtual int GetNumTargets() = 0;
  virtual INode* GetNode(int i) = 0;  // null: the world
  virtual TimeValue GetLinkTime(int i) = 0;
};

// The look-at constraint (GetInterfaceByID(LOOKAT_CONSTRAINT_INTERFACE)), a
// rotation controller that turns the node's target axis toward the weighted
// average of its targets. Axes are 0 (x), 1 (y), 2 (z).
class ILookAtConstRotation {
 public:
  virtual ~ILookAtConstRotation() = default;
  virtual int GetNumTargets() = 0;
  virtual INode* GetNode(int i) = 0;  // null when the target node was deleted
  virtual float GetTargetWeight(int i) = 0;
  virtual bool GetRelative() = 0;        // keeps the initial offset
  virtual bool GetTargetAxisFlip() = 0;  // the target axis points away
  virtual bool GetStoUPAxisFlip() = 0;   // the source axis points against the upnode
  virtual bool GetUpnodeWorld() = 0;     // the upnode is the world
  virtual bool GetVLisAbs() = 0;         // the viewline length is absolute
  virtual int GetTargetAxis() = 0;       // the node's axis toward the target
  virtual int GetUpNodeAxis() = 0;       // the upnode's axis to align with
  virtual int GetStoUPAxis() = 0;        // the node's axis toward the upnode
  virtual int
  GetUpnodeControl() = 0;  // 0 the source axis looks at the upnode, 1 aligns with its axis
};
