#include "standalone/KeyCurves.h"

#include <algorithm>
#include <cmath>

namespace kiln::standalone {
namespace {

double PositiveMod(double a, double b) {
  double m = std::fmod(a, b);
  return m < 0 ? m + b : m;
}

// ---- double-precision rotations (Hamilton products: a * b turns by b first)

Rotation Mul(const Rotation& a, const Rotation& b) {
  return {
      a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
      a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Rotation Conj(const Rotation& q) {
  return {-q.x, -q.y, -q.z, q.w};
}

struct Vec {
  double x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(Vec a, Vec b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(double s, Vec a) {
  return {s * a.x, s * a.y, s * a.z};
}
double Dot(Vec a, Vec b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
double Norm(Vec a) {
  return std::sqrt(Dot(a, a));
}

// exp of a log (half angle times unit axis).
Rotation Exp(Vec v) {
  const double angle = Norm(v);
  if (angle < 1e-12) return {v.x, v.y, v.z, 1.0};
  const double s = std::sin(angle) / angle;
  return {v.x * s, v.y * s, v.z * s, std::cos(angle)};
}

// The log with the half angle in [0, pi]: w < 0 keeps its long way round.
Vec Log(const Rotation& q) {
  const Vec v{q.x, q.y, q.z};
  const double s = Norm(v);
  if (s < 1e-12) return v;
  return (std::atan2(s, q.w) / s) * v;
}

// The shortest log: the same orientation turned the short way.
Vec LogShort(Rotation q) {
  if (q.w < 0) q = {-q.x, -q.y, -q.z, -q.w};
  return Log(q);
}

// Of the logs of q (which differ by whole turns), the one nearest to hint.
Vec LogNear(const Rotation& q, Vec hint) {
  Vec v = LogShort(q);
  const double length = Norm(v);
  if (length < 1e-12) {
    const double h = Norm(hint);
    if (h < 1e-12) return v;
    return (std::round(h / M_PI) * M_PI / h) * hint;
  }
  const Vec unit = (1.0 / length) * v;
  const double k = std::round((Dot(hint, unit) - length) / M_PI);
  return ((length + k * M_PI) / length) * v;
}

// v turned by q (a vector of q's frame seen from the frame q sits in).
Vec Rotate(const Rotation& q, Vec v) {
  const Rotation r = Mul(Mul(q, {v.x, v.y, v.z, 0}), Conj(q));
  return {r.x, r.y, r.z};
}

Rotation Power(const Rotation& q, double k) {
  return Exp(k * LogShort(q));
}

Quat ToQuat(const Rotation& q) {
  return Normalize(Quat(static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z),
                        static_cast<float>(q.w)));
}

// ---- Kochanek-Bartels tangents shared by scalar and rotation keys

struct TcbWeights {
  double outPrev, outNext;  // outgoing tangent from the incoming and outgoing differences
  double inPrev, inNext;    // incoming tangent
};

TcbWeights Weights(double tension, double continuity, double bias) {
  const double t = 1 - tension;
  return {t * (1 + continuity) * (1 + bias) / 2, t * (1 - continuity) * (1 - bias) / 2,
          t * (1 - continuity) * (1 + bias) / 2, t * (1 + continuity) * (1 - bias) / 2};
}

// Hermite basis at u.
double Hermite(double p0, double m0, double p1, double m1, double u) {
  const double u2 = u * u, u3 = u2 * u;
  return (2 * u3 - 3 * u2 + 1) * p0 + (u3 - 2 * u2 + u) * m0 + (-2 * u3 + 3 * u2) * p1 +
         (u3 - u2) * m1;
}

double BezierAt(double a, double b, double c, double d, double s) {
  const double r = 1 - s;
  return r * r * r * a + 3 * r * r * s * b + 3 * r * s * s * c + s * s * s * d;
}

double BezierSlope(double a, double b, double c, double d, double s) {
  const double r = 1 - s;
  return 3 * (r * r * (b - a) + 2 * r * s * (c - b) + s * s * (d - c));
}

// The parameter where the monotone cubic x(s) reaches x.
double SolveBezier(double x0, double x1, double x2, double x3, double x) {
  double lo = 0, hi = 1;
  double s = (x3 > x0) ? (x - x0) / (x3 - x0) : 0;
  const double tolerance = 1e-9 * std::max(1.0, x3 - x0);
  for (int i = 0; i < 60; ++i) {
    const double f = BezierAt(x0, x1, x2, x3, s) - x;
    if (std::fabs(f) <= tolerance) break;
    if (f < 0)
      lo = s;
    else
      hi = s;
    const double slope = BezierSlope(x0, x1, x2, x3, s);
    double next = slope > 0 ? s - f / slope : -1;
    if (!(next > lo && next < hi)) next = (lo + hi) / 2;
    s = next;
  }
  return s;
}

double ResolvedLength(double length) {
  if (length == -1.0) return 1.0 / 3.0;
  return std::clamp(length, 0.0, 1.0);
}

}  // namespace

RangeMap MapOutOfRange(double t, double first, double last, int ortBefore, int ortAfter) {
  RangeMap map;
  map.time = std::clamp(t, first, last);
  const double length = last - first;
  if ((t >= first && t <= last) || length <= 0) return map;
  const bool after = t > last;
  switch (after ? ortAfter : ortBefore) {
    case ORT_CYCLE:
    case ORT_LOOP:
      map.time = first + PositiveMod(t - first, length);
      break;
    case ORT_OSCILLATE: {
      const double m = PositiveMod(t - first, 2 * length);
      map.time = first + (m <= length ? m : 2 * length - m);
      break;
    }
    case ORT_RELATIVE_REPEAT:
      map.cycles = static_cast<long>(std::floor((t - first) / length));
      map.time = t - static_cast<double>(map.cycles) * length;
      break;
    case ORT_LINEAR:
      map.mode = RangeMap::Mode::kLinear;
      map.end = after ? last : first;
      break;
    case ORT_IDENTITY:
      map.mode = RangeMap::Mode::kIdentity;
      break;
    default:  // constant
      break;
  }
  return map;
}

double EaseTime(double u, double easeFrom, double easeTo) {
  double a = easeFrom, b = easeTo;
  const double sum = a + b;
  if (sum <= 0) return u;
  if (sum > 1) a /= sum, b /= sum;
  const double k = 1 / (2 - a - b);
  if (u < a) return k / a * u * u;
  if (u < 1 - b) return k * (2 * u - a);
  const double rest = 1 - u;
  return 1 - k / b * rest * rest;
}

// ---- scalar curves

ScalarCurve::ScalarCurve(Interpolation interpolation, std::vector<CurveKey> keys)
    : interpolation_(interpolation), keys_(std::move(keys)) {
  const size_t n = keys_.size();
  if (interpolation_ == Interpolation::kBezier) {
    for (CurveKey& k : keys_) {
      k.inLength = ResolvedLength(k.inLength);
      k.outLength = ResolvedLength(k.outLength);
    }
  }
  if (interpolation_ != Interpolation::kTCB || n < 2) return;
  // Incoming (inTangent) and outgoing (outTangent) tangents over the whole
  // adjacent segment.
  std::vector<CurveKey> out = keys_;
  for (size_t i = 1; i + 1 < n; ++i) {
    const CurveKey& k = keys_[i];
    const double dPrev = k.value - keys_[i - 1].value, dNext = keys_[i + 1].value - k.value;
    const double nPrev = k.time - keys_[i - 1].time, nNext = keys_[i + 1].time - k.time;
    const TcbWeights w = Weights(k.tension, k.continuity, k.bias);
    out[i].outTangent = (w.outPrev * dPrev + w.outNext * dNext) * 2 * nNext / (nPrev + nNext);
    out[i].inTangent = (w.inPrev * dPrev + w.inNext * dNext) * 2 * nPrev / (nPrev + nNext);
  }
  const double dFirst = keys_[1].value - keys_[0].value;
  const double dLast = keys_[n - 1].value - keys_[n - 2].value;
  if (n == 2) {
    out[0].outTangent = dFirst * (1 - keys_[0].tension);
    out[1].inTangent = dFirst * (1 - keys_[1].tension);
  } else {
    out[0].outTangent = (1.5 * dFirst - 0.5 * out[1].inTangent) * (1 - keys_[0].tension);
    out[n - 1].inTangent = (1.5 * dLast - 0.5 * out[n - 2].outTangent) * (1 - keys_[n - 1].tension);
  }
  keys_ = std::move(out);
}

size_t ScalarCurve::Segment(double t) const {
  const size_t n = keys_.size();
  if (hint_ + 1 < n && keys_[hint_].time <= t && t < keys_[hint_ + 1].time) return hint_;
  auto it = std::upper_bound(keys_.begin(), keys_.end(), t,
                             [](double x, const CurveKey& k) { return x < k.time; });
  size_t i = it == keys_.begin() ? 0 : static_cast<size_t>(it - keys_.begin()) - 1;
  hint_ = std::min(i, n - 2);
  return hint_;
}

double ScalarCurve::Inside(double t) const {
  if (keys_.size() == 1) return keys_[0].value;
  const size_t i = Segment(t);
  const CurveKey& a = keys_[i];
  const CurveKey& b = keys_[i + 1];
  const double span = b.time - a.time;
  const double u = std::clamp((t - a.time) / span, 0.0, 1.0);
  switch (interpolation_) {
    case Interpolation::kLinear:
      return a.value + (b.value - a.value) * u;
    case Interpolation::kTCB:
      return Hermite(a.value, a.outTangent, b.value, b.inTangent, EaseTime(u, a.easeOut, b.easeIn));
    case Interpolation::kBezier: {
      const double x1 = a.time + a.outLength * span, x2 = b.time - b.inLength * span;
      const double y1 = a.value + a.outTangent * a.outLength * span;
      const double y2 = b.value - b.inTangent * b.inLength * span;
      const double s = SolveBezier(a.time, x1, x2, b.time, t);
      return BezierAt(a.value, y1, y2, b.value, s);
    }
  }
  return a.value;
}

double ScalarCurve::Evaluate(double t, int ortBefore, int ortAfter) const {
  if (keys_.empty()) return 0;
  const double first = keys_.front().time, last = keys_.back().time;
  const RangeMap map = MapOutOfRange(t, first, last, ortBefore, ortAfter);
  switch (map.mode) {
    case RangeMap::Mode::kIdentity:
      return 0;
    case RangeMap::Mode::kLinear: {
      const double step = (last - first) * 1e-4;
      const double slope = map.end == last ? (Inside(last) - Inside(last - step)) / step
                                           : (Inside(first + step) - Inside(first)) / step;
      return Inside(map.end) + (t - map.end) * slope;
    }
    case RangeMap::Mode::kCurve:
      break;
  }
  double value = Inside(map.time);
  if (map.cycles != 0)
    value += static_cast<double>(map.cycles) * (keys_.back().value - keys_.front().value);
  return value;
}

// ---- rotation curves

RotationCurve::RotationCurve(Interpolation interpolation, std::vector<TurnKey> keys)
    : interpolation_(interpolation) {
  const size_t n = keys.size();
  keys_.resize(n);
  Rotation q;
  for (size_t i = 0; i < n; ++i) {
    const TurnKey& k = keys[i];
    Prepared& p = keys_[i];
    const Vec axis{k.axis.x, k.axis.y, k.axis.z};
    const double length = Norm(axis);
    Vec g = length > 0 ? (k.angle / 2 / length) * axis : Vec{};
    // Only TCB keys carry whole turns; linear and smooth rotations take the
    // short way to the key's orientation, as slerp between quaternions does.
    if (interpolation != Interpolation::kTCB) g = LogShort(Exp(g));
    p.time = k.time;
    p.g[0] = g.x, p.g[1] = g.y, p.g[2] = g.z;
    q = Mul(q, Exp(g));
    p.q = q;
    p.easeIn = interpolation == Interpolation::kTCB ? k.easeIn : 0;
    p.easeOut = interpolation == Interpolation::kTCB ? k.easeOut : 0;
    p.inner = p.innerIn = q;
  }
  if (interpolation_ == Interpolation::kLinear || n < 2) return;

  // Tangents in the log space of turns, in each key's own frame, where the
  // turns in and out of the key both live.
  auto gOf = [&](size_t i) { return Vec{keys_[i].g[0], keys_[i].g[1], keys_[i].g[2]}; };
  std::vector<Vec> out(n), in(n);
  for (size_t i = 1; i + 1 < n; ++i) {
    const TurnKey& k = keys[i];
    const TcbWeights w = interpolation_ == Interpolation::kTCB
                             ? Weights(k.tension, k.continuity, k.bias)
                             : Weights(0, 0, 0);
    const double nPrev = k.time - keys[i - 1].time, nNext = keys[i + 1].time - k.time;
    const Vec gIn = gOf(i), gOut = gOf(i + 1);
    out[i] = (2 * nNext / (nPrev + nNext)) * (w.outPrev * gIn + w.outNext * gOut);
    in[i] = (2 * nPrev / (nPrev + nNext)) * (w.inPrev * gIn + w.inNext * gOut);
  }
  auto tension = [&](size_t i) {
    return interpolation_ == Interpolation::kTCB ? 1 - keys[i].tension : 1.0;
  };
  if (n == 2) {
    out[0] = tension(0) * gOf(1);
    in[1] = tension(1) * gOf(1);
  } else {
    // The neighbour's tangent seen from this key's frame.
    const Vec nextIn = Rotate(Exp(gOf(1)), in[1]);
    out[0] = tension(0) * (1.5 * gOf(1) - 0.5 * nextIn);
    const Vec prevOut = Rotate(Conj(Exp(gOf(n - 1))), out[n - 2]);
    in[n - 1] = tension(n - 1) * (1.5 * gOf(n - 1) - 0.5 * prevOut);
  }
  for (size_t i = 0; i < n; ++i) {
    if (i + 1 < n) keys_[i].inner = Mul(keys_[i].q, Exp(0.5 * (out[i] - gOf(i + 1))));
    if (i > 0) keys_[i].innerIn = Mul(keys_[i].q, Exp(0.5 * (gOf(i) - in[i])));
  }
  // The inner points turn into each other along the branch nearest the
  // segment's own turn, so that whole turns carry over.
  for (size_t i = 0; i + 1 < n; ++i) {
    const Vec h = LogNear(Mul(Conj(keys_[i].inner), keys_[i + 1].innerIn), gOf(i + 1));
    keys_[i].h[0] = h.x, keys_[i].h[1] = h.y, keys_[i].h[2] = h.z;
  }
}

size_t RotationCurve::Segment(double t) const {
  const size_t n = keys_.size();
  if (hint_ + 1 < n && keys_[hint_].time <= t && t < keys_[hint_ + 1].time) return hint_;
  auto it = std::upper_bound(keys_.begin(), keys_.end(), t,
                             [](double x, const Prepared& k) { return x < k.time; });
  size_t i = it == keys_.begin() ? 0 : static_cast<size_t>(it - keys_.begin()) - 1;
  hint_ = std::min(i, n - 2);
  return hint_;
}

Rotation RotationCurve::Inside(double t) const {
  if (keys_.size() == 1) return keys_[0].q;
  const size_t i = Segment(t);
  const Prepared& a = keys_[i];
  const Prepared& b = keys_[i + 1];
  const Vec g{b.g[0], b.g[1], b.g[2]};
  double u = std::clamp((t - a.time) / (b.time - a.time), 0.0, 1.0);
  if (interpolation_ == Interpolation::kLinear) return Mul(a.q, Exp(u * g));
  u = EaseTime(u, a.easeOut, b.easeIn);
  // Squad: between the keys along the turn, bent toward the inner points.
  const Rotation p = Mul(a.q, Exp(u * g));
  const Rotation s = Mul(a.inner, Exp(u * Vec{a.h[0], a.h[1], a.h[2]}));
  const Vec bend = LogShort(Mul(Conj(p), s));
  return Mul(p, Exp(2 * u * (1 - u) * bend));
}

Quat RotationCurve::Evaluate(double t, int ortBefore, int ortAfter) const {
  if (keys_.empty()) return {};
  const double first = keys_.front().time, last = keys_.back().time;
  const RangeMap map = MapOutOfRange(t, first, last, ortBefore, ortAfter);
  switch (map.mode) {
    case RangeMap::Mode::kIdentity:
      return {};
    case RangeMap::Mode::kLinear: {
      // Keep turning at the end's rate.
      const double step = (last - first) * 1e-4;
      const Rotation end = Inside(map.end);
      const bool after = map.end == last;
      const Rotation near = Inside(after ? last - step : first + step);
      const Vec rate = (1 / step) * LogShort(Mul(Conj(near), end));
      return ToQuat(Mul(end, Exp(std::fabs(t - map.end) * rate)));
    }
    case RangeMap::Mode::kCurve:
      break;
  }
  Rotation q = Inside(map.time);
  if (map.cycles != 0) {
    const Rotation range = Mul(keys_.back().q, Conj(keys_.front().q));
    q = Mul(Power(range, static_cast<double>(map.cycles)), q);
  }
  return ToQuat(q);
}

}  // namespace kiln::standalone
