#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kiln {

// The parts of a file path, split at both '\' and '/'. A part that the path
// does not have is std::nullopt; a part that is there but empty is "" (the file
// name of "C:\out\", the extension of "walk.").
struct PathParts {
  // Fills the five parts from path, replacing earlier ones. Paths of any
  // length are split whole.
  void Split(std::string_view path);

  std::optional<std::string> path;       // the whole path
  std::optional<std::string> folder;     // up to and including the last separator
  std::optional<std::string> baseName;   // the file name without its extension
  std::optional<std::string> fileName;   // everything after the last separator
  std::optional<std::string> extension;  // after the last '.' of the file name, no dot
};

}  // namespace kiln
