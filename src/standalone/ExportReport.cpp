#include "standalone/ExportReport.h"

#include <cerrno>
#include <cstdio>
#include <map>

#include "platform/FileSystem.h"
#include "reader/ChunkFile.h"
#include "standalone/SettingsOverrides.h"

namespace kiln::standalone {
namespace {

using Json = ExportReport::Json;

// The exporter that writes each kind of node chunk (type, subtype; -1 any).
struct NodeChunk {
  uint32_t type;
  int subtype;
  const char* exporter;
};
constexpr NodeChunk kNodeChunks[] = {
    {0, -1, "MeshExporter"},          {1, -1, "LightExporter"},
    {2, -1, "CameraExporter"},        {3, 13, "DummyExporter"},
    {3, 14, "BoneExporter"},          {3, 16, "BoxHelperExporter"},
    {4, -1, "IKChainObjectExporter"}, {16, -1, "DamageMeshExporter"},
    {17, -1, "ShadowMeshExporter"},   {22, -1, "DefaultNodeExporter"},
};

const char* ExporterOf(const reader::Chunk& chunk) {
  // A (22, ...) chunk is also what an IK chain track holds when it could not be written.
  if (chunk.id.type == 22 && (!chunk.decoded || chunk.decoded->Kind() != "default node"))
    return nullptr;
  for (const NodeChunk& node : kNodeChunks) {
    if (node.type == chunk.id.type &&
        (node.subtype < 0 || static_cast<uint32_t>(node.subtype) == chunk.id.subtype))
      return node.exporter;
  }
  return nullptr;
}

void Count(const std::vector<reader::Chunk>& chunks, std::map<std::string, int>& kinds,
           std::map<std::string, int>& nodes) {
  for (const reader::Chunk& chunk : chunks) {
    ++kinds[chunk.decoded ? std::string(chunk.decoded->Kind()) : reader::ToString(chunk.id)];
    if (const char* exporter = ExporterOf(chunk)) ++nodes[exporter];
    Count(chunk.children, kinds, nodes);
  }
}

const char* KindName(const std::string& output) {
  static const std::map<std::string, const char*> kinds = {
      {".zqs", "scene"}, {".zqh", "human character"}, {".zqc", "car"}, {".zqa", "animation"}};
  size_t dot = output.rfind('.');
  auto found = kinds.find(dot == std::string::npos ? "" : output.substr(dot));
  return found == kinds.end() ? "unknown" : found->second;
}

Json Entry(const std::string& scene, const std::string& output) {
  Json entry;
  entry["scene"] = scene;
  entry["output"] = output;
  entry["kind"] = KindName(output);
  return entry;
}

}  // namespace

ExportReport::ExportReport(std::string target, std::string modulePath, unsigned moduleVersion,
                           unsigned long hostVersion)
    : target_(std::move(target)) {
  char host[16];
  std::snprintf(host, sizeof host, "0x%08lX", hostVersion);
  module_ = {{"path", modulePath}, {"version", moduleVersion}, {"host_version", host}};
}

std::string ExportReport::Open() {
  if (ToStandardOutput() || file_.Create(target_)) return {};
  return "--report: cannot write " + target_ + ": " + platform::SystemErrorText(errno);
}

void ExportReport::Add(const ExportOutcome& outcome) {
  Json entry = Entry(outcome.scene, outcome.output);
  entry["result"] = outcome.result;
  entry["exit_status"] = outcome.exitCode;
  entry["wall_time_seconds"] = outcome.seconds;
  Json files = Json::array();
  bool outputWritten = false;
  for (const WrittenFile& file : outcome.files) {
    files.push_back({{"path", file.path}, {"size", file.size}});
    outputWritten = outputWritten || file.path == outcome.output;
  }
  entry["files"] = std::move(files);
  std::map<std::string, int> kinds, nodes;
  if (outputWritten) {
    try {
      Count(reader::ReadChunkFile(outcome.output).chunks, kinds, nodes);
    } catch (const std::exception&) {
      // Counted as far as it reads: a file the exporter wrote always reads.
    }
  }
  entry["chunks"] = kinds;
  entry["nodes"] = nodes;
  entry["errors"] = outcome.errors;
  entry["warnings"] = outcome.warnings;
  entry["config_dir"] = outcome.configDir;
  if (outcome.settings) {
    Json settings = Json::object();
    for (int i = 0; i < kSettingCount; ++i)
      settings[kSettingNames[i]] = (*outcome.settings)[i] != 0;
    entry["settings"] = std::move(settings);
  } else {
    entry["settings"] = nullptr;
  }
  entry["settings_saved"] = outcome.settingsSaved;
  entries_.push_back(std::move(entry));
}

std::string ExportReport::Document(int exitCode, double seconds, const std::string* currentScene,
                                   const std::string* currentOutput, const char* currentResult,
                                   const std::vector<std::string>& notStarted) const {
  Json document;
  document["kiln_version"] = KILN_VERSION;
  document["module"] = module_;
  document["exit_status"] = exitCode;
  document["wall_time_seconds"] = seconds;
  Json exports = Json::array();
  for (const Json& entry : entries_) exports.push_back(entry);
  if (currentScene) {
    Json entry = Entry(*currentScene, *currentOutput);
    entry["result"] = currentResult;
    entry["exit_status"] = exitCode;
    exports.push_back(std::move(entry));
  }
  document["exports"] = std::move(exports);
  document["not_started"] = notStarted;
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::string ExportReport::Write(const std::string& document) {
  if (ToStandardOutput()) {
    std::fwrite(document.data(), 1, document.size(), stdout);
    return std::fflush(stdout) == 0 ? "" : "--report: cannot write to standard output";
  }
  if (file_.WriteAt(document.data(), document.size(), 0) && file_.Commit()) return {};
  return "--report: cannot write " + target_ + ": " + platform::SystemErrorText(errno);
}

}  // namespace kiln::standalone
