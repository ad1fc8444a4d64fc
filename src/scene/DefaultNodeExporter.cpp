#include "scene/DefaultNodeExporter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/Control.h"
#include "host/INode.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/Globals.h"
#include "scene/CarPoints.h"
#include "scene/NodeHeader.h"

namespace kiln {

DefaultNodeExporter::DefaultNodeExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {
  Control* transform = node->GetTMController();
  if (!transform) return;
  bool position = transform->GetPositionController() != nullptr;
  bool rotation = transform->GetRotationController() != nullptr;
  bool scale = transform->GetScaleController() != nullptr;
  if (position && rotation && scale) {
    RequestTrack(0, 0);
    return;
  }
  if (position) RequestTrack(2, 1);
  if (rotation) RequestTrack(3, 2);
  if (scale) RequestTrack(5, 3);
  if (transform->GetRollController()) RequestTrack(4, 4);
}

int DefaultNodeExporter::Export(CZX9_DiskWriter* writer, Object*) {
  writer->BeginChunk(22, 0, 1);
  WriteNodeHeader(writer, node_);
  WriteObjectOffset(writer, node_);
  WriteTransform(writer, ExchangeMatrixAxes(LocalObjectTransform(node_, 0)));
  writer->EndChunk();
  if (WriteIniFiles && IsCarAttachmentPoint(node_->GetName())) {
    WriteCarPointEntries(node_, ip_, /*withNormal=*/true);
  }
  return 1;
}

}  // namespace kiln
