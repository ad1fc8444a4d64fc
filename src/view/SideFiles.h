#pragma once
#include <string>
#include <vector>

#include "view/PageModel.h"

namespace kiln::view {

// The side files an export writes beside FILE (FILE's base name with ".ini",
// "_shaders.ini", ".cfg", "_errors.log", "_warnings.log",
// "_informations.log"), those that exist, in that order. A file longer than
// maxBytes is cut there, and says so.
std::vector<SideFile> ReadSideFiles(const std::string& exportedFile, size_t maxBytes = 8u << 20);

}  // namespace kiln::view
