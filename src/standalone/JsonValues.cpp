#include "standalone/JsonValues.h"

namespace kiln::standalone {

Point3 ReadPoint(const JsonValue& v) {
  if (!v.IsArray() || v.Size() != 3) v.Fail("expected [x, y, z]");
  return {v[0].Float(), v[1].Float(), v[2].Float()};
}

Quat ReadQuat(const JsonValue& v) {
  if (v.IsObject()) {
    v.ExpectObject({"axis", "angle"});
    Point3 axis = ReadPoint(v.At("axis"));
    if (Length(axis) == 0.0f) v.At("axis").Fail("rotation axis of zero length");
    return QFromAngAxis(v.At("angle").Float(), Normalize(axis));
  }
  if (!v.IsArray() || v.Size() != 4) {
    v.Fail("expected a quaternion [x, y, z, w] or {\"axis\": [x, y, z], \"angle\": radians}");
  }
  return {v[0].Float(), v[1].Float(), v[2].Float(), v[3].Float()};
}

ScaleWithAxis ReadScale(const JsonValue& v) {
  if (v.IsObject()) {
    v.ExpectObject({"scale", "axis"});
    ScaleWithAxis s;
    s.scale = ReadPoint(v.At("scale"));
    if (auto axis = v.Find("axis")) s.axis = ReadQuat(*axis);
    return s;
  }
  return {ReadPoint(v), Quat()};
}

Matrix3 ReadMatrix(const JsonValue& v) {
  if (!v.IsArray() || v.Size() != 4) v.Fail("expected a matrix of four rows [x, y, z]");
  return Matrix3(ReadPoint(v[0]), ReadPoint(v[1]), ReadPoint(v[2]), ReadPoint(v[3]));
}

}  // namespace kiln::standalone
