// The export walks as operations of the exporter, over its fields.
#include "plugin/KilnExporter.h"
#include "scene/ExportWalk.h"

namespace kiln {
namespace {

int Walk(KilnExporter& exporter, ExportKind kind, INode* node) {
  WalkContext context;
  context.writer = exporter.writer.get();
  context.ip = exporter.ip;
  context.animationExporter = exporter.animationExporter.get();
  context.materialExporter = exporter.materialExporter.get();
  context.selectedOnly = exporter.exportSelectedOnly != 0;
  return ExportWalk(RulesFor(kind, exporter.ip), context, node);
}

}  // namespace

int KilnExporter::ExportSceneNode(INode* node) {
  return Walk(*this, kExportScene, node);
}
int KilnExporter::ExportCarNode(INode* node) {
  return Walk(*this, kExportCar, node);
}
int KilnExporter::ExportAnimationNode(INode* node) {
  return Walk(*this, kExportAnimation, node);
}

}  // namespace kiln
