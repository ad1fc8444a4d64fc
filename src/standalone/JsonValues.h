#pragma once
#include "host/Matrix3.h"
#include "standalone/JsonInput.h"
#include "standalone/ValueControl.h"

// Values of the scene file (docs/kscene-format.md): points, rotations,
// scales and matrices, each refused with its JSON path when malformed.
namespace kiln::standalone {

Point3 ReadPoint(const JsonValue& v);
// A unit quaternion [x, y, z, w] or {"axis": [x, y, z], "angle": radians}.
Quat ReadQuat(const JsonValue& v);
// [sx, sy, sz] or {"scale": [sx, sy, sz], "axis": rotation}.
ScaleWithAxis ReadScale(const JsonValue& v);
// Four rows of three numbers.
Matrix3 ReadMatrix(const JsonValue& v);

}  // namespace kiln::standalone
