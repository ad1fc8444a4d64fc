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

namespace {

std::shared_ptr<const Payload> DecodeBone(PayloadCursor& cursor) {
  auto bone = std::make_shared<BoneNode>();
  bone->node = ReadNodeHeader(cursor);
  bone->objectOffset = ReadObjectOffset(cursor);
  bone->transform = cursor.Floats<12>("transform");
  return bone;
}

}  // namespace

void AddHelperDecoders(DecoderRegistry& registry) {
  registry.Add(3, 14, {Body::kNothing, DecodeBone});
}

}  // namespace kiln::reader
