#pragma once
#include <string>

namespace kiln::standalone {

// What `kiln convert` was asked to do.
struct ConvertOptions {
  std::string asset;
  std::string scene;  // the .kscene.json file to write
  std::string clip;   // name or index; empty: the first
  bool listFormats = false;
};

// `kiln convert ASSET SCENE`: imports an asset and writes it as a scene file,
// with its side file and the asset's embedded images beside it. Returns the
// exit code; messages go to standard error.
int RunConvertCommand(const ConvertOptions& options);

}  // namespace kiln::standalone
