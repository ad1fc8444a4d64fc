#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "reader/MaterialChunks.h"
#include "reader/SceneChunks.h"

// The collision mapping record that ends the mesh chunks of car files, and
// damage mesh chunks (16, 0, 1).
namespace kiln::reader {

// Per damage zone, its (output vertex index, weight) entries; zoneCount is
// 0 when the mesh has no collision node, else 256.
struct CollisionZones {
  struct Entry {
    int32_t vertex = 0;
    float weight = 0.0f;
  };
  std::vector<std::vector<Entry>> zones;
};
CollisionZones ReadCollisionZones(PayloadCursor& cursor);
// {"zoneCount": n, "zones": {"<zone>": [[vertex, weight], ...]}}, empty zones left out.
nlohmann::ordered_json ToFields(const CollisionZones& zones);

// (16, 0, 1)
struct DamageMeshChunk final : Payload {
  struct Face {
    std::array<uint32_t, 3> vertices{};
    std::array<uint32_t, 3> uvs{};  // with texture vertices only
  };
  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 2>> uvs;  // u, 1 - v
  std::vector<Face> faces;
  // Deform and damage maps, when the maps flag is set.
  std::optional<IndexedTexture> deform, damage;

  std::string_view Kind() const override { return "damage mesh"; }
  nlohmann::ordered_json Fields() const override;
};

}  // namespace kiln::reader
