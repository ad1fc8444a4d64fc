#include "geometry/MeshBuilder.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <map>

#include "geometry/AxisExchange.h"
#include "host/Material.h"
#include "host/Mesh.h"
#include "io/CZX9_DiskWriter.h"
#include "platform/DebugOutput.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

static_assert(std::endian::native == std::endian::little,
              "vertex arrays are written as raw little-endian floats");

namespace {

// The normal of face f at vertex v: a specified normal, else the render
// normal of the smoothing cluster the face belongs to, else the face normal.
Point3 CornerNormal(const Mesh& mesh, size_t f, uint32_t v, uint32_t smGroup) {
  const RVertex& rv = mesh.rVerts[v];
  if ((rv.rFlags & SPECIFIED_NORMAL) != 0) return rv.rn.normal;
  const size_t count = rv.rFlags & NORCT_MASK;
  if (count == 0 || smGroup == 0) return mesh.faceNormals[f];
  if (count == 1) return rv.rn.normal;
  // The last extra normal serving one of the face's groups; none serving
  // them (a stale render vertex) falls back to the face normal.
  for (size_t i = std::min(count, rv.ern.size()); i-- > 0;) {
    if ((rv.ern[i].smGroup & smGroup) != 0) return rv.ern[i].normal;
  }
  return mesh.faceNormals[f];
}

Point2 UvOnAxis(const Point3& tv, int axis) {
  switch (axis) {
    case AXIS_UV:
      return {tv.x, 1.0f - tv.y};
    case AXIS_VW:
      return {tv.y, 1.0f - tv.z};
    case AXIS_WU:
      return {tv.z, 1.0f - tv.x};
    default:
      return {0.0f, 0.0f};
  }
}

}  // namespace

int UvAxisOf(Mtl* nodeMaterial) {
  if (nodeMaterial == nullptr) return AXIS_UV;
  Texmap* map = nodeMaterial->GetSubTexmap(ID_DI);
  if (map == nullptr) map = nodeMaterial->GetSubTexmap(ID_OP);
  if (map == nullptr || map->GetTheUVGen() == nullptr) return AXIS_UV;
  return map->GetTheUVGen()->GetAxis();
}

bool MeshIndicesAreValid(const Mesh& mesh) {
  auto within = [](const TVFace& face, size_t count) {
    return face.t[0] < count && face.t[1] < count && face.t[2] < count;
  };
  for (const Face& face : mesh.faces) {
    if (face.v[0] >= mesh.verts.size() || face.v[1] >= mesh.verts.size() ||
        face.v[2] >= mesh.verts.size())
      return false;
  }
  if (mesh.hasTextureFaces()) {
    if (mesh.tvFace.size() != mesh.faces.size()) return false;
    for (const TVFace& face : mesh.tvFace)
      if (!within(face, mesh.tVerts.size())) return false;
  }
  if (mesh.hasColorFaces()) {
    if (mesh.vcFace.size() != mesh.faces.size()) return false;
    for (const TVFace& face : mesh.vcFace)
      if (!within(face, mesh.vertCol.size())) return false;
  }
  return mesh.rVerts.size() == mesh.verts.size() && mesh.faceNormals.size() == mesh.faces.size();
}

CornerReader::CornerReader(const Mesh& mesh, int uvAxis) : mesh_(mesh), uvAxis_(uvAxis) {}

void CornerReader::Read(size_t f, int c, FatVertex& corner) const {
  const Face& face = mesh_.faces[f];
  const uint32_t v = face.v[c];
  corner.materialId = face.getMatID();
  corner.smoothingGroup = face.smGroup;
  corner.position = ExchangePointAxes(mesh_.verts[v]);
  corner.normal = ExchangePointAxes(CornerNormal(mesh_, f, v, face.smGroup));
  corner.hasUv = mesh_.hasTextureFaces();
  corner.uv = corner.hasUv ? UvOnAxis(mesh_.tVerts[mesh_.tvFace[f].t[c]], uvAxis_) : Point2();
  corner.hasColour = mesh_.hasColorFaces();
  if (corner.hasColour) {
    const VertColor& colour = mesh_.vertCol[mesh_.vcFace[f].t[c]];
    corner.colour[0] = colour.x;
    corner.colour[1] = colour.y;
    corner.colour[2] = colour.z;
  } else {
    corner.colour[0] = corner.colour[1] = corner.colour[2] = 1.0f;
  }
  corner.colour[3] = 1.0f;
}

