#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the IK chain object chunk (4, 0, 1): node header, object offset and
// the node transform relative to the parent's at the start of the animation
// range. Requests (0, 0), the chain (7, 17) and, when the node's visibility
// is animated, (4, 6).
class IKChainObjectExporter : public NodeExporter {
 public:
  IKChainObjectExporter(INode* node, Interface* ip);
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
