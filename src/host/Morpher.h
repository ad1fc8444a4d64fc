#pragma once
#include <string>
#include <vector>

#include "host/Point3.h"

class Control;

// One of the morpher's channel slots.
struct MorphChannelSlot {
  bool present = false;         // the slot holds a channel
  bool active = false;          // mActive
  bool invalid = false;         // mInvalid
  std::string name;             // the channel's name, as the host lists it
  std::vector<Point3> points;   // target positions, per host vertex
  std::vector<Point3> deltas;   // target minus base, per host vertex
  std::vector<double> weights;  // per-point weights
  // Controller of the channel weight (parameter 0 of its block); null when
  // the weight is not animated.
  Control* weightController = nullptr;
  float weight = 0.0f;  // current weight in percent
};

constexpr int MORPHER_SLOT_COUNT = 100;

// The morpher's channel table (GetInterface(I_MORPHER) of the morpher modifier).
class IMorpher {
 public:
  virtual ~IMorpher() = default;
  virtual int NumSlots() = 0;  // MORPHER_SLOT_COUNT
  virtual MorphChannelSlot* GetSlot(int index) = 0;
};
