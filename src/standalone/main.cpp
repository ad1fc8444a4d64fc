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
#include "standalone/import/ConvertCommand.h"
#include "standalone/import/SceneSource.h"

using namespace kiln::standalone;

namespace {

constexpr const char* kDescription =
    "Kiln: exports scenes to the engine's chunked files.\n\n"
    "The kind of file comes from the output's extension:\n"
    "  .zqs scene, .zqh human character, .zqc car, .zqa animation (with a .str stream).\n"
    "Side files (.ini, _shaders.ini, .cfg, the three logs, textures/) go beside the output.\n\n"
    "Exit status: 0 exported, 1 exported with errors (see the _errors.log),\n"
    "2 usage error, 3 cancelled, 4 failed (nothing usable written).";

// A scene file must exist (a usage error otherwise, as it always was); an
// asset that is missing fails like any asset that cannot be read (exit 4).
const CLI::Validator kExistingSceneFile(
    [](std::string& file) { return IsSceneFile(file) ? CLI::ExistingFile(file) : std::string(); },
    "FILE");

void AddExportCommand(CLI::App& app, ExportOptions& options,
                      std::map<std::string, std::string>& flags) {
  CLI::App* cmd = app.add_subcommand("export", "Export a scene file to a chunked file");
  cmd->add_option("scene", options.scene,
                  "Scene file (.kscene.json), or an asset to import (glTF, FBX, Collada, 3DS,\n"
                  "OBJ, ...: see kiln convert --list-formats)")
      ->required()
      ->check(kExistingSceneFile);
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
  cmd->add_option(
      "--clip", options.clip,
      "The animation clip of an asset to import, by name or index (default: the first)");
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

  std::string infoScene, infoClip;
  CLI::App* info = app.add_subcommand("info", "Describe a scene file or an asset");
  info->add_option("scene", infoScene, "Scene file (.kscene.json) or an asset")
      ->required()
      ->check(kExistingSceneFile);
  info->add_option("--clip", infoClip, "The animation clip of an asset, by name or index");

  ConvertOptions convertOptions;
  CLI::App* convert = app.add_subcommand(
      "convert", "Import an asset and write it as a scene file, with its side file and images");
  convert->add_option("asset", convertOptions.asset, "Asset to import (glTF, FBX, Collada, ...)");
  convert->add_option("scene", convertOptions.scene, "Scene file to write (.kscene.json)");
  convert->add_option("--clip", convertOptions.clip,
                      "The animation clip to import, by name or index (default: the first)");
  convert->add_flag("--list-formats", convertOptions.listFormats,
                    "List the formats the importer reads");

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
  if (*info) return RunInfoCommand(infoScene, infoClip);
  if (*convert) return RunConvertCommand(convertOptions);
  if (*pluginInfo) return RunPluginInfoCommand(plugin);

  for (int i = 0; i < kSettingCount; ++i) {
    const std::string& value = settingFlags[kSettingNames[i]];
    if (!value.empty()) exportOptions.settings[i] = value == "on";
  }
  return RunExportCommand(exportOptions);
}
