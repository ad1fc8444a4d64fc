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
    std::string newName;
    int number = metCount;
    for (;; ++number) {
      newName = NumberedName(name, number);
      if (!taken.count(newName)) break;
    }
    LogError(CurrentLog, "Change colliding name: %s to %s_%d", name.c_str(), name.c_str(), number);
    node->SetName(newName.c_str());
    taken.insert(newName);
  }

  // "%s_%d" within 255 characters. A long name gives up its end rather than
  // the number, so that every number gives a different name.
  static std::string NumberedName(const std::string& name, int number) {
    constexpr size_t kMaxNameLength = 255;
    std::string suffix = std::to_string(number);
    suffix.insert(suffix.begin(), '_');
    return name.substr(0, kMaxNameLength - suffix.size()) + suffix;
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
