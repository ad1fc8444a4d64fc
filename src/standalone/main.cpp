// kiln: the standalone host. Loads the exporter module and hands it scenes
// read from files, as a modelling host would hand it the scene an artist
// exports.
#include <malloc.h>

#include <CLI/CLI.hpp>
#include <map>

#include "platform/Messages.h"
#include "standalone/ExitCodes.h"
#include "standalone/ExportCommand.h"
#include "standalone/InfoCommands.h"
#include "standalone/ViewCommand.h"

using namespace kiln::standalone;

namespace {

constexpr const char* kDescription =
    "Kiln: exports scenes to the engine's chunked files.\n\n"
    "The kind of file comes from the output's extension:\n"
    "  .zqs scene, .zqh human character, .zqc car, .zqa animation (with a .str stream).\n"
    "Side files (.ini, _shaders.ini, .cfg, the three logs, textures/) go beside the output.\n\n"
    "Exit status: 0 exported, 1 exported with errors (see the _errors.log),\n"
    "2 usage error, 3 cancelled, 4 failed (nothing usable written).";

void AddExportCommand(CLI::App& app, ExportOptions& options,
                      std::map<std::string, std::string>& flags) {
  CLI::App* cmd = app.add_subcommand("export", "Export a scene file to a chunked file");
  cmd->add_option("scene", options.scene, "Scene file (.kscene.json)")
      ->required()
      ->check(CLI::ExistingFile);
  cmd->add_option("output", options.output, "Output file; its extension picks the kind")
      ->required();
  static const std::map<std::string, int> answers = {{"overwrite", kiln::platform::IDYES},
                                                     {"keep", kiln::platform::IDNO},
                                                     {"cancel", kiln::platform::IDCANCEL}};
  cmd->add_option("--ini", options.iniAnswer,
                  "When the output's .ini file exists: overwrite it (and _shaders.ini), keep it\n"
                  "(no .ini entries are written), or cancel the export. Without this flag the\n"
                  "question is asked on the terminal, and fails without one")
      ->transform(CLI::CheckedTransformer(answers, CLI::ignore_case));
  cmd->add_flag("-q,--quiet", options.quiet,
                "Suppress prompts: no settings dialog and no message boxes (the .ini question\n"
                "is still asked: answer it with --ini)");
  cmd->add_flag("--selected", options.selected, "Export only the selected nodes");
  cmd->add_option("--config-dir", options.configDir,
                  "Plug-in configuration folder with kilnmaxexporter.cfg,\n"
                  "CarExporterSettings.ini and ShaderMap.ini (default: the scene's, else\n"
                  "$XDG_CONFIG_HOME/kiln or ~/.config/kiln)");
  cmd->add_option("--plugin", options.plugin, "Exporter module (default: beside this program)");
  for (const char* name : kSettingNames) {
    cmd->add_option(
           std::string("--") + name, flags[name],
           std::string("Setting \"") + name + "\" on or off (stored in kilnmaxexporter.cfg)")
        ->check(CLI::IsMember({"on", "off"}))
        ->group("Settings");
  }
}

}  // namespace

int main(int argc, char** argv) {
  // An export allocates and frees the same large per-mesh arrays node after
  // node; keeping freed memory for reuse, instead of handing it back to the
  // system and faulting it in again, makes big exports markedly faster.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  CLI::App app(kDescription, "kiln");
  app.require_subcommand(1);
  app.footer("Run 'kiln COMMAND --help' for the options of a command.");

  ExportOptions exportOptions;
  std::map<std::string, std::string> settingFlags;
  AddExportCommand(app, exportOptions, settingFlags);

  std::string dumpFile;
  bool dumpJson = false;
  CLI::App* dump = app.add_subcommand("dump", "Print the chunk tree of an exported file");
  dump->add_option("file", dumpFile, "Exported file")->required()->check(CLI::ExistingFile);
  dump->add_flag("--json", dumpJson, "Print JSON for programs");

  ViewOptions viewOptions;
  CLI::App* view = app.add_subcommand(
      "view", "Write a self-contained HTML page that shows an exported file and its side files");
  view->add_option("file", viewOptions.file, "Exported file")->required()->check(CLI::ExistingFile);
  view->add_option("-o,--output", viewOptions.output, "The page (default: FILE.html)");
  view->add_flag("--strict", viewOptions.strict,
                 "Fail (exit 4) without a page when the reader rejects the file");
  view->add_option("--three", viewOptions.threeFolder,
                   "Folder of the three.js library (default: Debian's libjs-three)");

  std::string infoScene;
  CLI::App* info = app.add_subcommand("info", "Describe a scene file");
  info->add_option("scene", infoScene, "Scene file (.kscene.json)")
      ->required()
      ->check(CLI::ExistingFile);

  std::string plugin;
  CLI::App* pluginInfo =
      app.add_subcommand("plugin-info", "Show what the exporter module registers");
  pluginInfo->add_option("--plugin", plugin, "Exporter module (default: beside this program)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int code = app.exit(error);
    return code == 0 ? kExitSuccess : kExitUsage;
  }

  if (*dump) return RunDumpCommand(dumpFile, dumpJson);
  if (*info) return RunInfoCommand(infoScene);
  if (*view) return RunViewCommand(viewOptions);
  if (*pluginInfo) return RunPluginInfoCommand(plugin);

  for (int i = 0; i < kSettingCount; ++i) {
    const std::string& value = settingFlags[kSettingNames[i]];
    if (!value.empty()) exportOptions.settings[i] = value == "on";
  }
  return RunExportCommand(exportOptions);
}
