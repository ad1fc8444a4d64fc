#include "view/ThreeLibrary.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kiln::view {
namespace {

std::string ReadFirst(const std::filesystem::path& folder,
                      std::initializer_list<const char*> names) {
  for (const char* name : names) {
    std::ifstream in(folder / name, std::ios::binary);
    if (!in) continue;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  throw std::runtime_error((folder / *names.begin()).string() +
                           " not found: install Debian's libjs-three package");
}

}  // namespace

ThreeLibrary LoadThreeLibrary(const std::string& folder) {
  return {ReadFirst(folder, {"build/three.min.js", "three.min.js"}),
          ReadFirst(folder, {"examples/js/controls/OrbitControls.js"})};
}

}  // namespace kiln::view
