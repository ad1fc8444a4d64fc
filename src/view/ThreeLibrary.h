#pragma once
#include <string>

namespace kiln::view {

// The 3D library a page inlines: three.js and its orbit controls, as
// Debian's libjs-three package installs them.
constexpr const char* kThreeFolder = "/usr/share/javascript/three";

struct ThreeLibrary {
  std::string three;          // build/three.min.js (or three.min.js)
  std::string orbitControls;  // examples/js/controls/OrbitControls.js
};

// Reads the library from folder; throws std::runtime_error naming the file
// and the package when it is missing.
ThreeLibrary LoadThreeLibrary(const std::string& folder = kThreeFolder);

}  // namespace kiln::view
