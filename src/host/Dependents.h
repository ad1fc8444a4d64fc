#pragma once
#include "host/ClassId.h"

class Animatable;
class INode;

// Super classes of dependents that are no controllers.
constexpr SClass_ID BASENODE_CLASS_ID = 1;
constexpr SClass_ID PARAMETER_BLOCK2_CLASS_ID = 0x82;

// What a DependentEnumProc answers for each dependent.
constexpr int DEP_ENUM_CONTINUE = 0;  // go on into its own dependents
constexpr int DEP_ENUM_HALT = 1;      // stop the enumeration
constexpr int DEP_ENUM_SKIP = 2;      // go on, but not into its dependents

// Something that holds a reference to another: a controller, a parameter
// block, an object, a modifier or a node.
struct Dependent {
  SClass_ID superClass = 0;
  Animatable* anim = nullptr;  // the dependent, unless it is a node or a parameter block
  INode* node = nullptr;       // the node, when superClass is BASENODE_CLASS_ID
};

// Called by EnumDependents for each dependent.
class DependentEnumProc {
 public:
  virtual ~DependentEnumProc() = default;
  virtual int proc(const Dependent& dependent) = 0;
};
