// libFuzzer target: any small glTF or OBJ asset, read through the library's
// in-memory reader, imports as a valid scene or gives a SceneLoadError; an
// imported scene evaluates every node.
//
// The first byte picks the format ('o' OBJ, anything else glTF); the rest is
// the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "standalone/SceneLoadError.h"
#include "standalone/SceneNode.h"
#include "standalone/import/AssetImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 64 * 1024) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const char* extension = input[0] == 'o' ? "obj" : "gltf";
  try {
    kiln::standalone::ImportedAsset asset =
        kiln::standalone::ImportAssetFromMemory(input.substr(1), extension, {});
    for (auto* node : asset.scene->NodesDepthFirst()) node->EvalWorldState(0);
  } catch (const kiln::standalone::SceneLoadError&) {
  } catch (const kiln::standalone::UnknownClip&) {
  }
  return 0;
}
