#pragma once
#include "host/ClassId.h"

class INode;
class Modifier;

// Lookups on the scene by class id and by name.
namespace kiln {

// The first modifier with the class id on the node's modifier stacks, enabled
// or not: each derived object's modifiers in index order, then the object it
// refers to. Null when there is none (or node is null).
Modifier* FindModifier(INode* node, Class_ID classId);

// The node carries a skin modifier, enabled or not.
bool HasSkin(INode* node);

// Depth first, the node itself first, then each child in child order: the
// first node whose name equals name exactly, or null.
INode* FindNodeByName(INode* node, const char* name);

}  // namespace kiln
