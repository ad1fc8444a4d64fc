#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/Matrix3.h"

class INode;

namespace kiln {

class CZX9_DiskWriter;
class MeshBuilder;

// A bone of the skin: its node's name and its bind transform (host axes).
struct SkinBone {
  std::string name;
  Matrix3 bindTransform;
};

// Up to four bone influences of one vertex, written as is (32 bytes). Used
// slots hold the non-zero weights in the skin's order with bone index x 64;
// unused slots weight 0 and bone -1.
struct SkinInfluence {
  float weight[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  int32_t bone[4] = {-1, -1, -1, -1};
};
static_assert(sizeof(SkinInfluence) == 32, "influences are written as raw 32-byte records");

constexpr int kMaxInfluences = 4;
// Written bone references step by 64.
constexpr int32_t kBoneIndexStride = 64;

// The bind data of a skinned mesh: its bind transform, the bones, and one
// influence record per skin point (host vertex), in point order.
struct MeshSkin {
  Matrix3 bindTransform;
  std::vector<SkinBone> bones;
  std::vector<SkinInfluence> influences;
};

// Reads the node's skin into skin, switching the skin modifier on while it
// reads and off again after. True without a skin modifier (nothing read);
// false, after logging the error, when a point has more than four non-zero
// weights.
bool CollectSkin(INode* node, MeshSkin& skin);

// The skin section: bind transform, bones, and one influence per output
// vertex, copied from the skin point of its host vertex. Output vertices
// whose host vertex has no skin point keep unused slots.
void WriteSkin(CZX9_DiskWriter& writer, const MeshSkin& skin, const MeshBuilder& builder,
               const char* nodeName);

}  // namespace kiln
