#include "scene/NodeClassification.h"

#include "geometry/NodeLookup.h"
#include "host/INode.h"
#include "host/Object.h"
#include "platform/DebugOutput.h"
#include "scene/ExportWalk.h"
#include "scene/NodeNames.h"

namespace kiln {
namespace {

struct ShapeClassName {
  Class_ID id;
  const char* trace;
};

constexpr ShapeClassName kShapeClasses[] = {
    {SPLINESHAPE_CLASS_ID, "SPLINESHAPE_CLASS_ID\n"},
    {LINEARSHAPE_CLASS_ID, "LINEARSHAPE_CLASS_ID\n"},
    {SPLINE3D_CLASS_ID, "SPLINE3D_CLASS_ID\n"},
    {NGON_CLASS_ID, "NGON_CLASS_ID\n"},
    {DONUT_CLASS_ID, "DONUT_CLASS_ID\n"},
    {STAR_CLASS_ID, "STAR_CLASS_ID\n"},
};

void TraceShapeClass(Object* shape) {
  Class_ID id = shape->ClassID();
  for (const ShapeClassName& shapeClass : kShapeClasses) {
    if (shapeClass.id == id) platform::OutputDebugStringA(shapeClass.trace);
  }
}

ExporterChoice ChooseGeometry(const WalkRules& rules, INode* node, Object* object) {
  const char* name = node->GetName();
  if (rules.boxHelpers && HasPrefix(name, "bb_")) return ExporterChoice::BoxHelper;
  if (rules.carPrefixes && HasPrefix(name, "c_")) return ExporterChoice::DamageMesh;
  if (rules.carPrefixes && HasPrefix(name, "s_")) return ExporterChoice::ShadowMesh;
  if (ConvertsToTriangleMesh(object)) return ExporterChoice::Mesh;
  if (object->ClassID() == POINTHELP_CLASS_ID) return ExporterChoice::Dummy;
  return ExporterChoice::Default;
}

ExporterChoice ChooseHelper(const WalkRules& rules, Object* object) {
  if (object->ClassID() == DUMMY_CLASS_ID) return ExporterChoice::Dummy;
  std::string className = object->GetClassName();
  if (className == "OkapiSlider")
    return rules.sliders ? ExporterChoice::OkapiSlider : ExporterChoice::Default;
  if (className == "IK Chain Object") return ExporterChoice::IKChainObject;
  return ExporterChoice::Default;
}

}  // namespace

bool IsBoneObject(Object* object) {
  return object->SuperClassID() == GEOMOBJECT_CLASS_ID && object->ClassID() == BONE_OBJ_CLASSID;
}

bool IsBoneHelper(Object* object) {
  return object->ClassID() == BONE_CLASS_ID;
}

bool ConvertsToTriangleMesh(Object* object) {
  return object->CanConvertToType(TRIOBJ_CLASS_ID) != 0;
}

ExporterChoice ChooseExporter(const WalkRules& rules, INode* node, Object* evaluated) {
  if (IsBoneObject(evaluated)) return ExporterChoice::Bone;
  if (IsBoneHelper(evaluated)) return ExporterChoice::Null;
  switch (evaluated->SuperClassID()) {
    case GEOMOBJECT_CLASS_ID:
      return ChooseGeometry(rules, node, evaluated);
    case CAMERA_CLASS_ID:
      return rules.camerasAndLights ? ExporterChoice::Camera : ExporterChoice::Default;
    case LIGHT_CLASS_ID:
      return rules.camerasAndLights ? ExporterChoice::Light : ExporterChoice::Default;
    case HELPER_CLASS_ID:
      return ChooseHelper(rules, evaluated);
    case SHAPE_CLASS_ID:
      if (rules.traceShapes) TraceShapeClass(evaluated);
      return ExporterChoice::Default;
    default:
      return ExporterChoice::Default;
  }
}

int HierarchyNodeType(INode* node, Object* evaluated) {
  if (evaluated && (IsBoneObject(evaluated) || IsBoneHelper(evaluated))) return 2;
  if (HasSkin(node)) return 1;
  if (!evaluated) return 4;
  if (evaluated->SuperClassID() == HELPER_CLASS_ID) return 3;
  if (ConvertsToTriangleMesh(evaluated)) return 0;
  return 4;
}

}  // namespace kiln
