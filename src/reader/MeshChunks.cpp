#include "reader/MeshChunks.h"

#include <cstdio>
#include <memory>

#include "reader/Decoders.h"

namespace kiln::reader {

using Json = nlohmann::ordered_json;

namespace {

// Count fields that must repeat the vertex block's count.
void ExpectVertexCount(PayloadCursor& cursor, const char* field, uint32_t expected) {
  const uint32_t count = cursor.Count(field);
  if (count != expected) {
    cursor.Fail(std::string(field) + " is " + std::to_string(count) + " but the mesh has " +
                std::to_string(expected) + " vertices");
  }
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::shared_ptr<const Payload> DecodeMesh(PayloadCursor& cursor, uint32_t kind) {
  auto mesh = std::make_shared<MeshChunk>();
  mesh->kind = kind;
  mesh->node = ReadNodeHeader(cursor);
  mesh->objectOffset = ReadObjectOffset(cursor);
  mesh->transform = cursor.Floats<12>("transform");
  mesh->boxCentre = cursor.Floats<3>("bounding box centre");
  mesh->boxToMinimum = cursor.Floats<3>("bounding box centre to minimum");

  const uint32_t vertexCount = cursor.ItemCount("vertex count", 24);
  mesh->vertexFormat = cursor.DWord("vertex format");
  if ((mesh->vertexFormat & ~(kVertexUv | kVertexColour)) != kVertexPositionNormal)
    cursor.Fail("unknown vertex format " + std::to_string(mesh->vertexFormat));
  mesh->positions.reserve(vertexCount);
  mesh->normals.reserve(vertexCount);
  for (uint32_t i = 0; i < vertexCount; ++i) {
    mesh->positions.push_back(cursor.Floats<3>("position"));
    mesh->normals.push_back(cursor.Floats<3>("normal"));
  }
  if (mesh->vertexFormat & kVertexUv) {
    mesh->uvs.reserve(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) mesh->uvs.push_back(cursor.Floats<2>("uv"));
  }
  if (mesh->vertexFormat & kVertexColour) {
    mesh->colours.reserve(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) mesh->colours.push_back(cursor.DWord("colour"));
  }

  mesh->faceCount = cursor.ItemCount("face count", 6);
  mesh->indices.reserve(mesh->faceCount * size_t{3});
  for (size_t i = 0; i < mesh->faceCount * size_t{3}; ++i)
    mesh->indices.push_back(cursor.Word("index"));

  const uint32_t blocks = cursor.ItemCount("face block count", 17);
  for (uint32_t i = 0; i < blocks; ++i) {
    MeshChunk::FaceBlock block;
    block.material = cursor.String("face block material");
    block.faceCount = cursor.Int("face block face count");
    block.firstVertex = cursor.Int("face block first vertex");
    block.vertexCount = cursor.Int("face block vertex count");
    block.firstIndex = cursor.Int("face block first index");
    mesh->faceBlocks.push_back(std::move(block));
  }

  if (kind == 3 || kind == 4) {
    MeshChunk::Morph morph;
    const uint32_t channels = cursor.ItemCount("morph channel count", 1);
    ExpectVertexCount(cursor, "morph vertex count", vertexCount);
    morph.vertexCount = vertexCount;
    for (uint32_t c = 0; c < channels; ++c) {
      MeshChunk::MorphChannel channel;
      channel.animated = cursor.Byte("morph channel animated") != 0;
      if (static_cast<uint64_t>(vertexCount) * 12 > cursor.Remaining())
        cursor.Fail("morph channel " + std::to_string(c) + " is cut short");
      channel.deltas.reserve(vertexCount);
      for (uint32_t i = 0; i < vertexCount; ++i)
        channel.deltas.push_back(cursor.Floats<3>("morph delta"));
      morph.channels.push_back(std::move(channel));
    }
    mesh->morph = std::move(morph);
  }
  if (kind == 2 || kind == 4) {
    MeshChunk::Skin skin;
    skin.bindTransform = cursor.Floats<12>("skin bind transform");
    const uint32_t bones = cursor.ItemCount("bone count", 49);
    for (uint32_t i = 0; i < bones; ++i) {
      MeshChunk::Bone bone;
      bone.name = cursor.String("bone name");
      bone.bindTransform = cursor.Floats<12>("bone bind transform");
      skin.bones.push_back(std::move(bone));
    }
    ExpectVertexCount(cursor, "skin vertex count", vertexCount);
    if (static_cast<uint64_t>(vertexCount) * 32 > cursor.Remaining())
      cursor.Fail("skin influences are cut short");
    skin.influences.reserve(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) {
      MeshChunk::Influence influence;
      influence.weights = cursor.Floats<4>("influence weights");
      for (int32_t& bone : influence.bones) bone = cursor.Int("influence bone");
      skin.influences.push_back(influence);
    }
    mesh->skin = std::move(skin);
  }
  // Car files end every mesh with its collision mapping; other files end here.
  if (!cursor.AtEnd()) mesh->collision = ReadCollisionZones(cursor);
  return mesh;
}

template <uint32_t kKind>
std::shared_ptr<const Payload> DecodeMeshOfKind(PayloadCursor& cursor) {
  return DecodeMesh(cursor, kKind);
}

std::shared_ptr<const Payload> DecodeShadowMesh(PayloadCursor& cursor) {
  auto shadow = std::make_shared<ShadowMeshChunk>();
  shadow->node = ReadNodeHeader(cursor);
  shadow->objectOffset = ReadObjectOffset(cursor);
  shadow->transform = cursor.Floats<12>("transform");
  const uint32_t vertexCount = cursor.ItemCount("vertex count", 12);
  shadow->positions.reserve(vertexCount);
  for (uint32_t i = 0; i < vertexCount; ++i)
    shadow->positions.push_back(cursor.Floats<3>("position"));
  const uint32_t faceCount = cursor.ItemCount("face count", 24);
  shadow->faces.reserve(faceCount);
  for (uint32_t i = 0; i < faceCount; ++i) {
    ShadowMeshChunk::Face face;
    for (uint32_t& v : face.vertices) v = cursor.DWord("face vertex");
    face.normal = cursor.Floats<3>("face normal");
    shadow->faces.push_back(face);
  }
  const uint32_t edgeCount = cursor.ItemCount("edge count", 16);
  shadow->edges.reserve(edgeCount);
  for (uint32_t i = 0; i < edgeCount; ++i) {
    ShadowMeshChunk::Edge edge;
    edge.a = cursor.DWord("edge vertex a");
    edge.b = cursor.DWord("edge vertex b");
    edge.face0 = cursor.Int("edge face 0");
    edge.face1 = cursor.Int("edge face 1");
    shadow->edges.push_back(edge);
  }
  return shadow;
}

}  // namespace

std::string_view MeshChunk::Kind() const {
  switch (kind) {
    case 2:
      return "skinned mesh";
    case 3:
      return "morphed mesh";
    case 4:
      return "skinned and morphed mesh";
    default:
      return "mesh";
  }
}

Json MeshChunk::Fields() const {
  Json fields = Json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["transform"] = transform;
  fields["boundingBox"] = {{"centre", boxCentre}, {"centreToMinimum", boxToMinimum}};
  fields["vertexFormat"] = vertexFormat;
  Json vertices = Json::array();
  for (size_t i = 0; i < positions.size(); ++i) {
    Json vertex = {{"position", positions[i]}, {"normal", normals[i]}};
    if (i < uvs.size()) vertex["uv"] = uvs[i];
    if (i < colours.size()) vertex["colour"] = Hex(colours[i]);
    vertices.push_back(std::move(vertex));
  }
  fields["vertices"] = std::move(vertices);
  fields["faceCount"] = faceCount;
  Json triangles = Json::array();
  for (size_t i = 0; i + 2 < indices.size(); i += 3)
    triangles.push_back({indices[i], indices[i + 1], indices[i + 2]});
  fields["indices"] = std::move(triangles);
  Json blocks = Json::array();
  for (const FaceBlock& block : faceBlocks) {
    blocks.push_back({{"material", block.material},
                      {"faceCount", block.faceCount},
                      {"firstVertex", block.firstVertex},
                      {"vertexCount", block.vertexCount},
                      {"firstIndex", block.firstIndex}});
  }
  fields["faceBlocks"] = std::move(blocks);
  if (morph) {
    Json channels = Json::array();
    for (const MorphChannel& channel : morph->channels)
      channels.push_back({{"animated", channel.animated}, {"deltas", channel.deltas}});
    fields["morph"] = {{"vertexCount", morph->vertexCount}, {"channels", std::move(channels)}};
  }
  if (skin) {
    Json bones = Json::array();
    for (const Bone& bone : skin->bones)
      bones.push_back({{"name", bone.name}, {"bindTransform", bone.bindTransform}});
    Json influences = Json::array();
    for (const Influence& influence : skin->influences)
      influences.push_back({{"weights", influence.weights}, {"bones", influence.bones}});
    fields["skin"] = {{"bindTransform", skin->bindTransform},
                      {"bones", std::move(bones)},
                      {"influences", std::move(influences)}};
  }
  if (collision) fields["collision"] = ToFields(*collision);
  return fields;
}

Json ShadowMeshChunk::Fields() const {
  Json fields = Json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["transform"] = transform;
  fields["positions"] = positions;
  Json faceList = Json::array();
  for (const Face& face : faces)
    faceList.push_back({{"vertices", face.vertices}, {"normal", face.normal}});
  fields["faces"] = std::move(faceList);
  Json edgeList = Json::array();
  for (const Edge& edge : edges)
    edgeList.push_back(
        {{"a", edge.a}, {"b", edge.b}, {"face0", edge.face0}, {"face1", edge.face1}});
  fields["edges"] = std::move(edgeList);
  return fields;
}

void AddMeshDecoders(DecoderRegistry& registry) {
  registry.Add(0, 1, {Body::kNothing, DecodeMeshOfKind<1>});
  registry.Add(0, 2, {Body::kNothing, DecodeMeshOfKind<2>});
  registry.Add(0, 3, {Body::kNothing, DecodeMeshOfKind<3>});
  registry.Add(0, 4, {Body::kNothing, DecodeMeshOfKind<4>});
  registry.Add(17, 0, {Body::kNothing, DecodeShadowMesh});
}

}  // namespace kiln::reader
