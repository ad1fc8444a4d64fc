#pragma once
#include <string>
#include <vector>

#include "reader/MaterialChunks.h"
#include "reader/MeshChunks.h"
#include "standalone/SceneBuilder.h"

namespace kiln::testing {

// One triangle per material id.
inline Mesh Triangles(std::initializer_list<MtlID> ids) {
  Mesh mesh;
  for (MtlID id : ids) {
    const uint32_t base = static_cast<uint32_t>(mesh.verts.size());
    mesh.verts.insert(mesh.verts.end(), {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    Face face;
    face.v[0] = base, face.v[1] = base + 1, face.v[2] = base + 2;
    face.setMatID(id);
    mesh.faces.push_back(face);
  }
  return mesh;
}

inline std::string MaterialName(const reader::Chunk& chunk) {
  if (auto* s = chunk.As<reader::StandardMaterial>()) return s->name;
  if (auto* l = chunk.As<reader::MaterialList>()) return l->name;
  return "?";
}

// Names of the top-level material chunks, in file order.
inline std::vector<std::string> MaterialNames(const reader::ChunkFile& file) {
  std::vector<std::string> names;
  for (const reader::Chunk& chunk : file.chunks) {
    if (chunk.id.type == 5) names.push_back(MaterialName(chunk));
  }
  return names;
}

inline const reader::Chunk* MaterialChunk(const reader::ChunkFile& file, const std::string& name) {
  for (const reader::Chunk& chunk : file.chunks) {
    if (chunk.id.type == 5 && MaterialName(chunk) == name) return &chunk;
  }
  return nullptr;
}

inline std::vector<std::string> FaceBlockNames(const reader::ChunkFile& file,
                                               const std::string& node) {
  std::vector<std::string> names;
  for (const reader::Chunk* chunk : reader::FindChunks(file, 0)) {
    auto* mesh = chunk->As<reader::MeshChunk>();
    if (mesh && mesh->node.name == node) {
      for (const auto& block : mesh->faceBlocks) names.push_back(block.material);
    }
  }
  return names;
}

}  // namespace kiln::testing
