#pragma once
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "standalone/Scene.h"
#include "standalone/SceneLoadError.h"

namespace kiln::standalone {

// The native scene file, ".kscene.json" (described in docs/kscene-format.md).

// Loads a scene file and validates the scene. Throws SceneLoadError naming
// the file, the JSON path and what was expected; no scene exists then.
std::unique_ptr<Scene> LoadSceneFile(const std::filesystem::path& file);

// The same from text. fileName names the text in messages; side files and
// the plug-in configuration folder are found relative to baseDir.
std::unique_ptr<Scene> ReadSceneText(std::string_view text, const std::string& fileName,
                                     const std::filesystem::path& baseDir = {});

struct SceneWriteOptions {
  // Number arrays of at least this many numbers go to a binary side file
  // beside the scene file (its name with ".bin" for ".kscene.json").
  size_t sideFileThreshold = SIZE_MAX;
  int indent = 2;
};

// Writes a scene file (and its side file when arrays go there). Paths in the
// file are written relative to the file's folder. Throws std::runtime_error
// when a file cannot be written, std::logic_error for scene contents the
// format cannot say (objects or controllers of unknown C++ types).
void WriteSceneFile(const Scene& scene, const std::filesystem::path& file,
                    const SceneWriteOptions& options = {});

// The scene as text, every array inline.
std::string WriteSceneText(const Scene& scene, const std::filesystem::path& baseDir = {});

// Writes a file through a temporary name, so a failed write keeps the old
// file. Throws std::runtime_error naming the file.
void WriteFileAtomically(const std::filesystem::path& file, const char* data, size_t size);

// The side file name that goes with a scene file: "car.kscene.json" -> "car.bin".
std::filesystem::path SideFileName(const std::filesystem::path& sceneFile);

}  // namespace kiln::standalone
