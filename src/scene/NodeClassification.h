#pragma once

class INode;
class Object;

namespace kiln {

struct WalkRules;

// The node exporter a walk picks for a node.
enum class ExporterChoice {
  Bone,
  Null,  // bone helper
  BoxHelper,
  Mesh,
  Dummy,
  Camera,
  Light,
  OkapiSlider,
  IKChainObject,
  DamageMesh,
  ShadowMesh,
  Default,
};

// The first rule that holds for the node and its evaluated object. In the
// scene walk a shape also sends its class to the debugger output.
ExporterChoice ChooseExporter(const WalkRules& rules, INode* node, Object* evaluated);

// Node type of a hierarchy entry: 2 bone, 1 skinned, 3 helper, 0 mesh, 4 other.
int HierarchyNodeType(INode* node, Object* evaluated);

// Class tests shared by the walks.
bool IsBoneObject(Object* object);
bool IsBoneHelper(Object* object);
bool ConvertsToTriangleMesh(Object* object);

}  // namespace kiln
