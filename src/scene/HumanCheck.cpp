#include "scene/HumanCheck.h"

#include <string>
#include <vector>

#include "geometry/NodeLookup.h"
#include "host/INode.h"
#include "platform/Messages.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

const char* const kRequiredBones[kRequiredBoneCount] = {
    "B_calf L", "B_calf R",      "B_foot L",      "B_foot R",      "B_hand L",      "B_hand R",
    "B_head",   "B_lower arm L", "B_lower arm R", "B_shoulder L",  "B_shoulder R",  "B_spine1",
    "B_spine2", "B_thigh L",     "B_thigh R",     "B_upper arm L", "B_upper arm R",
};

namespace {

int CountSkinnedNodes(INode* root) {
  int count = 0;
  std::vector<INode*> stack{root};
  while (!stack.empty()) {
    INode* node = stack.back();
    stack.pop_back();
    if (HasSkin(node)) ++count;
    for (int i = 0; i < node->NumberOfChildren(); ++i) stack.push_back(node->GetChildNode(i));
  }
  return count;
}

}  // namespace

bool CheckHumanScene(INode* root) {
  for (const char* bone : kRequiredBones) {
    if (FindNodeByName(root, bone)) continue;
    std::string text = std::string("Bone ") + bone + " not found";
    ShowMessage(text.c_str(), platform::MB_OK, 0);
    // Kept in the log too: with prompts suppressed the box is never seen.
    LogWarning(CurrentLog, "%s", text.c_str());
  }
  if (CountSkinnedNodes(root) == 0) {
    ShowMessage("No skinned meshes found", platform::MB_OK, 0);
    LogError(CurrentLog, "No skinned meshes found");
    return false;
  }
  return true;
}

}  // namespace kiln
