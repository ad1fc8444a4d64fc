#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standalone/ExportCommand.h"
#include "standalone/SettingsOverrides.h"

namespace kiln::standalone {

class ExporterModule;
class ConfigFolderView;
class Scene;
class SceneSource;

// A file an export wrote, with its size in bytes.
struct WrittenFile {
  std::string path;
  uintmax_t size = 0;
};

// How one export ended: what `kiln` printed a line about and what the report
// tells.
struct ExportOutcome {
  std::string scene;
  std::string output;   // the file name as the exporter writes it
  int exitCode = 0;     // as for a single export
  std::string result;   // "exported", "exported with errors", "failed", "cancelled",
                        // "unanswered", "interrupted" or "terminated"
  std::string message;  // the closing line, without "kiln: "
  std::vector<WrittenFile> files;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  std::string configDir;                 // the configuration folder it used
  std::optional<SettingFlags> settings;  // the settings it ran with
  bool settingsSaved = false;
  double seconds = 0;
  int signal = 0;  // a signal that arrived while the files were put in place
};

// One export of a scene into an output file, as `kiln export` runs it.
// Prepare loads the scene and sets up the configuration folder; Run hands
// them to the module. Each prints its messages on standard error.
class ExportJob {
 public:
  ExportJob(const ExportOptions& options, ExporterModule& module, std::string scene,
            std::filesystem::path output);
  ~ExportJob();

  // False when the export cannot start; Outcome() then says why.
  bool Prepare();
  // The paths a signal must remove while the export runs.
  std::vector<std::string> TemporaryPaths() const;
  // The text a signal prints while the export runs, after "kiln: interrupted; ".
  std::string InterruptedText() const;
  void Run();
  const ExportOutcome& Outcome() const { return outcome_; }

 private:
  void Finish(int code, const std::string& result, const std::string& message);
  void KeepSettings(bool dialogConfirmed);

  const ExportOptions& options_;
  ExporterModule& module_;
  std::filesystem::path chosen_;         // the output name as given
  std::filesystem::path output_;         // as the exporter writes it (blanks fixed)
  std::unique_ptr<SceneSource> source_;  // the scene file, or the asset imported
  Scene* scene_ = nullptr;
  std::vector<std::string> importWarnings_;  // what the asset's import could not carry
  std::unique_ptr<ConfigFolderView> config_;
  ExportOutcome outcome_;
  double started_ = 0;
};

// The name the exporter writes for an output name: blanks in the file name
// become underscores.
std::filesystem::path WrittenName(const std::filesystem::path& output);

// "1 error", "3 warnings".
std::string CountOf(size_t count, const char* noun);

}  // namespace kiln::standalone
