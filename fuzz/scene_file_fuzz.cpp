// libFuzzer target: any text given to the scene file reader loads a valid
// scene or gives a SceneLoadError; a loaded scene evaluates every node.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "standalone/SceneFile.h"
#include "standalone/SceneNode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    auto scene = kiln::standalone::ReadSceneText(text, "fuzz.kscene.json", "/nonexistent");
    for (auto* node : scene->NodesDepthFirst()) node->EvalWorldState(0);
  } catch (const kiln::standalone::SceneLoadError&) {
  }
  return 0;
}
