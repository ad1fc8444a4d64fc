#include "scene/DummyExporter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/Globals.h"
#include "scene/CarPoints.h"
#include "scene/NodeHeader.h"
#include "scene/NodeNames.h"

namespace kiln {

DummyExporter::DummyExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {
  RequestTrack(0, 0);
  if (node->GetVisController()) RequestTrack(4, 6);
}

int DummyExporter::Export(CZX9_DiskWriter* writer, Object*) {
  writer->BeginChunk(3, 13, 1);
  WriteNodeHeader(writer, node_);
  WriteObjectOffset(writer, node_);
  TimeValue start = ip_->GetAnimRange().Start();
  WriteTransformScaled(writer, ExchangeMatrixAxes(LocalTransform(node_, start)), kExportScale);
  writer->EndChunk();
  if (WriteIniFiles && EqualsIgnoringCase(node_->GetName(), kCarCentreName)) {
    WriteCarPointEntries(node_, ip_, /*withNormal=*/false);
  }
  return 1;
}

}  // namespace kiln
