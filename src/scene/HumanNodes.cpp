#include "scene/HumanNodes.h"

#include "host/INode.h"
#include "io/CZX9_DiskWriter.h"
#include "io/CountPlaceholder.h"
#include "plugin/KilnExporter.h"
#include "scene/ExportWalk.h"
#include "scene/RootChildren.h"

namespace kiln {

void WriteHumanNodes(KilnExporter& exporter, INode* root, MaterialExporter* materials) {
  CZX9_DiskWriter* writer = exporter.writer.get();
  WalkRules rules = RulesFor(kExportHuman, exporter.ip);
  WalkContext context;
  context.writer = writer;
  context.ip = exporter.ip;
  context.materialExporter = materials;

  writer->BeginChunk(21, 0, 1);
  CountPlaceholder count(writer);
  ForEachRootChild(exporter.ip, root,
                   [&](INode* child) { return ExportWalk(rules, context, child); });
  count.Fill(static_cast<uint32_t>(context.nodeCount));
  writer->EndChunk();
}

}  // namespace kiln
