#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Bone helpers: deliberately nothing, neither chunk nor track.
class NullExporter : public NodeExporter {
 public:
  using NodeExporter::NodeExporter;
  int Export(CZX9_DiskWriter*, Object*) override { return 1; }
};

}  // namespace kiln
