#pragma once
#include "host/Time.h"
#include "plugin/ExportKind.h"

class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;
class KilnAnimationExporter;
class MaterialExporter;

// What one export kind's walk does at each node.
struct WalkRules {
  ExportKind kind = kExportScene;
  TimeValue time = 0;             // when nodes are evaluated
  bool logExportingNode = false;  // "Exporting node: %s" for every node reached
  bool applySelection = false;    // unselected nodes hide their subtree
  bool skipXSubtrees = false;     // "x_" nodes are skipped with their subtree
  bool boxHelpers = false;        // "bb_" geometry becomes a box helper
  bool carPrefixes = false;       // "c_" damage meshes and "s_" shadow meshes
  bool camerasAndLights = false;  // otherwise the default exporter writes them
  bool sliders = false;           // otherwise the default exporter writes them
  bool traceShapes = false;       // shape classes go to the debugger output
  bool runExport = false;         // the chosen exporter writes its chunks
  bool exportTracks = false;      // the exporter's track requests are written
};

WalkRules RulesFor(ExportKind kind, Interface* ip);

// Everything a walk reads besides the node.
struct WalkContext {
  CZX9_DiskWriter* writer = nullptr;
  Interface* ip = nullptr;
  KilnAnimationExporter* animationExporter = nullptr;
  MaterialExporter* materialExporter = nullptr;
  bool selectedOnly = false;
  int nodeCount = 0;  // nodes that reached their export
};

// Exports node and its subtree; 0 to go on, 2 when the artist cancelled.
int ExportWalk(const WalkRules& rules, WalkContext& context, INode* node);

}  // namespace kiln
