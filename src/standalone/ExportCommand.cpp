#include "standalone/ExportCommand.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "host/Plugin.h"
#include "standalone/ExitCodes.h"
#include "standalone/ExportJob.h"
#include "standalone/ExportReport.h"
#include "standalone/ExportSignals.h"
#include "standalone/ModuleLoader.h"
#include "standalone/OutputNames.h"
#include "standalone/import/SceneSource.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "kiln: %s\n", message.c_str());
  return code;
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// How bad an exit status is: a failure, a question left unanswered, a
// cancel, errors, success.
int Severity(int code) {
  switch (code) {
    case kExitSuccess:
      return 0;
    case kExitExportedWithErrors:
      return 1;
    case kExitCancelled:
      return 2;
    case kExitUsage:
      return 3;
    default:
      return 4;
  }
}

struct PlannedExport {
  std::string scene;
  fs::path output;
};

// The exports asked for, each checked before any is run; an exit code and a
// message for the first thing wrong.
struct Plan {
  std::vector<PlannedExport> exports;
  int code = kExitSuccess;
  std::string problem;

  bool Refuse(int refusal, std::string text) {
    code = refusal;
    problem = std::move(text);
    return false;
  }
};

bool CheckFolder(Plan& plan, const fs::path& folder, const char* what) {
  if (std::string problem = FolderProblem(folder); !problem.empty())
    return plan.Refuse(kExitFailure, std::string(what) + " " + folder.string() + " " + problem);
  if (::access(folder.c_str(), W_OK) != 0)
    return plan.Refuse(kExitFailure,
                       std::string(what) + " " + folder.string() + " cannot be written");
  return true;
}

Plan MakePlan(const ExportOptions& options, const ExporterModule& module) {
  Plan plan;
  const std::vector<std::string> extensions = module.Extensions();
  const bool batch = !options.outDir.empty() || !options.kind.empty();
  if (batch) {
    if (options.outDir.empty()) {
      plan.Refuse(kExitUsage, "--kind needs --out-dir: every scene is exported into that folder");
      return plan;
    }
    if (options.kind.empty()) {
      plan.Refuse(kExitUsage, "--out-dir needs --kind (one of " + JoinExtensions(extensions) +
                                  "): the outputs are named after the scenes");
      return plan;
    }
    if (options.files.empty()) {
      plan.Refuse(kExitUsage, "no scene to export: kiln export --kind KIND --out-dir DIR SCENE...");
      return plan;
    }
    if (std::string problem = KindProblem(options.kind, extensions); !problem.empty()) {
      plan.Refuse(kExitUsage, "--kind " + problem);
      return plan;
    }
    const std::string extension = options.kind[0] == '.' ? options.kind.substr(1) : options.kind;
    for (const std::string& scene : options.files)
      plan.exports.push_back(
          {scene, fs::path(options.outDir) / (SceneStem(scene) + "." + extension)});
  } else {
    if (options.files.size() != 2) {
      plan.Refuse(kExitUsage,
                  "export takes a scene and an output file (kiln export SCENE OUTPUT), or several "
                  "scenes with --kind KIND --out-dir DIR");
      return plan;
    }
    fs::path output = options.files[1];
    if (std::string problem = ExtensionProblem(output, extensions); !problem.empty()) {
      plan.Refuse(kExitUsage, problem);
      return plan;
    }
    plan.exports.push_back({options.files[0], output});
  }

  std::map<fs::path, std::string> outputs;
  for (const PlannedExport& planned : plan.exports) {
    std::error_code error;
    // A missing asset fails when it is read (exit 4), as any unreadable asset.
    if (IsSceneFile(planned.scene) && !fs::exists(planned.scene, error)) {
      plan.Refuse(kExitUsage, "File does not exist: " + planned.scene);
      return plan;
    }
    fs::path written = WrittenName(fs::absolute(planned.output)).lexically_normal();
    auto [other, added] = outputs.emplace(written, planned.scene);
    if (!added) {
      plan.Refuse(kExitUsage, other->second + " and " + planned.scene +
                                  " would both be written to " + written.string() +
                                  ": export them into different folders");
      return plan;
    }
  }
  fs::path folder =
      batch ? fs::path(options.outDir) : fs::absolute(plan.exports[0].output).parent_path();
  if (!CheckFolder(plan, fs::absolute(folder), "output folder")) return plan;

  if (!options.configDir.empty()) {
    if (std::string problem = FolderProblem(options.configDir); !problem.empty()) {
      plan.Refuse(kExitUsage, "--config-dir " + options.configDir + " " + problem);
      return plan;
    }
    if ((options.saveSettings || options.resetSettings) &&
        ::access(options.configDir.c_str(), W_OK) != 0) {
      plan.Refuse(kExitUsage,
                  std::string(options.saveSettings ? "--save-settings" : "--reset-settings") +
                      ": the configuration folder " + options.configDir + " cannot be written");
      return plan;
    }
  }
  if (!options.report.empty() && options.report != "-") {
    std::error_code error;
    fs::path parent = fs::absolute(options.report).parent_path();
    if (std::string problem = FolderProblem(parent); !problem.empty()) {
      plan.Refuse(kExitUsage,
                  "--report " + options.report + ": the folder " + parent.string() + " " + problem);
    } else if (fs::is_directory(options.report, error)) {
      plan.Refuse(kExitUsage, "--report " + options.report + " is a folder, not a file");
    }
  }
  return plan;
}

