#include "standalone/ExportCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/Interface.h"
#include "platform/DebugOutput.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/WriteFailures.h"
#include "standalone/ExitCodes.h"
#include "standalone/ExportSignals.h"
#include "standalone/LargeStack.h"
#include "standalone/ModuleLoader.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneInterface.h"
#include "standalone/TerminalDialog.h"
#include "standalone/TerminalPrompts.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

// The platform services answered by this terminal for one export.
class HandlerGuard {
 public:
  HandlerGuard(TerminalPrompts& prompts, bool dialogOnTerminal) {
    platform::SetMessageHandler(
        [&prompts](const platform::MessageRequest& request) { return prompts.Handle(request); });
    platform::SetDialogHandler([&prompts, dialogOnTerminal](const platform::DialogTemplate& dialog,
                                                            platform::DialogState& state) {
      if (!dialogOnTerminal) return platform::IDOK;  // confirmed as stored
      int answer = RunDialogOnTerminal(dialog, state, stdin, stderr);
      if (answer != platform::IDOK) prompts.MarkCancelled();
      return answer;
    });
  }
  ~HandlerGuard() {
    platform::SetMessageHandler({});
    platform::SetDialogHandler({});
  }
};

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "kiln: %s\n", message.c_str());
  return code;
}

// The file name as the exporter writes it: blanks become underscores.
fs::path FixedBase(const fs::path& output) {
  std::string stem = output.stem().string();
  for (char& c : stem) {
    if (c == ' ') c = '_';
  }
  return output.parent_path() / stem;
}

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
    if (::stat(file.c_str(), &info) != 0) return {};
    return {true, info.st_ino, info.st_mtim, info.st_size};
  }
  bool WrittenAfter(const FileStamp& before) const {
    if (!exists) return false;
    return !before.exists || inode != before.inode || size != before.size ||
           modified.tv_sec != before.modified.tv_sec || modified.tv_nsec != before.modified.tv_nsec;
  }
};

// The lines of a log file after its two head lines.
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
    lines.push_back(line);
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
  std::fprintf(stderr, "kiln: the log files could not be written:\n");
  for (const auto& failure : failures) {
    std::fprintf(stderr, "kiln:   %s: %s\n", failure.file.c_str(),
                 platform::SystemErrorText(failure.error).c_str());
  }
}

std::string Extension(const fs::path& output) {
  std::string ext = output.extension().string();
  return ext.empty() ? ext : ext.substr(1);
}

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

}  // namespace

std::string DefaultConfigDir() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    return (fs::path(xdg) / "kiln").string();
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return (fs::path(home) / ".config" / "kiln").string();
  }
  return (fs::current_path() / ".kiln").string();
}

