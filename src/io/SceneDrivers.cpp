// The scene, car and human-character drivers: banner, materials, user
// properties, hierarchy and animation range, then the kind's walk.
#include <memory>

#include "animation/KilnAnimationExporter.h"
#include "collision/PreparedCollisionMesh.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Plugin.h"
#include "io/CZX9_DiskWriter.h"
#include "io/DriverSteps.h"
#include "io/Drivers.h"
#include "io/ProgressWindow.h"
#include "io/UserPropertyChunk.h"
#include "materials/MaterialExporter.h"
#include "materials/MaterialStep.h"
#include "platform/FileSystem.h"
#include "plugin/ExportSettings.h"
#include "plugin/Globals.h"
#include "plugin/KilnExporter.h"
#include "scene/HierarchyWriter.h"
#include "scene/HumanCheck.h"
#include "scene/HumanNodes.h"
#include "scene/RootChildren.h"
#include "util/SettingsFile.h"

namespace kiln {
namespace {

// Steps shared by the three drivers up to the walk. Returns the progress
// window, or null when the settings ended the driver.
std::unique_ptr<ProgressWindow> OpenExport(KilnExporter& exporter, const std::string& outputName,
                                           Interface* ip, int suppressPrompts, uint32_t options,
                                           const char* title) {
  if (!ConfirmSettings(ip, suppressPrompts)) return nullptr;
  exporter.exportSelectedOnly = (options & SCENE_EXPORT_SELECTED) ? 1 : 0;
  exporter.writer = OpenOutputFile(outputName);
  auto progress = std::make_unique<ProgressWindow>(ip, title);
  exporter.materialExporter = RunMaterialStep(exporter.writer.get(), ip);
  exporter.userProperties = CollectUserProperties(ip->GetRootNode(), ip);
  WriteUserProperties(exporter.writer.get(), exporter.userProperties);
  return progress;
}

void WriteSceneHead(KilnExporter& exporter, Interface* ip) {
  WriteHierarchy(exporter.writer.get(), ip, ip->GetRootNode());
  WriteAnimationRange(exporter.writer.get(), ip);
  exporter.animationExporter =
      std::make_unique<KilnAnimationExporter>(nullptr, exporter.writer.get(), ip);
  exporter.animationExporter->SetSampleAnimations(Settings.sampleAnimations != 0);
}

void CloseExport(KilnExporter& exporter, ProgressWindow& progress) {
  progress.End();
  exporter.writer->Close();
  exporter.animationExporter.reset();
  exporter.writer.reset();
}

using WalkFn = int (KilnExporter::*)(INode*);

int RunSceneOrCarDriver(KilnExporter& exporter, const std::string& outputName, Interface* ip,
                        int suppressPrompts, uint32_t options, const char* title, WalkFn walk) {
  auto progress = OpenExport(exporter, outputName, ip, suppressPrompts, options, title);
  if (!progress) return 0;
  WriteSceneHead(exporter, ip);
  ForEachRootChild(ip, ip->GetRootNode(), [&](INode* child) { return (exporter.*walk)(child); });
  CloseExport(exporter, *progress);
  return 1;
}

}  // namespace

int RunSceneDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface*,
                   Interface* ip, int suppressPrompts, uint32_t options) {
  int result = RunSceneOrCarDriver(exporter, outputName, ip, suppressPrompts, options,
                                   "Kiln Scene Export status --> ", &KilnExporter::ExportSceneNode);
  if (result) CarSettings.reset();
  return result;
}

int RunCarDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface*,
                 Interface* ip, int suppressPrompts, uint32_t options) {
  CarExportMode = 1;
  std::string settingsFile =
      platform::JoinPath(ip->GetDir(APP_PLUGCFG_DIR), "CarExporterSettings.ini");
  CarSettings = std::make_unique<SettingsFile>(settingsFile, true);
  // The collision meshes' hierarchies are kept for the length of the export.
  struct ReleaseAtEnd {
    ~ReleaseAtEnd() { ReleaseCollisionMesh(); }
  } release;
  return RunSceneOrCarDriver(exporter, outputName, ip, suppressPrompts, options,
                             "Pangolin Car Export Status --> ", &KilnExporter::ExportCarNode);
}

int RunHumanDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface*,
                   Interface* ip, int suppressPrompts, uint32_t options) {
  auto progress = OpenExport(exporter, outputName, ip, suppressPrompts, options,
                             "Pangolin Human Character Export Status --> ");
  if (!progress) return 0;
  if (!CheckHumanScene(ip->GetRootNode())) {
    // No usable file: the writer drops its temporary file unclosed, so an
    // earlier file under the output name stays as it was.
    progress->End();
    exporter.writer.reset();
    return 0;
  }
  WriteSceneHead(exporter, ip);
  WriteHumanNodes(exporter, ip->GetRootNode(), exporter.materialExporter.get());
  CloseExport(exporter, *progress);
  return 1;
}

}  // namespace kiln
