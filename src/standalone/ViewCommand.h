#pragma once
#include <string>

#include "view/ThreeLibrary.h"

namespace kiln::standalone {

struct ViewOptions {
  std::string file;
  std::string output;   // default: FILE.html beside the file
  bool strict = false;  // a file the reader rejects fails (exit 4) and writes no page
  std::string threeFolder = view::kThreeFolder;
};

// `kiln view FILE`: writes a self-contained inspector page of an exported
// file with its side files. A file the reader rejects still gets a page that
// shows the error (exit 1), unless strict.
int RunViewCommand(const ViewOptions& options);

}  // namespace kiln::standalone
