#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the light chunk (1, kind, 1) of the five standard light classes:
// omni 10, target spot 8, free directional 6, free spot 9, target
// directional 7. Requests (2, 1), (5, 3), (4, 4) for the two target lights,
// (0, 0) for the others, then (4, 6) when the node's visibility is animated.
class LightExporter : public NodeExporter {
 public:
  LightExporter(INode* node, Interface* ip);
  // False for a light of another class (nothing written) and for a target
  // spot without target (the chunk undone).
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
