#include "collision/CollisionMapping.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "collision/BvhCaster.h"
#include "collision/PreparedCollisionMesh.h"
#include "collision/ZoneColour.h"
#include "geometry/MeshBuilder.h"
#include "geometry/StagedWriter.h"
#include "host/Bitmap.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Material.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "util/MaterialClass.h"
#include "util/SettingsFile.h"

namespace kiln {

namespace {

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};
using BitmapHandle = std::unique_ptr<Bitmap, BitmapDeleter>;

// The collision node's mesh, checked; null after its error.
Mesh* CollisionMeshOf(INode* node, const char* name) {
  const ObjectState state = node->EvalWorldState(0, true);
  if (state.obj == nullptr || state.obj->SuperClassID() != GEOMOBJECT_CLASS_ID) {
    LogError(CurrentLog, "node %s isn't of type GEOMOBJECT_CLASS_ID\n", name);
    return nullptr;
  }
  TriObject* tri = state.obj->ConvertToType(0, TRIOBJ_CLASS_ID);
  if (tri == nullptr) {
    LogError(CurrentLog, "unable to convert collision node: %s to a tri object..\n", name);
    return nullptr;
  }
  Mesh& mesh = tri->GetMesh();
  mesh.checkNormals(true);
  mesh.buildBoundingBox();
  // The zones are read through the texture faces: without them, or with
  // indices past the arrays, there is nothing safe to read.
  if (!mesh.hasTextureFaces()) {
    LogError(CurrentLog, "Collision node %s has no texture coordinates", name);
    return nullptr;
  }
  if (!MeshIndicesAreValid(mesh)) {
    LogError(CurrentLog, "Collision node %s has faces that name missing vertices", name);
    return nullptr;
  }
  return &mesh;
}

// The bitmap of the collision node's composite material (its sub-material
// 0's diffuse map); null after its error.
BitmapTex* CollisionMapOf(INode* node, const char* name) {
  Mtl* material = node->GetMtl();
  if (material == nullptr) {
    LogError(CurrentLog, "Collision node %s doesn't have a material", name);
    return nullptr;
  }
  if (!IsCompositeMaterial(material)) {
    LogError(CurrentLog, "Collision node %s doesn't have a composite collision material", name);
    return nullptr;
  }
  Mtl* base = material->GetSubMtl(0);
  if (base == nullptr) {
    LogError(CurrentLog, "Unable to get material for collision node..");
    return nullptr;
  }
  // A map of another class has no bitmap to read zones from.
  Texmap* map = base->GetSubTexmap(ID_DI);
  if (map == nullptr || map->ClassID() != BMTEX_CLASS_ID) {
    LogError(CurrentLog, "node %s: Collision map (material: %s) doesn't have a texture map..", name,
             material->GetName().c_str());
    return nullptr;
  }
  return static_cast<BitmapTex*>(map);
}

// The palette's lines of the log, "%d: %f, %f, %f" each. Every car mesh
// mapped against one collision mesh logs the same lines: they are formatted
// once for the last palette.
const std::vector<std::string>& PaletteLines(const ZonePalette& palette) {
  static std::array<BMM_Color_fl, kDamageZoneCount> formatted;
  static std::vector<std::string> lines;
  if (lines.empty() || std::memcmp(&formatted, &palette.Colours(), sizeof formatted) != 0) {
    formatted = palette.Colours();
    lines.clear();
    for (int i = 0; i < kDamageZoneCount; ++i) {
      char line[128];
      const BMM_Color_fl& c = formatted[i];
      std::snprintf(line, sizeof line, "%d: %f, %f, %f", i, c.r, c.g, c.b);
      lines.emplace_back(line);
    }
  }
  return lines;
}

// True when every line within inner lies within outer.
bool Within(const LineBounds& inner, const LineBounds& outer) {
  for (int i = 0; i < 3; ++i) {
    if (inner.originLo[i] < outer.originLo[i] || inner.originHi[i] > outer.originHi[i])
      return false;
  }
  return inner.minDirection >= outer.minDirection && inner.maxDirection <= outer.maxDirection;
}

}  // namespace

