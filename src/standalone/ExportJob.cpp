#include "standalone/ExportJob.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>

#include "host/Interface.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/WriteFailures.h"
#include "standalone/ConfigFolderView.h"
#include "standalone/ExitCodes.h"
#include "standalone/ExportSignals.h"
#include "standalone/LargeStack.h"
#include "standalone/ModuleLoader.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneInterface.h"
#include "standalone/TerminalDialog.h"
#include "standalone/TerminalPrompts.h"
#include "standalone/import/SceneSource.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Say(const std::string& text) {
  std::fprintf(stderr, "kiln: %s\n", text.c_str());
}

// The platform services answered by this terminal for one export.
class HandlerGuard {
 public:
  HandlerGuard(TerminalPrompts& prompts, bool dialogOnTerminal, bool& confirmed) {
    platform::SetMessageHandler(
        [&prompts](const platform::MessageRequest& request) { return prompts.Handle(request); });
    platform::SetDialogHandler(
        [&prompts, &confirmed, dialogOnTerminal](const platform::DialogTemplate& dialog,
                                                 platform::DialogState& state) {
          if (!dialogOnTerminal) return platform::IDOK;  // confirmed as stored
          int answer = RunDialogOnTerminal(dialog, state, stdin, stderr);
          if (answer == platform::IDOK) confirmed = true;
          if (answer != platform::IDOK) prompts.MarkCancelled();
          return answer;
        });
  }
  ~HandlerGuard() {
    platform::SetMessageHandler({});
    platform::SetDialogHandler({});
  }
};

// What tells whether an export wrote a file: the writer puts a new file in
// place (a new inode), a log is rewritten (a new time or size). File times
// alone would not do: they come from a coarse clock.
struct FileStamp {
  bool exists = false;
  ino_t inode = 0;
  timespec modified{};
  off_t size = 0;

  static FileStamp Of(const fs::path& file) {
    struct stat info;
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    return {true, info.st_ino, info.st_mtim, info.st_size};
  }
  bool WrittenAfter(const FileStamp& before) const {
    if (!exists) return false;
    return !before.exists || inode != before.inode || size != before.size ||
           modified.tv_sec != before.modified.tv_sec || modified.tv_nsec != before.modified.tv_nsec;
  }
};

// The files an export may write, stamped before it runs, to tell afterwards
// which it wrote.
class WrittenFiles {
 public:
  WrittenFiles(std::vector<fs::path> files, fs::path textureFolder)
      : files_(std::move(files)), textures_(std::move(textureFolder)) {
    for (const fs::path& file : files_) before_[file] = FileStamp::Of(file);
    for (const fs::path& file : Textures()) before_[file] = FileStamp::Of(file);
  }

  bool Wrote(const fs::path& file) const {
    auto before = before_.find(file);
    return FileStamp::Of(file).WrittenAfter(before == before_.end() ? FileStamp{} : before->second);
  }

  std::vector<WrittenFile> List() const {
    std::vector<WrittenFile> written;
    std::vector<fs::path> all = files_;
    for (const fs::path& file : Textures()) all.push_back(file);
    for (const fs::path& file : all) {
      if (Wrote(file))
        written.push_back({file.string(), static_cast<uintmax_t>(FileStamp::Of(file).size)});
    }
    return written;
  }

 private:
  std::vector<fs::path> Textures() const {
    std::vector<fs::path> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(textures_, error)) {
      if (entry.is_regular_file(error)) found.push_back(entry.path());
    }
    return found;
  }

  std::vector<fs::path> files_;
  fs::path textures_;
  std::map<fs::path, FileStamp> before_;
};

