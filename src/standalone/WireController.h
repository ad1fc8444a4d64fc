#pragma once
#include <string>

#include "standalone/ValueControl.h"

namespace kiln::standalone {

// The class of the float wire: a float controller that follows another float
// controller of the scene, so that dragging one value (a slider's) moves a
// channel of another node (a door's rotation about its hinge).
constexpr Class_ID kFloatWireClassId{0x57495245, 0x464C5431};

// value(t) = offset + factor * source(t). The source is not owned: it lives
// elsewhere in the same scene (the scene's validation checks that it does,
// and that wires never follow themselves round a loop).
class WireFloatController final : public FloatControl {
 public:
  using FloatControl::ValueAt;
  Class_ID ClassID() override { return kFloatWireClassId; }
  std::string GetClassName() override { return "Float Wire"; }
  float ValueAt(TimeValue t, const NodePlace& place) const override;

  FloatControl* source = nullptr;
  float factor = 1.0f;
  float offset = 0.0f;

 private:
  mutable bool evaluating_ = false;  // a loop of wires reads 0 from the source
};

class Scene;

// Gives every wire source of the scene that has no id a new one
// ("controller1", ...), so that a scene file can name it.
void NameWireSources(const Scene& scene);

}  // namespace kiln::standalone
