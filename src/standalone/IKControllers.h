#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/IKControl.h"
#include "standalone/Controllers.h"

namespace kiln::standalone {

// An IK solver plug-in: only its class is known.
class IKSolverObject final : public IKSolver {
 public:
  IKSolverObject(Class_ID classId = IKHISOLVER_CLASS_ID, std::string className = "IKHISolver")
      : classId_(classId), className_(std::move(className)) {}
  Class_ID ClassID() override { return classId_; }
  std::string GetClassName() override { return className_; }

 private:
  Class_ID classId_;
  std::string className_;
};

// The transform controller of an IK chain object's node: the node is the
// goal that the chain's end joint reaches for, placed by its position,
// rotation and scale parts; the chain runs from the start joint down to the
// end joint, which lies below it.
class IKChainController final : public PRSController, public IIKChainControl {
 public:
  Class_ID ClassID() override { return IKCHAINCONTROL_CLASS_ID; }
  std::string GetClassName() override { return "IKChainControl"; }
  void* GetInterface(uint32_t id) override {
    return id == I_IKCHAINCONTROL ? static_cast<IIKChainControl*>(this) : nullptr;
  }

  INode* StartJoint() override;
  INode* EndJoint() override;
  IKSolver* GetSolver() override { return solver.get(); }

  // The start joint's child on the way to the end joint; null when the end
  // joint is not below the start joint.
  SceneNode* MiddleJoint() const;

  SceneNode* startJoint = nullptr;
  SceneNode* endJoint = nullptr;
  std::unique_ptr<IKSolverObject> solver = std::make_unique<IKSolverObject>();
};

// The transform controller of a joint that IK chains move. Its position,
// rotation and scale parts are the forward-kinematics motion; every chain
// solves on top of it, two bones at a time: the chain's middle joint bends
// so that the end joint is as far from the start joint as the goal is (as
// far as the bones reach), then the start joint swings the chain, by the
// smallest turn, to point the end joint at the goal. The bend keeps the plane
// of the forward pose. Joints below the middle one follow rigidly.
class IKController final : public PRSController, public IIKControl {
 public:
  Class_ID ClassID() override { return IKCONTROL_CLASS_ID; }
  std::string GetClassName() override { return "IK Controller"; }
  void* GetInterface(uint32_t id) override {
    return id == I_IKCONTROL ? static_cast<IIKControl*>(this) : nullptr;
  }

  Matrix3 WorldTM(TimeValue t, const Matrix3& parentTM) override;
  std::vector<INode*> IKChains(int jointType) override;
};

}  // namespace kiln::standalone
