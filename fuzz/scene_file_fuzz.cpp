// libFuzzer target: any scene file, with any side file, loads a valid scene
// or gives a SceneLoadError; a loaded scene evaluates every node.
//
// The input is the scene's JSON text, then optionally a zero byte and the
// bytes of the side file "side.bin" (which the text names as
// {"buffers": [{"uri": "side.bin"}]}).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "standalone/SceneFile.h"
#include "standalone/SceneNode.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kiln-scene-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  std::string_view text = input.substr(0, split);
  std::string_view side = split == std::string_view::npos ? "" : input.substr(split + 1);
  if (std::FILE* file = std::fopen((Folder() / "side.bin").c_str(), "wb")) {
    std::fwrite(side.data(), 1, side.size(), file);
    std::fclose(file);
  }
  try {
    auto scene = kiln::standalone::ReadSceneText(text, "fuzz.kscene.json", Folder());
    for (auto* node : scene->NodesDepthFirst()) node->EvalWorldState(0);
  } catch (const kiln::standalone::SceneLoadError&) {
  }
  return 0;
}
