#include "scene/RootChildren.h"

#include "host/INode.h"
#include "host/Interface.h"

namespace kiln {

void ForEachRootChild(Interface* ip, INode* root, const std::function<int(INode*)>& walk) {
  int count = root->NumberOfChildren();
  for (int i = 0; i < count; ++i) {
    int percent = count == 1 ? 0 : static_cast<int>(static_cast<long long>(i) * 100 / (count - 1));
    ip->ProgressUpdate(percent, true, nullptr);
    if (ip->GetCancel()) break;
    if (walk(root->GetChildNode(i)) == 2) break;
  }
}

}  // namespace kiln
