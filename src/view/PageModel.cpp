#include "view/PageModel.h"

#include <cmath>

#include "reader/AnimationChunks.h"
#include "reader/CameraLightChunks.h"
#include "reader/Dump.h"
#include "reader/HelperChunks.h"
#include "reader/MaterialChunks.h"
#include "reader/MeshChunks.h"

namespace kiln::view {

using Json = nlohmann::json;
using namespace reader;

namespace {

// Chunks larger than this show a summary in the chunk tree, not every field:
// a mesh of a million triangles would otherwise be written out twice.
constexpr uint32_t kFieldsShownUpTo = 16 * 1024;
// Longer arrays in the shown fields are cut to their first entries.
constexpr size_t kArrayEntriesShown = 24;

template <typename T, size_t N>
std::span<const T> Flat(const std::vector<std::array<T, N>>& values) {
  static_assert(sizeof(std::array<T, N>) == N * sizeof(T));
  return {values.empty() ? nullptr : values.front().data(), values.size() * N};
}

void CutLongArrays(nlohmann::ordered_json& value) {
  if (value.is_array() && value.size() > kArrayEntriesShown) {
    const size_t total = value.size();
    value.erase(value.begin() + kArrayEntriesShown, value.end());
    value.push_back("... " + std::to_string(total) + " entries in all");
  }
  if (value.is_structured()) {
    for (auto& element : value) CutLongArrays(element);
  }
}

const NodeHeader* HeaderOf(const Payload* payload) {
  if (auto* p = dynamic_cast<const MeshChunk*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const ShadowMeshChunk*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const DamageMeshChunk*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const HierarchyEntry*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const PlainNode*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const BoneNode*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const BoxHelperNode*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const IKChainObjectNode*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const CameraNode*>(payload)) return &p->node;
  if (auto* p = dynamic_cast<const LightNode*>(payload)) return &p->node;
  return nullptr;
}

Json Offset(const ObjectOffset& offset) {
  return {{"t", offset.translation},
          {"r", offset.rotation},
          {"k", offset.scale},
          {"u", offset.stretchRotation}};
}

Json Node(const NodeHeader& node, const Matrix3x4& transform) {
  return {{"name", DisplayText(node.name)},
          {"h", node.handle},
          {"parent", node.parent},
          {"m", transform}};
}

class ModelBuilder {
 public:
  ModelBuilder(const ChunkFile& file, PageModel& model) : file_(file), model_(model) {}

  void Build() {
    Json& data = model_.data;
    data["banner"] = DisplayText(file_.banner);
    for (const std::string& note : file_.notes) Warn(0, note);
    if (file_.trailingBytes > 0) {
      Warn(file_.trailingOffset, std::to_string(file_.trailingBytes) +
                                     " bytes after the last complete chunk (an unfinished chunk)");
    }
    Json chunks = Json::array();
    for (const Chunk& chunk : file_.chunks) chunks.push_back(Visit(chunk, false));
    data["chunks"] = std::move(chunks);
    data["nodes"] = std::move(nodes_);
    data["objects"] = std::move(objects_);
    data["materials"] = std::move(materials_);
    data["tracks"] = std::move(tracks_);
    data["warnings"] = std::move(warnings_);
  }

 private:
  void Warn(uint64_t offset, const std::string& text) {
    warnings_.push_back({{"offset", offset}, {"text", DisplayText(text)}});
  }

  // One entry of the chunk tree; collects what the other panels show on the way.
  Json Visit(const Chunk& chunk, bool insideTrack) {
    Json entry = {{"id", {chunk.id.type, chunk.id.subtype, chunk.id.version}},
                  {"offset", chunk.offset},
                  {"size", chunk.size}};
    const Payload* payload = chunk.decoded.get();
    entry["kind"] = payload ? std::string(payload->Kind()) : "not decoded";
    if (const NodeHeader* header = HeaderOf(payload)) {
      entry["h"] = header->handle;
      entry["name"] = DisplayText(header->name);
    } else if (auto* material = dynamic_cast<const StandardMaterial*>(payload)) {
      entry["name"] = DisplayText(material->name);
    } else if (auto* list = dynamic_cast<const MaterialList*>(payload)) {
      entry["name"] = DisplayText(list->name);
    }
    if (payload && chunk.size <= kFieldsShownUpTo) {
      nlohmann::ordered_json fields = DisplayFields(*payload);
      CutLongArrays(fields);
      entry["fields"] = std::move(fields);
    }
    for (const std::string& note : chunk.notes) {
      entry["notes"].push_back(DisplayText(note));
      Warn(chunk.offset, ToString(chunk.id) + " " + note);
    }
    if (payload) Collect(chunk, *payload, insideTrack);
    const bool track = insideTrack || dynamic_cast<const Track*>(payload);
    for (const Chunk& child : chunk.children) entry["c"].push_back(Visit(child, track));
    return entry;
  }

