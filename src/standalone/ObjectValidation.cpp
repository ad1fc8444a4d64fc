#include "standalone/ObjectValidation.h"

#include <cmath>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "standalone/CameraObject.h"
#include "standalone/DependencyGraph.h"
#include "standalone/LightObject.h"
#include "standalone/LookAtTransform.h"
#include "standalone/ObjectParamsJson.h"
#include "standalone/WireController.h"

namespace kiln::standalone {
namespace {

class ParamChecker {
 public:
  ParamChecker(const SceneNode& node, SceneObject& object, std::vector<SceneProblem>& problems)
      : node_(node), object_(object), problems_(problems) {}

  void Run() {
    for (const Parameter& param : object_.params->Params()) {
      const ParamValue& value = param.values.at(0);
      if (StorageOf(param.type) == ParamStorage::kNumber && !value.keyed &&
          !std::isfinite(value.number)) {
        Report(param.id, "", "value is not finite");
      }
      const Color c = value.colour;
      if (!std::isfinite(c.r) || !std::isfinite(c.g) || !std::isfinite(c.b))
        Report(param.id, "", "colour is not finite");
    }
    if (dynamic_cast<CameraObject*>(&object_)) {
      NotBelowZero(CameraObject::kNearClip, "near clipping distance");
      NotBelowZero(CameraObject::kFarClip, "far clipping distance");
    }
    if (dynamic_cast<LightObject*>(&object_)) HotspotInsideFalloff();
  }

 private:
  void Report(ParamID id, const std::string& rest, const std::string& message) {
    problems_.push_back({&node_, ObjectParamPath(object_, id) + rest, message});
  }
  const ParamValue& Value(ParamID id) { return object_.params->Find(id)->values.at(0); }

  void NotBelowZero(ParamID id, const char* what) {
    const ParamValue& value = Value(id);
    if (!value.keyed) {
      if (value.number < 0.0f) Report(id, "", std::string(what) + " is below zero");
      return;
    }
    if (value.keyed->value < 0.0f) Report(id, "/value", std::string(what) + " is below zero");
    const auto& keys = value.keyed->Keys();
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i].value < 0.0f) {
        Report(id, "/keys/" + std::to_string(i) + "/value", std::string(what) + " is below zero");
      }
    }
  }

  // Compared at time 0 and at every key of either controller.
  void HotspotInsideFalloff() {
    std::set<TimeValue> times{0};
    for (ParamID id : {LightObject::kHotspot, LightObject::kFalloff}) {
      if (const FloatController* keyed = Value(id).keyed.get()) {
        for (const auto& key : keyed->Keys()) times.insert(key.time);
      }
    }
    for (TimeValue t : times) {
      const float hotspot = object_.params->GetFloat(LightObject::kHotspot, t, 0);
      const float falloff = object_.params->GetFloat(LightObject::kFalloff, t, 0);
      if (hotspot > falloff) {
        Report(LightObject::kHotspot, "",
               "hotspot " + std::to_string(hotspot) + " is larger than the falloff " +
                   std::to_string(falloff) + " at " + std::to_string(t) + " ticks");
        return;
      }
    }
  }

  const SceneNode& node_;
  SceneObject& object_;
  std::vector<SceneProblem>& problems_;
};

}  // namespace

void CheckObjectParams(const SceneNode& node, std::vector<SceneProblem>& problems) {
  Object* ref = node.ObjectRef();
  if (auto* stack = node.StackIfAny()) ref = stack->GetObjRef();
  if (auto* object = dynamic_cast<SceneObject*>(ref); object && object->params)
    ParamChecker(node, *object, problems).Run();
  if (dynamic_cast<LookAtTransform*>(node.Transform()) && node.target) {
    for (const SceneNode* n = node.target; n; n = n->Parent()) {
      if (n == &node) {
        problems.push_back({&node, "target", "target is below the node, which it would move"});
        break;
      }
    }
  }
}

void CheckWires(const Scene& scene, std::vector<SceneProblem>& problems) {
  const DependencyGraph graph(scene);
  std::unordered_map<std::string, const Control*> ids;
  for (Control* c : graph.Controllers()) {
    const SceneNode* owner = graph.Owner(c);
    auto* named = dynamic_cast<FloatControl*>(c);
    if (named && !named->id.empty() && !ids.emplace(named->id, c).second)
      problems.push_back({owner, "", "another controller carries the id \"" + named->id + "\""});
    auto* wire = dynamic_cast<WireFloatController*>(c);
    if (!wire) continue;
    const std::string which = wire->id.empty() ? "a float wire" : "float wire \"" + wire->id + "\"";
    if (!wire->source || !graph.Owner(wire->source)) {
      problems.push_back({owner, "", which + " follows no float controller of this scene"});
      continue;
    }
    std::unordered_set<const Control*> seen{wire};
    for (auto* next = dynamic_cast<WireFloatController*>(wire->source); next;
         next = dynamic_cast<WireFloatController*>(next->source)) {
      if (next == wire) {
        problems.push_back({owner, "", which + " follows itself round a loop of wires"});
        break;
      }
      if (!seen.insert(next).second) break;  // a loop further on, reported at its own wires
    }
  }
}

}  // namespace kiln::standalone
