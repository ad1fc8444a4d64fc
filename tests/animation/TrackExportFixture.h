#pragma once
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "animation/KilnAnimationExporter.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "reader/AnimationChunks.h"
#include "reader/ChunkFile.h"
#include "standalone/KeyframeController.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneInterface.h"
#include "util/TempFolder.h"

namespace kiln::testing {

using Ids = std::vector<std::pair<uint32_t, uint32_t>>;
using standalone::Interpolation;
using standalone::Keyframe;

// Hands track requests to the animation exporter, as the walk does, into a
// real file (and stream file), and reads them back: one top-level track
// chunk per request.
class TrackExportTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentLog = &log_; }
  void TearDown() override { CurrentLog = nullptr; }

  reader::ChunkFile Run(standalone::Scene& scene,
                        const std::vector<std::pair<INode*, TrackRequest>>& requests,
                        bool streamed = false) {
    standalone::SceneInterface ip(scene);
    standalone::TransformsHeldStill held(scene);
    const std::string path = folder_.File(streamed ? "tracks.zqa" : "tracks.zqc");
    CZX9_DiskWriter writer, stream;
    writer.Open(path.c_str());
    writer.WriteString("Pangolin scene marker!");
    if (streamed) stream.Open(folder_.File("tracks.str").c_str());
    KilnAnimationExporter exporter(streamed ? &stream : nullptr, &writer, &ip);
    results_.clear();
    for (auto [node, request] : requests) results_.push_back(exporter.ExportTrack(node, request));
    writer.Close();
    if (streamed) stream.Close();
    return reader::ReadChunkFile(path);
  }

  static std::optional<std::string> NameOf(const reader::Chunk& track) {
    return track.As<reader::Track>()->name;
  }
  static Ids IdsOf(const std::vector<reader::Chunk>& chunks) {
    Ids ids;
    for (const reader::Chunk& c : chunks) ids.emplace_back(c.id.type, c.id.subtype);
    return ids;
  }
  // The key blocks below a chunk, depth first.
  static std::vector<const reader::KeyBlock*> KeysIn(const reader::Chunk& chunk) {
    std::vector<const reader::KeyBlock*> blocks;
    if (auto* keys = chunk.As<reader::KeyBlock>()) blocks.push_back(keys);
    for (const reader::Chunk& child : chunk.children) {
      for (auto* keys : KeysIn(child)) blocks.push_back(keys);
    }
    return blocks;
  }
  static std::vector<float> Floats(std::span<const float> values) {
    return {values.begin(), values.end()};
  }

  ExportLog log_;
  std::vector<bool> results_;
  TempFolder folder_;
};

}  // namespace kiln::testing