  void Collect(const Chunk& chunk, const Payload& payload, bool insideTrack) {
    if (auto* p = dynamic_cast<const HierarchyEntry*>(&payload)) {
      Json node = Node(p->node, p->transform);
      node["type"] = p->nodeType;
      nodes_.push_back(std::move(node));
    } else if (auto* p = dynamic_cast<const MeshChunk*>(&payload)) {
      objects_.push_back(Mesh(*p));
    } else if (auto* p = dynamic_cast<const ShadowMeshChunk*>(&payload)) {
      objects_.push_back(Shadow(*p));
    } else if (auto* p = dynamic_cast<const DamageMeshChunk*>(&payload)) {
      objects_.push_back(Damage(*p));
    } else if (auto* p = dynamic_cast<const BoxHelperNode*>(&payload)) {
      Json o = Node(p->node, p->transform);
      o["type"] = "box";
      o["centre"] = p->centre;
      o["corner"] = p->cornerOffset;
      objects_.push_back(std::move(o));
    } else if (auto* p = dynamic_cast<const CameraNode*>(&payload)) {
      Json o = Node(p->node, p->transform);
      o["type"] = "camera";
      o["offset"] = Offset(p->objectOffset);
      o["fov"] = p->fov;
      o["near"] = p->nearClip;
      o["far"] = p->farClip;
      if (p->target) o["target"] = p->target->position;
      objects_.push_back(std::move(o));
    } else if (auto* p = dynamic_cast<const LightNode*>(&payload)) {
      Json o = Node(p->node, p->transform);
      o["type"] = "light";
      o["kind"] = std::string(p->Kind());
      o["colour"] = p->colour;
      if (p->cone) o["cone"] = *p->cone;
      objects_.push_back(std::move(o));
    } else if (auto* p = dynamic_cast<const BoneNode*>(&payload)) {
      objects_.push_back(Marker("bone", p->node, p->transform));
    } else if (auto* p = dynamic_cast<const PlainNode*>(&payload)) {
      objects_.push_back(Marker(std::string(p->Kind()), p->node, p->transform));
    } else if (auto* p = dynamic_cast<const IKChainObjectNode*>(&payload)) {
      objects_.push_back(Marker("IK chain object", p->node, p->transform));
    } else if (auto* p = dynamic_cast<const StandardMaterial*>(&payload)) {
      materials_.push_back(DisplayText(p->name));
    } else if (auto* p = dynamic_cast<const MaterialList*>(&payload)) {
      materials_.push_back(DisplayText(p->name));
    } else if (auto* p = dynamic_cast<const Track*>(&payload); p && !insideTrack) {
      Json track = {{"name", p->name ? DisplayText(*p->name) : ""}, {"offset", chunk.offset}};
      for (const Chunk& child : chunk.children) track["parts"].push_back(TrackPart(child));
      tracks_.push_back(std::move(track));
    }
  }

  Json Marker(const std::string& type, const NodeHeader& node, const Matrix3x4& transform) {
    Json o = Node(node, transform);
    o["type"] = type;
    return o;
  }

