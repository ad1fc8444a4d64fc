#pragma once
#include <string>
#include <vector>

namespace kiln::standalone {

// `kiln check SCENE...`: loads and validates each scene file without
// exporting it and lists every problem found, one a line on standard output
// as "FILE: JSON-PATH: what is wrong". Exit status 0 when every scene is
// sound, 4 when one has problems, 2 for a file that does not exist.
int RunCheckCommand(const std::vector<std::string>& scenes);

}  // namespace kiln::standalone
