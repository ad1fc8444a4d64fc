#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the camera chunk of a camera node: (2, 11, 1) for a target camera,
// (2, 12, 1) for any other. A target camera also records its view in the
// .ini file. Requests (2, 1), (5, 3), (4, 4) for a target camera, (0, 0) for
// a free one, then (4, 5) when the camera's field of view is animated: the
// request is made here rather than during the export so that animation
// exports, which run no node export, carry the field of view too.
class CameraExporter : public NodeExporter {
 public:
  CameraExporter(INode* node, Interface* ip);
  // False, with the chunk undone, when a target camera has no target.
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
