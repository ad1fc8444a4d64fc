#pragma once
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "reader/ChunkFile.h"
#include "standalone/Scene.h"
#include "util/TempFolder.h"

namespace kiln::testing {

// Runs exports of in-memory scenes through the exporter's entry point into a
// fresh folder, the way the host would, and records what the artist would
// have seen: message boxes, questions, dialogs, progress and debugger lines.
class ExportHarness {
 public:
  ExportHarness();
  ~ExportHarness();

  // Exports scene to fileName inside the output folder; returns DoExport's result.
  int Export(standalone::Scene& scene, const std::string& fileName, bool suppressPrompts = false,
             uint32_t options = 0);

  std::string OutPath(const std::string& name) const { return (out_ / name).string(); }
  std::string ConfigPath(const std::string& name) const { return (config_ / name).string(); }
  const std::filesystem::path& ConfigFolder() const { return config_; }
  bool Exists(const std::string& name) const { return std::filesystem::exists(out_ / name); }
  std::string ReadText(const std::string& name) const;
  void WriteText(const std::string& name, const std::string& text) const;
  reader::ChunkFile Read(const std::string& name) const;

  // Answers to questions, in order; a question without one is cancelled.
  std::deque<int> answers;
  // Result of the settings dialog (IDOK or IDCANCEL) and edits made on OK.
  int dialogAnswer = platform::IDOK;
  std::vector<std::pair<int, int>> dialogEdits;  // (control id, state)
  // Cancel the walk when progress reaches this many updates (-1: never).
  int cancelAfterUpdates = -1;

  std::vector<platform::MessageRequest> messages;  // boxes and questions, in order
  std::vector<platform::DialogState> dialogsShown;
  std::vector<std::string> debugLines;
  std::vector<int> progressPercents;
  std::vector<std::string> progressTitles;

 private:
  TempFolder folder_;
  std::filesystem::path out_;
  std::filesystem::path config_;
};

// A scene of one plain node under the root.
std::unique_ptr<standalone::Scene> OneNodeScene();

// Top-level chunk ids of a file, in order, as (type, subtype) pairs.
std::vector<std::pair<uint32_t, uint32_t>> TopLevelIds(const reader::ChunkFile& file);

}  // namespace kiln::testing
