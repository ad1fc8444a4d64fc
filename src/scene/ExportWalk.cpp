#include "scene/ExportWalk.h"

#include <memory>

#include "animation/KilnAnimationExporter.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "materials/MaterialExporter.h"
#include "platform/DebugOutput.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/DefaultNodeExporter.h"
#include "scene/NodeClassification.h"
#include "scene/NodeExporterFactory.h"
#include "scene/NodeNames.h"

namespace kiln {

WalkRules RulesFor(ExportKind kind, Interface* ip) {
  WalkRules rules;
  rules.kind = kind;
  rules.time = kind == kExportScene ? 0 : ip->GetAnimRange().Start();
  rules.logExportingNode = kind == kExportCar;
  rules.applySelection = kind != kExportHuman;
  rules.skipXSubtrees = kind == kExportCar;
  rules.boxHelpers = kind == kExportScene || kind == kExportHuman;
  rules.carPrefixes = kind == kExportCar;
  rules.camerasAndLights = kind != kExportHuman;
  rules.sliders = kind != kExportHuman;
  rules.traceShapes = kind == kExportScene;
  rules.runExport = kind != kExportAnimation;
  rules.exportTracks = kind == kExportCar || kind == kExportAnimation;
  return rules;
}

namespace {

// Writes the node's chunks; a failed exporter is replaced by the default one.
void RunExport(WalkContext& context, INode* node, Object* evaluated,
               std::unique_ptr<NodeExporter>& exporter) {
  if (exporter->Export(context.writer, evaluated)) return;
  exporter = std::make_unique<DefaultNodeExporter>(node, context.ip);
  LogWarning(CurrentLog, "Exporting node %s as unknown node type", node->GetName());
  exporter->Export(context.writer, evaluated);
}

void ExportTracks(WalkContext& context, INode* node, const NodeExporter& exporter) {
  for (const TrackRequest& request : exporter.TrackRequests()) {
    if (!context.animationExporter->ExportTrack(node, request)) {
      LogWarning(CurrentLog, "Error exporting animations from node: %s", node->GetName());
    }
  }
}

}  // namespace

int ExportWalk(const WalkRules& rules, WalkContext& context, INode* node) {
  if (node->IsHidden()) {
    LogWarning(CurrentLog, "Hidden node (and children) not exported: %s", node->GetName());
    return 0;
  }
  if (rules.logExportingNode) LogInfo(CurrentLog, "Exporting node: %s", node->GetName());
  if (rules.applySelection && context.selectedOnly && !node->Selected()) return 0;
  if (context.ip->GetCancel()) return 2;
  if (rules.skipXSubtrees && HasPrefix(node->GetName(), "x_")) return 0;

  Object* evaluated = node->EvalWorldState(rules.time).obj;
  std::unique_ptr<NodeExporter> exporter;
  if (evaluated) {
    std::string trace = std::string("exporting node ") + node->GetName() + "\n";
    platform::OutputDebugStringA(trace.c_str());
    ExporterChoice choice = ChooseExporter(rules, node, evaluated);
    if (choice == ExporterChoice::Mesh && rules.kind == kExportCar && context.materialExporter) {
      context.materialExporter->WriteCarMeshSwitches(node);
    }
    exporter = CreateNodeExporter(choice, node, context.ip, context.materialExporter);
  } else {
    exporter = std::make_unique<DefaultNodeExporter>(node, context.ip);
  }

  if (rules.runExport) {
    ++context.nodeCount;
    RunExport(context, node, evaluated, exporter);
  }
  if (rules.exportTracks) ExportTracks(context, node, *exporter);
  exporter.reset();

  for (int i = 0; i < node->NumberOfChildren(); ++i) {
    if (ExportWalk(rules, context, node->GetChildNode(i)) == 2) return 2;
  }
  return 0;
}

}  // namespace kiln
