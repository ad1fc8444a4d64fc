#pragma once
#include "scene/NodeExporter.h"

namespace kiln {

// Writes the dummy chunk (3, 13, 1) of dummy helpers and point objects; the
// car centre "p_CenterOfCar" also gets its "Pos" .ini entry.
class DummyExporter : public NodeExporter {
 public:
  DummyExporter(INode* node, Interface* ip);
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
