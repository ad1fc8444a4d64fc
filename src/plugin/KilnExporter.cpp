#include "plugin/KilnExporter.h"

#include <cstdio>
#include <exception>

#include "animation/KilnAnimationExporter.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "io/Drivers.h"
#include "materials/MaterialExporter.h"
#include "platform/Messages.h"
#include "platform/ProfileFile.h"
#include "plugin/ExportLog.h"
#include "plugin/ExportPaths.h"
#include "plugin/Globals.h"
#include "plugin/NameCollisions.h"
#include "plugin/SideFiles.h"
#include "plugin/StringResources.h"

namespace kiln {
namespace {

constexpr int kExtensionIds[] = {IDS_EXT_SCENE, IDS_EXT_HUMAN, IDS_EXT_CAR, IDS_EXT_ANIMATION};

bool FileCanBeRead(const std::string& name) {
  FILE* file = std::fopen(name.c_str(), "rt");
  if (!file) return false;
  std::fclose(file);
  return true;
}

// What the overwrite question decided for the .ini files.
enum class IniAnswer { kCancel, kKeep, kWrite, kOverwrite };

// The overwrite question for an existing .ini file. Yes empties the .ini
// files only once the export has put its file in place (CompleteSideFiles).
IniAnswer AskAboutIniFiles() {
  if (!FileCanBeRead(IniFileName)) {
    // Nothing to lose: a new export writes its .ini files, whatever an
    // earlier export's answer was.
    WriteIniFiles = 1;
    return IniAnswer::kWrite;
  }
  int answer = platform::MessageBoxA("Overwrite existing .ini file", "question #17",
                                     platform::MB_YESNOCANCEL);
  if (answer == platform::IDCANCEL) return IniAnswer::kCancel;
  if (answer == platform::IDNO) {
    WriteIniFiles = 0;
    return IniAnswer::kKeep;
  }
  WriteIniFiles = 1;
  return IniAnswer::kOverwrite;
}

// Picks the kind from the last three characters of the output name.
bool ChooseKind(KilnExporter& exporter, const std::string& outputName, ExportKind* kind) {
  std::string last = outputName.size() >= 3 ? outputName.substr(outputName.size() - 3) : outputName;
  for (int i = 0; i < exporter.ExtCount(); ++i) {
    if (last == exporter.Ext(i)) {
      *kind = static_cast<ExportKind>(i);
      return true;
    }
  }
  LogError(CurrentLog, "Unknown exporter type for extension: %s", last.c_str());
  return false;
}

int RunDriver(KilnExporter& exporter, ExportKind kind, const std::string& outputName,
              ExpInterface* ei, Interface* ip, int suppressPrompts, uint32_t options) {
  switch (kind) {
    case kExportScene:
      return RunSceneDriver(exporter, outputName, ei, ip, suppressPrompts, options);
    case kExportHuman:
      return RunHumanDriver(exporter, outputName, ei, ip, suppressPrompts, options);
    case kExportCar:
      return RunCarDriver(exporter, outputName, ei, ip, suppressPrompts, options);
    case kExportAnimation:
      return RunAnimationDriver(exporter, outputName, ei, ip, suppressPrompts, options);
  }
  return 0;
}

// A failure that ends the export: shown with the stop icon and kept in the
// log, its lines joined into one log line.
void ReportFailure(const std::string& text) {
  ShowMessage(text.c_str(), platform::MB_ICONSTOP, 0);
  std::string line = text;
  for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at))
    line.replace(at, 1, ": ");
  LogError(CurrentLog, "%s", line.c_str());
}

}  // namespace

KilnExporter::KilnExporter() = default;
KilnExporter::~KilnExporter() = default;

int KilnExporter::ExtCount() {
  return 4;
}

const char* KilnExporter::Ext(int n) {
  if (n < 0 || n >= 4) return "";
  return GetString(kExtensionIds[n]);
}

const char* KilnExporter::LongDesc() {
  return GetString(IDS_LONG_DESC);
}
const char* KilnExporter::ShortDesc() {
  return GetString(IDS_SHORT_DESC);
}
const char* KilnExporter::AuthorName() {
  return GetString(IDS_AUTHOR);
}
const char* KilnExporter::CopyrightMessage() {
  return GetString(IDS_COPYRIGHT);
}
const char* KilnExporter::OtherMessage1() {
  return "";
}
const char* KilnExporter::OtherMessage2() {
  return "";
}
unsigned int KilnExporter::Version() {
  return 100;
}
void KilnExporter::ShowAbout(void*) {}

bool KilnExporter::SupportsOptions(int ext, uint32_t options) {
  if (ext < 0 || ext > 3) return false;
  return (options & SCENE_EXPORT_SELECTED) != 0;
}

int KilnExporter::DoExport(const char* name, ExpInterface* ei, Interface* ip_, int suppressPrompts,
                           uint32_t options) {
  ip = ip_;
  SuppressPrompts = suppressPrompts;
  ExportLog log;
  CurrentLog = &log;
  platform::DiscardProfileFiles();

  ExportPaths paths = MakeExportPaths(name ? name : "");
  IniFileName = paths.ini;
  ShaderIniFileName = paths.shaderIni;
  CfgFileName = paths.cfg;
  OutputFolder = paths.folder;
  TextureFolder = paths.textureFolder;

  const IniAnswer iniAnswer = AskAboutIniFiles();
  if (iniAnswer == IniAnswer::kCancel) {
    CurrentLog = nullptr;
    return 0;
  }

  ResolveNameCollisions(ip->GetRootNode());

  int result = 1;
  bool outputInPlace = false;
  ExportKind kind;
  if (ChooseKind(*this, paths.output, &kind)) {
    exportKind = kind;
    CarExportMode = 0;
    try {
      // A driver that ends without a complete file (settings refused, a
      // failed human check) fails the export: the host must not report it
      // as done.
      outputInPlace = RunDriver(*this, kind, paths.output, ei, ip, suppressPrompts, options) != 0;
      if (!outputInPlace) result = 0;
    } catch (const std::bad_alloc&) {
      ReportFailure("Not enough memory to export " + paths.output);
      result = 0;
    } catch (const std::exception& failure) {
      // A disk error ends the export; the writer's temporary file is dropped
      // with it, so an earlier output file stays as it was.
      ReportFailure(failure.what());
      result = 0;
    }
  }
  animationExporter.reset();
  writer.reset();
  materialExporter.reset();
  userProperties.clear();

  if (!outputInPlace) {
    AbandonSideFiles();
  } else if (!CompleteSideFiles(iniAnswer == IniAnswer::kOverwrite,
                                iniAnswer == IniAnswer::kWrite)) {
    LogError(CurrentLog, "Error writing the .ini files: %s", IniFileName.c_str());
  }
  log.WriteLogFiles(paths.errorsLog, paths.warningsLog, paths.informationsLog);
  log.Clear();
  CurrentLog = nullptr;
  return result;
}

}  // namespace kiln
