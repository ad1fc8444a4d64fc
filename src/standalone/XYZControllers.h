#pragma once
#include <memory>
#include <string>

#include "standalone/ValueControl.h"

namespace kiln::standalone {

// A position made of three float controllers, one per axis; a missing one is 0.
class PositionXYZController final : public PositionControl {
 public:
  using PositionControl::ValueAt;
  Class_ID ClassID() override { return IPOS_CONTROL_CLASS_ID; }
  std::string GetClassName() override { return "Position XYZ"; }
  Control* GetXController() override { return x.get(); }
  Control* GetYController() override { return y.get(); }
  Control* GetZController() override { return z.get(); }
  Point3 ValueAt(TimeValue t, const NodePlace& place) const override;

  std::unique_ptr<FloatControl> x, y, z;
};

// A rotation made of three Euler angles (radians), turning about x, then y,
// then z (fixed axes), each a float controller; a missing one is 0.
class EulerXYZController final : public RotationControl {
 public:
  using RotationControl::ValueAt;
  Class_ID ClassID() override { return EULER_CONTROL_CLASS_ID; }
  std::string GetClassName() override { return "Euler XYZ"; }
  Control* GetXController() override { return x.get(); }
  Control* GetYController() override { return y.get(); }
  Control* GetZController() override { return z.get(); }
  Quat ValueAt(TimeValue t, const NodePlace& place) const override;

  std::unique_ptr<FloatControl> x, y, z;
};

}  // namespace kiln::standalone
