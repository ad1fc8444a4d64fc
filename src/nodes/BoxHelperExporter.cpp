#include "nodes/BoxHelperExporter.h"

#include <algorithm>

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/ObjectOffset.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/NodeHeader.h"

namespace kiln {

int BoxHelperExporter::Export(CZX9_DiskWriter* writer, Object* evaluated) {
  const char* name = node_->GetName();
  TriObject* tri = evaluated ? evaluated->ConvertToType(0, TRIOBJ_CLASS_ID) : nullptr;
  if (!tri) {
    LogError(CurrentLog, "Error getting tri object for node: %s", name);
    return 0;
  }
  const std::vector<Point3>& verts = tri->GetMesh().verts;
  if (verts.empty()) {
    LogError(CurrentLog, "Mesh of node %s has no vertices or no faces", name);
    return 0;
  }
  const Matrix3 offset = ObjectOffsetMatrix(node_);
  Point3 low = offset.PointTransform(verts[0]), high = low;
  for (const Point3& v : verts) {
    const Point3 p = offset.PointTransform(v);
    for (int axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], p[axis]);
      high[axis] = std::max(high[axis], p[axis]);
    }
  }
  const Point3 centre = (low + high) * 0.5f;

  writer->BeginChunk(3, 16, 1);
  WriteNodeHeader(writer, node_);
  WritePoint(writer, ExchangePointAxes(centre) * kExportScale);
  WritePoint(writer, ExchangePointAxes(low - centre) * kExportScale);
  WriteTransformScaled(writer, ExchangeMatrixAxes(LocalObjectTransform(node_, 0)), kExportScale);
  writer->EndChunk();
  return 1;
}

}  // namespace kiln
