#pragma once
#include "host/GenLight.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {

// A light: colour, multiplier, spot cone and far attenuation live in its
// parameter block as the host keeps them; the numbers may be keyed.
class LightObject final : public SceneObject, public GenLight {
 public:
  // Parameter ids in the block.
  static constexpr ParamID kColor = 0;
  static constexpr ParamID kMultiplier = 1;
  static constexpr ParamID kHotspot = 2;  // degrees
  static constexpr ParamID kFalloff = 3;  // degrees
  static constexpr ParamID kUseFarAttenuation = 4;
  static constexpr ParamID kFarAttenuationStart = 5;
  static constexpr ParamID kFarAttenuationEnd = 6;

  LightObject(Class_ID classId, std::string className);

  void* GetInterface(uint32_t id) override {
    return id == I_GENLIGHT ? static_cast<GenLight*>(this) : nullptr;
  }
  int EvalLightState(TimeValue t, Interval& valid, LightState* ls) override;

  Parameter& Param(ParamID id) { return *params->Find(id); }
};

}  // namespace kiln::standalone
