#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "geometry/FatVertexTable.h"

class Mesh;
class Mtl;

namespace kiln {

class CZX9_DiskWriter;

// Output corner j of a host triangle is read from host corner order[j].
using CornerOrder = std::array<int, 3>;
// Unmirrored objects reverse their winding, since the output axes mirror space.
constexpr CornerOrder kEvenParityCorners = {0, 2, 1};
constexpr CornerOrder kOddParityCorners = {1, 2, 0};

// The faces of one material id: their indices ascending, and the number of
// distinct fat vertices they use (a fat vertex belongs to one material id).
struct MaterialGroup {
  int32_t materialId = 0;
  std::vector<int32_t> faces;
  int32_t vertexCount = 0;
};

// Host vertex -> the fat vertex of every corner that uses it, in face and
// corner order (a fat index occurs once per corner). Kept as compressed rows.
class CornerMap {
 public:
  std::span<const int32_t> FatVertices(size_t hostVertex) const {
    return {fat_.data() + first_[hostVertex], fat_.data() + first_[hostVertex + 1]};
  }
  size_t HostVertexCount() const { return first_.empty() ? 0 : first_.size() - 1; }

 private:
  friend class MeshBuilder;
  std::vector<uint32_t> first_;
  std::vector<int32_t> fat_;
};

// Mapping axis of the texture coordinates: the UV generator axis of the
// material's diffuse map, or of its opacity map when it has no diffuse map;
// AXIS_UV without either.
int UvAxisOf(Mtl* nodeMaterial);

// True when every face index of the mesh names an existing vertex, texture
// vertex or colour, and texture and colour faces (when present) match the
// faces one for one. Gathering reads the arrays without further checks.
bool MeshIndicesAreValid(const Mesh& mesh);

// Reads the attributes of host triangle corners as fat vertices.
class CornerReader {
 public:
  // The mesh's normals must be built and its indices valid.
  CornerReader(const Mesh& mesh, int uvAxis);
  // Fills corner with host corner c of face f; leaves nothing of an earlier
  // corner behind.
  void Read(size_t f, int c, FatVertex& corner) const;

 private:
  const Mesh& mesh_;
  int uvAxis_;
};

// Turns one host mesh into fat vertices, numbers them for output and writes
// the vertex and index blocks of the mesh chunk.
class MeshBuilder {
 public:
  // Fills the face records, the fat vertices and the corner map. The mesh's
  // normals must be built and its indices valid.
  void GatherFaces(const Mesh& mesh, const CornerOrder& order, int uvAxis);
  // Groups the faces by ascending material id and sends one debugger line per group.
  void GroupFacesByMaterial();
  // Numbers the fat vertices by first use, group after group; counts each
  // group's vertices.
  void NumberOutputVertices();

  // Vertex count, format flags, positions and normals, uvs, packed colours.
  void WriteVertexBlock(CZX9_DiskWriter& writer) const;
  // Face count and 16-bit output indices. False, after logging the error,
  // at the first corner whose fat vertex index does not fit.
  bool WriteIndexBlock(CZX9_DiskWriter& writer, const char* nodeName) const;

  const std::vector<FaceRecord>& Faces() const { return faces_; }
  const FatVertexTable& FatVertices() const { return fatVertices_; }
  const CornerMap& Corners() const { return corners_; }
  const std::vector<MaterialGroup>& Groups() const { return groups_; }
  // Fat vertex index -> output index, and output index -> fat vertex index.
  const std::vector<int32_t>& SequenceMap() const { return sequence_; }
  const std::vector<int32_t>& InverseMap() const { return inverse_; }

 private:
  std::vector<FaceRecord> faces_;
  FatVertexTable fatVertices_;
  CornerMap corners_;
  std::vector<MaterialGroup> groups_;
  std::vector<int32_t> sequence_;
  std::vector<int32_t> inverse_;
};

}  // namespace kiln
