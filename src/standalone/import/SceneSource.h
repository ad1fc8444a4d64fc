#pragma once
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "standalone/Scene.h"
#include "standalone/import/AssetImport.h"

namespace kiln::standalone {

// A scene the command line exports or describes: a native scene file, or an
// asset imported on the fly, whose embedded images then live in a private
// folder until the scene goes.
class SceneSource {
 public:
  // Loads file: a ".kscene.json" file as a scene file, anything else as an
  // asset (clip picks its animation clip). Throws SceneLoadError, or
  // UnknownClip for a clip the asset lacks.
  SceneSource(const std::filesystem::path& file, const std::string& clip);
  ~SceneSource();
  SceneSource(const SceneSource&) = delete;
  SceneSource& operator=(const SceneSource&) = delete;

  Scene& scene() { return *scene_; }
  std::unique_ptr<Scene>& ScenePointer() { return scene_; }
  // The import's account; empty for a scene file.
  const ImportedAsset* Asset() const { return asset_ ? &*asset_ : nullptr; }

 private:
  std::unique_ptr<Scene> scene_;
  std::unique_ptr<ImportedAsset> asset_;
  std::filesystem::path imageFolder_;
};

bool IsSceneFile(const std::filesystem::path& file);

// Prints an import's warnings (and, with information, its other notes) to
// out, one line each: "kiln: warning: FILE: text".
void PrintImportNotes(const std::vector<ImportNote>& notes, const std::string& file,
                      bool information, std::FILE* out);

}  // namespace kiln::standalone