bool ComputeCollisionMapping(DamageZones& zones, const std::vector<Point3>& world,
                             const Point3& centre, const char* collisionNode, Interface* ip) {
  LogInfo(CurrentLog, "ComputeCollisionMapping");
  INode* node = ip != nullptr ? ip->GetINodeByName(collisionNode) : nullptr;
  if (node == nullptr) {
    LogError(CurrentLog, "Collision node %s not found", collisionNode);
    return false;
  }
  Mesh* mesh = CollisionMeshOf(node, collisionNode);
  if (mesh == nullptr) return false;
  BitmapTex* map = CollisionMapOf(node, collisionNode);
  if (map == nullptr) return false;

  const char* path = map->GetMapName();
  BitmapInfo info;
  info.SetName(path);
  BMMRES status = BMMRES_SUCCESS;
  BitmapHandle bitmap(TheManager != nullptr ? TheManager->Load(&info, &status) : nullptr);
  if (!bitmap || status != BMMRES_SUCCESS) {
    LogWarning(CurrentLog, "Collision texture not found: %s", path);
    return false;
  }
  BitmapStorage* storage = bitmap->Storage();
  BMM_Color_48 entries[kDamageZoneCount];
  if (storage == nullptr || !storage->GetPalette(0, kDamageZoneCount, entries)) {
    LogWarning(CurrentLog, "Collision texture (%s) is not paletized. Quitting.", path);
    return false;
  }
  LogInfo(CurrentLog, "__Coll map palette__ %s", info.Name());
  ZonePalette palette(entries);
  for (const std::string& line : PaletteLines(palette)) LogInfo(CurrentLog, "%s", line.c_str());
  zones.assign(kDamageZoneCount, {});

  // Each line in the collision node's object space: the position through
  // the inverse of its transform, the direction through its rotation alone.
  const Matrix3 transform = node->GetObjTMAfterWSM(ip->GetTime());
  const Matrix3 inverse = Inverse(transform);
  Matrix3 rotation = inverse;
  rotation.NoTrans();
  rotation.NoScale();
  std::vector<Point3> origins(world.size()), directions(world.size());
  LineBounds bounds{1.0, 1.0, {}, {}};
  bool first = true;
  for (size_t i = 0; i < world.size(); ++i) {
    origins[i] = world[i] * inverse;
    directions[i] = rotation.VectorTransform(Normalize(centre - world[i]));
    const double length = Length(directions[i]);
    if (length == 0.0) continue;  // crosses nothing
    bounds.minDirection = first ? length : std::min(bounds.minDirection, length);
    bounds.maxDirection = first ? length : std::max(bounds.maxDirection, length);
    for (int k = 0; k < 3; ++k) {
      bounds.originLo[k] = first ? origins[i][k] : std::min(bounds.originLo[k], origins[i][k]);
      bounds.originHi[k] = first ? origins[i][k] : std::max(bounds.originHi[k], origins[i][k]);
    }
    first = false;
  }
  // The kept caster serves lines within its bounds; others get their own.
  const std::shared_ptr<const PreparedCollisionMesh> prepared = PrepareCollisionMesh(*mesh);
  std::unique_ptr<BvhCaster> own;
  if (!first && !Within(bounds, prepared->bounds))
    own = std::make_unique<BvhCaster>(prepared->bvh, bounds);
  const bool tooSmall =
      own ? TooSmallForTheTest(prepared->bvh.Triangles(), std::max(bounds.maxDirection, 1.0))
          : prepared->tooSmall;
  if (tooSmall)
    LogWarning(CurrentLog, "Collision mesh %s is too small for the intersection test",
               collisionNode);
  const BvhCaster& caster = own ? *own : prepared->caster;
  std::vector<bool> used(kDamageZoneCount, false);
  for (size_t i = 0; i < world.size(); ++i) {
    const LineHit hit = caster.Cast(origins[i], directions[i]);
    if (!hit.Hit()) {
      LogError(CurrentLog, "No intersection with collision mesh: %s", collisionNode);
      continue;
    }
    // The texture coordinate of the crossing, from the face's barycentrics.
    const TVFace& tv = mesh->tvFace[hit.face];
    const float u = hit.crossing.u, v = hit.crossing.v;
    const Point3 uvw = mesh->tVerts[tv.t[0]] * (1.0f - u - v) + mesh->tVerts[tv.t[1]] * u +
                       mesh->tVerts[tv.t[2]] * v;
    int zone = 0;
    if (!FindZoneByColour(uvw.x, uvw.y, storage, info.Width(), info.Height(), palette, zone))
      return false;
    zones[zone].push_back(static_cast<int32_t>(i));
    used[zone] = true;
  }
  LogInfo(CurrentLog, "DamageZones found on mesh");
  for (int zone = 0; zone < kDamageZoneCount; ++zone)
    if (used[zone]) LogInfo(CurrentLog, "%d", zone);
  return true;
}

