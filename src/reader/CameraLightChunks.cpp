#include "reader/CameraLightChunks.h"

#include <memory>

#include "reader/Decoders.h"

namespace kiln::reader {

using Json = nlohmann::ordered_json;

Json CameraNode::Fields() const {
  Json fields = Json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["near"] = nearClip;
  fields["far"] = farClip;
  fields["fov"] = fov;
  fields["transform"] = transform;
  if (target) fields["target"] = {{"handle", target->handle}, {"position", target->position}};
  return fields;
}

std::string_view LightNode::Kind() const {
  switch (kind) {
    case 6:
      return "free directional light";
    case 7:
      return "target directional light";
    case 8:
      return "target spot light";
    case 9:
      return "free spot light";
    default:
      return "omni light";
  }
}

Json LightNode::Fields() const {
  Json fields = Json::object();
  AddFields(fields, node);
  fields["objectOffset"] = ToFields(objectOffset);
  fields["colour"] = colour;
  fields["transform"] = transform;
  fields["farAttenuation"] = farAttenuation;
  if (attenuation)
    fields["attenuation"] = {{"start", (*attenuation)[0]}, {"end", (*attenuation)[1]}};
  if (cone) fields["cone"] = {{"hotspot", (*cone)[0]}, {"falloff", (*cone)[1]}};
  return fields;
}

namespace {

std::shared_ptr<const Payload> DecodeCamera(PayloadCursor& cursor, bool target) {
  auto camera = std::make_shared<CameraNode>();
  camera->node = ReadNodeHeader(cursor);
  camera->objectOffset = ReadObjectOffset(cursor);
  camera->nearClip = cursor.Float("near clip");
  camera->farClip = cursor.Float("far clip");
  camera->fov = cursor.Float("field of view");
  camera->transform = cursor.Floats<12>("transform");
  if (target) {
    CameraNode::Target t;
    t.handle = cursor.Int("target handle");
    t.position = cursor.Floats<3>("target position");
    camera->target = t;
  }
  return camera;
}

template <uint32_t kKind>
std::shared_ptr<const Payload> DecodeLight(PayloadCursor& cursor) {
  auto light = std::make_shared<LightNode>();
  light->kind = kKind;
  light->node = ReadNodeHeader(cursor);
  light->objectOffset = ReadObjectOffset(cursor);
  light->colour = cursor.Floats<3>("colour");
  light->transform = cursor.Floats<12>("transform");
  light->farAttenuation = cursor.Int("far attenuation");
  if (light->farAttenuation != 0) light->attenuation = cursor.Floats<2>("attenuation range");
  if (kKind == 8 || kKind == 9) light->cone = cursor.Floats<2>("hotspot and falloff");
  return light;
}

}  // namespace

void AddCameraLightDecoders(DecoderRegistry& registry) {
  registry.Add(2, 11, {Body::kNothing, [](PayloadCursor& c) { return DecodeCamera(c, true); }});
  registry.Add(2, 12, {Body::kNothing, [](PayloadCursor& c) { return DecodeCamera(c, false); }});
  registry.Add(1, 6, {Body::kNothing, DecodeLight<6>});
  registry.Add(1, 7, {Body::kNothing, DecodeLight<7>});
  registry.Add(1, 8, {Body::kNothing, DecodeLight<8>});
  registry.Add(1, 9, {Body::kNothing, DecodeLight<9>});
  registry.Add(1, 10, {Body::kNothing, DecodeLight<10>});
}

}  // namespace kiln::reader
