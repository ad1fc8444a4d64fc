#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/FaceBlocks.h"
#include "geometry/MeshBuilder.h"
#include "geometry/MeshSkin.h"
#include "geometry/MorphTargets.h"
#include "scene/NodeExporter.h"

class Modifier;
class Object;

namespace kiln {

class MaterialExporter;

// Subtype of the mesh chunk: which deformers are enabled on the node.
enum class MeshKind : uint32_t {
  kPlain = 1,
  kSkinned = 2,
  kMorphed = 3,
  kSkinnedAndMorphed = 4,
};

constexpr uint32_t kMeshChunkType = 0;

MeshKind MeshKindOf(bool skinEnabled, bool morpherEnabled);

// Writes a geometry node as one mesh chunk: node header, object offset, local
// transform, bounding box, split vertices and indices, face blocks, and the
// morph and skin sections of its kind.
class MeshExporter : public NodeExporter {
 public:
  MeshExporter(INode* node, Interface* ip, const MaterialExporter* materials);

  // Nonzero when the whole chunk was written. On failure the chunk is dropped
  // so that the fallback chunk starts where it began. The node's skin and
  // morpher modifiers are off while the mesh is read and back in their
  // earlier state on every way out.
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;

 private:
  bool WriteMeshChunk(CZX9_DiskWriter& writer, Object* object, MeshKind kind, Modifier* morpher);

  const MaterialExporter* materials_;
  std::unique_ptr<MeshBuilder> builder_;
  std::vector<MorphChannel> morphChannels_;
  MeshSkin skin_;
  std::vector<IniEntry> faceBlockEntries_;
};

}  // namespace kiln