// The scenes of the plan from index on.
std::vector<std::string> ScenesFrom(const Plan& plan, size_t index) {
  std::vector<std::string> scenes;
  for (size_t i = index; i < plan.exports.size(); ++i) scenes.push_back(plan.exports[i].scene);
  return scenes;
}

}  // namespace

std::string FolderProblem(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder, error)) return {};
  return fs::exists(folder, error) ? "is a file, not a folder" : "does not exist";
}

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
  const double started = Now();
  std::unique_ptr<ExporterModule> module;
  try {
    module = std::make_unique<ExporterModule>(options.plugin.empty() ? DefaultModulePath()
                                                                     : options.plugin);
  } catch (const ModuleError& error) {
    return Fail(kExitFailure, error.what());
  }
  Plan plan = MakePlan(options, *module);
  if (!plan.problem.empty()) return Fail(plan.code, plan.problem);

  std::unique_ptr<ExportReport> report;
  if (!options.report.empty()) {
    report = std::make_unique<ExportReport>(options.report, module->Path(),
                                            module->ExporterVersion(), module->Version());
    if (std::string problem = report->Open(); !problem.empty()) return Fail(kExitUsage, problem);
  }

  ExportSignals signals;
  const size_t total = plan.exports.size();
  size_t done = 0;
  int worst = kExitSuccess;
  std::map<std::string, int> results;
  // What a signal leaves while export `index` runs (or, past the last, between them).
  auto arm = [&](size_t index, const std::string& running, std::vector<std::string> remove) {
    LastWords words;
    words.message = running;
    if (total > 1 || running.empty()) {
      const size_t notStarted = total - std::min(total, index + (running.empty() ? 0 : 1));
      words.message += (running.empty() ? "" : "; ") + std::to_string(done) + " of " +
                       CountOf(total, "scene") + " exported before" +
                       (notStarted > 0 ? ", " + std::to_string(notStarted) + " not started" : "");
    }
    words.remove = std::move(remove);
    if (report) {
      const PlannedExport* current = index < total ? &plan.exports[index] : nullptr;
      std::string output = current ? WrittenName(fs::absolute(current->output)).string() : "";
      // A signal decides kiln's exit status, whatever the scenes before it gave.
      auto document = [&](int signalCode, const char* result) {
        return report->Document(signalCode, Now() - started, current ? &current->scene : nullptr,
                                current ? &output : nullptr, result, ScenesFrom(plan, index + 1));
      };
      words.reportInterrupted = document(kExitCancelled, "interrupted");
      words.reportTerminated = document(kExitFailure, "terminated");
      if (!report->ToStandardOutput()) {
        words.reportTemporary = report->TemporaryName();
        words.reportTarget = report->Target();
      }
    }
    ExportSignals::SetLastWords(std::move(words));
  };

  int stoppedBy = 0;
  size_t ran = 0;
  for (size_t i = 0; i < total && !stoppedBy; ++i, ++ran) {
    ExportSignals::Resume();
    ExportJob job(options, *module, plan.exports[i].scene, plan.exports[i].output);
    arm(i, "nothing was exported from " + plan.exports[i].scene, {});
    if (job.Prepare()) {
      arm(i, job.InterruptedText(), job.TemporaryPaths());
      job.Run();
    }
    const ExportOutcome& outcome = job.Outcome();
    if (Severity(outcome.exitCode) > Severity(worst)) worst = outcome.exitCode;
    ++results[outcome.result];
    if (outcome.exitCode == kExitSuccess || outcome.exitCode == kExitExportedWithErrors) ++done;
    if (report) report->Add(outcome);
    stoppedBy = outcome.signal;
    arm(i + 1, "", {});
  }

  // As when the signal ends the program at once: its status, not the worst.
  if (stoppedBy) worst = ExitCodeForSignal(stoppedBy);
  if (total > 1) {
    std::string summary;
    for (const auto& [result, count] : results)
      summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + result;
    if (ran < total) summary += ", " + std::to_string(total - ran) + " not started";
    std::fprintf(stderr, "kiln: %zu scenes: %s\n", total, summary.c_str());
  }
  if (report) {
    std::string problem = report->Write(
        report->Document(worst, Now() - started, nullptr, nullptr, nullptr, ScenesFrom(plan, ran)));
    if (!problem.empty()) {
      Fail(0, problem);
      if (Severity(kExitFailure) > Severity(worst)) worst = kExitFailure;
    }
  }
  return worst;
}

}  // namespace kiln::standalone
