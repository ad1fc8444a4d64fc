#include "geometry/LocalTransform.h"

#include <cmath>
#include <cstdio>

#include "host/INode.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

bool IsFinite(const Matrix3& m) {
  for (int r = 0; r < 4; ++r) {
    const Point3 row = m.GetRow(r);
    if (!std::isfinite(row.x) || !std::isfinite(row.y) || !std::isfinite(row.z)) return false;
  }
  return true;
}

// Values near the float limit can overflow when transforms are composed or
// inverted. Such a transform is written as the identity, never as infinities
// or NaNs, with one error for the node however many chunks ask for it.
Matrix3 FiniteOrIdentity(INode* node, const Matrix3& m) {
  if (IsFinite(m)) return m;
  char text[1024];  // as the log formats it
  std::snprintf(text, sizeof text, "Transform of node %s is not finite: written as the identity",
                node->GetName());
  bool logged = false;
  if (CurrentLog) {
    for (const std::string& error : CurrentLog->Errors()) logged = logged || error == text;
  }
  if (!logged) LogError(CurrentLog, "%s", text);
  return Matrix3(true);
}

}  // namespace

Matrix3 LocalTransform(INode* node, TimeValue t) {
  INode* parent = node->GetParentNode();
  const Matrix3 world = node->GetNodeTM(t);
  return FiniteOrIdentity(node, parent ? world * Inverse(parent->GetNodeTM(t)) : world);
}

Matrix3 LocalObjectTransform(INode* node, TimeValue t) {
  INode* parent = node->GetParentNode();
  const Matrix3 world = node->GetObjectTM(t);
  return FiniteOrIdentity(node, parent ? world * Inverse(parent->GetObjectTM(t)) : world);
}

}  // namespace kiln