int RunExportCommand(const ExportOptions& options) {
  std::unique_ptr<ExporterModule> module;
  try {
    module = std::make_unique<ExporterModule>(options.plugin.empty() ? DefaultModulePath()
                                                                     : options.plugin);
  } catch (const ModuleError& error) {
    return Fail(kExitFailure, error.what());
  }

  fs::path output = fs::absolute(options.output);
  std::string extension = Extension(output);
  std::unique_ptr<SceneExport> exporter = module->CreateExporterFor(extension);
  if (!exporter) {
    return Fail(kExitUsage, "no exporter writes '." + extension +
                                "' files; known extensions: " + Join(module->Extensions()));
  }
  ExportSignals signals(output.string());
  fs::path folder = output.parent_path();
  if (!fs::is_directory(folder)) {
    return Fail(kExitFailure, "output folder " + folder.string() + " does not exist");
  }
  if (::access(folder.c_str(), W_OK) != 0) {
    return Fail(kExitFailure, "output folder " + folder.string() + " cannot be written");
  }

  std::unique_ptr<Scene> scene;
  try {
    scene = LoadSceneFile(options.scene);
  } catch (const std::exception& error) {
    return Fail(kExitFailure, error.what());
  }
  if (!options.configDir.empty()) scene->pluginConfigDir = options.configDir;
  if (scene->pluginConfigDir.empty()) scene->pluginConfigDir = DefaultConfigDir();
  std::error_code ignored;
  fs::create_directories(scene->pluginConfigDir, ignored);
  if (AnyOverride(options.settings)) {
    std::string problem = ApplySettingOverrides(scene->pluginConfigDir.string(), options.settings);
    if (!problem.empty()) return Fail(kExitFailure, problem);
  }

  bool interactive = ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
  TerminalPrompts prompts(stdin, stderr, interactive);
  prompts.SetQuestionAnswer(options.iniAnswer);
  HandlerGuard handlers(prompts, interactive && !options.quiet);

  SceneInterface ip(*scene);
  ProgressBar bar(stderr);
  const bool showBar = ::isatty(STDERR_FILENO);
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

  fs::path base = FixedBase(output);
  fs::path written = base;
  written += output.extension();
  fs::path ini = base;
  ini += ".ini";
  fs::path errorsLog = base;
  errorsLog += "_errors.log";
  FileStamp outputBefore = FileStamp::Of(written);
  FileStamp errorsBefore = FileStamp::Of(errorsLog);
  fs::path warningsLog = base;
  warningsLog += "_warnings.log";
  fs::path informationsLog = base;
  informationsLog += "_informations.log";
  FileStamp warningsBefore = FileStamp::Of(warningsLog);

  ExpInterface ei;
  int result = 0;
  platform::TakeWriteFailures();  // only this export's
  RunWithLargeStack([&] {
    TransformsHeldStill held(*scene);
    result = exporter->DoExport(output.c_str(), &ei, &ip, options.quiet ? 1 : 0,
                                options.selected ? SCENE_EXPORT_SELECTED : 0);
  });

  if (prompts.Unanswered()) {
    return Fail(kExitUsage, ini.string() + " exists and nobody answered \"" +
                                *prompts.Unanswered() +
                                "\": pass --ini overwrite, --ini keep or --ini cancel");
  }
  if (prompts.Cancelled()) return Fail(kExitCancelled, "export cancelled; nothing was written");

  std::vector<std::string> errors;
  if (FileStamp::Of(errorsLog).WrittenAfter(errorsBefore)) errors = LoggedLines(errorsLog);
  for (const std::string& error : errors) std::fprintf(stderr, "kiln: error: %s\n", error.c_str());
  ReportUnwrittenLogs(platform::TakeWriteFailures(), {errorsLog, warningsLog, informationsLog});
  const bool completed = result && FileStamp::Of(written).WrittenAfter(outputBefore);
  if (int signal = ExportSignals::Deferred()) {
    return Fail(ExitCodeForSignal(signal),
                std::string(signal == SIGINT ? "interrupted" : "terminated") +
                    " at the end of the export: " + written.string() +
                    (completed ? " and its side files are the new ones" : " was not written"));
  }

  if (!completed) {
    return Fail(kExitFailure, "export failed; " + written.string() + " was not written" +
                                  (errors.empty() ? "" : " (see " + errorsLog.string() + ")"));
  }
  if (!errors.empty()) {
    return Fail(kExitExportedWithErrors, "exported " + written.string() + " with " +
                                             std::to_string(errors.size()) + " errors (see " +
                                             errorsLog.string() + ")");
  }
  size_t warnings = 0;
  if (FileStamp::Of(warningsLog).WrittenAfter(warningsBefore)) {
    warnings = LoggedLines(warningsLog).size();
  }
  if (warnings == 0) {
    std::fprintf(stderr, "kiln: exported %s\n", written.c_str());
  } else {
    std::fprintf(stderr, "kiln: exported %s with %zu warnings (see %s)\n", written.c_str(),
                 warnings, warningsLog.c_str());
  }
  return kExitSuccess;
}

}  // namespace kiln::standalone
