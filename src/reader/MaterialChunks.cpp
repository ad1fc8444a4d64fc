#include "reader/MaterialChunks.h"

#include <memory>

#include "reader/Decoders.h"

namespace kiln::reader {

using Json = nlohmann::ordered_json;

namespace {

// Requirement flags, three colours and three scalars end a standard material.
constexpr size_t kStandardTail = 4 + 9 * 4 + 3 * 4;

const char* const kChannelNames[] = {"diffuse",          "opacity", "reflection",
                                     "selfIllumination", "bump",    "specularColor"};
constexpr uint32_t kChannelBits[] = {0x01, 0x02, 0x08, 0x10, 0x04, 0x20};

BitmapRecord ReadBitmapRecord(PayloadCursor& cursor) {
  BitmapRecord r;
  r.file = cursor.String("bitmap file name");
  r.alphaAsMono = cursor.Int("alpha as mono");
  r.alphaAsRGB = cursor.Int("alpha as RGB");
  r.tileU = cursor.Float("tiling U");
  r.tileV = cursor.Float("tiling V");
  r.offsetU = cursor.Float("offset U");
  r.offsetV = cursor.Float("offset V");
  r.wrapU = cursor.Int("wrap mode U");
  r.wrapV = cursor.Int("wrap mode V");
  return r;
}

std::shared_ptr<const Payload> DecodeStandard(PayloadCursor& cursor) {
  auto m = std::make_shared<StandardMaterial>();
  m->name = cursor.String("material name");
  m->channelMask = cursor.DWord("channel mask");
  while (cursor.Remaining() > kStandardTail) m->bitmaps.push_back(ReadBitmapRecord(cursor));
  m->requirements = cursor.Int("requirements");
  m->ambient = cursor.Floats<3>("ambient");
  m->diffuse = cursor.Floats<3>("diffuse");
  m->specular = cursor.Floats<3>("specular");
  m->shininess = cursor.Float("shininess");
  m->shineStrength = cursor.Float("shine strength");
  m->transparency = cursor.Float("transparency");
  return m;
}

std::shared_ptr<const Payload> DecodeList(PayloadCursor& cursor, MaterialList::Variant variant) {
  auto list = std::make_shared<MaterialList>();
  list->variant = variant;
  list->name = cursor.String("material name");
  list->count =
      cursor.Count(variant == MaterialList::Variant::kMulti ? "slot count" : "layer count");
  return list;
}

std::shared_ptr<const Payload> DecodeMulti(PayloadCursor& cursor) {
  return DecodeList(cursor, MaterialList::Variant::kMulti);
}

std::shared_ptr<const Payload> DecodeComposite(PayloadCursor& cursor) {
  return DecodeList(cursor, MaterialList::Variant::kComposite);
}

std::shared_ptr<const Payload> DecodeCustomAttributes(PayloadCursor& cursor) {
  auto attributes = std::make_shared<CustomAttributes>();
  const uint32_t count = cursor.Count("parameter count");
  attributes->material = cursor.String("material name");
  for (uint32_t i = 0; i < count; ++i) {
    CustomAttributes::Param p;
    p.name = cursor.String("parameter name");
    p.type = cursor.Int("parameter type");
    switch (p.type) {
      case 0:
      case 1:
        p.integer = cursor.Int("parameter value");
        break;
      case 2:
        p.number = cursor.Float("parameter value");
        break;
      case 3:
        p.text = cursor.String("parameter value");
        break;
      default:
        cursor.Fail("unknown custom attribute type " + std::to_string(p.type));
    }
    attributes->params.push_back(std::move(p));
  }
  return attributes;
}

}  // namespace

Json StandardMaterial::Fields() const {
  Json channels = Json::array();
  for (size_t c = 0; c < std::size(kChannelBits); ++c) {
    if (channelMask & kChannelBits[c]) channels.push_back(kChannelNames[c]);
  }
  Json bitmapList = Json::array();
  for (const BitmapRecord& r : bitmaps) {
    bitmapList.push_back({{"file", r.file},
                          {"alphaAsMono", r.alphaAsMono},
                          {"alphaAsRGB", r.alphaAsRGB},
                          {"tiling", {r.tileU, r.tileV}},
                          {"offset", {r.offsetU, r.offsetV}},
                          {"wrap", {r.wrapU, r.wrapV}}});
  }
  return {{"name", name},
          {"channelMask", channelMask},
          {"channels", std::move(channels)},
          {"bitmaps", std::move(bitmapList)},
          {"requirements", requirements},
          {"ambient", ambient},
          {"diffuse", diffuse},
          {"specular", specular},
          {"shininess", shininess},
          {"shineStrength", shineStrength},
          {"transparency", transparency}};
}

Json MaterialList::Fields() const {
  return {{"name", name}, {"count", count}};
}

void MaterialList::CheckChildren(const std::vector<Chunk>& children,
                                 std::vector<std::string>& notes) const {
  for (const Chunk& child : children) {
    if (child.id.type != 5) {
      notes.push_back("chunk " + ToString(child.id) + " at offset " + std::to_string(child.offset) +
                      " is no material");
    }
  }
  if (children.size() > count) {
    notes.push_back("count is " + std::to_string(count) + " but the chunk holds " +
                    std::to_string(children.size()) + " materials");
  }
}

Json CustomAttributes::Fields() const {
  static const char* const kTypes[] = {"bool", "int", "float", "string"};
  Json list = Json::array();
  for (const Param& p : params) {
    Json value = p.type == 2 ? Json(p.number) : p.type == 3 ? Json(p.text) : Json(p.integer);
    list.push_back({{"name", p.name}, {"type", kTypes[p.type]}, {"value", std::move(value)}});
  }
  return {{"material", material}, {"count", params.size()}, {"params", std::move(list)}};
}

IndexedTexture ReadIndexedTexture(PayloadCursor& cursor) {
  IndexedTexture t;
  t.file = cursor.String("texture file name");
  t.width = cursor.Int("texture width");
  if (t.width < 0) cursor.Fail("negative texture width " + std::to_string(t.width));
  t.paletted = cursor.Byte("palette flag") != 0;
  if (!t.paletted) return t;
  const uint64_t count = uint64_t(t.width) * uint64_t(t.width);
  if (count > cursor.Remaining()) {
    cursor.Fail(std::to_string(count) + " palette indices but " +
                std::to_string(cursor.Remaining()) + " bytes remain");
  }
  t.indices.resize(count);
  for (uint8_t& index : t.indices) index = cursor.Byte("palette index");
  return t;
}

Json ToFields(const IndexedTexture& t) {
  Json fields{{"file", t.file}, {"width", t.width}, {"paletted", t.paletted}};
  if (t.paletted) fields["indices"] = t.indices;
  return fields;
}

void AddMaterialDecoders(DecoderRegistry& registry) {
  registry.Add(5, 17, {Body::kChunks, DecodeMulti});
  registry.Add(5, 18, {Body::kNothing, DecodeStandard});
  registry.Add(5, 19, {Body::kChunks, DecodeComposite});
  registry.Add(15, 54, {Body::kNothing, DecodeCustomAttributes});
}

}  // namespace kiln::reader
