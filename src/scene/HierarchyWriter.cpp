#include "scene/HierarchyWriter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/Control.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "io/CountPlaceholder.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/NodeClassification.h"
#include "scene/NodeHeader.h"

namespace kiln {
namespace {

// Subtype of an entry node without a position controller; the entry is
// written all the same.
constexpr uint32_t kNoPositionControllerSubtype = 0;

uint32_t EntrySubtype(INode* node) {
  Control* transform = node->GetTMController();
  Control* position = transform ? transform->GetPositionController() : nullptr;
  if (!position) {
    LogError(CurrentLog, "%s doesn't have any supported prs controller", node->GetName());
    return kNoPositionControllerSubtype;
  }
  bool rotation = transform->GetRotationController() != nullptr;
  bool scale = transform->GetScaleController() != nullptr;
  if (!scale) return 49;
  return rotation ? 47 : 48;
}

struct HierarchyWalk {
  CZX9_DiskWriter* writer;
  Interface* ip;
  uint32_t count = 0;

  int Visit(INode* node) {
    if (node->IsHidden()) {
      LogWarning(CurrentLog, "Hidden node (and children) not exported: %s", node->GetName());
      return 0;
    }
    if (ip->GetCancel()) return 2;
    writer->BeginChunk(19, EntrySubtype(node), 1);
    ++count;
    WriteNodeHeader(writer, node);
    WriteTransformScaled(writer, ExchangeMatrixAxes(LocalTransform(node, 0)), kExportScale);
    writer->WriteInt(HierarchyNodeType(node, node->EvalWorldState(0).obj));
    writer->EndChunk();
    for (int i = 0; i < node->NumberOfChildren(); ++i) {
      if (Visit(node->GetChildNode(i)) == 2) return 2;
    }
    return 0;
  }
};

}  // namespace

void WriteHierarchy(CZX9_DiskWriter* writer, Interface* ip, INode* root) {
  writer->BeginChunk(18, 0, 1);
  CountPlaceholder count(writer);
  HierarchyWalk walk{writer, ip};
  for (int i = 0; i < root->NumberOfChildren(); ++i) {
    if (walk.Visit(root->GetChildNode(i)) == 2) break;
  }
  count.Fill(walk.count);
  writer->EndChunk();
}

}  // namespace kiln
