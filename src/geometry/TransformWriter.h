#pragma once
#include "host/Matrix3.h"
#include "host/Quat.h"

class INode;

// Writers of points, transforms and rotations in the layouts of
// AxisExchange.h. They write what they are given: callers exchange the axes.
namespace kiln {

class CZX9_DiskWriter;

// Three floats x, y, z.
void WritePoint(CZX9_DiskWriter* writer, const Point3& p);
// Twelve floats (LayOutTransform), the translation entries times scale.
void WriteTransformScaled(CZX9_DiskWriter* writer, const Matrix3& m, float scale);
void WriteTransform(CZX9_DiskWriter* writer, const Matrix3& m);
// Four floats (LayOutRotation).
void WriteRotation(CZX9_DiskWriter* writer, const Quat& q);
// The fourteen floats of the node's object offset block (ObjectOffset.h).
void WriteObjectOffset(CZX9_DiskWriter* writer, INode* node);

}  // namespace kiln
