#include "standalone/ControllerValidation.h"

#include <cmath>

#include "standalone/Constraints.h"
#include "standalone/IKControllers.h"
#include "standalone/Modifiers.h"
#include "standalone/ObjectParamsJson.h"
#include "standalone/SceneObjects.h"
#include "standalone/XYZControllers.h"

namespace kiln::standalone {
namespace {

bool Finite(float f) {
  return std::isfinite(f);
}
bool Finite(const Point3& p) {
  return Finite(p.x) && Finite(p.y) && Finite(p.z);
}
bool Finite(const Quat& q) {
  return Finite(q.x) && Finite(q.y) && Finite(q.z) && Finite(q.w);
}
bool Unit(const Quat& q) {
  return Finite(q) &&
         std::fabs(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w) - 1.0f) <= 1e-3f;
}
bool NonZero(const Point3& p) {
  return p.x != 0.0f && p.y != 0.0f && p.z != 0.0f;
}
bool InRange(float v, float lo, float hi) {
  return Finite(v) && v >= lo && v <= hi;
}
bool BezierLength(float v) {
  return v == BEZ_DEFAULT_LENGTH || InRange(v, 0.0f, 1.0f);
}
bool BezierLength(const Point3& v) {
  return BezierLength(v.x) && BezierLength(v.y) && BezierLength(v.z);
}
std::string At(size_t i) {
  return "/" + std::to_string(i);
}

class Checker {
 public:
  Checker(const SceneNode& node, const std::unordered_set<const INode*>& nodes,
          std::vector<SceneProblem>& problems)
      : node_(node), nodes_(nodes), problems_(problems) {}

  void Run() {
    if (!node_.IsRoot()) Transform(node_.Transform());
    if (node_.Visibility()) Value<float>("visibility", node_.Visibility());
    Modifiers();
    Object* ref = node_.ObjectRef();
    if (auto* stack = node_.StackIfAny()) ref = stack->GetObjRef();
    if (auto* object = dynamic_cast<SceneObject*>(ref); object && object->params) {
      for (const Parameter& param : object->params->Params()) {
        const FloatController* keyed = param.values.at(0).keyed.get();
        if (keyed) Value<float>(ObjectParamPath(*object, param.id), keyed);
      }
    }
  }

 private:
  void Report(const std::string& path, const std::string& message) {
    problems_.push_back({&node_, path, message});
  }

  // A node that this one looks at or follows: another node of the scene whose
  // transform does not hang on this one.
  void Followed(const std::string& path, const SceneNode* other, const char* what) {
    if (!other || !nodes_.count(other)) {
      Report(path, std::string(what) + " is not a node of this scene");
      return;
    }
    for (const SceneNode* n = other; n; n = n->Parent()) {
      if (n == &node_) {
        Report(path,
               std::string(what) + (other == &node_ ? " is the node itself"
                                                    : " is below the node, which it would move"));
        return;
      }
    }
  }

  void Static(const std::string& path, float v, const char* what) {
    if (!Finite(v)) Report(path, std::string(what) + " is not finite");
  }
  void Static(const std::string& path, const Point3& v, const char*) {
    if (!Finite(v)) Report(path, "position is not finite");
  }
  void Static(const std::string& path, const Quat& q, const char*) {
    if (!Unit(q)) Report(path, "rotation is not a finite unit quaternion");
  }
  void Static(const std::string& path, const ScaleWithAxis& s, const char*) {
    if (!Finite(s.scale) || !NonZero(s.scale))
      Report(path, "scale factors must be finite and non-zero");
    Static(path + "/axis", s.axis, nullptr);
  }

  // Key values: scales may be keyed to zero (a node shrinking away).
  bool KeyValue(float v) { return Finite(v); }
  bool KeyValue(const Point3& v) { return Finite(v); }
  bool KeyValue(const AngAxis& v) {
    return Finite(v.axis) && Finite(v.angle) && (v.angle == 0.0f || Length(v.axis) > 0.0f);
  }
  bool KeyValue(const ScaleWithAxis& v) { return Finite(v.scale) && Unit(v.axis); }

  template <typename T>
  void Keys(const std::string& path, const ValueController<T>& c) {
    for (int type : {ORT_BEFORE, ORT_AFTER}) {
      const int ort = c.ORT(type);
      if (ort < ORT_CONSTANT || ort > ORT_RELATIVE_REPEAT) {
        Report(path + "/outOfRange", "unknown out-of-range type " + std::to_string(ort));
      }
    }
    const auto& keys = c.Keys();
    for (size_t i = 0; i < keys.size(); ++i) {
      const auto& k = keys[i];
      const std::string at = path + "/keys" + At(i);
      if (i > 0 && k.time <= keys[i - 1].time) {
        Report(at + "/time", "key at " + std::to_string(k.time) +
                                 " ticks does not come after the key before it (" +
                                 std::to_string(keys[i - 1].time) + ")");
      }
      if (!KeyValue(k.value)) Report(at + "/value", "key value is not finite");
      if constexpr (!std::is_same_v<T, Quat>) {
        if (!Finite(k.inTangent) || !Finite(k.outTangent)) {
          Report(at, "key tangents are not finite");
        }
        if (!BezierLength(k.inLength) || !BezierLength(k.outLength)) {
          Report(at, "Bezier lengths must lie between 0 and 1 (or be -1 for a third)");
        }
      }
      if (!InRange(k.tension, -1, 1) || !InRange(k.continuity, -1, 1) || !InRange(k.bias, -1, 1)) {
        Report(at, "tension, continuity and bias must lie between -1 and 1");
      }
      if (!InRange(k.easeIn, 0, 1) || !InRange(k.easeOut, 0, 1)) {
        Report(at, "ease in and ease out must lie between 0 and 1");
      }
    }
  }

