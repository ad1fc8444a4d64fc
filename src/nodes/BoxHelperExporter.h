#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the box helper chunk (3, 16, 1) of a "bb_" node: node header, the
// centre and corner offset of its mesh's box in the node's object-offset
// space, and its object transform relative to the parent's at time 0.
class BoxHelperExporter : public NodeExporter {
 public:
  using NodeExporter::NodeExporter;
  // False, with an error naming the node, when the object gives no triangle
  // mesh or a mesh without vertices: there is no box to write.
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
