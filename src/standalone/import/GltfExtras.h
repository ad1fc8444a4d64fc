#pragma once
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace kiln::standalone {

// What the assimp library drops when it reads a glTF file, read from the
// file itself: the tangents of cubic-spline animation curves (the library
// keeps only the values at the keys, which would turn the curves into
// straight lines between them) and the names of morph targets.
//
// Nodes are known by the names the library gives them: the node's name, or
// "nodes[i]" for a node without one. A name that several nodes share is
// left out, since the library's channels could not tell them apart.
class GltfExtras {
 public:
  enum class Path { kTranslation, kRotation, kScale, kWeights };

  // A cubic-spline curve: per key an in-tangent, a value and an out-tangent
  // of `width` numbers each, as the file stores them.
  struct Curve {
    std::vector<float> times;  // seconds, increasing
    std::vector<float> values;
    size_t width = 0;
    // The curve at t seconds into out[0 .. width); before the first key and
    // after the last one the end value holds.
    void Evaluate(double t, float* out) const;
  };

  // Reads the bytes of a .gltf or .glb file; the files its buffers name are
  // looked for in folder (none when folder is empty). Whatever cannot be
  // read is told to warn and left out: the library reports damaged files.
  GltfExtras(std::string_view bytes, const std::filesystem::path& folder,
             const std::function<void(std::string)>& warn);

  // The morph target names of the mesh the named node holds, if the file gives them.
  const std::vector<std::string>* TargetNames(const std::string& node) const;
  // The cubic-spline curve animation `clip` gives the named node's path.
  const Curve* CubicCurve(size_t clip, const std::string& node, Path path) const;
  // The clips' names in the file's order.
  const std::vector<std::string>& ClipNames() const { return clipNames_; }

 private:
  std::map<std::string, std::vector<std::string>> targetNames_;
  std::map<std::tuple<size_t, std::string, Path>, Curve> curves_;
  std::vector<std::string> clipNames_;
};

}  // namespace kiln::standalone