  Json Mesh(const MeshChunk& mesh) {
    Json o = Node(mesh.node, mesh.transform);
    o["type"] = "mesh";
    o["kind"] = std::string(mesh.Kind());
    o["offset"] = Offset(mesh.objectOffset);
    BinaryBlob& blob = model_.blob;
    o["positions"] = blob.Add(Flat(mesh.positions));
    if (mesh.normals.size() == mesh.positions.size()) o["normals"] = blob.Add(Flat(mesh.normals));
    o["indices"] = blob.Add(mesh.indices);
    Json blocks = Json::array();
    for (const MeshChunk::FaceBlock& block : mesh.faceBlocks) {
      blocks.push_back({{"material", DisplayText(block.material)},
                        {"faces", block.faceCount},
                        {"firstVertex", block.firstVertex},
                        {"vertices", block.vertexCount},
                        {"firstIndex", block.firstIndex}});
    }
    o["blocks"] = std::move(blocks);
    if (mesh.collision && !mesh.collision->zones.empty()) {
      o["zones"] = blob.Add(VertexZones(*mesh.collision, mesh.positions.size()));
    }
    if (mesh.skin) o["skin"] = Skin(*mesh.skin, mesh.positions.size());
    if (mesh.morph) o["morphChannels"] = mesh.morph->channels.size();
    return o;
  }

  // Four (bone index, weight) pairs per vertex; index -1 where unused.
  Json Skin(const MeshChunk::Skin& skin, size_t vertexCount) {
    std::vector<float> weights(vertexCount * 4, 0.0f);
    std::vector<int16_t> bones(vertexCount * 4, -1);
    const size_t count = std::min(vertexCount, skin.influences.size());
    for (size_t v = 0; v < count; ++v) {
      for (size_t k = 0; k < 4; ++k) {
        const int32_t written = skin.influences[v].bones[k];
        if (written < 0 || written % 64 != 0 || written / 64 >= int32_t(skin.bones.size()))
          continue;
        bones[v * 4 + k] = static_cast<int16_t>(written / 64);
        weights[v * 4 + k] = skin.influences[v].weights[k];
      }
    }
    Json names = Json::array();
    for (const MeshChunk::Bone& bone : skin.bones) names.push_back(DisplayText(bone.name));
    return {{"bones", std::move(names)},
            {"weights", model_.blob.Add(weights)},
            {"index", model_.blob.Add(bones)}};
  }

  Json Shadow(const ShadowMeshChunk& shadow) {
    Json o = Node(shadow.node, shadow.transform);
    o["type"] = "shadow";
    o["offset"] = Offset(shadow.objectOffset);
    std::vector<uint32_t> indices, edges;
    indices.reserve(shadow.faces.size() * 3);
    for (const auto& face : shadow.faces)
      indices.insert(indices.end(), face.vertices.begin(), face.vertices.end());
    edges.reserve(shadow.edges.size() * 2);
    for (const auto& edge : shadow.edges) {
      edges.push_back(edge.a);
      edges.push_back(edge.b);
    }
    o["positions"] = model_.blob.Add(Flat(shadow.positions));
    o["indices32"] = model_.blob.Add(indices);
    o["edges"] = model_.blob.Add(edges);
    return o;
  }

  Json Damage(const DamageMeshChunk& damage) {
    Json o = Node(damage.node, damage.transform);
    o["type"] = "damage";
    o["offset"] = Offset(damage.objectOffset);
    std::vector<uint32_t> indices;
    indices.reserve(damage.faces.size() * 3);
    for (const auto& face : damage.faces)
      indices.insert(indices.end(), face.vertices.begin(), face.vertices.end());
    o["positions"] = model_.blob.Add(Flat(damage.positions));
    o["indices32"] = model_.blob.Add(indices);
    return o;
  }

