#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/CollisionChunks.h"
#include "reader/SceneChunks.h"

// Payloads of mesh chunks (0, kind 1..4, 1) and shadow mesh chunks (17, 0, 1).
namespace kiln::reader {

using Float3 = std::array<float, 3>;

// Vertex format flag bits.
constexpr uint32_t kVertexPositionNormal = 3;
constexpr uint32_t kVertexUv = 4;
constexpr uint32_t kVertexColour = 16;

// (0, kind, 1): kind 1 plain, 2 skinned, 3 morphed, 4 skinned and morphed.
struct MeshChunk final : Payload {
  struct FaceBlock {
    std::string material;
    int32_t faceCount = 0;
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t firstIndex = 0;
  };
  struct MorphChannel {
    bool animated = false;
    std::vector<Float3> deltas;  // one per vertex
  };
  struct Morph {
    uint32_t vertexCount = 0;
    std::vector<MorphChannel> channels;
  };
  struct Influence {
    std::array<float, 4> weights{};
    std::array<int32_t, 4> bones{};  // bone index x 64; -1 unused
  };
  struct Bone {
    std::string name;
    Matrix3x4 bindTransform{};
  };
  struct Skin {
    Matrix3x4 bindTransform{};
    std::vector<Bone> bones;
    std::vector<Influence> influences;  // one per vertex
  };

  uint32_t kind = 1;
  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};
  Float3 boxCentre{};
  Float3 boxToMinimum{};  // from the centre to the minimum corner
  uint32_t vertexFormat = 0;
  std::vector<Float3> positions;
  std::vector<Float3> normals;
  std::vector<std::array<float, 2>> uvs;  // with kVertexUv
  std::vector<uint32_t> colours;          // 0xAARRGGBB, with kVertexColour
  uint32_t faceCount = 0;
  std::vector<uint16_t> indices;  // three per face
  std::vector<FaceBlock> faceBlocks;
  std::optional<Morph> morph;  // kinds 3 and 4
  std::optional<Skin> skin;    // kinds 2 and 4
  // The collision mapping that ends the mesh chunks of car files.
  std::optional<CollisionZones> collision;

  std::string_view Kind() const override;
  nlohmann::ordered_json Fields() const override;
};

// (17, 0, 1)
struct ShadowMeshChunk final : Payload {
  struct Face {
    std::array<uint32_t, 3> vertices{};
    Float3 normal{};
  };
  struct Edge {
    uint32_t a = 0;
    uint32_t b = 0;
    int32_t face0 = 0;
    int32_t face1 = -1;
  };

  NodeHeader node;
  ObjectOffset objectOffset;
  Matrix3x4 transform{};
  std::vector<Float3> positions;
  std::vector<Face> faces;
  std::vector<Edge> edges;

  std::string_view Kind() const override { return "shadow mesh"; }
  nlohmann::ordered_json Fields() const override;
};

}  // namespace kiln::reader
