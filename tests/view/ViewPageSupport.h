#pragma once
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "reader/ChunkFile.h"
#include "standalone/SceneFile.h"
#include "support/ExportHarness.h"
#include "view/PageModel.h"
#include "view/SideFiles.h"

namespace kiln::testing {

inline const std::filesystem::path kExampleFolder =
    std::filesystem::path(KILN_SOURCE_DIR) / "examples";

// Exports an example scene with the examples' configuration (car settings,
// shader map) through the harness.
inline void ExportExample(ExportHarness& h, const char* scene, const char* output,
                          const std::function<void(standalone::Scene&)>& edit = {}) {
  for (const auto& entry : std::filesystem::directory_iterator(kExampleFolder / "config")) {
    std::filesystem::copy_file(entry.path(), h.ConfigFolder() / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing);
  }
  auto loaded = standalone::LoadSceneFile(kExampleFolder / scene);
  if (edit) edit(*loaded);
  h.answers.push_back(6);  // overwrite an existing .ini
  ASSERT_NE(h.Export(*loaded, output, true), 0);
}

// The page model of an exported file, as `kiln view` builds it.
inline view::PageModel ModelOf(const std::string& path, reader::ChunkFile& file) {
  file = reader::ReadChunkFile(path);
  view::PageInput input{path, 0, &file, "", view::ReadSideFiles(path)};
  return view::BuildPageModel(input);
}

template <typename T>
std::vector<T> Values(const view::PageModel& page, const nlohmann::json& ref) {
  std::vector<T> values(ref["n"].get<size_t>());
  if (!values.empty())
    std::memcpy(values.data(), page.blob.Bytes().data() + ref["o"].get<size_t>(),
                values.size() * sizeof(T));
  return values;
}

// Names of the nodes, objects and tracks of a page.
inline std::set<std::string> Names(const nlohmann::json& data) {
  std::set<std::string> names;
  for (const char* list : {"nodes", "objects", "tracks"}) {
    for (const auto& entry : data[list]) names.insert(entry["name"].get<std::string>());
  }
  return names;
}

}  // namespace kiln::testing
