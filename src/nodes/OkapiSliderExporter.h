#pragma once
#include <string>

#include "scene/NodeExporter.h"

class Control;

namespace kiln {

// One transform channel of a node that a slider may drive.
struct SliderChannel {
  std::string name;            // "POSITION_X", ...
  Control* control = nullptr;  // the float controller animating it, if any
};

// Writes no chunk: records in the .cfg file, under each node the slider
// drives, the slider's minimum and maximum for every transform channel that
// a wire on the slider's value drives directly ("POSITION_Z_MIN" = "0.0").
class OkapiSliderExporter : public NodeExporter {
 public:
  using NodeExporter::NodeExporter;
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
