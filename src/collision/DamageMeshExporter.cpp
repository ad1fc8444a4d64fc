#include "collision/DamageMeshExporter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/MeshBuilder.h"
#include "geometry/StagedWriter.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Material.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "materials/IndexedTexture.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/NodeHeader.h"

namespace kiln {

namespace {

// The diffuse bitmap of a sub-material as an indexed texture record; false
// when it has none (a map of another class has no bitmap) or the record
// cannot be written.
bool WriteMap(CZX9_DiskWriter& writer, Mtl* material) {
  Texmap* map = material->GetSubTexmap(ID_DI);
  return map != nullptr && map->ClassID() == BMTEX_CLASS_ID &&
         WriteIndexedTexture(writer, static_cast<BitmapTex*>(map)->GetMapName());
}

}  // namespace

DamageMeshExporter::DamageMeshExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {}

int DamageMeshExporter::Export(CZX9_DiskWriter* writer, Object* evaluated) {
  writer->BeginChunk(kDamageMeshChunkType, 0, 1);
  if (!WriteDamageMesh(*writer, evaluated)) {
    writer->UndoChunk();
    return 0;
  }
  writer->EndChunk();
  return 1;
}

bool DamageMeshExporter::WriteDamageMesh(CZX9_DiskWriter& writer, Object* evaluated) {
  const char* name = node_->GetName();
  WriteNodeHeader(&writer, node_);
  WriteObjectOffset(&writer, node_);
  TriObject* tri = evaluated != nullptr ? evaluated->ConvertToType(0, TRIOBJ_CLASS_ID) : nullptr;
  if (tri == nullptr) {
    LogError(CurrentLog, "Error getting tri object for node: %s", name);
    return false;
  }
  Mesh& mesh = tri->GetMesh();
  const ScopedNormals normals(mesh);
  if (!MeshIndicesAreValid(mesh)) {
    LogError(CurrentLog, "Mesh of node %s has faces that name missing vertices", name);
    return false;
  }
  WriteTransformScaled(&writer, ExchangeMatrixAxes(LocalTransform(node_, 0)), kExportScale);

  // Texture vertices without texture faces have no corners to belong to:
  // the mesh is written as one without texture coordinates.
  const bool textured = mesh.hasTextureFaces();
  if (!textured && !mesh.tVerts.empty())
    LogWarning(CurrentLog, "Mesh %s has texture vertices but no texture faces", name);
  StagedWriter staged(writer);
  staged.Put(static_cast<int32_t>(mesh.verts.size()));
  for (const Point3& p : mesh.verts) staged.Put(ExchangePointAxes(p));
  staged.Put(static_cast<int32_t>(textured ? mesh.tVerts.size() : 0));
  if (textured) {
    for (const UVVert& tv : mesh.tVerts) staged.Put(Point2(tv.x, 1.0f - tv.y));
  }
  staged.Put(static_cast<int32_t>(mesh.faces.size()));
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    for (uint32_t v : mesh.faces[f].v) staged.Put(v);
    if (textured) {
      for (uint32_t t : mesh.tvFace[f].t) staged.Put(t);
    }
  }

  Mtl* material = node_->GetMtl();
  if (material == nullptr || material->NumSubMtls() < 2) {
    staged.Put(uint8_t{0});
    staged.Flush();
    return true;
  }
  staged.Put(uint8_t{1});
  staged.Flush();
  Mtl* deform = material->GetSubMtl(0);
  Mtl* damage = material->GetSubMtl(1);
  if (deform == nullptr) {
    LogError(CurrentLog, "error exporting deform map for node: %s", name);
    return false;
  }
  if (damage == nullptr) {
    LogError(CurrentLog, "error exporting damage map for node: %s", name);
    return false;
  }
  if (!WriteMap(writer, deform)) {
    LogError(CurrentLog, "unable to save deform map texture info for node: %s", name);
    return false;
  }
  if (!WriteMap(writer, damage)) {
    LogError(CurrentLog, "unable to save damage map texture info for node: %s", name);
    return false;
  }
  return true;
}

}  // namespace kiln
