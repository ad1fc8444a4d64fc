#include "standalone/IKControllers.h"

#include <algorithm>
#include <cmath>

#include "standalone/Scene.h"

namespace kiln::standalone {

INode* IKChainController::StartJoint() {
  return startJoint;
}

INode* IKChainController::EndJoint() {
  return endJoint;
}

SceneNode* IKChainController::MiddleJoint() const {
  if (!startJoint || !endJoint) return nullptr;
  for (SceneNode* n = endJoint; n; n = n->Parent()) {
    if (n->Parent() == startJoint) return n;
  }
  return nullptr;
}

namespace {

IKChainController* ChainOf(SceneNode& node) {
  return dynamic_cast<IKChainController*>(node.Transform());
}

// The local transform a node's controller gives on parentTM, before solves.
Matrix3 ForwardLocal(SceneNode& node, TimeValue t, const Matrix3& parentTM) {
  TransformController* c = node.Transform();
  return c ? c->LocalTM(t, parentTM) : Matrix3();
}

// The rotation taking direction from onto direction to by the smallest turn.
Quat TurnBetween(const Point3& from, const Point3& to) {
  const Point3 a = Normalize(from), b = Normalize(to);
  const float cosine = std::clamp(DotProd(a, b), -1.0f, 1.0f);
  Point3 axis = CrossProd(a, b);
  if (Length(axis) < 1e-7f) {
    if (cosine > 0) return {};
    axis = std::fabs(a.x) < 0.6f ? CrossProd(a, {1, 0, 0}) : CrossProd(a, {0, 1, 0});
  }
  return QFromAngAxis(std::acos(cosine), axis);
}

// A turn about a point: translate it to the origin, turn, translate back.
Matrix3 TurnAbout(const Quat& q, const Point3& centre) {
  return TransMatrix(-centre) * RotateMatrix(q) * TransMatrix(centre);
}

struct Solution {
  Matrix3 start, middle;  // world transforms of the two joints
};

// Solves chain on top of the forward pose, where the start joint's forward
// world transform is startFK.
Solution Solve(const IKChainController& chain, SceneNode& goalNode, TimeValue t,
               const Matrix3& startFK) {
  SceneNode* middle = chain.MiddleJoint();
  const Matrix3 middleFK = ForwardLocal(*middle, t, startFK) * startFK;
  // Forward pose of the joints below the middle one, down to the end joint.
  std::vector<SceneNode*> path;
  for (SceneNode* n = chain.endJoint; n != middle; n = n->Parent()) path.push_back(n);
  Matrix3 endFK = middleFK;
  for (auto it = path.rbegin(); it != path.rend(); ++it)
    endFK = ForwardLocal(**it, t, endFK) * endFK;

  const Point3 s = startFK.GetTrans(), m = middleFK.GetTrans(), e = endFK.GetTrans();
  const Point3 goal = goalNode.GetNodeTM(t).GetTrans();
  const float upper = Length(m - s), lower = Length(e - m);
  Solution out{startFK, middleFK};
  if (upper < 1e-6f || lower < 1e-6f) return out;

  // Bend: the angle at the middle joint for the goal's distance, kept in the
  // forward pose's plane.
  const float reach = std::clamp(Length(goal - s), std::fabs(upper - lower), upper + lower);
  const float cosine = std::clamp(
      (upper * upper + lower * lower - reach * reach) / (2 * upper * lower), -1.0f, 1.0f);
  const float angle = std::acos(cosine);
  const Point3 toStart = Normalize(s - m);
  Point3 side = (e - m) - toStart * DotProd(e - m, toStart);
  if (Length(side) < 1e-6f)
    side =
        std::fabs(toStart.x) < 0.6f ? CrossProd(toStart, {1, 0, 0}) : CrossProd(toStart, {0, 1, 0});
  side = Normalize(side);
  const Point3 bentEnd = (toStart * std::cos(angle) + side * std::sin(angle)) * lower;
  const Matrix3 bend = TurnAbout(TurnBetween(e - m, bentEnd), m);

  // Swing: the smallest turn at the start joint that points the end at the goal.
  const Point3 end = m + bentEnd;
  const Matrix3 swing = goal == s ? Matrix3() : TurnAbout(TurnBetween(end - s, goal - s), s);
  out.start = startFK * swing;
  out.middle = middleFK * bend * swing;
  return out;
}

bool OnChain(const IKChainController& chain, const SceneNode* node, int jointType) {
  if (!chain.startJoint || !chain.endJoint) return false;
  if (jointType == IK_POS_JOINT) return node == chain.endJoint;
  for (SceneNode* n = chain.endJoint->Parent(); n; n = n->Parent()) {
    if (n == node) return true;
    if (n == chain.startJoint) return false;
  }
  return false;
}

}  // namespace

Matrix3 IKController::WorldTM(TimeValue t, const Matrix3& parentTM) {
  const Matrix3 forward = PRSController::WorldTM(t, parentTM);
  if (!owner) return forward;
  for (SceneNode* node : owner->OwnerScene().IKChainNodes()) {
    IKChainController* chain = ChainOf(*node);
    if (!chain || !chain->MiddleJoint()) continue;
    if (owner == chain->startJoint) return Solve(*chain, *node, t, forward).start;
    if (owner == chain->MiddleJoint()) {
      SceneNode* start = chain->startJoint;
      const Matrix3 startParent = start->GetParentTM(t);
      const Matrix3 startFK = ForwardLocal(*start, t, startParent) * startParent;
      return Solve(*chain, *node, t, startFK).middle;
    }
  }
  return forward;
}

std::vector<INode*> IKController::IKChains(int jointType) {
  std::vector<INode*> chains;
  if (!owner) return chains;
  for (SceneNode* node : owner->OwnerScene().NodesDepthFirst()) {
    IKChainController* chain = ChainOf(*node);
    if (chain && OnChain(*chain, owner, jointType)) chains.push_back(node);
  }
  return chains;
}

}  // namespace kiln::standalone
