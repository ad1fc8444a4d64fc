#pragma once
#include "host/Matrix3.h"

class INode;

// Per-node weights of a skin: for each point, its assigned bones and weights.
class ISkinContextData {
 public:
  virtual ~ISkinContextData() = default;
  virtual int GetNumPoints() = 0;
  virtual int GetNumAssignedBones(int pointIdx) = 0;
  virtual int GetAssignedBone(int pointIdx, int boneIdx) = 0;
  virtual float GetBoneWeight(int pointIdx, int boneIdx) = 0;
};

// The skin modifier's interface (GetInterface(I_SKIN)).
constexpr int SKIN_OK = 1;
class ISkin {
 public:
  virtual ~ISkin() = default;
  // Bind transform of the skinned node; SKIN_OK when it has one.
  virtual int GetSkinInitTM(INode* node, Matrix3& tm, bool objOffset = false) = 0;
  virtual int GetNumBones() = 0;
  virtual INode* GetBone(int idx) = 0;
  virtual int GetBoneInitTM(INode* bone, Matrix3& tm, bool objOffset = false) = 0;
  virtual ISkinContextData* GetContextInterface(INode* node) = 0;
  // The frame at which the skin was bound.
  virtual TimeValue GetRefFrame() = 0;
};
