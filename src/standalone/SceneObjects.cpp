#include "standalone/SceneObjects.h"

#include <stdexcept>

#include "standalone/CameraObject.h"
#include "standalone/LightObject.h"
#include "standalone/Modifiers.h"
#include "standalone/SliderObject.h"

namespace kiln::standalone {

TriObject* SceneObject::ConvertToType(TimeValue t, Class_ID obtype) {
  (void)t;
  if (!CanConvertToType(obtype)) return nullptr;
  if (!converted_) converted_ = std::make_unique<TriObject>();
  converted_->mesh = *mesh;
  return converted_.get();
}

const std::vector<ObjectType>& KnownObjectTypes() {
  // Class ids are the host's; the slider's is its plug-in's.
  static const std::vector<ObjectType> types = {
      {"dummy", DUMMY_CLASS_ID, HELPER_CLASS_ID, "Dummy"},
      {"point", POINTHELP_CLASS_ID, HELPER_CLASS_ID, "Point"},
      {"boneHelper", BONE_CLASS_ID, HELPER_CLASS_ID, "Bone"},
      {"bone", BONE_OBJ_CLASSID, GEOMOBJECT_CLASS_ID, "BoneGeometry"},
      {"targetCamera", TARGET_CAMERA_CLASS_ID, CAMERA_CLASS_ID, "Target Camera"},
      {"freeCamera", FREE_CAMERA_CLASS_ID, CAMERA_CLASS_ID, "Free Camera"},
      {"omniLight", OMNI_LIGHT_CLASS_ID, LIGHT_CLASS_ID, "Omni"},
      {"targetSpot", SPOT_LIGHT_CLASS_ID, LIGHT_CLASS_ID, "Target Spot"},
      {"directionalLight", DIR_LIGHT_CLASS_ID, LIGHT_CLASS_ID, "Directional"},
      {"freeSpot", FSPOT_LIGHT_CLASS_ID, LIGHT_CLASS_ID, "Free Spot"},
      {"targetDirectional", TDIR_LIGHT_CLASS_ID, LIGHT_CLASS_ID, "Target Direct"},
      {"splineShape", SPLINESHAPE_CLASS_ID, SHAPE_CLASS_ID, "Editable Spline"},
      {"linearShape", LINEARSHAPE_CLASS_ID, SHAPE_CLASS_ID, "Linear Shape"},
      {"line", SPLINE3D_CLASS_ID, SHAPE_CLASS_ID, "Line"},
      {"ngon", NGON_CLASS_ID, SHAPE_CLASS_ID, "NGon"},
      {"donut", DONUT_CLASS_ID, SHAPE_CLASS_ID, "Donut"},
      {"star", STAR_CLASS_ID, SHAPE_CLASS_ID, "Star"},
      {"slider", OKAPISLIDER_CLASS_ID, HELPER_CLASS_ID, "OkapiSlider"},
      {"ikChainObject", Class_ID(0x4B0C0B1E, 0x5D4E1F2A), HELPER_CLASS_ID, "IK Chain Object"},
  };
  return types;
}

const ObjectType* FindObjectType(std::string_view name) {
  for (const ObjectType& type : KnownObjectTypes()) {
    if (type.name == name) return &type;
  }
  return nullptr;
}

const ObjectType* FindObjectType(Class_ID classId, SClass_ID superClass,
                                 std::string_view className) {
  for (const ObjectType& type : KnownObjectTypes()) {
    if (type.classId == classId && type.superClass == superClass && type.className == className) {
      return &type;
    }
  }
  return nullptr;
}

std::unique_ptr<SceneObject> MakeObject(Class_ID classId, SClass_ID superClass,
                                        std::string className) {
  if (superClass == CAMERA_CLASS_ID) {
    return std::make_unique<CameraObject>(classId, std::move(className));
  }
  if (superClass == LIGHT_CLASS_ID)
    return std::make_unique<LightObject>(classId, std::move(className));
  auto object = std::make_unique<SceneObject>(classId, superClass, std::move(className));
  if (classId == OKAPISLIDER_CLASS_ID) object->params = MakeSliderParams();
  return object;
}

std::unique_ptr<SceneObject> MakeObject(const ObjectType& type) {
  return MakeObject(type.classId, type.superClass, std::string(type.className));
}

std::unique_ptr<SceneObject> MakeObject(std::string_view typeName) {
  const ObjectType* type = FindObjectType(typeName);
  if (!type) throw std::invalid_argument("unknown object type: " + std::string(typeName));
  return MakeObject(*type);
}

DerivedObject::DerivedObject(std::unique_ptr<Object> base) : base_(std::move(base)) {}
DerivedObject::~DerivedObject() = default;

Modifier* DerivedObject::GetModifier(int index) {
  if (index < 0 || index >= NumModifiers()) return nullptr;
  return modifiers_[index].get();
}

StackModifier& DerivedObject::AddOnTop(std::unique_ptr<StackModifier> modifier) {
  modifiers_.insert(modifiers_.begin(), std::move(modifier));
  return *modifiers_.front();
}

StackModifier& DerivedObject::AddAtBottom(std::unique_ptr<StackModifier> modifier) {
  modifiers_.push_back(std::move(modifier));
  return *modifiers_.back();
}

}  // namespace kiln::standalone
