#include "standalone/KeyframeController.h"

namespace kiln::standalone {
namespace {

float Component(float v, int) {
  return v;
}
float Component(const Point3& v, int c) {
  return v[c];
}
float Component(const ScaleWithAxis& v, int c) {
  return v.scale[c];
}

template <typename T>
constexpr int ComponentCount() {
  if constexpr (std::is_same_v<T, float>) return 1;
  if constexpr (std::is_same_v<T, Quat>) return 0;
  return 3;
}

ScaleValue ToScaleValue(const ScaleWithAxis& s) {
  return ScaleValue(s.scale, s.axis);
}

// Fills the host key of type K from a key when key is a K.
template <typename K, typename Fill>
bool FillKey(IKey* key, TimeValue time, Fill fill) {
  auto* k = dynamic_cast<K*>(key);
  if (!k) return false;
  k->time = time;
  k->flags = 0;
  fill(*k);
  return true;
}

template <typename K, typename Key>
void FillTcb(K& k, const Key& key) {
  k.tens = key.tension;
  k.cont = key.continuity;
  k.bias = key.bias;
  k.easeIn = key.easeIn;
  k.easeOut = key.easeOut;
}

template <typename K, typename Key>
void FillBezier(K& k, const Key& key) {
  k.intan = key.inTangent;
  k.outtan = key.outTangent;
  k.inLength = key.inLength;
  k.outLength = key.outLength;
}

}  // namespace

template <typename T>
ValueController<T>::ValueController(T value, Interpolation interpolation)
    : value(value),
      classId_(ControllerClassId(Traits::kKind, interpolation)),
      className_(ControllerClassName(Traits::kKind, interpolation)),
      interpolation_(interpolation) {}

template <typename T>
void ValueController<T>::SetKeys(std::vector<Key> keys) {
  keys_ = std::move(keys);
  prepared_ = false;
}

template <typename T>
bool ValueController<T>::GetKey(int i, IKey* key) {
  if (i < 0 || i >= GetNumKeys() || key == nullptr) return false;
  const Key& k = keys_[static_cast<size_t>(i)];
  const TimeValue time = k.time;
  if constexpr (std::is_same_v<T, float> || std::is_same_v<T, Point3>) {
    using Lin = std::conditional_t<std::is_same_v<T, float>, ILinFloatKey, ILinPoint3Key>;
    using Bez = std::conditional_t<std::is_same_v<T, float>, IBezFloatKey, IBezPoint3Key>;
    using Tcb = std::conditional_t<std::is_same_v<T, float>, ITCBFloatKey, ITCBPoint3Key>;
    switch (interpolation_) {
      case Interpolation::kLinear:
        return FillKey<Lin>(key, time, [&](Lin& out) { out.val = k.value; });
      case Interpolation::kBezier:
        return FillKey<Bez>(key, time, [&](Bez& out) {
          out.val = k.value;
          FillBezier(out, k);
        });
      case Interpolation::kTCB:
        return FillKey<Tcb>(key, time, [&](Tcb& out) {
          out.val = k.value;
          FillTcb(out, k);
        });
    }
  } else if constexpr (std::is_same_v<T, Quat>) {
    // Linear and Bezier rotation keys hold the turn as a quaternion (at most
    // one turn); TCB keys keep the angle-axis with all its turns.
    const Quat turn = QFromAngAxis(k.value.angle, k.value.axis);
    switch (interpolation_) {
      case Interpolation::kLinear:
        return FillKey<ILinRotKey>(key, time, [&](ILinRotKey& out) { out.val = turn; });
      case Interpolation::kBezier:
        return FillKey<IBezQuatKey>(key, time, [&](IBezQuatKey& out) { out.val = turn; });
      case Interpolation::kTCB:
        return FillKey<ITCBRotKey>(key, time, [&](ITCBRotKey& out) {
          out.val = k.value;
          FillTcb(out, k);
        });
    }
  } else {
    switch (interpolation_) {
      case Interpolation::kLinear:
        return FillKey<ILinScaleKey>(key, time,
                                     [&](ILinScaleKey& out) { out.val = ToScaleValue(k.value); });
      case Interpolation::kBezier:
        return FillKey<IBezScaleKey>(key, time, [&](IBezScaleKey& out) {
          out.val = ToScaleValue(k.value);
          FillBezier(out, k);
        });
      case Interpolation::kTCB:
        return FillKey<ITCBScaleKey>(key, time, [&](ITCBScaleKey& out) {
          out.val = ToScaleValue(k.value);
          FillTcb(out, k);
        });
    }
  }
  return false;
}

template <typename T>
void ValueController<T>::Prepare() const {
  prepared_ = true;
  for (int c = 0; c < ComponentCount<T>(); ++c) {
    if constexpr (std::is_same_v<T, Quat>) break;
    std::vector<CurveKey> curve(keys_.size());
    for (size_t i = 0; i < keys_.size(); ++i) {
      const Key& k = keys_[i];
      CurveKey& out = curve[i];
      out.time = k.time;
      if constexpr (!std::is_same_v<T, Quat>) {
        out.value = Component(k.value, c);
        out.inTangent = Component(k.inTangent, c);
        out.outTangent = Component(k.outTangent, c);
        out.inLength = Component(k.inLength, c);
        out.outLength = Component(k.outLength, c);
      }
      out.tension = k.tension, out.continuity = k.continuity, out.bias = k.bias;
      out.easeIn = k.easeIn, out.easeOut = k.easeOut;
    }
    components_[c] = ScalarCurve(interpolation_, std::move(curve));
  }
  if constexpr (std::is_same_v<T, Quat>) {
    std::vector<TurnKey> turns(keys_.size());
    for (size_t i = 0; i < keys_.size(); ++i) {
      const Key& k = keys_[i];
      turns[i] = {static_cast<double>(k.time),
                  k.value.axis,
                  k.value.angle,
                  k.tension,
                  k.continuity,
                  k.bias,
                  k.easeIn,
                  k.easeOut};
    }
    rotation_ = RotationCurve(interpolation_, std::move(turns));
  } else if constexpr (std::is_same_v<T, ScaleWithAxis>) {
    // Scale axes are absolute; they turn the short way from key to key.
    // Along the node's own axes throughout, there is nothing to turn.
    std::vector<TurnKey> turns(keys_.size());
    Quat previous;
    bool turned = false;
    for (const Key& k : keys_) turned = turned || !(k.value.axis == Quat());
    if (!turned) turns.clear();
    for (size_t i = 0; i < turns.size(); ++i) {
      const AngAxis turn(keys_[i].value.axis * Inverse(previous));
      previous = keys_[i].value.axis;
      turns[i].time = keys_[i].time;
      turns[i].axis = turn.axis;
      turns[i].angle = turn.angle;
    }
    rotation_ = RotationCurve(Interpolation::kLinear, std::move(turns));
  }
}

template <typename T>
T ValueController<T>::ValueAt(TimeValue t, const NodePlace&) const {
  if (keys_.empty()) return value;
  if (!prepared_) Prepare();
  const double time = t;
  if constexpr (std::is_same_v<T, float>) {
    return static_cast<float>(components_[0].Evaluate(time, ortBefore_, ortAfter_));
  } else if constexpr (std::is_same_v<T, Point3>) {
    return Point3(static_cast<float>(components_[0].Evaluate(time, ortBefore_, ortAfter_)),
                  static_cast<float>(components_[1].Evaluate(time, ortBefore_, ortAfter_)),
                  static_cast<float>(components_[2].Evaluate(time, ortBefore_, ortAfter_)));
  } else if constexpr (std::is_same_v<T, Quat>) {
    return rotation_.Evaluate(time, ortBefore_, ortAfter_);
  } else {
    ScaleWithAxis s;
    for (int c = 0; c < 3; ++c) {
      s.scale[c] = static_cast<float>(components_[c].Evaluate(time, ortBefore_, ortAfter_));
    }
    // Identity outside the keys leaves factors of 1, not 0.
    if (MapOutOfRange(time, keys_.front().time, keys_.back().time, ortBefore_, ortAfter_).mode ==
        RangeMap::Mode::kIdentity) {
      s.scale = Point3(1, 1, 1);
    }
    if (!rotation_.Empty()) s.axis = rotation_.Evaluate(time, ortBefore_, ortAfter_);
    return s;
  }
}

template class ValueController<float>;
template class ValueController<Point3>;
template class ValueController<Quat>;
template class ValueController<ScaleWithAxis>;

}  // namespace kiln::standalone
