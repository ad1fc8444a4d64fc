#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "reader/SceneChunks.h"
#include "standalone/SceneFile.h"
#include "support/ExportHarness.h"

// Scenes for the node exporter tests, written as scene files.
namespace kiln::testing {

using Ids = std::vector<std::pair<uint32_t, uint32_t>>;

// A scene of these nodes (the "nodes" list of a scene file) at 30 frames a
// second over frames 0 to 30.
inline std::unique_ptr<standalone::Scene> SceneOf(const std::string& nodes) {
  const std::string text =
      R"({"format": "kscene", "version": 1, "animRange": [0, 4800], "nodes": [)" + nodes + "]}";
  return standalone::ReadSceneText(text, "test.kscene.json", "");
}

// The top-level chunk of the node of that name.
inline const reader::Chunk* NodeChunk(const reader::ChunkFile& file, const std::string& name) {
  for (const reader::Chunk& chunk : file.chunks) {
    if (!chunk.decoded || chunk.id.type == 6) continue;
    const auto fields = chunk.decoded->Fields();
    if (fields.contains("name") && fields["name"] == name) return &chunk;
  }
  return nullptr;
}

// The names of the top-level tracks, in file order.
inline std::vector<std::string> TrackNames(const reader::ChunkFile& file) {
  std::vector<std::string> names;
  for (const reader::Chunk& chunk : file.chunks) {
    if (const auto* track = chunk.As<reader::Track>()) names.push_back(track->name.value_or(""));
  }
  return names;
}

inline std::vector<float> Floats(const nlohmann::ordered_json& values) {
  return values.get<std::vector<float>>();
}

}  // namespace kiln::testing
