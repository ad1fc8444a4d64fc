#include "plugin/NameCollisions.h"

#include <string>
#include <unordered_set>

#include "host/INode.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

void CollectNames(INode* node, std::unordered_set<std::string>& names) {
  names.insert(node->GetName());
  for (int i = 0; i < node->NumberOfChildren(); ++i) CollectNames(node->GetChildNode(i), names);
}

struct CollisionWalk {
  std::unordered_set<std::string> met;    // names before renaming
  int metCount = 0;                       // nodes visited so far
  std::unordered_set<std::string> taken;  // every name a node carries now

  void Visit(INode* node) {
    std::string name = node->GetName();
    if (met.count(name)) Rename(node, name);
    met.insert(name);
    ++metCount;
    for (int i = 0; i < node->NumberOfChildren(); ++i) Visit(node->GetChildNode(i));
  }

  void Rename(INode* node, const std::string& name) {
    std::string base;
    int number = metCount;
    for (;; ++number) {
      base = BaseForNumber(name, number);
      if (!taken.count(NumberedName(base, number))) break;
    }
    // The line names the name given, also when the base gave up its end.
    LogError(CurrentLog, "Change colliding name: %s to %s_%d", name.c_str(), base.c_str(), number);
    std::string newName = NumberedName(base, number);
    node->SetName(newName.c_str());
    taken.insert(newName);
  }

  // The part of name that "%s_%d" keeps within 255 characters. A long name
  // gives up its end rather than the number, so that every number gives a
  // different name.
  static std::string BaseForNumber(const std::string& name, int number) {
    constexpr size_t kMaxNameLength = 255;
    return name.substr(0, kMaxNameLength - 1 - std::to_string(number).size());
  }
  static std::string NumberedName(const std::string& base, int number) {
    return base + '_' + std::to_string(number);
  }
};

}  // namespace

void ResolveNameCollisions(INode* root) {
  if (!root) return;
  CollisionWalk walk;
  CollectNames(root, walk.taken);
  walk.Visit(root);
}

}  // namespace kiln
