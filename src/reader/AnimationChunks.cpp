#include "reader/AnimationChunks.h"

#include <bit>
#include <cstring>
#include <functional>
#include <memory>

#include "reader/Decoders.h"

namespace kiln::reader {

using Json = nlohmann::ordered_json;

namespace {

using Field = KeyBlock::Field;
constexpr Field kBezierPosition[] = {{"time", 1},       {"value", 3},     {"inHandleX", 2},
                                     {"inHandleZ", 2},  {"inHandleY", 2}, {"outHandleX", 2},
                                     {"outHandleZ", 2}, {"outHandleY", 2}};
constexpr Field kRotationKey[] = {{"time", 1}, {"rotation", 4}};
constexpr Field kBezierScale[] = {{"time", 1},      {"scale", 3},     {"axes", 4},
                                  {"inLength", 3},  {"inTangent", 3}, {"outLength", 3},
                                  {"outTangent", 3}};
constexpr Field kBezierFloat[] = {{"time", 1}, {"value", 1}, {"inHandle", 2}, {"outHandle", 2}};
constexpr Field kTcbPosition[] = {{"time", 1}, {"value", 3},  {"tension", 1}, {"continuity", 1},
                                  {"bias", 1}, {"easeIn", 1}, {"easeOut", 1}};
constexpr Field kTcbRotation[] = {{"time", 1},       {"angle", 1}, {"axis", 3},   {"tension", 1},
                                  {"continuity", 1}, {"bias", 1},  {"easeIn", 1}, {"easeOut", 1}};
constexpr Field kTcbScale[] = {{"time", 1},       {"scale", 3}, {"axes", 4},   {"tension", 1},
                               {"continuity", 1}, {"bias", 1},  {"easeIn", 1}, {"easeOut", 1}};
constexpr Field kTcbFloat[] = {{"time", 1}, {"value", 1},  {"tension", 1}, {"continuity", 1},
                               {"bias", 1}, {"easeIn", 1}, {"easeOut", 1}};
constexpr Field kLinearPosition[] = {{"time", 1}, {"value", 3}};
constexpr Field kLinearScale[] = {{"time", 1}, {"scale", 3}, {"axes", 4}};
constexpr Field kLinearFloat[] = {{"time", 1}, {"value", 1}};

int RecordFloats(std::span<const Field> layout) {
  int floats = 0;
  for (const Field& f : layout) floats += f.floats;
  return floats;
}

const char* ContainerKind(const ChunkId& id) {
  switch (id.type) {
    case 7:
      return id.subtype == 29 ? "linked transform" : "transform";
    case 8:
      return id.subtype == 31 ? "position XYZ" : "position";
    case 9:
      return id.subtype == 32 ? "rotation XYZ" : "rotation";
    case 10:
      return "scale";
    default:
      return "float";
  }
}

Json MatrixList(const std::vector<Matrix3x4>& matrices) {
  Json list = Json::array();
  for (const Matrix3x4& m : matrices) list.push_back(m);
  return list;
}

Matrix3x4 ReadMatrix(PayloadCursor& cursor) {
  return cursor.Floats<12>("matrix");
}

// A stream matrix (four rows of three) in the main file's layout.
Matrix3x4 FromRows(const float rows[12]) {
  Matrix3x4 m{};
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 4; ++r) m[c * 4 + r] = rows[r * 3 + c];
  }
  return m;
}

}  // namespace

std::string_view TrackContainer::Kind() const {
  return ContainerKind(id);
}

Json TrackContainer::Fields() const {
  Json fields = Json::object();
  if (id.type == 7 && id.subtype == 29) {
    Json list = Json::array();
    for (const Link& link : links) list.push_back({{"parent", link.parent}, {"time", link.time}});
    fields["links"] = std::move(list);
  }
  return fields;
}

