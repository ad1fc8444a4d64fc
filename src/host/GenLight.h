#pragma once
#include <cstdint>

#include "host/Color.h"
#include "host/Time.h"

// Light objects (super class LIGHT_CLASS_ID) answer GetInterface(I_GENLIGHT);
// the real host's light object is itself this class.
constexpr uint32_t I_GENLIGHT = 0x4C474E4C;

// What a light looks like at one time.
struct LightState {
  Color color;              // as set, the multiplier not applied
  float intens = 1.0f;      // the multiplier
  float hotsize = 0.0f;     // spots: the cone of full light, degrees
  float fallsize = 0.0f;    // spots: the cone where the light falls to nothing, degrees
  int useAtten = 0;         // far attenuation on
  float attenStart = 0.0f;  // far attenuation starts here
  float attenEnd = 0.0f;    // and reaches nothing here
};

class GenLight {
 public:
  virtual ~GenLight() = default;
  // Fills ls with the light at t and narrows valid to the times it holds for;
  // nonzero on success.
  virtual int EvalLightState(TimeValue t, Interval& valid, LightState* ls) = 0;
};