bool CreateAndExportCollisionMapping(CZX9_DiskWriter& writer, INode* node, Interface* ip,
                                     Mesh& mesh, const MeshBuilder& builder) {
  LogInfo(CurrentLog, "CreateAndExportCollisionMapping");
  const std::string collisionNode =
      CarSettings ? CarSettings->GetValue(kCollisionLookupSection, node->GetName(), "") : "";
  if (collisionNode.empty()) {
    writer.WriteInt(0);
    LogInfo(CurrentLog, "CreateAndExportCollisionMapping - no collision mesh");
    LogInfo(CurrentLog, "returning from CreateAndExportCollisionMapping");
    return true;
  }
  LogInfo(CurrentLog, "CreateAndExportCollisionMapping - before GetObjTMAfterWSM()");
  const Matrix3 transform = node->GetObjTMAfterWSM(ip != nullptr ? ip->GetTime() : 0);
  LogInfo(CurrentLog, "CreateAndExportCollisionMapping - before buildBoundingBox()");
  mesh.buildBoundingBox();
  LogInfo(CurrentLog, "CreateAndExportCollisionMapping - after buildBoundingBox()");

  // Output vertex positions, back in host axes, in the world.
  const std::vector<int32_t>& inverseMap = builder.InverseMap();
  std::vector<Point3> world(inverseMap.size());
  for (size_t i = 0; i < inverseMap.size(); ++i) {
    const Point3& p = builder.FatVertices()[inverseMap[i]].position;
    world[i] = Point3(p.x, p.z, p.y) * transform;
  }
  LogInfo(CurrentLog, "before compute collision mapping ");
  const Box3 box = mesh.getBoundingBox();
  const Point3 centre = ((box.pmin + box.pmax) * 0.5f) * transform;
  DamageZones zones;
  if (!ComputeCollisionMapping(zones, world, centre, collisionNode.c_str(), ip)) {
    LogError(CurrentLog, "error computing collision mapping for node: %s\n", node->GetName());
    return false;
  }
  LogInfo(CurrentLog, "after compute collision mapping ");
  writer.WriteInt(static_cast<int32_t>(zones.size()));
  if (zones.size() != kDamageZoneCount) LogWarning(CurrentLog, "# damage zones != 256.. strange\n");
  StagedWriter staged(writer);
  for (const std::vector<int32_t>& zone : zones) {
    staged.Put(static_cast<int32_t>(zone.size()));
    if (zone.empty()) continue;
    for (int32_t vertex : zone) {
      staged.Put(vertex);
      staged.Put(1.0f);
    }
    LogInfo(CurrentLog, "deleting output verts");
  }
  staged.Flush();
  LogInfo(CurrentLog, "returning from CreateAndExportCollisionMapping");
  return true;
}

}  // namespace kiln
