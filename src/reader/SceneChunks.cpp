#include "reader/SceneChunks.h"

#include <memory>

#include "reader/Decoders.h"

namespace kiln::reader {

using Json = nlohmann::ordered_json;

NodeHeader ReadNodeHeader(PayloadCursor& cursor) {
  NodeHeader header;
  header.name = cursor.String("name");
  header.handle = cursor.Int("handle");
  header.parent = cursor.Int("parent handle");
  return header;
}

ObjectOffset ReadObjectOffset(PayloadCursor& cursor) {
  ObjectOffset offset;
  offset.translation = cursor.Floats<3>("object offset translation");
  offset.rotation = cursor.Floats<4>("object offset rotation");
  offset.scale = cursor.Floats<3>("object offset scale");
  offset.stretchRotation = cursor.Floats<4>("object offset stretch rotation");
  return offset;
}

void AddFields(Json& fields, const NodeHeader& header) {
  fields["name"] = header.name;
  fields["handle"] = header.handle;
  fields["parent"] = header.parent;
}

Json ToFields(const ObjectOffset& offset) {
  return Json{{"translation", offset.translation},
              {"rotation", offset.rotation},
              {"scale", offset.scale},
              {"stretchRotation", offset.stretchRotation}};
}

Json UserProperties::Fields() const {
  Json list = Json::array();
  for (const Record& record : records) {
    Json pairs = Json::array();
    for (const auto& [key, value] : record.pairs) pairs.push_back({{"key", key}, {"value", value}});
    list.push_back({{"handle", record.handle}, {"pairs", std::move(pairs)}});
  }
  return {{"records", std::move(list)}};
}

Json Hierarchy::Fields() const {
  return {{"count", count}};
}

void Hierarchy::CheckChildren(const std::vector<Chunk>& children,
                              std::vector<std::string>& notes) const {
  size_t entries = 0;
  for (const Chunk& child : children) {
    if (child.id.type == 19)
      ++entries;
    else
      notes.push_back("chunk " + ToString(child.id) + " at offset " + std::to_string(child.offset) +
                      " is no hierarchy entry");
  }
  if (entries != count) {
    notes.push_back("count is " + std::to_string(count) + " but the chunk holds " +
                    std::to_string(entries) + " entries");
  }
}

Json HierarchyEntry::Fields() const {
  static const char* const kTypeNames[] = {"mesh", "skinned", "bone", "helper", "other"};
  Json fields = Json::object();
  AddFields(fields, node);
  fields["transform"] = transform;
  fields["nodeType"] = nodeType;
  if (nodeType >= 0 && nodeType <= 4) fields["nodeTypeName"] = kTypeNames[nodeType];
  return fields;
}

Json AnimationRange::Fields() const {
  return {{"start", start}, {"length", length}};
}

Json HumanNodeList::Fields() const {
  return {{"count", count}};
}

Json PlainNode::Fields() const {
  Json fields = Json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["transform"] = transform;
  return fields;
}

Json FailedIkChain::Fields() const {
  return Json::object();
}

Json Track::Fields() const {
  Json fields = Json::object();
  if (name) fields["name"] = *name;
  return fields;
}

namespace {

std::shared_ptr<const Payload> DecodeUserProperties(PayloadCursor& cursor) {
  auto properties = std::make_shared<UserProperties>();
  uint32_t records = cursor.Count("record count");
  for (uint32_t i = 0; i < records; ++i) {
    UserProperties::Record record;
    record.handle = cursor.Int("node handle");
    uint32_t pairs = cursor.Count("pair count");
    for (uint32_t j = 0; j < pairs; ++j) {
      std::string key = cursor.String("key");
      record.pairs.emplace_back(std::move(key), cursor.String("value"));
    }
    properties->records.push_back(std::move(record));
  }
  return properties;
}

std::shared_ptr<const Payload> DecodeHierarchy(PayloadCursor& cursor) {
  auto hierarchy = std::make_shared<Hierarchy>();
  hierarchy->count = cursor.DWord("node count");
  return hierarchy;
}

std::shared_ptr<const Payload> DecodeHierarchyEntry(PayloadCursor& cursor) {
  auto entry = std::make_shared<HierarchyEntry>();
  entry->node = ReadNodeHeader(cursor);
  entry->transform = cursor.Floats<12>("transform");
  entry->nodeType = cursor.Int("node type");
  return entry;
}

std::shared_ptr<const Payload> DecodeAnimationRange(PayloadCursor& cursor) {
  auto range = std::make_shared<AnimationRange>();
  range->start = cursor.Float("start");
  range->length = cursor.Float("length");
  return range;
}

std::shared_ptr<const Payload> DecodeHumanNodeList(PayloadCursor& cursor) {
  auto list = std::make_shared<HumanNodeList>();
  list->count = cursor.DWord("node count");
  return list;
}

std::shared_ptr<PlainNode> DecodePlainNode(PayloadCursor& cursor, PlainNode::Variant variant) {
  auto node = std::make_shared<PlainNode>();
  node->variant = variant;
  node->node = ReadNodeHeader(cursor);
  node->objectOffset = ReadObjectOffset(cursor);
  node->transform = cursor.Floats<12>("transform");
  return node;
}

// (22, 0, 1) is both the fallback node chunk and, empty, a failed IK chain.
std::shared_ptr<const Payload> DecodeDefaultNode(PayloadCursor& cursor) {
  if (cursor.AtEnd()) return std::make_shared<FailedIkChain>();
  return DecodePlainNode(cursor, PlainNode::Variant::kDefault);
}

std::shared_ptr<const Payload> DecodeDummy(PayloadCursor& cursor) {
  return DecodePlainNode(cursor, PlainNode::Variant::kDummy);
}

std::shared_ptr<const Payload> DecodeTrack(PayloadCursor& cursor) {
  auto track = std::make_shared<Track>();
  if (!cursor.AtEnd()) track->name = cursor.String("track name");
  return track;
}

}  // namespace

void AddSceneDecoders(DecoderRegistry& registry) {
  registry.Add(14, 0, {Body::kNothing, DecodeUserProperties});
  registry.Add(18, 0, {Body::kChunks, DecodeHierarchy});
  // Entries of nodes without a position controller may carry any subtype.
  registry.Add(19, DecoderRegistry::kAnySubtype, {Body::kNothing, DecodeHierarchyEntry});
  registry.Add(20, 0, {Body::kNothing, DecodeAnimationRange});
  registry.Add(21, 0, {Body::kChunks, DecodeHumanNodeList});
  registry.Add(22, 0, {Body::kNothing, DecodeDefaultNode});
  registry.Add(3, 13, {Body::kNothing, DecodeDummy});
  registry.Add(6, 21, {Body::kChunks, DecodeTrack});
}

}  // namespace kiln::reader
