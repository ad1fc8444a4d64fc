#pragma once
#include <cstdint>

#include "host/Point3.h"
#include "host/Quat.h"
#include "host/Time.h"

// A scale along the axes of a rotated frame: factors s along the axes of q.
struct ScaleValue {
  Point3 s{1.0f, 1.0f, 1.0f};
  Quat q;
  constexpr ScaleValue() = default;
  constexpr ScaleValue(const Point3& s_, const Quat& q_ = {}) : s(s_), q(q_) {}
  friend constexpr bool operator==(const ScaleValue& a, const ScaleValue& b) {
    return a.s == b.s && a.q == b.q;
  }
};

// The Bezier length a key carries when it was never set: the host then uses
// a third of the time to the neighbouring key.
constexpr float BEZ_DEFAULT_LENGTH = -1.0f;

// One key as the key interface hands it out: its time in ticks and flags,
// then the fields of its controller's key type.
struct IKey {
  virtual ~IKey() = default;
  TimeValue time = 0;
  uint32_t flags = 0;
};

// Linear keys: the value is reached at the key's time and the curve runs
// straight to the next one. Rotation keys are relative to the previous key.
struct ILinFloatKey : IKey {
  float val = 0.0f;
};
struct ILinPoint3Key : IKey {
  Point3 val;
};
struct ILinRotKey : IKey {
  Quat val;  // the turn from the previous key's orientation
};
struct ILinScaleKey : IKey {
  ScaleValue val;
};

// Bezier keys: tangents in value per tick, lengths as a fraction of the time
// to the previous (in) or next (out) key. Rotation keys carry no tangents:
// the host turns smoothly through them.
struct IBezFloatKey : IKey {
  float val = 0.0f;
  float intan = 0.0f, outtan = 0.0f;
  float inLength = BEZ_DEFAULT_LENGTH, outLength = BEZ_DEFAULT_LENGTH;
};
struct IBezPoint3Key : IKey {
  Point3 val;
  Point3 intan, outtan;
  Point3 inLength{BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH};
  Point3 outLength{BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH};
};
struct IBezQuatKey : IKey {
  Quat val;  // the turn from the previous key's orientation
};
struct IBezScaleKey : IKey {
  ScaleValue val;
  Point3 intan, outtan;
  Point3 inLength{BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH};
  Point3 outLength{BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH, BEZ_DEFAULT_LENGTH};
};

// Tension, continuity and bias keys (Kochanek-Bartels): tension, continuity
// and bias from -1 to 1, ease in and ease out from 0 to 1.
struct ITCBKey : IKey {
  float tens = 0.0f, cont = 0.0f, bias = 0.0f, easeIn = 0.0f, easeOut = 0.0f;
};
struct ITCBFloatKey : ITCBKey {
  float val = 0.0f;
};
struct ITCBPoint3Key : ITCBKey {
  Point3 val;
};
struct ITCBRotKey : ITCBKey {
  AngAxis val;  // the turn from the previous key, any number of turns
};
struct ITCBScaleKey : ITCBKey {
  ScaleValue val;
};

// The keys of a keyframe controller (GetInterface(I_KEYCONTROL)).
class IKeyControl {
 public:
  virtual ~IKeyControl() = default;
  virtual int GetNumKeys() = 0;
  // Fills key with key i. False, key untouched, when i is out of range or
  // key is not of the controller's key type.
  virtual bool GetKey(int i, IKey* key) = 0;
};
