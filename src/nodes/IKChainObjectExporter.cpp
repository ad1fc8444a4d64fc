#include "nodes/IKChainObjectExporter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "scene/NodeHeader.h"

namespace kiln {

IKChainObjectExporter::IKChainObjectExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {
  RequestTrack(0, 0);
  RequestTrack(7, 17);
  if (node->GetVisController()) RequestTrack(4, 6);
}

int IKChainObjectExporter::Export(CZX9_DiskWriter* writer, Object*) {
  writer->BeginChunk(4, 0, 1);
  WriteNodeHeader(writer, node_);
  WriteObjectOffset(writer, node_);
  const TimeValue start = ip_->GetAnimRange().Start();
  WriteTransformScaled(writer, ExchangeMatrixAxes(LocalTransform(node_, start)), kExportScale);
  writer->EndChunk();
  return 1;
}

}  // namespace kiln
