#include "standalone/import/SceneSource.h"

#include <stdlib.h>

#include "standalone/SceneFile.h"

namespace kiln::standalone {
namespace fs = std::filesystem;

bool IsSceneFile(const fs::path& file) {
  return file.filename().string().ends_with(".kscene.json");
}

SceneSource::SceneSource(const fs::path& file, const std::string& clip) {
  if (IsSceneFile(file)) {
    scene_ = LoadSceneFile(file);
    return;
  }
  ImportOptions options;
  options.clip = clip;
  options.imagePrefix = file.stem().string() + "_";
  std::string folder = (fs::temp_directory_path() / "kiln-import-XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    throw SceneLoadError(file.string(), {{"", "no private folder for its images can be made"}});
  }
  imageFolder_ = folder;
  options.imageFolder = imageFolder_;
  try {
    asset_ = std::make_unique<ImportedAsset>(ImportAsset(file, options));
    WriteEmbeddedImages(asset_->images);
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(imageFolder_, ignored);
    throw;
  }
  scene_ = std::move(asset_->scene);
}

SceneSource::~SceneSource() {
  std::error_code ignored;
  if (!imageFolder_.empty()) fs::remove_all(imageFolder_, ignored);
}

void PrintImportNotes(const std::vector<ImportNote>& notes, const std::string& file,
                      bool information, std::FILE* out) {
  for (const ImportNote& note : notes) {
    const bool warning = note.level == ImportNote::Level::kWarning;
    if (!warning && !information) continue;
    std::fprintf(out, "kiln: %s: %s: %s\n", warning ? "warning" : "note", file.c_str(),
                 note.text.c_str());
  }
}

}  // namespace kiln::standalone
