#pragma once
#include "host/Keys.h"
#include "host/Matrix3.h"

class Control;
class Interface;

namespace kiln {

class CZX9_DiskWriter;

// The value types of key blocks.
enum class TrackValue { kPosition, kRotation, kScale, kFloat };

// A track's current value: what the one-key block of a controller without
// keys holds.
struct CurrentValue {
  Point3 position;
  Quat rotation;
  ScaleValue scale;
  float number = 0.0f;
};

// Writes key blocks (13, k, 1) and out-of-range codes for the tracks of one
// node. Times are written as whole-frame or exact seconds, points and axes
// with y and z exchanged, rotations as angle-axis.
class KeyBlockWriter {
 public:
  KeyBlockWriter(CZX9_DiskWriter* writer, Interface* ip, const char* nodeName);

  // The key block of controller (null: none) for a track of type. A
  // controller without a key interface or without keys gives the linear block
  // with one key at time 0 holding current. False, and nothing written, when
  // the controller has keys but its class has no key format.
  bool Write(Control* controller, TrackValue type, const CurrentValue& current);
  // The linear block with one key at time 0 holding current.
  void WriteOneKey(Control* controller, TrackValue type, const CurrentValue& current);
  // Out-of-range codes before and after (0, 0 without a controller); the
  // behaviours the engine cannot play are written as constant with a warning.
  void WriteOutOfRange(Control* controller);

 private:
  struct Record;
  float WholeFrame(TimeValue t) const;
  float Exact(TimeValue t) const;
  template <typename Key>
  void WriteKeys(IKeyControl* keys, int count, TrackValue type);
  void Put(const Record& record);

  CZX9_DiskWriter* writer_;
  const char* nodeName_;
  int ticksPerFrame_;
  float frameRate_;
};

}  // namespace kiln
