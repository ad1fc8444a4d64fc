#include "util/PathParts.h"

namespace kiln {

void PathParts::Split(std::string_view whole) {
  path = std::string(whole);
  size_t separator = whole.find_last_of("\\/");
  std::string_view name = whole;
  if (separator == std::string_view::npos) {
    folder.reset();
  } else {
    folder = std::string(whole.substr(0, separator + 1));
    name = whole.substr(separator + 1);
  }
  fileName = std::string(name);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    baseName = fileName;
    extension.reset();
  } else {
    baseName = std::string(name.substr(0, dot));
    extension = std::string(name.substr(dot + 1));
  }
}

}  // namespace kiln
