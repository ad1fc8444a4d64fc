#include "reader/Decoders.h"

namespace kiln::reader {

// One line per family of chunks; each function lives beside its payload types.
void AddSceneDecoders(DecoderRegistry& registry);
void AddMeshDecoders(DecoderRegistry& registry);
void AddAnimationDecoders(DecoderRegistry& registry);
void AddHelperDecoders(DecoderRegistry& registry);
void AddMaterialDecoders(DecoderRegistry& registry);
void AddCameraLightDecoders(DecoderRegistry& registry);
void AddCollisionDecoders(DecoderRegistry& registry);

const DecoderRegistry& StandardDecoders() {
  static const DecoderRegistry registry = [] {
    DecoderRegistry all;
    AddSceneDecoders(all);
    AddMeshDecoders(all);
    AddAnimationDecoders(all);
    AddHelperDecoders(all);
    AddMaterialDecoders(all);
    AddCameraLightDecoders(all);
    AddCollisionDecoders(all);
    return all;
  }();
  return registry;
}

}  // namespace kiln::reader
