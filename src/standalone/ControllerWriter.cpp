#include "standalone/ControllerWriter.h"

#include <cstdio>
#include <stdexcept>

#include "standalone/Constraints.h"
#include "standalone/ControllerJson.h"
#include "standalone/IKControllers.h"
#include "standalone/LookAtTransform.h"
#include "standalone/SceneNode.h"
#include "standalone/SideBuffers.h"
#include "standalone/WireController.h"
#include "standalone/XYZControllers.h"

namespace kiln::standalone {
namespace {

using ojson = nlohmann::ordered_json;

ojson Number(float f) {
  return ShortestDecimal(f);
}
ojson PointJson(const Point3& p) {
  return ojson::array({Number(p.x), Number(p.y), Number(p.z)});
}
ojson QuatJson(const Quat& q) {
  return ojson::array({Number(q.x), Number(q.y), Number(q.z), Number(q.w)});
}
ojson Static(float v) {
  return Number(v);
}
ojson Static(const Point3& v) {
  return PointJson(v);
}
ojson Static(const Quat& v) {
  return QuatJson(v);
}
ojson Static(const ScaleWithAxis& s) {
  if (s.axis == Quat()) return PointJson(s.scale);
  return ojson{{"scale", PointJson(s.scale)}, {"axis", QuatJson(s.axis)}};
}
ojson Static(const AngAxis& turn) {
  return ojson{{"axis", PointJson(turn.axis)}, {"angle", Number(turn.angle)}};
}

std::string Hex(uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%X", word);
  return text;
}
ojson ClassIdJson(Class_ID id) {
  return ojson::array({Hex(id.PartA()), Hex(id.PartB())});
}

const char* OrtName(int ort) {
  switch (ort) {
    case ORT_CYCLE:
      return "cycle";
    case ORT_LOOP:
      return "loop";
    case ORT_OSCILLATE:
      return "pingPong";
    case ORT_LINEAR:
      return "linear";
    case ORT_RELATIVE_REPEAT:
      return "relativeRepeat";
    case ORT_IDENTITY:
      return "identity";
    default:
      return "constant";
  }
}

const char* AxisName(int axis) {
  return axis == 0 ? "x" : axis == 1 ? "y" : "z";
}

ojson NodeRef(const SceneNode* node) {
  if (!node) return nullptr;
  return node->Handle();
}

template <typename T>
ojson KeyJson(const Keyframe<T>& k, Interpolation interpolation) {
  const Keyframe<T> defaults;
  ojson out{{"time", k.time}, {"value", Static(k.value)}};
  if constexpr (!std::is_same_v<T, Quat>) {
    if (interpolation == Interpolation::kBezier) {
      auto put = [&](const char* name, const auto& v, const auto& d) {
        if (!(v == d)) out[name] = Static(v);
      };
      put("inTangent", k.inTangent, defaults.inTangent);
      put("outTangent", k.outTangent, defaults.outTangent);
      put("inLength", k.inLength, defaults.inLength);
      put("outLength", k.outLength, defaults.outLength);
    }
  }
  if (interpolation == Interpolation::kTCB) {
    auto put = [&](const char* name, float v) {
      if (v != 0.0f) out[name] = Number(v);
    };
    put("tension", k.tension);
    put("continuity", k.continuity);
    put("bias", k.bias);
    put("easeIn", k.easeIn);
    put("easeOut", k.easeOut);
  }
  return out;
}

template <typename T>
ojson KeyframesJson(ValueController<T>& c, bool asObject) {
  using Traits = ValueTraits<T>;
  const Interpolation interpolation = c.GetInterpolation();
  const bool ownClass = !(c.ClassID() == ControllerClassId(Traits::kKind, interpolation) &&
                          c.GetClassName() == ControllerClassName(Traits::kKind, interpolation));
  const bool constant = c.ORT(ORT_BEFORE) == ORT_CONSTANT && c.ORT(ORT_AFTER) == ORT_CONSTANT;
  if (!asObject && !ownClass && interpolation == Traits::kDefault && c.Keys().empty() && constant &&
      c.id.empty()) {
    return Static(c.value);
  }
  ojson out = ojson::object();
  if (!c.id.empty()) out["id"] = c.id;
  if (ownClass) {
    if (interpolation != Traits::kDefault) {
      throw std::logic_error("a " + c.GetClassName() +
                             " controller of its own class keeps keys of another interpolation");
    }
    out["classId"] = ClassIdJson(c.ClassID());
    out["className"] = c.GetClassName();
  } else if (asObject || interpolation != Traits::kDefault) {
    out["type"] = InterpolationName(interpolation);
  }
  out["value"] = Static(c.value);
  if (!c.Keys().empty()) {
    ojson keys = ojson::array();
    for (const auto& k : c.Keys()) keys.push_back(KeyJson(k, interpolation));
    out["keys"] = std::move(keys);
  }
  if (!constant) {
    out["outOfRange"] = {{"before", OrtName(c.ORT(ORT_BEFORE))},
                         {"after", OrtName(c.ORT(ORT_AFTER))}};
  }
  return out;
}

ojson FloatJson(const std::unique_ptr<FloatControl>& c) {
  if (!c) throw std::logic_error("an axis of an XYZ controller has no controller");
  return ValueJson(*c);
}

ojson LookAtJson(LookAtConstraint& c) {
  ojson targets = ojson::array();
  for (const LookAtConstraint::Target& t : c.targets) {
    targets.push_back({{"node", NodeRef(t.node)}, {"weight", Number(t.weight)}});
  }
  ojson out{{"type", "lookAt"}, {"targets", std::move(targets)}};
  if (c.relative) out["relative"] = true;
  if (c.targetAxisFlip) out["targetAxisFlip"] = true;
  if (c.upnodeAxisFlip) out["upnodeAxisFlip"] = true;
  if (!c.upnodeWorld) out["upnodeWorld"] = false;
  if (c.viewlineAbsolute) out["viewlineAbsolute"] = true;
  out["targetAxis"] = AxisName(c.targetAxis);
  out["upnodeAxis"] = AxisName(c.upnodeAxis);
  out["sourceAxis"] = AxisName(c.sourceAxis);
  out["upnodeControl"] = c.upnodeControl == 1 ? "axisAlignment" : "lookAt";
  if (c.upnode) out["upnode"] = NodeRef(c.upnode);
  if (!(c.offset == Quat())) out["offset"] = QuatJson(c.offset);
  return out;
}

// Whether a part is what an absent part is read as: a keyframe controller of
// the default class at the identity, without keys.
template <typename T>
bool IsDefaultPart(const std::unique_ptr<ValueControl<T>>& part) {
  auto* keyed = dynamic_cast<ValueController<T>*>(part.get());
  if (!keyed) return false;
  const ojson json = KeyframesJson(*keyed, false);
  return json == Static(ValueTraits<T>::Identity());
}

template <typename T>
void PartJson(ojson& out, const char* key, const std::unique_ptr<ValueControl<T>>& part) {
  if (!part)
    out[key] = nullptr;
  else if (!IsDefaultPart(part))
    out[key] = ValueJson(*part);
}

ojson WireJson(WireFloatController& wire) {
  if (!wire.source || wire.source->id.empty())
    throw std::logic_error("a float wire follows a controller without an id");
  ojson out{{"type", "wire"}, {"source", wire.source->id}};
  if (wire.factor != 1.0f) out["factor"] = Number(wire.factor);
  if (wire.offset != 0.0f) out["offset"] = Number(wire.offset);
  if (!wire.id.empty()) out["id"] = wire.id;
  return out;
}

}  // namespace

template <typename T>
ojson ValueJson(ValueControl<T>& controller, bool asObject) {
  if (auto* keyed = dynamic_cast<ValueController<T>*>(&controller)) {
    return KeyframesJson(*keyed, asObject);
  }
  if constexpr (std::is_same_v<T, float>) {
    if (auto* wire = dynamic_cast<WireFloatController*>(&controller)) return WireJson(*wire);
  }
  if constexpr (std::is_same_v<T, Point3>) {
    if (auto* xyz = dynamic_cast<PositionXYZController*>(&controller)) {
      return {{"type", "xyz"},
              {"x", FloatJson(xyz->x)},
              {"y", FloatJson(xyz->y)},
              {"z", FloatJson(xyz->z)}};
    }
  }
  if constexpr (std::is_same_v<T, Quat>) {
    if (auto* euler = dynamic_cast<EulerXYZController*>(&controller)) {
      return {{"type", "euler"},
              {"order", "xyz"},
              {"x", FloatJson(euler->x)},
              {"y", FloatJson(euler->y)},
              {"z", FloatJson(euler->z)}};
    }
    if (auto* lookAt = dynamic_cast<LookAtConstraint*>(&controller)) return LookAtJson(*lookAt);
  }
  throw std::logic_error("a " + controller.GetClassName() +
                         " controller cannot be written to a scene file");
}

template ojson ValueJson(ValueControl<float>&, bool);
template ojson ValueJson(ValueControl<Point3>&, bool);
template ojson ValueJson(ValueControl<Quat>&, bool);
template ojson ValueJson(ValueControl<ScaleWithAxis>&, bool);

ojson FloatControllerJson(FloatController& controller) {
  return ValueJson(controller);
}

ojson TransformJson(TransformController& controller) {
  auto* prs = dynamic_cast<PRSController*>(&controller);
  if (!prs) {
    throw std::logic_error("a " + controller.GetClassName() +
                           " transform controller cannot be written to a scene file");
  }
  ojson out = ojson::object();
  if (auto* link = dynamic_cast<LinkConstraint*>(prs)) {
    out["type"] = "link";
    ojson links = ojson::array();
    for (const LinkConstraint::Link& l : link->links)
      links.push_back({{"node", NodeRef(l.node)}, {"time", l.time}});
    out["links"] = std::move(links);
  } else if (dynamic_cast<IKController*>(prs)) {
    out["type"] = "ik";
  } else if (auto* chain = dynamic_cast<IKChainController*>(prs)) {
    out["type"] = "ikChain";
    out["startJoint"] = NodeRef(chain->startJoint);
    out["endJoint"] = NodeRef(chain->endJoint);
    if (chain->solver && !(chain->solver->ClassID() == IKHISOLVER_CLASS_ID &&
                           chain->solver->GetClassName() == IKSolverObject().GetClassName())) {
      out["solver"] = {{"classId", ClassIdJson(chain->solver->ClassID())},
                       {"className", chain->solver->GetClassName()}};
    }
  } else if (dynamic_cast<LookAtTransform*>(prs)) {
    out["type"] = "lookAt";
    PartJson(out, "position", prs->position);
    PartJson(out, "scale", prs->scale);
    if (prs->roll && !IsDefaultPart(prs->roll)) out["roll"] = ValueJson(*prs->roll);
    return out;
  } else if (!(prs->ClassID() == PRS_CONTROL_CLASS_ID)) {
    throw std::logic_error("a " + prs->GetClassName() +
                           " transform controller cannot be written to a scene file");
  }
  PartJson(out, "position", prs->position);
  PartJson(out, "rotation", prs->rotation);
  PartJson(out, "scale", prs->scale);
  if (prs->roll) out["roll"] = ValueJson(*prs->roll);
  return out;
}

}  // namespace kiln::standalone
