#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "host/Keys.h"
#include "standalone/KeyCurves.h"
#include "standalone/ValueControl.h"

namespace kiln::standalone {

// One key of a keyframe controller, holding what every interpolation needs;
// the controller's class says which fields count.
template <typename T>
struct Keyframe {
  using Traits = ValueTraits<T>;
  TimeValue time = 0;
  // Rotations: the turn from the previous key (from the identity for the
  // first key), about the previous orientation's own axes.
  typename Traits::KeyValue value = typename Traits::KeyValue();
  // Bezier floats, positions and scales: tangents in value per tick, lengths
  // as a fraction of the time to the neighbouring key (-1: a third).
  typename Traits::Tangent inTangent = typename Traits::Tangent();
  typename Traits::Tangent outTangent = typename Traits::Tangent();
  typename Traits::Tangent inLength = Traits::kUnsetLength;
  typename Traits::Tangent outLength = Traits::kUnsetLength;
  // TCB: tension, continuity and bias from -1 to 1, eases from 0 to 1.
  float tension = 0.0f, continuity = 0.0f, bias = 0.0f, easeIn = 0.0f, easeOut = 0.0f;
};

// A keyframe controller of one value: its keys in time order, evaluated as the
// host does (KeyCurves.h), with the out-of-range types before the first and
// after the last key. Without keys it holds one static value. Its class (and
// so the key type its key interface hands out) follows the interpolation.
template <typename T>
class ValueController final : public ValueControl<T>, public IKeyControl {
 public:
  using Traits = ValueTraits<T>;
  using Key = Keyframe<T>;
  using ValueControl<T>::ValueAt;

  explicit ValueController(T value = Traits::Identity(),
                           Interpolation interpolation = Traits::kDefault);
  // A controller of that interpolation holding keys.
  static std::unique_ptr<ValueController> WithKeys(Interpolation interpolation,
                                                   std::vector<Key> keys,
                                                   int ortBefore = ORT_CONSTANT,
                                                   int ortAfter = ORT_CONSTANT) {
    auto c = std::make_unique<ValueController>(Traits::Identity(), interpolation);
    c->SetKeys(std::move(keys));
    c->SetORT(ORT_BEFORE, ortBefore);
    c->SetORT(ORT_AFTER, ortAfter);
    return c;
  }

  Class_ID ClassID() override { return classId_; }
  std::string GetClassName() override { return className_; }
  // Makes this controller claim another class (for controllers the standalone
  // host does not model, such as a script controller); its keys keep
  // evaluating with the interpolation it was made with.
  void SetClass(Class_ID id, std::string name) {
    classId_ = id;
    className_ = std::move(name);
  }
  Interpolation GetInterpolation() const { return interpolation_; }

  void* GetInterface(uint32_t id) override {
    return id == I_KEYCONTROL ? static_cast<IKeyControl*>(this) : nullptr;
  }
  int GetORT(int type) override { return ORT(type); }
  int ORT(int type) const { return type == ORT_BEFORE ? ortBefore_ : ortAfter_; }
  void SetORT(int type, int ort) { (type == ORT_BEFORE ? ortBefore_ : ortAfter_) = ort; }

  const std::vector<Key>& Keys() const { return keys_; }
  // Keys in strictly increasing time order (Scene::Validate checks it).
  void SetKeys(std::vector<Key> keys);

  // IKeyControl: the key as the host's key type of this controller's class.
  int GetNumKeys() override { return static_cast<int>(keys_.size()); }
  bool GetKey(int i, IKey* key) override;

  T ValueAt(TimeValue t, const NodePlace& place) const override;

  T value;  // the value while there are no keys

 private:
  void Prepare() const;

  Class_ID classId_;
  std::string className_;
  Interpolation interpolation_;
  int ortBefore_ = ORT_CONSTANT, ortAfter_ = ORT_CONSTANT;
  std::vector<Key> keys_;
  mutable bool prepared_ = false;
  mutable std::array<ScalarCurve, 3> components_;
  mutable RotationCurve rotation_;  // rotations, and the axes of scales
};

using FloatController = ValueController<float>;
using PositionController = ValueController<Point3>;
using RotationController = ValueController<Quat>;
using ScaleController = ValueController<ScaleWithAxis>;

extern template class ValueController<float>;
extern template class ValueController<Point3>;
extern template class ValueController<Quat>;
extern template class ValueController<ScaleWithAxis>;

}  // namespace kiln::standalone
