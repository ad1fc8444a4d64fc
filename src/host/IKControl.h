#pragma once
#include <vector>

#include "host/Animatable.h"

class INode;

// An IK solver: a plug-in known by its class (super class IK_SOLVER_CLASS_ID).
class IKSolver : public Animatable {
 public:
  SClass_ID SuperClassID() override { return IK_SOLVER_CLASS_ID; }
};

// The transform controller of an IK chain object's node
// (GetInterface(I_IKCHAINCONTROL)): the joints it moves and its solver.
class IIKChainControl {
 public:
  virtual ~IIKChainControl() = default;
  virtual INode* StartJoint() = 0;
  virtual INode* EndJoint() = 0;
  virtual IKSolver* GetSolver() = 0;
};

// Which joints IIKControl::IKChains lists chains for.
constexpr int IK_POS_JOINT = 0;  // chains that place this node: it is their end joint
constexpr int IK_ROT_JOINT = 1;  // chains that turn this node: start joint down to the end's parent

// The transform controller of a joint that IK moves (GetInterface(I_IKCONTROL)).
class IIKControl {
 public:
  virtual ~IIKControl() = default;
  // The IK chain nodes acting on this joint as the given joint type, in the
  // scene's node order; empty when there are none.
  virtual std::vector<INode*> IKChains(int jointType) = 0;
};
