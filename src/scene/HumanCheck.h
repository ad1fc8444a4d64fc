#pragma once

class INode;

namespace kiln {

// The bones a human character's skeleton must have, by exact name.
constexpr int kRequiredBoneCount = 17;
extern const char* const kRequiredBones[kRequiredBoneCount];

// Shows "Bone %s not found" for every missing required bone, then checks for
// a skinned mesh: false, after "No skinned meshes found", when there is none.
bool CheckHumanScene(INode* root);

}  // namespace kiln
