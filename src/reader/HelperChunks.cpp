#include "reader/HelperChunks.h"

#include <memory>

#include "reader/Decoders.h"

namespace kiln::reader {

nlohmann::ordered_json BoneNode::Fields() const {
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["transform"] = transform;
  return fields;
}

nlohmann::ordered_json BoxHelperNode::Fields() const {
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  AddFields(fields, node);
  fields["centre"] = centre;
  fields["cornerOffset"] = cornerOffset;
  fields["transform"] = transform;
  return fields;
}

nlohmann::ordered_json IKChainObjectNode::Fields() const {
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["transform"] = transform;
  return fields;
}

namespace {

std::shared_ptr<const Payload> DecodeBone(PayloadCursor& cursor) {
  auto bone = std::make_shared<BoneNode>();
  bone->node = ReadNodeHeader(cursor);
  bone->objectOffset = ReadObjectOffset(cursor);
  bone->transform = cursor.Floats<12>("transform");
  return bone;
}

std::shared_ptr<const Payload> DecodeBoxHelper(PayloadCursor& cursor) {
  auto box = std::make_shared<BoxHelperNode>();
  box->node = ReadNodeHeader(cursor);
  box->centre = cursor.Floats<3>("box centre");
  box->cornerOffset = cursor.Floats<3>("box corner offset");
  box->transform = cursor.Floats<12>("transform");
  return box;
}

std::shared_ptr<const Payload> DecodeIKChainObject(PayloadCursor& cursor) {
  auto chain = std::make_shared<IKChainObjectNode>();
  chain->node = ReadNodeHeader(cursor);
  chain->objectOffset = ReadObjectOffset(cursor);
  chain->transform = cursor.Floats<12>("transform");
  return chain;
}

}  // namespace

void AddHelperDecoders(DecoderRegistry& registry) {
  registry.Add(3, 14, {Body::kNothing, DecodeBone});
  registry.Add(3, 16, {Body::kNothing, DecodeBoxHelper});
  registry.Add(4, 0, {Body::kNothing, DecodeIKChainObject});
}

}  // namespace kiln::reader
