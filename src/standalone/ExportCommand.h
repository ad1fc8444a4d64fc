#pragma once
#include <optional>
#include <string>

#include "standalone/SettingsOverrides.h"

namespace kiln::standalone {

// What `kiln export` was asked to do.
struct ExportOptions {
  std::string scene;
  std::string output;
  std::string plugin;            // empty: the module beside the program
  std::string configDir;         // empty: the scene's, else the per-user folder
  std::string clip;              // an asset's animation clip; empty: the first
  std::optional<int> iniAnswer;  // IDYES overwrite, IDNO keep, IDCANCEL cancel
  bool quiet = false;            // the host's suppress-prompts flag
  bool selected = false;         // export the selection only
  SettingOverrides settings{};
};

// Runs one export and returns the exit code; messages go to standard error.
int RunExportCommand(const ExportOptions& options);

// The per-user plug-in configuration folder: $XDG_CONFIG_HOME/kiln, else ~/.config/kiln.
std::string DefaultConfigDir();

}  // namespace kiln::standalone