  template <typename T>
  void Value(const std::string& path, const ValueControl<T>* c, const char* what = "value") {
    if (!c) return;
    if (auto* keyed = dynamic_cast<const ValueController<T>*>(c)) {
      Static(path, keyed->value, what);
      Keys(path, *keyed);
    }
    if constexpr (std::is_same_v<T, Point3>) {
      if (auto* xyz = dynamic_cast<const PositionXYZController*>(c)) Axes(path, *xyz);
    }
    if constexpr (std::is_same_v<T, Quat>) {
      if (auto* euler = dynamic_cast<const EulerXYZController*>(c)) Axes(path, *euler);
      if (auto* lookAt = dynamic_cast<const LookAtConstraint*>(c)) LookAt(path, *lookAt);
    }
  }

  template <typename C>
  void Axes(const std::string& path, const C& c) {
    Value<float>(path + "/x", c.x.get());
    Value<float>(path + "/y", c.y.get());
    Value<float>(path + "/z", c.z.get());
  }

  void LookAt(const std::string& path, const LookAtConstraint& c) {
    for (size_t i = 0; i < c.targets.size(); ++i) {
      const std::string at = path + "/targets" + At(i);
      // A deleted target (no node) is kept, as the host keeps it.
      if (c.targets[i].node) Followed(at + "/node", c.targets[i].node, "look-at target");
      if (!Finite(c.targets[i].weight)) Report(at + "/weight", "weight is not finite");
    }
    if (!c.upnodeWorld && c.upnode) Followed(path + "/upnode", c.upnode, "upnode");
    for (int axis : {c.targetAxis, c.upnodeAxis, c.sourceAxis}) {
      if (axis < 0 || axis > 2) Report(path, "axes are x, y or z (0 to 2)");
    }
    if (c.upnodeControl < 0 || c.upnodeControl > 1)
      Report(path + "/upnodeControl", "unknown upnode control");
    Static(path + "/offset", c.offset, nullptr);
  }

  void Transform(TransformController* transform) {
    auto* prs = dynamic_cast<PRSController*>(transform);
    if (!prs) return;
    Value<Point3>("transform/position", prs->position.get());
    Value<Quat>("transform/rotation", prs->rotation.get());
    Value<ScaleWithAxis>("transform/scale", prs->scale.get());
    Value<float>("transform/roll", prs->roll.get(), "roll");
    if (auto* link = dynamic_cast<LinkConstraint*>(prs)) {
      for (size_t i = 0; i < link->links.size(); ++i) {
        const std::string at = "transform/links" + At(i);
        if (link->links[i].node) Followed(at + "/node", link->links[i].node, "link");
        if (i > 0 && link->links[i].time < link->links[i - 1].time) {
          Report(at + "/time", "links must be listed in time order");
        }
      }
    }
    if (auto* chain = dynamic_cast<IKChainController*>(prs)) Chain(*chain);
  }

  void Chain(const IKChainController& chain) {
    const SceneNode* start = chain.startJoint;
    const SceneNode* end = chain.endJoint;
    if (!start || !nodes_.count(start))
      Report("transform/startJoint", "start joint is not a node of this scene");
    if (!end || !nodes_.count(end))
      Report("transform/endJoint", "end joint is not a node of this scene");
    if (!start || !end) return;
    if (!chain.MiddleJoint()) {
      Report("transform/endJoint",
             "the end joint is not below the start joint: the joints of a "
             "chain run down one line of ancestors");
    }
    for (const SceneNode* n = &node_; n; n = n->Parent()) {
      if (n == start)
        Report("transform/startJoint", "the chain's own node is the start joint or below it");
    }
  }

  void Modifiers() {
    DerivedObject* stack = node_.StackIfAny();
    for (int m = 0; stack && m < stack->NumModifiers(); ++m) {
      auto* morpher = dynamic_cast<MorpherModifier*>(&stack->ModifierAt(m));
      if (!morpher) continue;
      size_t listed = 0;
      for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
        if (!morpher->SlotAt(s).present) continue;
        const std::string at =
            "modifiers" + At(static_cast<size_t>(m)) + "/channels" + At(listed++);
        Value<float>(at + "/weight", morpher->WeightController(s), "weight");
      }
    }
  }

  const SceneNode& node_;
  const std::unordered_set<const INode*>& nodes_;
  std::vector<SceneProblem>& problems_;
};

}  // namespace

void CheckNodeControllers(const SceneNode& node, const std::unordered_set<const INode*>& sceneNodes,
                          std::vector<SceneProblem>& problems) {
  Checker(node, sceneNodes, problems).Run();
}

}  // namespace kiln::standalone
