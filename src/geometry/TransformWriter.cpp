#include "geometry/TransformWriter.h"

#include <span>

#include "geometry/AxisExchange.h"
#include "geometry/ObjectOffset.h"
#include "io/CZX9_DiskWriter.h"

namespace kiln {
namespace {

void WriteFloats(CZX9_DiskWriter* writer, std::span<const float> values) {
  for (float value : values) writer->WriteFloat(value);
}

}  // namespace

void WritePoint(CZX9_DiskWriter* writer, const Point3& p) {
  writer->WritePoint3(p.x, p.y, p.z);
}

void WriteTransformScaled(CZX9_DiskWriter* writer, const Matrix3& m, float scale) {
  WriteFloats(writer, LayOutTransform(m, scale));
}

void WriteTransform(CZX9_DiskWriter* writer, const Matrix3& m) {
  WriteFloats(writer, LayOutTransform(m));
}

void WriteRotation(CZX9_DiskWriter* writer, const Quat& q) {
  WriteFloats(writer, LayOutRotation(q));
}

void WriteObjectOffset(CZX9_DiskWriter* writer, INode* node) {
  WriteFloats(writer, LayOutObjectOffset(node));
}

}  // namespace kiln
