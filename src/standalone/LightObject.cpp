#include "standalone/LightObject.h"

namespace kiln::standalone {

// A new light is white at full strength, with a 43 degree hotspot inside a
// 45 degree falloff, and far attenuation off between 80 and 200 units.
LightObject::LightObject(Class_ID classId, std::string className)
    : SceneObject(classId, LIGHT_CLASS_ID, std::move(className)) {
  params = std::make_unique<ParamBlock>();
  params->Add("color", kColor, TYPE_RGBA).Colour({1.0f, 1.0f, 1.0f});
  params->Add("multiplier", kMultiplier, TYPE_FLOAT).Number(1.0f);
  params->Add("hotsize", kHotspot, TYPE_FLOAT).Number(43.0f);
  params->Add("fallsize", kFalloff, TYPE_FLOAT).Number(45.0f);
  params->Add("useFarAtten", kUseFarAttenuation, TYPE_BOOL).Int(0);
  params->Add("farAttenStart", kFarAttenuationStart, TYPE_WORLD).Number(80.0f);
  params->Add("farAttenEnd", kFarAttenuationEnd, TYPE_WORLD).Number(200.0f);
}

int LightObject::EvalLightState(TimeValue t, Interval& valid, LightState* ls) {
  (void)valid;
  ls->color = params->GetColor(kColor, t, 0);
  ls->intens = params->GetFloat(kMultiplier, t, 0);
  ls->hotsize = params->GetFloat(kHotspot, t, 0);
  ls->fallsize = params->GetFloat(kFalloff, t, 0);
  ls->useAtten = params->GetInt(kUseFarAttenuation, t, 0);
  ls->attenStart = params->GetFloat(kFarAttenuationStart, t, 0);
  ls->attenEnd = params->GetFloat(kFarAttenuationEnd, t, 0);
  return 1;
}

}  // namespace kiln::standalone