std::span<const Field> KeyBlock::Layout(uint32_t blockType) {
  switch (blockType) {
    case 35:
      return kBezierPosition;
    case 36:
    case 44:
      return kRotationKey;
    case 37:
      return kBezierScale;
    case 38:
      return kBezierFloat;
    case 39:
      return kTcbPosition;
    case 40:
      return kTcbRotation;
    case 41:
      return kTcbScale;
    case 42:
      return kTcbFloat;
    case 43:
      return kLinearPosition;
    case 45:
      return kLinearScale;
    case 46:
      return kLinearFloat;
    default:
      return {};
  }
}

std::span<const float> KeyBlock::Get(size_t i, std::string_view field) const {
  size_t offset = 0;
  for (const Field& f : Layout(blockType)) {
    if (f.name == field) return std::span<const float>(keys.at(i)).subspan(offset, f.floats);
    offset += static_cast<size_t>(f.floats);
  }
  return {};
}

std::string_view KeyBlock::Kind() const {
  static const char* const kNames[] = {
      "Bezier position keys", "Bezier rotation keys", "Bezier scale keys", "Bezier float keys",
      "TCB position keys",    "TCB rotation keys",    "TCB scale keys",    "TCB float keys",
      "linear position keys", "linear rotation keys", "linear scale keys", "linear float keys"};
  return blockType >= 35 && blockType <= 46 ? kNames[blockType - 35] : "keys";
}

Json KeyBlock::Fields() const {
  Json list = Json::array();
  for (const std::vector<float>& key : keys) {
    Json record = Json::object();
    size_t offset = 0;
    for (const Field& f : Layout(blockType)) {
      if (f.floats == 1) {
        record[f.name] = key[offset];
      } else {
        record[f.name] = std::vector<float>(key.begin() + static_cast<long>(offset),
                                            key.begin() + static_cast<long>(offset) + f.floats);
      }
      offset += static_cast<size_t>(f.floats);
    }
    list.push_back(std::move(record));
  }
  return {{"before", before}, {"after", after}, {"count", keys.size()}, {"keys", std::move(list)}};
}

Json SampledTransform::Fields() const {
  Json fields{{"count", count}};
  if (streamed) fields["streamOffset"] = streamOffset;
  if (!samplesRead) {
    fields["firstMatrix"] = matrices.empty() ? Json() : Json(matrices.front());
    return fields;
  }
  fields["times"] = times;
  fields["matrices"] = MatrixList(matrices);
  return fields;
}

Json IKControlled::Fields() const {
  return {{"chain", chain}};
}

Json IKChain::Fields() const {
  auto joint = [](const Joint& j) { return Json{{"name", j.name}, {"handle", j.handle}}; };
  return {{"chain", joint(chain)}, {"start", joint(start)},      {"middle", joint(middle)},
          {"end", joint(end)},     {"upperLength", upperLength}, {"lowerLength", lowerLength}};
}

Json LookAt::Fields() const {
  Json list = Json::array();
  for (const Target& t : targets) list.push_back({{"name", t.name}, {"weight", t.weight}});
  return {{"targets", std::move(list)},       {"relative", relative},
          {"targetAxisFlip", targetAxisFlip}, {"upnodeAxisFlip", upnodeAxisFlip},
          {"upnodeWorld", upnodeWorld},       {"viewlineAbsolute", viewlineAbsolute},
          {"targetAxis", targetAxis},         {"upnodeAxis", upnodeAxis},
          {"sourceAxis", sourceAxis},         {"upnodeControl", upnodeControl}};
}

