#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the bone chunk (3, 14, 1) of a bone object: node header, object
// offset, and the object transform relative to the parent's at time 0. A bone
// that IK moves asks for its transform sampled (8, 0); any other for its
// transform from the controllers (0, 0).
class BoneExporter : public NodeExporter {
 public:
  BoneExporter(INode* node, Interface* ip);
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
