#pragma once
#include <cstdint>
#include <vector>

#include "scene/NodeExporter.h"

class Mesh;

namespace kiln {

constexpr uint32_t kShadowMeshChunkType = 17;

// An edge of a shadow mesh with the faces on its two sides, written as is.
struct ShadowEdge {
  uint32_t a = 0;  // first vertex as met in its first face
  uint32_t b = 0;  // second vertex as met in that face
  int32_t face0 = 0;
  int32_t face1 = -1;  // another face using the edge (the last one met); -1 when none
};
static_assert(sizeof(ShadowEdge) == 16, "edges are written as raw 16-byte records");

// The edges of the faces read in corner order, each once whatever its
// direction, in order of first use.
std::vector<ShadowEdge> BuildShadowEdges(const Mesh& mesh, const int cornerOrder[3]);

// Writes a car's shadow mesh: its own vertices unsplit, faces with normals and
// the edge-to-face adjacency, for extruding silhouettes.
class ShadowMeshExporter : public NodeExporter {
 public:
  ShadowMeshExporter(INode* node, Interface* ip);
  // Nonzero when the chunk was written; zero (chunk dropped) when the object
  // gives no triangle mesh.
  int Export(CZX9_DiskWriter* writer, Object* evaluated) override;
};

}  // namespace kiln
