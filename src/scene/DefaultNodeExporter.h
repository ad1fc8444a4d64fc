#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the plain node chunk (22, 0, 1) for any node: the fallback of every
// walk. Car attachment points also get their "Pos" and "Normal" .ini entries.
class DefaultNodeExporter : public NodeExporter {
 public:
  // Requests the transform tracks the node's transform controller can give.
  DefaultNodeExporter(INode* node, Interface* ip);
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
