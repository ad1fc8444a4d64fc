#include "standalone/ObjectParamsJson.h"

#include <span>
#include <string>
#include <vector>

#include "standalone/CameraObject.h"
#include "standalone/ControllerWriter.h"
#include "standalone/JsonValues.h"
#include "standalone/LightObject.h"
#include "standalone/SideBuffers.h"
#include "standalone/SliderObject.h"

namespace kiln::standalone {
namespace {

using ojson = nlohmann::ordered_json;

// One parameter as the scene file names it.
struct NamedParam {
  const char* key;
  ParamID id;
};

constexpr NamedParam kCameraParams[] = {
    {"fov", CameraObject::kFov},
    {"near", CameraObject::kNearClip},
    {"far", CameraObject::kFarClip},
};
constexpr NamedParam kLightParams[] = {
    {"color", LightObject::kColor},
    {"multiplier", LightObject::kMultiplier},
    {"hotspot", LightObject::kHotspot},
    {"falloff", LightObject::kFalloff},
    {"farAttenuation", LightObject::kUseFarAttenuation},
    {"farAttenuationStart", LightObject::kFarAttenuationStart},
    {"farAttenuationEnd", LightObject::kFarAttenuationEnd},
};
constexpr NamedParam kSliderParams[] = {
    {"value", SliderParams::kValue},
    {"min", SliderParams::kMin},
    {"max", SliderParams::kMax},
};

std::span<const NamedParam> ParamsOf(SceneObject& object) {
  if (!object.params) return {};
  if (dynamic_cast<CameraObject*>(&object)) return kCameraParams;
  if (dynamic_cast<LightObject*>(&object)) return kLightParams;
  if (object.ClassID() == OKAPISLIDER_CLASS_ID) return kSliderParams;
  return {};
}

void ReadParam(const JsonValue& v, Parameter& param, const ControllerReader& controllers) {
  ParamValue& value = param.values.at(0);
  switch (StorageOf(param.type)) {
    case ParamStorage::kNumber:
      if (v.IsObject()) {
        value.keyed = controllers.Keyframes(v);
      } else {
        value.keyed.reset();
        value.number = v.Float();
      }
      break;
    case ParamStorage::kInteger:
      value.integer = v.Bool();
      break;
    case ParamStorage::kColour: {
      const Point3 rgb = ReadPoint(v);
      value.colour = Color(rgb.x, rgb.y, rgb.z);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void ReadObjectParams(const JsonValue& v, SceneObject& object, const ControllerReader& controllers,
                      bool custom) {
  const std::span<const NamedParam> params = ParamsOf(object);
  std::vector<std::string> allowed{"type"};
  if (custom) allowed.insert(allowed.end(), {"classId", "superClass", "className"});
  for (const NamedParam& p : params) allowed.push_back(p.key);
  for (const auto& item : v.Raw().items()) {
    bool known = false;
    for (const std::string& key : allowed) known = known || key == item.key();
    if (known) continue;
    std::string list;
    for (const std::string& key : allowed) list += (list.empty() ? "" : ", ") + key;
    v.At(item.key())
        .Fail("unknown field \"" + item.key() + "\" of a " + object.GetClassName() +
              " object (expected one of: " + list + ")");
  }
  for (const NamedParam& p : params) {
    if (auto value = v.Find(p.key)) ReadParam(*value, *object.params->Find(p.id), controllers);
  }
}

std::string ObjectParamPath(SceneObject& object, ParamID id) {
  for (const NamedParam& p : ParamsOf(object)) {
    if (p.id == id) return std::string("object/") + p.key;
  }
  return "object";
}

void WriteObjectParams(SceneObject& object, ojson& out) {
  const std::span<const NamedParam> params = ParamsOf(object);
  if (params.empty()) return;
  const std::unique_ptr<SceneObject> fresh =
      MakeObject(object.ClassID(), object.SuperClassID(), object.GetClassName());
  for (const NamedParam& p : params) {
    const Parameter& param = *object.params->Find(p.id);
    const ParamValue& value = param.values.at(0);
    const ParamValue& initial = fresh->params->Find(p.id)->values.at(0);
    switch (StorageOf(param.type)) {
      case ParamStorage::kNumber:
        if (value.keyed)
          out[p.key] = ValueJson(*value.keyed, /*asObject=*/true);
        else if (value.number != initial.number)
          out[p.key] = ShortestDecimal(value.number);
        break;
      case ParamStorage::kInteger:
        if (value.integer != initial.integer) out[p.key] = value.integer != 0;
        break;
      case ParamStorage::kColour:
        if (!(value.colour == initial.colour)) {
          out[p.key] =
              ojson::array({ShortestDecimal(value.colour.r), ShortestDecimal(value.colour.g),
                            ShortestDecimal(value.colour.b)});
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace kiln::standalone
