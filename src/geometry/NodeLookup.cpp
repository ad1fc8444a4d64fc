#include "geometry/NodeLookup.h"

#include <cstring>
#include <vector>

#include "host/INode.h"
#include "host/Object.h"

namespace kiln {

Modifier* FindModifier(INode* node, Class_ID classId) {
  if (!node) return nullptr;
  Object* object = node->GetObjectRef();
  while (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID) {
    // The host's contract: this super class is always a modifier stack. No
    // dynamic_cast, whose type identity does not cross the module boundary.
    auto* stack = static_cast<IDerivedObject*>(object);
    for (int i = 0; i < stack->NumModifiers(); ++i) {
      Modifier* modifier = stack->GetModifier(i);
      if (modifier && modifier->ClassID() == classId) return modifier;
    }
    object = stack->GetObjRef();
  }
  return nullptr;
}

bool HasSkin(INode* node) {
  return FindModifier(node, SKIN_CLASS_ID) != nullptr;
}

INode* FindNodeByName(INode* node, const char* name) {
  if (!node || !name) return nullptr;
  // An explicit stack: bone chains can be deeper than the call stack likes.
  std::vector<INode*> pending{node};
  while (!pending.empty()) {
    INode* current = pending.back();
    pending.pop_back();
    const char* currentName = current->GetName();
    if (currentName && std::strcmp(currentName, name) == 0) return current;
    // Children pushed last to first, so the first child is visited next.
    for (int i = current->NumberOfChildren() - 1; i >= 0; --i) {
      if (INode* child = current->GetChildNode(i)) pending.push_back(child);
    }
  }
  return nullptr;
}

}  // namespace kiln
