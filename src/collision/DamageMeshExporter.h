#pragma once
#include <cstdint>

#include "scene/NodeExporter.h"

namespace kiln {

constexpr uint32_t kDamageMeshChunkType = 16;

// Writes a car's "c_" node as a damage mesh chunk: node header, object
// offset, local transform, its own vertices, texture vertices and faces
// (unsplit, in host corner order), and, when its material has two
// sub-materials, the deform map (sub-material 0's diffuse bitmap) and the
// damage map (sub-material 1's) as indexed textures. Makes no track requests.
class DamageMeshExporter : public NodeExporter {
 public:
  DamageMeshExporter(INode* node, Interface* ip);
  // Nonzero when the whole chunk was written; on failure the chunk is dropped.
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;

 private:
  bool WriteDamageMesh(CZX9_DiskWriter& writer, Object* evaluated);
};

}  // namespace kiln