namespace {

template <uint32_t Type, uint32_t Subtype>
std::shared_ptr<const Payload> DecodeContainer(PayloadCursor& cursor) {
  auto container = std::make_shared<TrackContainer>();
  container->id = {Type, Subtype, 1};
  if (Type == 7 && Subtype == 29) {
    const uint32_t count = cursor.Count("link count");
    for (uint32_t i = 0; i < count; ++i) {
      TrackContainer::Link link;
      link.parent = cursor.String("link parent");
      link.time = cursor.Float("link time");
      container->links.push_back(std::move(link));
    }
  }
  return container;
}

std::shared_ptr<const Payload> DecodeKeyBlock(PayloadCursor& cursor, uint32_t blockType) {
  auto block = std::make_shared<KeyBlock>();
  block->blockType = blockType;
  block->before = cursor.Int("out-of-range before");
  block->after = cursor.Int("out-of-range after");
  const uint32_t count = cursor.Count("key count");
  const auto floats = static_cast<size_t>(RecordFloats(KeyBlock::Layout(blockType)));
  if (uint64_t{count} * floats * 4 > cursor.Remaining()) {
    cursor.Fail(std::to_string(count) + " keys of " + std::to_string(floats * 4) +
                " bytes do not fit in the " + std::to_string(cursor.Remaining()) + " bytes left");
  }
  block->keys.resize(count);
  for (std::vector<float>& key : block->keys) {
    key.resize(floats);
    for (float& v : key) v = cursor.Float("key field");
  }
  return block;
}

template <uint32_t BlockType>
std::shared_ptr<const Payload> DecodeKeys(PayloadCursor& cursor) {
  return DecodeKeyBlock(cursor, BlockType);
}

std::shared_ptr<const Payload> DecodeSampled(PayloadCursor& cursor) {
  auto sampled = std::make_shared<SampledTransform>();
  sampled->count = cursor.Count("sample count");
  const uint64_t inlineBytes = uint64_t{sampled->count} * (4 + 48);
  if (cursor.Remaining() == inlineBytes) {
    if (sampled->count > 0) {
      sampled->firstWord = cursor.DWord("first sample time");
      sampled->times.push_back(std::bit_cast<float>(sampled->firstWord));
    }
    for (uint32_t i = 1; i < sampled->count; ++i) sampled->times.push_back(cursor.Float("time"));
    for (uint32_t i = 0; i < sampled->count; ++i) sampled->matrices.push_back(ReadMatrix(cursor));
    return sampled;
  }
  if (cursor.Remaining() == 4 + 48) {
    sampled->streamed = true;
    sampled->firstWord = sampled->streamOffset = cursor.DWord("stream offset");
    sampled->matrices.push_back(ReadMatrix(cursor));
    sampled->samplesRead = false;
    return sampled;
  }
  cursor.Fail(std::to_string(sampled->count) + " samples take " + std::to_string(inlineBytes) +
              " bytes inline or 52 streamed, but " + std::to_string(cursor.Remaining()) +
              " bytes follow");
}

std::shared_ptr<const Payload> DecodeIKControlled(PayloadCursor& cursor) {
  auto ik = std::make_shared<IKControlled>();
  ik->chain = cursor.String("chain name");
  return ik;
}

std::shared_ptr<const Payload> DecodeIKChain(PayloadCursor& cursor) {
  auto chain = std::make_shared<IKChain>();
  for (IKChain::Joint* joint : {&chain->chain, &chain->start, &chain->middle, &chain->end}) {
    joint->name = cursor.String("joint name");
    joint->handle = cursor.Int("joint handle");
  }
  chain->upperLength = cursor.Float("upper length");
  chain->lowerLength = cursor.Float("lower length");
  return chain;
}

std::shared_ptr<const Payload> DecodeLookAt(PayloadCursor& cursor) {
  auto lookAt = std::make_shared<LookAt>();
  const uint32_t count = cursor.Count("target count");
  for (uint32_t i = 0; i < count; ++i) {
    LookAt::Target target;
    target.name = cursor.String("target name");
    target.weight = cursor.Float("target weight");
    lookAt->targets.push_back(std::move(target));
  }
  for (int32_t* field : {&lookAt->relative, &lookAt->targetAxisFlip, &lookAt->upnodeAxisFlip,
                         &lookAt->upnodeWorld, &lookAt->viewlineAbsolute, &lookAt->targetAxis,
                         &lookAt->upnodeAxis, &lookAt->sourceAxis, &lookAt->upnodeControl}) {
    *field = cursor.Int("look-at setting");
  }
  return lookAt;
}

template <uint32_t... Types>
void AddKeyBlocks(DecoderRegistry& registry, std::integer_sequence<uint32_t, Types...>) {
  (registry.Add(13, 35 + Types, {Body::kNothing, DecodeKeys<35 + Types>}), ...);
}

}  // namespace