  // A chunk inside a track, with what the timeline needs to play it.
  Json TrackPart(const Chunk& chunk) {
    const Payload* payload = chunk.decoded.get();
    Json part = {{"id", {chunk.id.type, chunk.id.subtype}},
                 {"kind", payload ? std::string(payload->Kind()) : "not decoded"}};
    if (auto* keys = dynamic_cast<const KeyBlock*>(payload)) {
      std::vector<float> flat;
      Json layout = Json::array();
      for (const KeyBlock::Field& field : KeyBlock::Layout(keys->blockType)) {
        layout.push_back({field.name, field.floats});
      }
      for (const auto& key : keys->keys) flat.insert(flat.end(), key.begin(), key.end());
      part["block"] = keys->blockType;
      part["layout"] = std::move(layout);
      part["count"] = keys->keys.size();
      part["keys"] = model_.blob.Add(flat);
      part["before"] = keys->before;
      part["after"] = keys->after;
    } else if (auto* sampled = dynamic_cast<const SampledTransform*>(payload)) {
      part["times"] = model_.blob.Add(sampled->times);
      part["matrices"] = model_.blob.Add(Flat(sampled->matrices));
      part["samplesRead"] = sampled->samplesRead;
    } else if (auto* container = dynamic_cast<const TrackContainer*>(payload)) {
      for (const auto& link : container->links) {
        part["links"].push_back({{"parent", DisplayText(link.parent)}, {"time", link.time}});
      }
    } else if (payload && chunk.size <= kFieldsShownUpTo) {
      part["fields"] = DisplayFields(*payload);
    }
    for (const Chunk& child : chunk.children) part["parts"].push_back(TrackPart(child));
    return part;
  }

  const ChunkFile& file_;
  PageModel& model_;
  Json nodes_ = Json::array(), objects_ = Json::array(), materials_ = Json::array(),
       tracks_ = Json::array(), warnings_ = Json::array();
};

}  // namespace

std::vector<int16_t> VertexZones(const CollisionZones& zones, size_t vertexCount) {
  std::vector<int16_t> zone(vertexCount, -1);
  std::vector<float> best(vertexCount, -INFINITY);
  for (size_t z = 0; z < zones.zones.size() && z < 32768; ++z) {
    for (const CollisionZones::Entry& entry : zones.zones[z]) {
      if (entry.vertex < 0 || size_t(entry.vertex) >= vertexCount) continue;
      if (entry.weight > best[entry.vertex]) {
        best[entry.vertex] = entry.weight;
        zone[entry.vertex] = static_cast<int16_t>(z);
      }
    }
  }
  return zone;
}

const std::array<uint32_t, 256>& ZoneColours() {
  // Hues walk the circle by the golden angle so neighbouring zones differ
  // strongly; four lightness steps keep colours of close hues apart.
  static const std::array<uint32_t, 256> colours = [] {
    std::array<uint32_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
      const double hue = std::fmod(i * 0.6180339887498949, 1.0) * 6.0;
      const double light = 0.38 + 0.12 * (i % 4);
      const double chroma = (1 - std::fabs(2 * light - 1)) * 0.9;
      const double x = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
      double r = 0, g = 0, b = 0;
      switch (static_cast<int>(hue)) {
        case 0:
          r = chroma, g = x;
          break;
        case 1:
          r = x, g = chroma;
          break;
        case 2:
          g = chroma, b = x;
          break;
        case 3:
          g = x, b = chroma;
          break;
        case 4:
          r = x, b = chroma;
          break;
        default:
          r = chroma, b = x;
          break;
      }
      const double m = light - chroma / 2;
      auto channel = [m](double c) { return static_cast<uint32_t>(std::lround((c + m) * 255)); };
      table[i] = channel(r) << 16 | channel(g) << 8 | channel(b);
    }
    return table;
  }();
  return colours;
}

PageModel BuildPageModel(const PageInput& input) {
  PageModel model;
  Json& data = model.data;
  data["file"] = DisplayText(input.fileName);
  data["size"] = input.fileSize;
  const auto dot = input.fileName.rfind('.');
  data["extension"] = dot == std::string::npos ? "" : input.fileName.substr(dot + 1);
  if (!input.error.empty()) data["error"] = DisplayText(input.error);
  data["zoneColours"] = ZoneColours();
  Json side = Json::array();
  for (const SideFile& file : input.sideFiles) {
    side.push_back(
        {{"role", file.role}, {"name", DisplayText(file.name)}, {"text", DisplayText(file.text)}});
  }
  data["sideFiles"] = std::move(side);
  if (input.file) {
    ModelBuilder(*input.file, model).Build();
    for (const Chunk* range : FindChunks(*input.file, 20, 0)) {
      if (auto* p = range->As<AnimationRange>()) data["range"] = {p->start, p->length};
    }
  } else {
    for (const char* key : {"chunks", "nodes", "objects", "materials", "tracks", "warnings"}) {
      data[key] = Json::array();
    }
  }
  return model;
}

}  // namespace kiln::view