// The messages of a log file: its lines after the two head lines. A few
// messages end in a line break of their own ("error computing collision
// mapping for node: %s\n"), which leaves a blank line: it is no message.
std::vector<std::string> LoggedLines(const fs::path& log) {
  std::vector<std::string> lines;
  std::ifstream in(log);
  std::string line;
  int header = 2;  // "*** Errors exporting" (or the like) and a blank line
  while (std::getline(in, line)) {
    if (header > 0) {
      --header;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// When a log file could not be written, the failures recorded are the only
// account of what went wrong: every one is told.
void ReportUnwrittenLogs(const std::vector<platform::WriteFailure>& failures,
                         const std::vector<fs::path>& logs) {
  bool logFailed = false;
  for (const auto& failure : failures) {
    for (const auto& log : logs) logFailed = logFailed || failure.file == log.string();
  }
  if (!logFailed) return;
  Say("the log files could not be written:");
  for (const auto& failure : failures) {
    Say("  " + failure.file + ": " + platform::SystemErrorText(failure.error));
  }
}

// The errors that were not already shown as messages, each once.
std::vector<std::string> NotShown(const std::vector<std::string>& errors,
                                  std::vector<std::string> shown) {
  std::vector<std::string> left;
  for (const std::string& error : errors) {
    auto same = std::find(shown.begin(), shown.end(), error);
    if (same == shown.end()) {
      left.push_back(error);
    } else {
      shown.erase(same);
    }
  }
  return left;
}

bool AnySelected(Scene& scene) {
  for (const auto& node : scene.Nodes()) {
    if (!node->IsRoot() && node->selected) return true;
  }
  return false;
}

fs::path WithSuffix(const fs::path& base, const char* suffix) {
  fs::path path = base;
  path += suffix;
  return path;
}

}  // namespace

fs::path WrittenName(const fs::path& output) {
  std::string name = output.filename().string();
  for (char& c : name) {
    if (c == ' ') c = '_';
  }
  return output.parent_path() / name;
}

std::string CountOf(size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

ExportJob::ExportJob(const ExportOptions& options, ExporterModule& module, std::string scene,
                     fs::path output)
    : options_(options),
      module_(module),
      chosen_(fs::absolute(output)),
      output_(WrittenName(chosen_)) {
  outcome_.scene = std::move(scene);
  outcome_.output = output_.string();
  started_ = Now();
}

ExportJob::~ExportJob() = default;

void ExportJob::Finish(int code, const std::string& result, const std::string& message) {
  outcome_.exitCode = code;
  outcome_.result = result;
  outcome_.message = message;
  outcome_.seconds = Now() - started_;
  Say(message);
}

bool ExportJob::Prepare() {
  try {
    source_ = std::make_unique<SceneSource>(outcome_.scene, options_.clip);
    scene_ = &source_->scene();
    if (const ImportedAsset* asset = source_->Asset()) {
      PrintImportNotes(asset->notes, outcome_.scene, /*information=*/false, stderr);
      for (const ImportNote& note : asset->notes) {
        if (note.level == ImportNote::Level::kWarning)
          importWarnings_.push_back(outcome_.scene + ": " + note.text);
      }
    }
  } catch (const UnknownClip& error) {
    const std::string text = outcome_.scene + ": " + error.what();
    outcome_.errors.push_back(text);
    Finish(kExitUsage, "failed", text);
    return false;
  } catch (const SceneLoadError& error) {
    for (const SceneFileProblem& problem : error.Problems())
      outcome_.errors.push_back((problem.path.empty() ? "" : problem.path + ": ") +
                                problem.message);
    std::string text = error.what();
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
      text.replace(at, 1, "\nkiln: ");
    Finish(kExitFailure, "failed", text);
    return false;
  }

  fs::path folder = options_.configDir;
  if (folder.empty() && !scene_->pluginConfigDir.empty()) {
    folder = scene_->pluginConfigDir;
    if (std::string problem = FolderProblem(folder); !problem.empty()) {
      std::string text = outcome_.scene + ": the configuration folder it names (pluginConfigDir) " +
                         folder.string() + " " + problem;
      outcome_.errors.push_back(text);
      Finish(kExitFailure, "failed", text);
      return false;
    }
  }
  if (folder.empty()) folder = DefaultConfigDir();
  outcome_.configDir = fs::absolute(folder).string();
  try {
    config_ = std::make_unique<ConfigFolderView>(folder, options_.settings, options_.resetSettings);
  } catch (const ConfigViewError& error) {
    outcome_.errors.push_back(error.what());
    Finish(kExitFailure, "failed", error.what());
    return false;
  }
  outcome_.settings = config_->Used();
  scene_->pluginConfigDir = config_->Path();
  return true;
}

std::vector<std::string> ExportJob::TemporaryPaths() const {
  return config_ ? config_->Paths() : std::vector<std::string>{};
}

std::string ExportJob::InterruptedText() const {
  return "nothing was exported: " + output_.string() + " and its side files are as they were";
}

void ExportJob::KeepSettings(bool dialogConfirmed) {
  if (!config_->ModuleSaved()) return;
  std::string record;  // the settings the module saved
  if (!options_.saveSettings && !dialogConfirmed) {
    if (!options_.resetSettings) return;
    record = DefaultSettingsRecord();
  }
  bool written = false;
  std::string problem = config_->Keep(&written, record);
  if (!problem.empty()) {
    outcome_.errors.push_back(problem);
    Say("error: " + problem);
  }
  outcome_.settingsSaved = written;
  if (written) Say("settings saved in " + config_->RealFile().string());
}

void ExportJob::Run() {
  const fs::path base = output_.parent_path() / output_.stem();
  const fs::path ini = WithSuffix(base, ".ini"), shaderIni = WithSuffix(base, "_shaders.ini");
  const fs::path errorsLog = WithSuffix(base, "_errors.log");
  const fs::path warningsLog = WithSuffix(base, "_warnings.log");
  const fs::path informationsLog = WithSuffix(base, "_informations.log");
  std::vector<fs::path> watched = {output_,   ini,         shaderIni,      WithSuffix(base, ".cfg"),
                                   errorsLog, warningsLog, informationsLog};
  if (output_.extension() == ".zqa") watched.insert(watched.begin() + 1, WithSuffix(base, ".str"));
  WrittenFiles files(watched, output_.parent_path() / "textures");

  std::vector<std::string> hostWarnings;
  if (options_.selected && !AnySelected(*scene_)) {
    hostWarnings.push_back("--selected: no node of " + outcome_.scene +
                           " is selected, so no node is exported");
    Say("warning: " + hostWarnings.back());
  }

  std::unique_ptr<SceneExport> exporter =
      module_.CreateExporterFor(output_.extension().string().substr(1));
  const bool interactive = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
  const bool showBar = ::isatty(STDERR_FILENO);
  ProgressBar bar(stderr);
  TerminalPrompts prompts(stdin, stderr, interactive, &bar);
  prompts.SetQuestionAnswer(options_.iniAnswer);
  prompts.ExplainQuestion("Overwrite existing .ini file",
                          ini.string() +
                              " exists (from an earlier export, perhaps edited since).\n" +
                              "  yes     empty it and " + shaderIni.filename().string() +
                              "; this export writes its entries into them\n" +
                              "  no      keep the existing .ini files as they are; this export "
                              "writes no .ini entries\n" +
                              "  cancel  export nothing");
  bool dialogConfirmed = false;
  HandlerGuard handlers(prompts, interactive && !options_.quiet, dialogConfirmed);

  SceneInterface ip(*scene_);
  ip.SetProgressObserver([&bar, showBar](const ProgressEvent& event) {
    // The walk is over when the progress window ends: what follows puts the
    // finished files in place, which a signal must not cut in two.
    if (event.kind == ProgressEvent::Kind::kEnd) ExportSignals::Defer();
    if (!showBar) return;
    if (event.kind == ProgressEvent::Kind::kStart)
      bar.Start(event.title);
    else if (event.kind == ProgressEvent::Kind::kUpdate)
      bar.Update(event.percent);
    else
      bar.End();
  });

  ExpInterface ei;
  int result = 0;
  platform::TakeWriteFailures();  // only this export's
  RunWithLargeStack([&] {
    TransformsHeldStill held(*scene_);
    result = exporter->DoExport(chosen_.c_str(), &ei, &ip, options_.quiet ? 1 : 0,
                                options_.selected ? SCENE_EXPORT_SELECTED : 0);
  });
  bar.End();

  outcome_.settings = config_->Used();
  if (prompts.Unanswered()) {
    Finish(kExitUsage, "unanswered",
           ini.string() + " exists and nobody answered \"" + *prompts.Unanswered() +
               "\": pass --ini overwrite, --ini keep or --ini cancel");
    return;
  }
  if (prompts.Cancelled()) {
    Finish(kExitCancelled, "cancelled",
           "export cancelled; nothing was written: " + output_.string() +
               " and its side files are as they were");
    return;
  }

  if (files.Wrote(errorsLog)) outcome_.errors = LoggedLines(errorsLog);
  if (files.Wrote(warningsLog)) outcome_.warnings = LoggedLines(warningsLog);
  const size_t loggedErrors = outcome_.errors.size(), loggedWarnings = outcome_.warnings.size();
  for (std::string& warning : hostWarnings) outcome_.warnings.push_back(std::move(warning));
  for (const std::string& warning : importWarnings_) outcome_.warnings.push_back(warning);
  for (const std::string& error : NotShown(outcome_.errors, prompts.Shown()))
    Say("error: " + error);
  ReportUnwrittenLogs(platform::TakeWriteFailures(), {errorsLog, warningsLog, informationsLog});
  if (!config_->GaveValidRecord()) {
    Say(config_->RealFile().string() +
        " holds no settings of this exporter (another version, cut off or empty); "
        "--reset-settings writes the defaults");
  }
  KeepSettings(dialogConfirmed);
  outcome_.files = files.List();

  const bool completed = result && files.Wrote(output_);
  if (int signal = ExportSignals::Deferred()) {
    outcome_.signal = signal;
    Finish(ExitCodeForSignal(signal), signal == SIGINT ? "interrupted" : "terminated",
           std::string(signal == SIGINT ? "interrupted" : "terminated") +
               " at the end of the export: " + output_.string() +
               (completed ? " and its side files are the new ones" : " was not written"));
    return;
  }

  std::string logs;
  if (loggedErrors > 0) logs = errorsLog.string();
  if (loggedWarnings > 0) logs += (logs.empty() ? "" : " and ") + warningsLog.string();
  std::string see = logs.empty() ? "" : " (see " + logs + ")";
  const size_t errors = outcome_.errors.size(), warnings = outcome_.warnings.size();
  std::string counts = CountOf(errors, "error");
  if (warnings > 0)
    counts =
        errors > 0 ? counts + " and " + CountOf(warnings, "warning") : CountOf(warnings, "warning");
  if (!completed) {
    Finish(kExitFailure, "failed",
           "export failed; " + output_.string() + " was not written" +
               (errors > 0
                    ? " (" + CountOf(errors, "error") + (logs.empty() ? "" : ", see " + logs) + ")"
                    : ""));
  } else if (errors > 0) {
    Finish(kExitExportedWithErrors, "exported with errors",
           "exported " + output_.string() + " with " + counts + see);
  } else {
    Finish(kExitSuccess, "exported",
           "exported " + output_.string() + (warnings > 0 ? " with " + counts + see : ""));
  }
}

}  // namespace kiln::standalone
