// kiln: the standalone host. Loads the exporter module and hands it scenes
// read from files, as a modelling host would hand it the scene an artist
// exports.
#include <malloc.h>

#include <CLI/CLI.hpp>
#include <map>

#include "platform/Messages.h"
#include "standalone/CheckCommand.h"
#include "standalone/ExitCodes.h"
#include "standalone/ExportCommand.h"
#include "standalone/InfoCommands.h"
#include "standalone/ModuleLoader.h"
#include "standalone/SceneSummary.h"
#include "standalone/import/ConvertCommand.h"
#include "standalone/import/SceneSource.h"
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

// A scene file must exist (a usage error otherwise, as it always was); an
// asset that is missing fails like any asset that cannot be read (exit 4).
const CLI::Validator kExistingSceneFile(
    [](std::string& file) { return IsSceneFile(file) ? CLI::ExistingFile(file) : std::string(); },
    "FILE");

void AddExportCommand(CLI::App& app, ExportOptions& options, std::string& iniAnswer,
                      std::map<std::string, std::string>& flags) {
  CLI::App* cmd = app.add_subcommand(
      "export", "Export a scene file to a chunked file, or several scenes into a folder");
  cmd->footer(
      "kiln export SCENE OUTPUT [OPTIONS]\n"
      "kiln export --kind KIND --out-dir DIR SCENE... [OPTIONS]\n\n"
      "Setting flags hold for this export; kilnmaxexporter.cfg changes only with\n"
      "--save-settings or --reset-settings, or when the settings dialog is confirmed\n"
      "on a terminal.");
  cmd->add_option("files", options.files,
                  "SCENE OUTPUT: a scene file (.kscene.json) and the output file, whose\n"
                  "extension picks the kind; with --out-dir, every argument is a scene.\n"
                  "A scene may also be an asset to import (glTF, FBX, Collada, 3DS, OBJ, ...:\n"
                  "see kiln convert --list-formats)")
      ->required()
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  cmd->add_option("--out-dir", options.outDir,
                  "Export every SCENE into DIR, each named after its scene (car.kscene.json\n"
                  "gives DIR/car.KIND); needs --kind");
  cmd->add_option("--kind", options.kind, "The extension of a batch's outputs: zqs, zqh, zqc, zqa");
  cmd->add_option("--report", options.report,
                  "Write a JSON report of the export(s) to FILE, or to standard output\n"
                  "for '-' (see docs/export-report.schema.json)");
  cmd->add_option("--ini", iniAnswer,
                  "When the output's .ini file exists: overwrite it (and _shaders.ini), keep it\n"
                  "(no .ini entries are written), or cancel the export. Without this flag the\n"
                  "question is asked on the terminal, and fails without one")
      ->option_text("overwrite|keep|cancel")
      ->check(CLI::IsMember({"overwrite", "keep", "cancel"}).description(""));
  cmd->add_flag("-q,--quiet", options.quiet,
                "Suppress prompts: no settings dialog and no message boxes (the .ini question\n"
                "is still asked: answer it with --ini)");
  cmd->add_flag("--selected", options.selected, "Export only the selected nodes");
  cmd->add_option("--config-dir", options.configDir,
                  "Plug-in configuration folder with kilnmaxexporter.cfg,\n"
                  "CarExporterSettings.ini and ShaderMap.ini (default: the scene's, else\n"
                  "$XDG_CONFIG_HOME/kiln or ~/.config/kiln)");
  cmd->add_option("--plugin", options.plugin, "Exporter module (default: beside this program)");
  cmd->add_option("--clip", options.clip,
                  "The animation clip of an asset to import, by name or index (default: the\n"
                  "first)");
  cmd->add_flag("--save-settings", options.saveSettings,
                "Store the settings this export ran with in kilnmaxexporter.cfg")
      ->group("Settings");
  cmd->add_flag("--reset-settings", options.resetSettings,
                "Start from the default settings and store them in kilnmaxexporter.cfg\n"
                "(the way out of \"Wrong version of config file\")")
      ->group("Settings");
  for (const char* name : kSettingNames) {
    cmd->add_option(std::string("--") + name, flags[name],
                    std::string("Setting \"") + name +
                        "\" on or off for this export (stored only with --save-settings)")
        ->option_text("on|off")
        ->check(CLI::IsMember({"on", "off"}))
        ->group("Settings");
  }
}

// An option given twice is refused: which of the two was meant is a guess.
const CLI::Option* RepeatedOption(const CLI::App& app) {
  for (const CLI::Option* option : app.get_options()) {
    if (!option->get_positional() && option->count() > 1) return option;
  }
  for (const CLI::App* sub : app.get_subcommands()) {
    if (const CLI::Option* option = RepeatedOption(*sub)) return option;
  }
  return nullptr;
}

// "kiln 0.1.0" and the exporter module's versions.
int PrintVersion() {
  std::printf("kiln %s\n", KILN_VERSION);
  try {
    ExporterModule module(DefaultModulePath());
    std::printf("exporter module %s: version %u (built for host version 0x%08lX)\n",
                module.Path().c_str(), module.ExporterVersion(), module.Version());
    return kExitSuccess;
  } catch (const ModuleError& error) {
    std::fprintf(stderr, "kiln: %s\n", error.what());
    return kExitFailure;
  }
}

