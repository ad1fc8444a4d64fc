#include "standalone/ControllerReader.h"

#include <cmath>
#include <string>

#include "standalone/Constraints.h"
#include "standalone/ControllerJson.h"
#include "standalone/IKControllers.h"
#include "standalone/JsonValues.h"
#include "standalone/LookAtTransform.h"
#include "standalone/WireController.h"
#include "standalone/XYZControllers.h"

namespace kiln::standalone {
namespace {

struct NamedOrt {
  const char* name;
  int ort;
};
constexpr NamedOrt kOrts[] = {
    {"constant", ORT_CONSTANT},  {"cycle", ORT_CYCLE},   {"loop", ORT_LOOP},
    {"pingPong", ORT_OSCILLATE}, {"linear", ORT_LINEAR}, {"relativeRepeat", ORT_RELATIVE_REPEAT},
    {"identity", ORT_IDENTITY},
};

int ReadOrt(const JsonValue& v) {
  const std::string name = v.String();
  for (const NamedOrt& o : kOrts) {
    if (name == o.name) return o.ort;
  }
  v.Fail("unknown out-of-range type \"" + name +
         "\" (expected constant, cycle, loop, pingPong, linear, relativeRepeat or identity)");
}

int ReadAxis(const JsonValue& v) {
  const std::string name = v.String();
  if (name == "x") return 0;
  if (name == "y") return 1;
  if (name == "z") return 2;
  v.Fail("unknown axis \"" + name + "\" (expected x, y or z)");
}

Interpolation ReadInterpolation(const JsonValue& v) {
  const std::string name = v.String();
  for (Interpolation i : {Interpolation::kBezier, Interpolation::kTCB, Interpolation::kLinear}) {
    if (name == InterpolationName(i)) return i;
  }
  v.Fail("unknown controller type \"" + name + "\" (expected bezier, tcb or linear)");
}

// Values as keys hold them.
float ReadKeyValue(const JsonValue& v, float*) {
  return v.Float();
}
Point3 ReadKeyValue(const JsonValue& v, Point3*) {
  return ReadPoint(v);
}
ScaleWithAxis ReadKeyValue(const JsonValue& v, ScaleWithAxis*) {
  return ReadScale(v);
}
// A turn: {"axis": [x, y, z], "angle": radians} as given (any number of
// turns), or a unit quaternion, kept with its sign (w < 0: past half a turn).
AngAxis ReadKeyValue(const JsonValue& v, AngAxis*) {
  if (v.IsObject()) {
    v.ExpectObject({"axis", "angle"});
    const Point3 axis = ReadPoint(v.At("axis"));
    const float angle = v.At("angle").Float();
    if (Length(axis) == 0.0f && angle != 0.0f) v.At("axis").Fail("rotation axis of zero length");
    return AngAxis(axis, angle);
  }
  const Quat q = ReadQuat(v);
  const float norm = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  if (std::fabs(norm - 1.0f) > 1e-3f) v.Fail("expected a unit quaternion");
  const Point3 axis(q.x, q.y, q.z);
  const float s = Length(axis);
  if (s == 0.0f) return AngAxis();
  return AngAxis(axis * (1.0f / s), 2.0f * std::atan2(s, q.w));
}

float ReadTangent(const JsonValue& v, float*) {
  return v.Float();
}
Point3 ReadTangent(const JsonValue& v, Point3*) {
  return ReadPoint(v);
}

template <typename T>
T ReadStatic(const JsonValue& v) {
  if constexpr (std::is_same_v<T, float>) return v.Float();
  if constexpr (std::is_same_v<T, Point3>) return ReadPoint(v);
  if constexpr (std::is_same_v<T, Quat>) return ReadQuat(v);
  if constexpr (std::is_same_v<T, ScaleWithAxis>) return ReadScale(v);
}

template <typename T>
Keyframe<T> ReadKey(const JsonValue& v, Interpolation interpolation) {
  using Traits = ValueTraits<T>;
  constexpr bool kRotation = std::is_same_v<T, Quat>;
  switch (interpolation) {
    case Interpolation::kLinear:
      v.ExpectObject({"time", "value"});
      break;
    case Interpolation::kBezier:
      if (kRotation) {
        v.ExpectObject({"time", "value"});
      } else {
        v.ExpectObject({"time", "value", "inTangent", "outTangent", "inLength", "outLength"});
      }
      break;
    case Interpolation::kTCB:
      v.ExpectObject({"time", "value", "tension", "continuity", "bias", "easeIn", "easeOut"});
      break;
  }
  Keyframe<T> key;
  key.time = v.At("time").Int();
  key.value = ReadKeyValue(v.At("value"), static_cast<typename Traits::KeyValue*>(nullptr));
  if constexpr (kRotation) {
    if (interpolation != Interpolation::kTCB && std::fabs(key.value.angle) > 2 * M_PI + 1e-4) {
      v.At("value").Fail("a " + std::string(InterpolationName(interpolation)) +
                         " rotation key turns at most one full turn (tcb keys turn more)");
    }
  } else {
    using Tangent = typename Traits::Tangent;
    auto tangent = [&](const char* name, Tangent* field) {
      if (auto t = v.Find(name)) *field = ReadTangent(*t, static_cast<Tangent*>(nullptr));
    };
    tangent("inTangent", &key.inTangent);
    tangent("outTangent", &key.outTangent);
    tangent("inLength", &key.inLength);
    tangent("outLength", &key.outLength);
  }
  auto number = [&](const char* name, float* field) {
    if (auto n = v.Find(name)) *field = n->Float();
  };
  number("tension", &key.tension);
  number("continuity", &key.continuity);
  number("bias", &key.bias);
  number("easeIn", &key.easeIn);
  number("easeOut", &key.easeOut);
  return key;
}

void NameController(const JsonValue& v, FloatControl* controller, ControllerIds* ids) {
  auto id = v.Find("id");
  if (!id) return;
  if (ids)
    ids->Name(*id, controller);
  else
    controller->id = id->Name();
}

// Whether an object is a controller rather than a value written as an object
// ({"axis", "angle"} rotations, {"scale", "axis"} scales).
bool IsControllerObject(const JsonValue& v) {
  for (const char* key : {"type", "value", "keys", "outOfRange", "classId", "className", "id"}) {
    if (v.Has(key)) return true;
  }
  return false;
}

// {"type": "tcb", "value": v, "keys": [...], "outOfRange": {...}} or the
// same with "classId" and "className" for a class of its own.
// Float controllers may carry an "id" for wires to follow.
template <typename T>
std::unique_ptr<ValueController<T>> ReadKeyframes(const JsonValue& v, ControllerIds* ids) {
  if (!IsControllerObject(v)) return std::make_unique<ValueController<T>>(ReadStatic<T>(v));
  if constexpr (std::is_same_v<T, float>) {
    v.ExpectObject({"type", "value", "keys", "outOfRange", "classId", "className", "id"});
  } else {
    v.ExpectObject({"type", "value", "keys", "outOfRange", "classId", "className"});
  }
  auto type = v.Find("type");
  auto classId = v.Find("classId");
  if (type && classId) classId->Fail("give either a type or a classId, not both");
  if (v.Has("className") && !classId) v.At("className").Fail("a className goes with a classId");
  const Interpolation interpolation = type ? ReadInterpolation(*type) : ValueTraits<T>::kDefault;
  auto controller = std::make_unique<ValueController<T>>(ValueTraits<T>::Identity(), interpolation);
  if (auto value = v.Find("value")) controller->value = ReadStatic<T>(*value);
  if (classId) controller->SetClass(classId->ClassId(), v.At("className").String());
  if (auto keys = v.Find("keys")) {
    std::vector<Keyframe<T>> list;
    for (size_t i = 0; i < keys->Size(); ++i) list.push_back(ReadKey<T>((*keys)[i], interpolation));
    controller->SetKeys(std::move(list));
  }
  if (auto ort = v.Find("outOfRange")) {
    ort->ExpectObject({"before", "after"});
    if (auto before = ort->Find("before")) controller->SetORT(ORT_BEFORE, ReadOrt(*before));
    if (auto after = ort->Find("after")) controller->SetORT(ORT_AFTER, ReadOrt(*after));
  }
  if constexpr (std::is_same_v<T, float>) NameController(v, controller.get(), ids);
  return controller;
}

bool Flag(const JsonValue& v, const char* name, bool otherwise) {
  auto flag = v.Find(name);
  return flag ? flag->Bool() : otherwise;
}

}  // namespace

std::unique_ptr<FloatController> ReadFloatController(const JsonValue& v) {
  return ReadKeyframes<float>(v, nullptr);
}

std::unique_ptr<FloatController> ControllerReader::Keyframes(const JsonValue& v) const {
  return ReadKeyframes<float>(v, ids_);
}

template <typename T>
std::unique_ptr<ValueControl<T>> ControllerReader::Value(const JsonValue& v) const {
  if (!IsControllerObject(v)) return ReadKeyframes<T>(v, ids_);
  const std::string type = v.Has("type") ? v.At("type").String() : "";
  if constexpr (std::is_same_v<T, float>) {
    if (type == "wire") {
      v.ExpectObject({"type", "source", "factor", "offset", "id"});
      auto wire = std::make_unique<WireFloatController>();
      const JsonValue source = v.At("source");
      if (ids_)
        ids_->Follow(source, wire.get());
      else
        source.Fail("a wire cannot follow a controller from here");
      if (auto factor = v.Find("factor")) wire->factor = factor->Float();
      if (auto offset = v.Find("offset")) wire->offset = offset->Float();
      NameController(v, wire.get(), ids_);
      return wire;
    }
  }
  if constexpr (std::is_same_v<T, Point3>) {
    if (type == "xyz") {
      v.ExpectObject({"type", "x", "y", "z"});
      auto xyz = std::make_unique<PositionXYZController>();
      xyz->x = Value<float>(v.At("x"));
      xyz->y = Value<float>(v.At("y"));
      xyz->z = Value<float>(v.At("z"));
      return xyz;
    }
  }
  if constexpr (std::is_same_v<T, Quat>) {
    if (type == "euler") {
      v.ExpectObject({"type", "order", "x", "y", "z"});
      if (auto order = v.Find("order"); order && order->String() != "xyz") {
        order->Fail("unknown Euler order \"" + order->String() + "\" (only xyz is supported)");
      }
      auto euler = std::make_unique<EulerXYZController>();
      euler->x = Value<float>(v.At("x"));
      euler->y = Value<float>(v.At("y"));
      euler->z = Value<float>(v.At("z"));
      return euler;
    }
    if (type == "lookAt") {
      v.ExpectObject({"type", "targets", "relative", "targetAxisFlip", "upnodeAxisFlip",
                      "upnodeWorld", "viewlineAbsolute", "targetAxis", "upnodeAxis", "sourceAxis",
                      "upnodeControl", "upnode", "offset"});
      auto lookAt = std::make_unique<LookAtConstraint>();
      if (auto targets = v.Find("targets")) {
        for (size_t i = 0; i < targets->Size(); ++i) {
          const JsonValue t = (*targets)[i];
          t.ExpectObject({"node", "weight"});
          LookAtConstraint::Target target;
          const JsonValue node = t.At("node");
          target.node = node.IsNull() ? nullptr : lookup_(node);
          if (auto weight = t.Find("weight")) target.weight = weight->Float();
          lookAt->targets.push_back(target);
        }
      }
      lookAt->relative = Flag(v, "relative", false);
      lookAt->targetAxisFlip = Flag(v, "targetAxisFlip", false);
      lookAt->upnodeAxisFlip = Flag(v, "upnodeAxisFlip", false);
      lookAt->upnodeWorld = Flag(v, "upnodeWorld", true);
      lookAt->viewlineAbsolute = Flag(v, "viewlineAbsolute", false);
      if (auto a = v.Find("targetAxis")) lookAt->targetAxis = ReadAxis(*a);
      if (auto a = v.Find("upnodeAxis")) lookAt->upnodeAxis = ReadAxis(*a);
      if (auto a = v.Find("sourceAxis")) lookAt->sourceAxis = ReadAxis(*a);
      if (auto control = v.Find("upnodeControl")) {
        const std::string name = control->String();
        if (name != "lookAt" && name != "axisAlignment") {
          control->Fail("unknown upnode control \"" + name +
                        "\" (expected lookAt or axisAlignment)");
        }
        lookAt->upnodeControl = name == "axisAlignment" ? 1 : 0;
      }
      if (auto upnode = v.Find("upnode"); upnode && !upnode->IsNull())
        lookAt->upnode = lookup_(*upnode);
      if (auto offset = v.Find("offset")) lookAt->offset = ReadQuat(*offset);
      return lookAt;
    }
  }
  if (!type.empty() && type != "bezier" && type != "tcb" && type != "linear") {
    std::string expected = "bezier, tcb or linear";
    if constexpr (std::is_same_v<T, float>) expected += ", or wire";
    if constexpr (std::is_same_v<T, Point3>) expected += ", or xyz";
    if constexpr (std::is_same_v<T, Quat>) expected += ", or euler or lookAt";
    v.At("type").Fail("unknown controller type \"" + type + "\" (expected " + expected + ")");
  }
  return ReadKeyframes<T>(v, ids_);
}

template std::unique_ptr<ValueControl<float>> ControllerReader::Value(const JsonValue&) const;
template std::unique_ptr<ValueControl<Point3>> ControllerReader::Value(const JsonValue&) const;
template std::unique_ptr<ValueControl<Quat>> ControllerReader::Value(const JsonValue&) const;
template std::unique_ptr<ValueControl<ScaleWithAxis>> ControllerReader::Value(
    const JsonValue&) const;

template <typename T>
void ControllerReader::ReadPart(const std::optional<JsonValue>& v,
                                std::unique_ptr<ValueControl<T>>& part) const {
  if (!v) return;
  if (v->IsNull())
    part.reset();
  else
    part = Value<T>(*v);
}

std::unique_ptr<TransformController> ControllerReader::Transform(const JsonValue& v) const {
  v.ExpectObject({"type", "position", "rotation", "scale", "roll", "links", "startJoint",
                  "endJoint", "solver"});
  const std::string type = v.Has("type") ? v.At("type").String() : "prs";
  std::unique_ptr<PRSController> prs;
  if (type == "prs") {
    prs = std::make_unique<PRSController>();
  } else if (type == "link") {
    auto link = std::make_unique<LinkConstraint>();
    if (auto links = v.Find("links")) {
      for (size_t i = 0; i < links->Size(); ++i) {
        const JsonValue l = (*links)[i];
        l.ExpectObject({"node", "time"});
        const JsonValue node = l.At("node");
        link->links.push_back({node.IsNull() ? nullptr : lookup_(node), l.At("time").Int()});
      }
    }
    prs = std::move(link);
  } else if (type == "ik") {
    prs = std::make_unique<IKController>();
  } else if (type == "ikChain") {
    auto chain = std::make_unique<IKChainController>();
    chain->startJoint = lookup_(v.At("startJoint"));
    chain->endJoint = lookup_(v.At("endJoint"));
    if (auto solver = v.Find("solver")) {
      solver->ExpectObject({"classId", "className"});
      chain->solver = std::make_unique<IKSolverObject>(solver->At("classId").ClassId(),
                                                       solver->At("className").String());
    }
    prs = std::move(chain);
  } else if (type == "lookAt") {
    prs = std::make_unique<LookAtTransform>();
  } else {
    v.At("type").Fail("unknown transform type \"" + type +
                      "\" (expected prs, link, ik, ikChain or lookAt)");
  }
  for (const char* key : {"links", "startJoint", "endJoint", "solver"}) {
    const bool allowed = (type == "link" && key == std::string("links")) ||
                         (type == "ikChain" && key != std::string("links"));
    if (v.Has(key) && !allowed) v.At(key).Fail("a " + type + " transform takes no " + key);
  }
  // An absent part keeps its identity controller; null removes it. A
  // look-at transform turns toward its node's target, without a rotation.
  if (type == "lookAt") {
    if (v.Has("rotation")) v.At("rotation").Fail("a lookAt transform has no rotation part");
  } else {
    prs->SetParts({});
  }
  ReadPart(v.Find("position"), prs->position);
  ReadPart(v.Find("rotation"), prs->rotation);
  ReadPart(v.Find("scale"), prs->scale);
  if (auto roll = v.Find("roll")) prs->roll = Value<float>(*roll);
  return prs;
}

}  // namespace kiln::standalone
