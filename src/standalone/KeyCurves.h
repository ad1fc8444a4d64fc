#pragma once
#include <cstddef>
#include <vector>

#include "host/Quat.h"
#include "standalone/ValueControl.h"

// The curves a modelling host draws through keyframes, evaluated at any time
// (in ticks, as doubles) with the out-of-range types applied outside the keys:
//  - linear: straight lines; rotations turn at a steady rate the short way
//    to each key's orientation (slerp);
//  - TCB (Kochanek-Bartels): Hermite segments whose tangents come from the
//    neighbouring keys weighted by tension, continuity and bias and adjusted
//    for unevenly spaced keys; the end keys get the natural-spline tangent
//    (no curvature at the end). Ease out of a key and ease into the next
//    one slow the segment's start and end (constant acceleration).
//    Rotations use the same tangents in the space of relative turns and
//    squad between the keys;
//  - Bezier: per segment a cubic in time and in value, with control points a
//    fraction (the key's length) of the segment away from each key along its
//    tangent. Rotations without tangents turn smoothly (TCB at the defaults),
//    the short way to each key's orientation like linear ones; only TCB
//    rotation keys carry whole turns.
namespace kiln::standalone {

// A time outside the keys as the curve reads it.
struct RangeMap {
  enum class Mode { kCurve, kLinear, kIdentity };
  Mode mode = Mode::kCurve;
  double time = 0;  // kCurve: the time inside the keys to read
  long cycles = 0;  // kCurve: whole ranges away (relative repeat adds them)
  double end = 0;   // kLinear: the end key's time to extend from
};
RangeMap MapOutOfRange(double t, double first, double last, int ortBefore, int ortAfter);

// Ease of a segment: u in [0, 1] slowed by easeFrom at its start and easeTo
// at its end (each 0 to 1, their sum at most 1 after scaling).
double EaseTime(double u, double easeFrom, double easeTo);

// One key of one scalar channel.
struct CurveKey {
  double time = 0;  // ticks
  double value = 0;
  double inTangent = 0, outTangent = 0;  // Bezier: value per tick
  double inLength = -1, outLength = -1;  // Bezier: fraction of the segment; -1 is a third
  double tension = 0, continuity = 0, bias = 0, easeIn = 0, easeOut = 0;  // TCB
};

class ScalarCurve {
 public:
  ScalarCurve() = default;
  ScalarCurve(Interpolation interpolation, std::vector<CurveKey> keys);
  bool Empty() const { return keys_.empty(); }
  double Evaluate(double t, int ortBefore, int ortAfter) const;

 private:
  double Inside(double t) const;
  size_t Segment(double t) const;

  Interpolation interpolation_ = Interpolation::kLinear;
  // TCB keys keep their incoming and outgoing tangents per segment (value
  // over the whole segment) in inTangent and outTangent.
  std::vector<CurveKey> keys_;
  mutable size_t hint_ = 0;
};

// One rotation key: a turn from the previous key's orientation about the
// previous orientation's own axes (the first key's turn is from the identity).
struct TurnKey {
  double time = 0;
  Point3 axis{0, 0, 1};
  double angle = 0;  // radians, any number of turns
  double tension = 0, continuity = 0, bias = 0, easeIn = 0, easeOut = 0;
};

// Double-precision rotation with its turn as a log (half angle times axis).
struct Rotation {
  double x = 0, y = 0, z = 0, w = 1;
};

class RotationCurve {
 public:
  RotationCurve() = default;
  RotationCurve(Interpolation interpolation, std::vector<TurnKey> keys);
  bool Empty() const { return keys_.empty(); }
  Quat Evaluate(double t, int ortBefore, int ortAfter) const;

 private:
  struct Prepared {
    double time = 0;
    Rotation q;               // orientation at the key
    double g[3] = {0, 0, 0};  // log of the turn from the previous key
    Rotation inner, innerIn;  // squad points after and before the key
    double h[3] = {0, 0, 0};  // log of the turn from inner to the next key's innerIn
    double easeIn = 0, easeOut = 0;
  };
  Rotation Inside(double t) const;
  size_t Segment(double t) const;

  Interpolation interpolation_ = Interpolation::kLinear;
  std::vector<Prepared> keys_;
  mutable size_t hint_ = 0;
};

}  // namespace kiln::standalone