void MeshBuilder::GatherFaces(const Mesh& mesh, const CornerOrder& order, int uvAxis) {
  const size_t faceCount = mesh.faces.size();
  const size_t vertexCount = mesh.verts.size();
  faces_.assign(faceCount, FaceRecord());
  fatVertices_ = FatVertexTable();
  fatVertices_.Reserve(vertexCount + vertexCount / 2);

  // Rows of the corner map: every vertex gets one entry per corner using it.
  corners_.first_.assign(vertexCount + 1, 0);
  for (const Face& face : mesh.faces)
    for (uint32_t v : face.v) ++corners_.first_[v + 1];
  for (size_t v = 0; v < vertexCount; ++v) corners_.first_[v + 1] += corners_.first_[v];
  corners_.fat_.assign(corners_.first_[vertexCount], -1);
  std::vector<uint32_t> nextCorner(corners_.first_.begin(), corners_.first_.end() - 1);

  const CornerReader reader(mesh, uvAxis);
  FatVertex corner;
  for (size_t f = 0; f < faceCount; ++f) {
    const Face& face = mesh.faces[f];
    FaceRecord& record = faces_[f];
    record.smoothingGroup = face.smGroup;
    record.materialId = face.getMatID();
    for (int j = 0; j < 3; ++j) {
      reader.Read(f, order[j], corner);
      const int32_t fat = fatVertices_.FindOrCreate(corner);
      const uint32_t v = face.v[order[j]];
      corners_.fat_[nextCorner[v]++] = fat;
      record.corner[j] = fat;
    }
  }
}

void MeshBuilder::GroupFacesByMaterial() {
  std::map<int32_t, MaterialGroup> byId;
  MaterialGroup* last = nullptr;
  for (size_t f = 0; f < faces_.size(); ++f) {
    const int32_t id = faces_[f].materialId;
    if (last == nullptr || last->materialId != id) {
      last = &byId[id];
      last->materialId = id;
    }
    last->faces.push_back(static_cast<int32_t>(f));
  }
  groups_.clear();
  groups_.reserve(byId.size());
  char line[64];
  for (auto& [id, group] : byId) {
    std::snprintf(line, sizeof line, "material id: %d, used by %d faces\n", id,
                  static_cast<int>(group.faces.size()));
    platform::OutputDebugStringA(line);
    groups_.push_back(std::move(group));
  }
}

void MeshBuilder::NumberOutputVertices() {
  sequence_.assign(fatVertices_.Size(), -1);
  inverse_.clear();
  inverse_.reserve(fatVertices_.Size());
  for (MaterialGroup& group : groups_) {
    const size_t before = inverse_.size();
    for (int32_t f : group.faces) {
      for (int32_t fat : faces_[f].corner) {
        if (sequence_[fat] >= 0) continue;
        sequence_[fat] = static_cast<int32_t>(inverse_.size());
        inverse_.push_back(fat);
      }
    }
    group.vertexCount = static_cast<int32_t>(inverse_.size() - before);
  }
}

void MeshBuilder::WriteVertexBlock(CZX9_DiskWriter& writer) const {
  const auto count = static_cast<int32_t>(fatVertices_.Size());
  writer.WriteInt(count);
  LogInfo(CurrentLog, "Num vertices: %d", count);
  const FatVertex* first = count > 0 ? &fatVertices_[0] : nullptr;
  const bool hasUv = first != nullptr && first->hasUv;
  const bool hasColour = first != nullptr && first->hasColour;
  writer.WriteInt(3 | (hasUv ? 4 : 0) | (hasColour ? 16 : 0));

  std::vector<float> floats;
  floats.reserve(inverse_.size() * 6);
  for (int32_t fat : inverse_) {
    const FatVertex& v = fatVertices_[fat];
    floats.insert(floats.end(),
                  {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z});
  }
  writer.WriteBytes(floats.data(), floats.size() * sizeof(float));
  if (hasUv) {
    floats.clear();
    for (int32_t fat : inverse_)
      floats.insert(floats.end(), {fatVertices_[fat].uv.x, fatVertices_[fat].uv.y});
    writer.WriteBytes(floats.data(), floats.size() * sizeof(float));
  }
  if (hasColour) {
    std::vector<uint32_t> packed;
    packed.reserve(inverse_.size());
    for (int32_t fat : inverse_) {
      const float* c = fatVertices_[fat].colour;
      packed.push_back(ColorToARGB(c[0], c[1], c[2], c[3]));
    }
    writer.WriteBytes(packed.data(), packed.size() * sizeof(uint32_t));
  }
}

bool MeshBuilder::WriteIndexBlock(CZX9_DiskWriter& writer, const char* nodeName) const {
  writer.WriteInt(static_cast<int32_t>(faces_.size()));
  std::vector<uint16_t> indices;
  indices.reserve(faces_.size() * 3);
  for (const MaterialGroup& group : groups_) {
    for (int32_t f : group.faces) {
      for (int32_t fat : faces_[f].corner) {
        if (fat > 65535) {
          // The indices before the failing one are written, as a plain
          // corner-by-corner writer would have left them.
          writer.WriteBytes(indices.data(), indices.size() * sizeof(uint16_t));
          LogError(CurrentLog, "Vertex index (%d) too large in mesh: %s", fat, nodeName);
          return false;
        }
        indices.push_back(static_cast<uint16_t>(sequence_[fat]));
      }
    }
  }
  writer.WriteBytes(indices.data(), indices.size() * sizeof(uint16_t));
  return true;
}

}  // namespace kiln
