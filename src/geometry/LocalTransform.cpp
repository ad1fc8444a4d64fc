#include "geometry/LocalTransform.h"

#include "host/INode.h"

namespace kiln {

Matrix3 LocalTransform(INode* node, TimeValue t) {
  INode* parent = node->GetParentNode();
  const Matrix3 world = node->GetNodeTM(t);
  return parent ? world * Inverse(parent->GetNodeTM(t)) : world;
}

Matrix3 LocalObjectTransform(INode* node, TimeValue t) {
  INode* parent = node->GetParentNode();
  const Matrix3 world = node->GetObjectTM(t);
  return parent ? world * Inverse(parent->GetObjectTM(t)) : world;
}

}  // namespace kiln
