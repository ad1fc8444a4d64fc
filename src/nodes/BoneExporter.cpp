#include "nodes/BoneExporter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/Control.h"
#include "host/INode.h"
#include "io/CZX9_DiskWriter.h"
#include "scene/NodeHeader.h"

namespace kiln {

BoneExporter::BoneExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {
  Control* transform = node->GetTMController();
  if (transform && transform->GetInterface(I_IKCONTROL))
    RequestTrack(8, 0);
  else
    RequestTrack(0, 0);
}

int BoneExporter::Export(CZX9_DiskWriter* writer, Object*) {
  writer->BeginChunk(3, 14, 1);
  WriteNodeHeader(writer, node_);
  WriteObjectOffset(writer, node_);
  WriteTransformScaled(writer, ExchangeMatrixAxes(LocalObjectTransform(node_, 0)), kExportScale);
  writer->EndChunk();
  return 1;
}

}  // namespace kiln
