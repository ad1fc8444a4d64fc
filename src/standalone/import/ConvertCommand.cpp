#include "standalone/import/ConvertCommand.h"

#include <cstdio>
#include <filesystem>

#include "standalone/ExitCodes.h"
#include "standalone/OutputNames.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneLoadError.h"
#include "standalone/import/AssetImport.h"
#include "standalone/import/SceneSource.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

// Number arrays from this many numbers on go to the side file.
constexpr size_t kSideFileThreshold = 256;

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "kiln: %s\n", message.c_str());
  return code;
}

}  // namespace

int RunConvertCommand(const ConvertOptions& options) {
  if (options.listFormats) {
    for (const std::string& line : ImportFormats()) std::printf("%s\n", line.c_str());
    return kExitSuccess;
  }
  if (options.asset.empty() || options.scene.empty()) {
    return Fail(kExitUsage,
                "convert needs an asset and the scene file to write (or --list-formats)");
  }
  // kiln reads any other file as an asset, so the scene could not be read back.
  if (!IsSceneFile(options.scene)) {
    return Fail(kExitUsage, "the scene file's name must end in .kscene.json: " + options.scene);
  }
  const fs::path scene = fs::absolute(options.scene);
  if (!fs::is_directory(scene.parent_path())) {
    return Fail(kExitFailure, "output folder " + scene.parent_path().string() + " does not exist");
  }
  ImportOptions import;
  import.clip = options.clip;
  import.imageFolder = scene.parent_path();
  import.imagePrefix = SceneStem(scene) + "_";
  ImportedAsset asset;
  try {
    asset = ImportAsset(options.asset, import);
  } catch (const UnknownClip& error) {
    return Fail(kExitUsage, options.asset + ": " + error.what());
  } catch (const SceneLoadError& error) {
    return Fail(kExitFailure, error.what());
  }
  PrintImportNotes(asset.notes, options.asset, /*information=*/false, stderr);
  try {
    WriteEmbeddedImages(asset.images);
    SceneWriteOptions write;
    write.sideFileThreshold = kSideFileThreshold;
    WriteSceneFile(*asset.scene, scene, write);
  } catch (const std::exception& error) {
    return Fail(kExitFailure, error.what());
  }
  std::fprintf(stderr, "kiln: converted %s to %s (%zu nodes, %zu materials, %zu images)\n",
               options.asset.c_str(), scene.c_str(), asset.scene->Nodes().size() - 1,
               asset.scene->Materials().size(), asset.images.size());
  return kExitSuccess;
}

}  // namespace kiln::standalone