void AttachStream(ChunkFile& file, std::span<const uint8_t> stream) {
  uint64_t next = 0;  // where the next streamed track's samples start
  std::vector<Chunk*> pending;
  // Depth first, in file order.
  std::function<void(std::vector<Chunk>&)> walk = [&](std::vector<Chunk>& chunks) {
    for (Chunk& chunk : chunks) {
      if (chunk.id.type == 7 && chunk.id.subtype == 33) pending.push_back(&chunk);
      walk(chunk.children);
    }
  };
  walk(file.chunks);
  auto readFloats = [&](uint64_t offset, size_t count, float* out) {
    if (count > 0) std::memcpy(out, stream.data() + offset, count * sizeof(float));
  };
  for (Chunk* chunk : pending) {
    const auto* old = chunk->As<SampledTransform>();
    if (!old) continue;
    auto sampled = std::make_shared<SampledTransform>(*old);
    const uint64_t bytes = uint64_t{sampled->count} * (4 + 48);
    const bool fits = sampled->firstWord == next && next + bytes <= stream.size();
    if (!sampled->streamed) {
      // One inline sample reads like one streamed sample: streamed when the
      // stream repeats its matrix where the next samples would start.
      if (sampled->count != 1 || !fits) continue;
      float rows[12];
      readFloats(next + 4, 12, rows);
      if (FromRows(rows) != sampled->matrices.front()) continue;
      sampled->streamed = true;
      sampled->streamOffset = sampled->firstWord;
    } else if (!fits) {
      file.notes.push_back(
          "sampled transform at offset " + std::to_string(chunk->offset) + ": its " +
          std::to_string(sampled->count) + " samples at stream offset " +
          std::to_string(sampled->streamOffset) +
          (sampled->streamOffset != next
               ? " do not follow the previous track's (expected " + std::to_string(next) + ")"
               : " run past the end of the stream file (" + std::to_string(stream.size()) +
                     " bytes)"));
      next = std::max<uint64_t>(next, uint64_t{sampled->streamOffset} + bytes);
      continue;
    }
    sampled->times.resize(sampled->count);
    readFloats(next, sampled->count, sampled->times.data());
    sampled->matrices.clear();
    for (uint32_t i = 0; i < sampled->count; ++i) {
      float rows[12];
      readFloats(next + uint64_t{sampled->count} * 4 + uint64_t{i} * 48, 12, rows);
      sampled->matrices.push_back(FromRows(rows));
    }
    sampled->samplesRead = true;
    next += bytes;
    chunk->decoded = std::move(sampled);
  }
  if (next < stream.size()) {
    file.notes.push_back(std::to_string(stream.size() - next) +
                         " bytes of the stream file belong to no sampled transform");
  }
}

void AddAnimationDecoders(DecoderRegistry& registry) {
  registry.Add(7, 28, {Body::kChunks, DecodeContainer<7, 28>});
  registry.Add(7, 29, {Body::kChunks, DecodeContainer<7, 29>});
  registry.Add(8, 26, {Body::kChunks, DecodeContainer<8, 26>});
  registry.Add(8, 31, {Body::kChunks, DecodeContainer<8, 31>});
  registry.Add(9, 27, {Body::kChunks, DecodeContainer<9, 27>});
  registry.Add(9, 32, {Body::kChunks, DecodeContainer<9, 32>});
  registry.Add(10, 0, {Body::kChunks, DecodeContainer<10, 0>});
  registry.Add(11, 24, {Body::kChunks, DecodeContainer<11, 24>});
  registry.Add(7, 33, {Body::kNothing, DecodeSampled});
  registry.Add(7, 34, {Body::kNothing, DecodeIKControlled});
  registry.Add(12, 20, {Body::kNothing, DecodeIKChain});
  registry.Add(9, 30, {Body::kNothing, DecodeLookAt});
  AddKeyBlocks(registry, std::make_integer_sequence<uint32_t, 12>());
}

}  // namespace kiln::reader