// The commands, one a line: what `kiln` alone and `kiln help` print.
std::string CommandList(const CLI::App& app) {
  std::string text = "Usage: kiln COMMAND [OPTIONS]\n\nCommands:\n";
  for (const CLI::App* sub : app.get_subcommands({})) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-12s %s\n", sub->get_name().c_str(),
                  sub->get_description().c_str());
    text += line;
  }
  return text +
         "\nRun 'kiln help COMMAND' or 'kiln COMMAND --help' for a command's options,\n"
         "'kiln --help' for the exit status, 'kiln --version' for the versions.\n";
}

}  // namespace

int main(int argc, char** argv) {
  // An export allocates and frees the same large per-mesh arrays node after
  // node; keeping freed memory for reuse, instead of handing it back to the
  // system and faulting it in again, makes big exports markedly faster.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  CLI::App app(kDescription, "kiln");
  app.require_subcommand(0, 1);
  app.footer("Run 'kiln COMMAND --help' for the options of a command.");
  bool version = false;
  app.add_flag("--version", version, "Print kiln's version and the exporter module's");
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

  ExportOptions exportOptions;
  std::string iniAnswer;
  std::map<std::string, std::string> settingFlags;
  AddExportCommand(app, exportOptions, iniAnswer, settingFlags);

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

  std::string infoScene, infoClip;
  bool infoJson = false;
  CLI::App* info = app.add_subcommand("info", "Describe a scene file or an asset");
  info->add_option("scene", infoScene, "Scene file (.kscene.json) or an asset")
      ->required()
      ->check(kExistingSceneFile);
  info->add_option("--clip", infoClip, "The animation clip of an asset, by name or index");
  info->add_flag("--json", infoJson, "Print the scene's counts as JSON for programs");

  ConvertOptions convertOptions;
  CLI::App* convert = app.add_subcommand(
      "convert", "Import an asset and write it as a scene file, with its side file and images");
  convert->add_option("asset", convertOptions.asset, "Asset to import (glTF, FBX, Collada, ...)");
  convert->add_option("scene", convertOptions.scene, "Scene file to write (.kscene.json)");
  convert->add_option("--clip", convertOptions.clip,
                      "The animation clip to import, by name or index (default: the first)");
  convert->add_flag("--list-formats", convertOptions.listFormats,
                    "List the formats the importer reads");

  std::vector<std::string> checkScenes;
  CLI::App* check = app.add_subcommand(
      "check", "Load and validate scene files without exporting: list every problem");
  check->add_option("scene", checkScenes, "Scene files (.kscene.json)")
      ->required()
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);

  std::string plugin;
  CLI::App* pluginInfo =
      app.add_subcommand("plugin-info", "Show what the exporter module registers");
  pluginInfo->add_option("--plugin", plugin, "Exporter module (default: beside this program)");

  std::string helpTopic;
  CLI::App* help = app.add_subcommand("help", "List the commands, or show a command's options");
  help->add_option("command", helpTopic, "The command");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int code = app.exit(error);
    return code == 0 ? kExitSuccess : kExitUsage;
  }
  if (const CLI::Option* repeated = RepeatedOption(app)) {
    std::fprintf(stderr, "kiln: %s was given more than once\n", repeated->get_name().c_str());
    return kExitUsage;
  }

  if (version) return PrintVersion();
  if (*help) {
    if (helpTopic.empty()) {
      std::printf("%s", CommandList(app).c_str());
      return kExitSuccess;
    }
    for (const CLI::App* sub : app.get_subcommands({})) {
      if (sub->get_name() == helpTopic) {
        std::printf("%s", sub->help().c_str());
        return kExitSuccess;
      }
    }
    std::fprintf(stderr, "kiln: no command '%s'\n\n%s", helpTopic.c_str(),
                 CommandList(app).c_str());
    return kExitUsage;
  }
  if (*dump) return RunDumpCommand(dumpFile, dumpJson);
  if (*info)
    return infoJson ? RunInfoJsonCommand(infoScene, infoClip) : RunInfoCommand(infoScene, infoClip);
  if (*convert) return RunConvertCommand(convertOptions);
  if (*check) return RunCheckCommand(checkScenes);
  if (*view) return RunViewCommand(viewOptions);
  if (*pluginInfo) return RunPluginInfoCommand(plugin);
  if (!*app.get_subcommand("export")) {
    std::fprintf(stderr, "%s", CommandList(app).c_str());
    return kExitUsage;
  }

  static const std::map<std::string, int> answers = {{"overwrite", kiln::platform::IDYES},
                                                     {"keep", kiln::platform::IDNO},
                                                     {"cancel", kiln::platform::IDCANCEL}};
  if (!iniAnswer.empty()) exportOptions.iniAnswer = answers.at(iniAnswer);
  for (int i = 0; i < kSettingCount; ++i) {
    const std::string& value = settingFlags[kSettingNames[i]];
    if (!value.empty()) exportOptions.settings[i] = value == "on";
  }
  return RunExportCommand(exportOptions);
}
