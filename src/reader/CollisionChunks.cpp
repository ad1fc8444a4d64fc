#include "reader/CollisionChunks.h"

#include <memory>
#include <string>

#include "reader/Decoders.h"

namespace kiln::reader {

using Json = nlohmann::ordered_json;

namespace {

std::shared_ptr<const Payload> DecodeDamageMesh(PayloadCursor& cursor) {
  auto mesh = std::make_shared<DamageMeshChunk>();
  mesh->node = ReadNodeHeader(cursor);
  mesh->objectOffset = ReadObjectOffset(cursor);
  mesh->transform = cursor.Floats<12>("transform");
  const uint32_t vertices = cursor.ItemCount("vertex count", 12);
  mesh->positions.reserve(vertices);
  for (uint32_t i = 0; i < vertices; ++i) mesh->positions.push_back(cursor.Floats<3>("position"));
  const uint32_t uvs = cursor.ItemCount("texture vertex count", 8);
  mesh->uvs.reserve(uvs);
  for (uint32_t i = 0; i < uvs; ++i) mesh->uvs.push_back(cursor.Floats<2>("texture vertex"));
  const uint32_t faces = cursor.ItemCount("face count", uvs != 0 ? 24 : 12);
  mesh->faces.reserve(faces);
  for (uint32_t i = 0; i < faces; ++i) {
    DamageMeshChunk::Face face;
    for (uint32_t& v : face.vertices) v = cursor.DWord("face vertex");
    if (uvs != 0) {
      for (uint32_t& t : face.uvs) t = cursor.DWord("face texture vertex");
    }
    mesh->faces.push_back(face);
  }
  if (cursor.Byte("maps flag") != 0) {
    mesh->deform = ReadIndexedTexture(cursor);
    mesh->damage = ReadIndexedTexture(cursor);
  }
  return mesh;
}

}  // namespace

CollisionZones ReadCollisionZones(PayloadCursor& cursor) {
  CollisionZones record;
  const uint32_t count = cursor.ItemCount("zone count", 4);
  record.zones.resize(count);
  for (auto& zone : record.zones) {
    const uint32_t entries = cursor.ItemCount("zone entry count", 8);
    zone.reserve(entries);
    for (uint32_t i = 0; i < entries; ++i) {
      CollisionZones::Entry entry;
      entry.vertex = cursor.Int("zone vertex");
      entry.weight = cursor.Float("zone weight");
      zone.push_back(entry);
    }
  }
  return record;
}

Json ToFields(const CollisionZones& record) {
  Json zones = Json::object();
  for (size_t z = 0; z < record.zones.size(); ++z) {
    if (record.zones[z].empty()) continue;
    Json entries = Json::array();
    for (const CollisionZones::Entry& entry : record.zones[z])
      entries.push_back({entry.vertex, entry.weight});
    zones[std::to_string(z)] = std::move(entries);
  }
  return {{"zoneCount", record.zones.size()}, {"zones", std::move(zones)}};
}

Json DamageMeshChunk::Fields() const {
  Json fields = Json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["transform"] = transform;
  fields["positions"] = positions;
  fields["uvs"] = uvs;
  Json faceList = Json::array();
  for (const Face& face : faces) {
    Json entry = {{"vertices", face.vertices}};
    if (!uvs.empty()) entry["uvs"] = face.uvs;
    faceList.push_back(std::move(entry));
  }
  fields["faces"] = std::move(faceList);
  fields["maps"] = deform.has_value();
  if (deform) fields["deform"] = ToFields(*deform);
  if (damage) fields["damage"] = ToFields(*damage);
  return fields;
}

void AddCollisionDecoders(DecoderRegistry& registry) {
  registry.Add(16, 0, {Body::kNothing, DecodeDamageMesh});
}

}  // namespace kiln::reader
