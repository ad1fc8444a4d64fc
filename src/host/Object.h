#pragma once
#include <memory>

#include "host/Animatable.h"
#include "host/Mesh.h"

class TriObject;

// A scene object as evaluated (or as referenced by a node).
class Object : public Animatable {
 public:
  virtual int CanConvertToType(Class_ID obtype) {
    (void)obtype;
    return 0;
  }
  // The object as a triangle object at time t, or null. The result is owned by
  // this object and stays valid until the next conversion or evaluation.
  virtual TriObject* ConvertToType(TimeValue t, Class_ID obtype) {
    (void)t, (void)obtype;
    return nullptr;
  }
};

// A triangle mesh object; answers yes to the triangle-object conversion.
class TriObject : public Object {
 public:
  Mesh mesh;
  Mesh& GetMesh() { return mesh; }

  Class_ID ClassID() override { return TRIOBJ_CLASS_ID; }
  SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
  std::string GetClassName() override { return "Editable Mesh"; }
  int CanConvertToType(Class_ID obtype) override { return obtype == TRIOBJ_CLASS_ID; }
  TriObject* ConvertToType(TimeValue, Class_ID obtype) override {
    return obtype == TRIOBJ_CLASS_ID ? this : nullptr;
  }
};

// A modifier on a modifier stack; disabled while A_MOD_DISABLED is set.
class Modifier : public Animatable {
 public:
  SClass_ID SuperClassID() override { return OSM_CLASS_ID; }
  bool IsEnabled() const { return !TestAFlag(A_MOD_DISABLED); }
};

// The modifier stack: modifiers in index order (top first) over the object it
// refers to. Its super class is GEN_DERIVOB_CLASS_ID.
class IDerivedObject : public Object {
 public:
  SClass_ID SuperClassID() override { return GEN_DERIVOB_CLASS_ID; }
  virtual int NumModifiers() = 0;
  virtual Modifier* GetModifier(int index) = 0;
  virtual Object* GetObjRef() = 0;
};
