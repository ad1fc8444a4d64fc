#pragma once
#include "host/GenCamera.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {

// A camera: its field of view and clipping distances live in its parameter
// block, each a plain value or keyed by a controller, as the host keeps them.
// Only an animated field of view has a controller to hand out.
class CameraObject final : public SceneObject, public GenCamera {
 public:
  // Parameter ids in the block.
  static constexpr ParamID kFov = 0;
  static constexpr ParamID kNearClip = 1;
  static constexpr ParamID kFarClip = 2;
  // A new camera's values: a 45 degree view, clipping from 1 to 1000.
  static constexpr float kDefaultFov = 0.7853982f;
  static constexpr float kDefaultNear = 1.0f;
  static constexpr float kDefaultFar = 1000.0f;

  CameraObject(Class_ID classId, std::string className);

  void* GetInterface(uint32_t id) override {
    return id == I_GENCAMERA ? static_cast<GenCamera*>(this) : nullptr;
  }
  Control* GetFOVControl() override { return params->GetController(kFov, 0); }
  int EvalCameraState(TimeValue t, Interval& valid, CameraState* cs) override;
  float GetClipDist(TimeValue t, int which, Interval& valid) override;

  // The value (or the controller, which then decides) of a parameter.
  Parameter& Param(ParamID id) { return *params->Find(id); }
};

}  // namespace kiln::standalone
