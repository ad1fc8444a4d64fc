#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "standalone/SettingsOverrides.h"

namespace kiln::standalone {

// What `kiln export` was asked to do: SCENE OUTPUT, or with an output folder
// and a kind, every SCENE into that folder.
struct ExportOptions {
  std::vector<std::string> files;  // SCENE OUTPUT, or with outDir every SCENE
  std::string outDir;              // a batch's output folder
  std::string kind;                // a batch's extension ("zqc")
  std::string report;              // the JSON report's file; "-" standard output
  std::string plugin;              // empty: the module beside the program
  std::string configDir;           // empty: the scene's, else the per-user folder
  std::string clip;                // an asset's animation clip; empty: the first
  std::optional<int> iniAnswer;    // IDYES overwrite, IDNO keep, IDCANCEL cancel
  bool quiet = false;              // the host's suppress-prompts flag
  bool selected = false;           // export the selection only
  bool saveSettings = false;       // keep the settings the export ran with
  bool resetSettings = false;      // start from the default settings, and store them
  SettingOverrides settings{};
};

// Runs the exports and returns the exit code; messages go to standard error.
int RunExportCommand(const ExportOptions& options);

// Why folder cannot be used as one: "does not exist" or "is a file, not a
// folder"; empty when it is a folder.
std::string FolderProblem(const std::filesystem::path& folder);

// The per-user plug-in configuration folder: $XDG_CONFIG_HOME/kiln, else ~/.config/kiln.
std::string DefaultConfigDir();

}  // namespace kiln::standalone
