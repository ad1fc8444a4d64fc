#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Object.h"
#include "standalone/ParamBlocks.h"

namespace kiln::standalone {

class StackModifier;

// An editable triangle mesh: a triangle object that is its own conversion.
class MeshObject final : public TriObject {
 public:
  explicit MeshObject(Mesh m = {}) { mesh = std::move(m); }
};

// Any other object: a helper, bone, camera, light, shape or a class the
// standalone host does not model. It carries its class identity, a mesh when
// the object converts to a triangle mesh (a bone or a box helper does), and
// its parameters when it has any (cameras, lights and sliders do; see
// CameraObject.h and LightObject.h).
class SceneObject : public Object {
 public:
  SceneObject(Class_ID classId, SClass_ID superClass, std::string className)
      : classId_(classId), superClass_(superClass), className_(std::move(className)) {}

  Class_ID ClassID() override { return classId_; }
  SClass_ID SuperClassID() override { return superClass_; }
  std::string GetClassName() override { return className_; }
  int CanConvertToType(Class_ID obtype) override {
    return mesh.has_value() && obtype == TRIOBJ_CLASS_ID;
  }
  // A copy of the mesh, owned by this object until the next conversion.
  TriObject* ConvertToType(TimeValue t, Class_ID obtype) override;
  int NumParamBlocks() override { return params ? 1 : 0; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? params.get() : nullptr; }

  std::optional<Mesh> mesh;
  std::unique_ptr<ParamBlock> params;  // the object's parameters, when it has any

 private:
  Class_ID classId_;
  SClass_ID superClass_;
  std::string className_;
  std::unique_ptr<TriObject> converted_;
};

// Object types with a name in the scene file and the builder.
struct ObjectType {
  std::string_view name;  // as written in scene files
  Class_ID classId;
  SClass_ID superClass;
  std::string_view className;
};
const std::vector<ObjectType>& KnownObjectTypes();
const ObjectType* FindObjectType(std::string_view name);
// The known type with exactly this identity, if any.
const ObjectType* FindObjectType(Class_ID classId, SClass_ID superClass,
                                 std::string_view className);
// A new object of that identity with its default parameters: a camera or a
// light of the host's kind for those super classes, a slider with its value,
// minimum and maximum.
std::unique_ptr<SceneObject> MakeObject(Class_ID classId, SClass_ID superClass,
                                        std::string className);
std::unique_ptr<SceneObject> MakeObject(const ObjectType& type);
// A known type by name; throws std::invalid_argument for an unknown name.
std::unique_ptr<SceneObject> MakeObject(std::string_view typeName);

// The modifier stack: modifiers top first, then the object they modify.
class DerivedObject final : public IDerivedObject {
 public:
  explicit DerivedObject(std::unique_ptr<Object> base);
  ~DerivedObject() override;

  Class_ID ClassID() override { return Class_ID(2, 0); }
  std::string GetClassName() override { return "Derived Object"; }
  int NumModifiers() override { return static_cast<int>(modifiers_.size()); }
  Modifier* GetModifier(int index) override;
  Object* GetObjRef() override { return base_.get(); }

  // Puts a modifier on top of the stack (index 0).
  StackModifier& AddOnTop(std::unique_ptr<StackModifier> modifier);
  // Puts a modifier at the bottom, just above the base object.
  StackModifier& AddAtBottom(std::unique_ptr<StackModifier> modifier);
  StackModifier& ModifierAt(int index) { return *modifiers_[index]; }
  Object& Base() { return *base_; }

 private:
  std::unique_ptr<Object> base_;
  std::vector<std::unique_ptr<StackModifier>> modifiers_;  // top first
};

}  // namespace kiln::standalone
