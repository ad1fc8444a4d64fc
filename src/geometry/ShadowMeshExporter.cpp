#include "geometry/ShadowMeshExporter.h"

#include <unordered_map>

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/MeshBuilder.h"
#include "geometry/TransformWriter.h"
#include "host/DecompAffine.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

namespace {

constexpr int kEvenShadowCorners[3] = {0, 2, 1};
constexpr int kOddShadowCorners[3] = {0, 1, 2};

uint64_t EdgeKey(uint32_t a, uint32_t b) {
  return a < b ? (static_cast<uint64_t>(a) << 32) | b : (static_cast<uint64_t>(b) << 32) | a;
}

}  // namespace

std::vector<ShadowEdge> BuildShadowEdges(const Mesh& mesh, const int cornerOrder[3]) {
  std::vector<ShadowEdge> edges;
  edges.reserve(mesh.faces.size() * 3 / 2 + 3);
  std::unordered_map<uint64_t, uint32_t> edgeOf;
  edgeOf.reserve(mesh.faces.size() * 3 / 2 + 3);
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    const Face& face = mesh.faces[f];
    const uint32_t v[3] = {face.v[cornerOrder[0]], face.v[cornerOrder[1]], face.v[cornerOrder[2]]};
    for (int e = 0; e < 3; ++e) {
      const uint32_t a = v[e], b = v[(e + 1) % 3];
      const auto [found, isNew] =
          edgeOf.try_emplace(EdgeKey(a, b), static_cast<uint32_t>(edges.size()));
      if (isNew)
        edges.push_back({a, b, static_cast<int32_t>(f), -1});
      else
        edges[found->second].face1 = static_cast<int32_t>(f);
    }
  }
  return edges;
}

ShadowMeshExporter::ShadowMeshExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {}

int ShadowMeshExporter::Export(CZX9_DiskWriter* writer, Object* evaluated) {
  const char* name = node_->GetName();
  writer->BeginChunk(kShadowMeshChunkType, 0, 1);
  writer->WriteString(name);
  writer->WriteInt(static_cast<int32_t>(node_->GetHandle()));
  INode* parent = node_->GetParentNode();
  writer->WriteInt(
      parent == nullptr || parent->IsRootNode() ? -1 : static_cast<int32_t>(parent->GetHandle()));
  WriteObjectOffset(writer, node_);

  const TimeValue start = ip_ != nullptr ? ip_->GetAnimRange().Start() : 0;
  TriObject* tri =
      evaluated != nullptr ? evaluated->ConvertToType(start, TRIOBJ_CLASS_ID) : nullptr;
  Mesh* mesh = tri != nullptr ? &tri->GetMesh() : nullptr;
  if (mesh == nullptr) {
    LogError(CurrentLog, "Error getting tri object for node: %s", name);
    writer->UndoChunk();
    return 0;
  }

  const bool mirrored = node_->GetObjTMAfterWSM(0).Parity();
  const Matrix3 local = LocalTransform(node_, start);
  AffineParts parts;
  decomp_affine(local, &parts);
  if ((parts.f < 0.0f) != mirrored)
    LogWarning(CurrentLog, "shadow mesh %s has different parity and determinant sign..", name);
  const int* order = mirrored ? kOddShadowCorners : kEvenShadowCorners;
  mesh->buildNormals();
  if (!MeshIndicesAreValid(*mesh)) {
    LogError(CurrentLog, "Mesh of node %s has faces that name missing vertices", name);
    writer->UndoChunk();
    return 0;
  }
  WriteTransform(writer, ExchangeMatrixAxes(local));

  std::vector<Point3> positions;
  positions.reserve(mesh->verts.size());
  for (const Point3& p : mesh->verts) positions.push_back(ExchangePointAxes(p));
  writer->WriteInt(static_cast<int32_t>(positions.size()));
  writer->WriteBytes(positions.data(), positions.size() * sizeof(Point3));

  // Per face: three vertex indices in corner order, then the face normal.
  struct FaceEntry {
    uint32_t v[3];
    Point3 normal;
  };
  static_assert(sizeof(FaceEntry) == 24, "faces are written as raw 24-byte records");
  std::vector<FaceEntry> faces;
  faces.reserve(mesh->faces.size());
  for (const Face& face : mesh->faces) {
    FaceEntry entry{{face.v[order[0]], face.v[order[1]], face.v[order[2]]}, Point3()};
    const Point3& q0 = mesh->verts[entry.v[0]];
    Point3 n = CrossProd(mesh->verts[entry.v[1]] - q0, mesh->verts[entry.v[2]] - q0);
    if (!mirrored) n = -n;
    entry.normal = ExchangePointAxes(Normalize(n));
    faces.push_back(entry);
  }
  writer->WriteInt(static_cast<int32_t>(faces.size()));
  writer->WriteBytes(faces.data(), faces.size() * sizeof(FaceEntry));

  const std::vector<ShadowEdge> edges = BuildShadowEdges(*mesh, order);
  writer->WriteInt(static_cast<int32_t>(edges.size()));
  writer->WriteBytes(edges.data(), edges.size() * sizeof(ShadowEdge));
  writer->EndChunk();
  return 1;
}

}  // namespace kiln
