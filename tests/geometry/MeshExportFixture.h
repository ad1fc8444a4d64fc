#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "host/INode.h"
#include "io/CZX9_DiskWriter.h"
#include "platform/DebugOutput.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "reader/ChunkFile.h"
#include "reader/MeshChunks.h"
#include "scene/NodeExporter.h"
#include "util/TempFolder.h"

namespace kiln::testing {

// A host point as the files carry it: y and z exchanged.
inline reader::Float3 InOutputAxes(const Point3& host) {
  return {host.x, host.z, host.y};
}

// Runs node exporters into a real file and reads it back. Each export is
// followed by a marker chunk (20, 0, 1), as the walk follows a failed export
// with the fallback chunk, so a dropped chunk shows as the marker at its place.
class MeshExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CurrentLog = &log_;
    platform::SetDebugOutputSink([this](const char* text) { debugLines_.push_back(text); });
  }
  void TearDown() override {
    CurrentLog = nullptr;
    platform::SetDebugOutputSink(nullptr);
  }

  // Exports with the node's evaluated object; returns what Export returned.
  int Export(NodeExporter& exporter, INode* node) {
    if (!writer_.IsOpen()) {
      writer_.Open(folder_.File("out.zqs").c_str());
      writer_.WriteString("Pangolin scene marker!");
    }
    const int result = exporter.Export(&writer_, node->EvalWorldState(0).obj);
    writer_.BeginChunk(20, 0, 1);
    writer_.WriteFloat(0.0f);
    writer_.WriteFloat(1.0f);
    writer_.EndChunk();
    return result;
  }

  reader::ChunkFile Read() {
    writer_.Close();
    return reader::ReadChunkFile(folder_.File("out.zqs"));
  }

  // The decoded payload of chunk i of the file, which must be a T.
  template <typename T>
  static std::shared_ptr<const T> Decoded(const reader::ChunkFile& file, size_t i = 0) {
    auto payload = std::dynamic_pointer_cast<const T>(file.chunks.at(i).decoded);
    if (payload == nullptr)
      throw std::runtime_error("chunk " + std::to_string(i) + " is no " + typeid(T).name());
    return payload;
  }
  // The mesh chunk the file starts with.
  std::shared_ptr<const reader::MeshChunk> ReadMesh() { return Decoded<reader::MeshChunk>(Read()); }

  bool Logged(const std::vector<std::string>& lines, const std::string& text) const {
    for (const std::string& line : lines)
      if (line == text) return true;
    return false;
  }

  ExportLog log_;
  std::vector<std::string> debugLines_;
  TempFolder folder_;
  CZX9_DiskWriter writer_;
};

}  // namespace kiln::testing
