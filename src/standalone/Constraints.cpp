#include "standalone/Constraints.h"

#include <cmath>

#include "host/DecompAffine.h"
#include "standalone/SceneNode.h"

namespace kiln::standalone {

Matrix3 LinkConstraint::WorldTM(TimeValue t, const Matrix3& parentTM) {
  if (links.empty()) return PRSController::WorldTM(t, parentTM);
  const Link* active = &links.front();
  for (const Link& link : links) {
    if (link.time <= t) active = &link;
  }
  const Matrix3 linkTM = active->node ? active->node->GetNodeTM(t) : Matrix3();
  return PRSController::WorldTM(t, linkTM);
}

INode* LinkConstraint::GetNode(int i) {
  if (i < 0 || i >= GetNumTargets()) return nullptr;
  return links[static_cast<size_t>(i)].node;
}

TimeValue LinkConstraint::GetLinkTime(int i) {
  if (i < 0 || i >= GetNumTargets()) return 0;
  return links[static_cast<size_t>(i)].time;
}

INode* LookAtConstraint::GetNode(int i) {
  if (i < 0 || i >= GetNumTargets()) return nullptr;
  return targets[static_cast<size_t>(i)].node;
}

float LookAtConstraint::GetTargetWeight(int i) {
  if (i < 0 || i >= GetNumTargets()) return 0.0f;
  return targets[static_cast<size_t>(i)].weight;
}

namespace {

// A unit vector at right angles to v.
Point3 AnyPerpendicular(const Point3& v) {
  const Point3 a = std::fabs(v.x) < 0.6f   ? Point3(1, 0, 0)
                   : std::fabs(v.y) < 0.6f ? Point3(0, 1, 0)
                                           : Point3(0, 0, 1);
  return Normalize(CrossProd(v, a));
}

}  // namespace

Quat LookAtConstraint::ValueAt(TimeValue t, const NodePlace& place) const {
  Point3 sum;
  float total = 0.0f;
  for (const Target& target : targets) {
    if (!target.node) continue;
    sum += target.node->GetNodeTM(t).GetTrans() * target.weight;
    total += target.weight;
  }
  if (total == 0.0f) return {};
  Point3 look = sum * (1.0f / total) - place.worldPosition;
  if (Length(look) < 1e-6f) return {};
  look = Normalize(look) * (targetAxisFlip ? -1.0f : 1.0f);

  const Matrix3 upTM = (!upnodeWorld && upnode) ? upnode->GetNodeTM(t) : Matrix3();
  const int axis = (upnodeAxis >= 0 && upnodeAxis < 3) ? upnodeAxis : 2;
  Point3 up = upnodeControl == 1 ? upTM.GetRow(axis) : upTM.GetTrans() - place.worldPosition;
  if (upnodeAxisFlip) up = -up;
  up = up - look * DotProd(up, look);
  up = Length(up) < 1e-6f ? AnyPerpendicular(look) : Normalize(up);

  // Rows of the world rotation: the node's axes in the world.
  const int lookAxis = (targetAxis >= 0 && targetAxis < 3) ? targetAxis : 0;
  int upAxis = (sourceAxis >= 0 && sourceAxis < 3) ? sourceAxis : 2;
  if (upAxis == lookAxis) upAxis = (lookAxis + 1) % 3;
  Point3 rows[3];
  rows[lookAxis] = look;
  rows[upAxis] = up;
  const int third = 3 - lookAxis - upAxis;
  rows[third] = CrossProd(rows[(third + 1) % 3], rows[(third + 2) % 3]);
  Quat world(Matrix3(rows[0], rows[1], rows[2], Point3()));
  if (relative) world = offset * world;

  AffineParts parent;
  decomp_affine(place.parentTM, &parent);
  return Normalize(world * Inverse(parent.q));
}

}  // namespace kiln::standalone
