#pragma once
#include "host/Matrix3.h"
#include "host/Time.h"

class INode;

// Transforms relative to the parent node, in host axes. The scene root's
// transform is the identity, so its children get their world transforms.
namespace kiln {

// Node transform at t times the inverse of the parent's node transform at t.
// One that is not finite (an overflow) is the identity, with an error naming
// the node logged once per export.
Matrix3 LocalTransform(INode* node, TimeValue t);
// The same with object transforms (the object offset included on both sides).
Matrix3 LocalObjectTransform(INode* node, TimeValue t);

}  // namespace kiln
