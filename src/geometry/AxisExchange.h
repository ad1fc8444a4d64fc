#pragma once
#include <array>

#include "host/Matrix3.h"
#include "host/Quat.h"

// The output files use the host's units with the host's y and z axes
// exchanged. These pure functions convert host values and lay out the floats
// that the writers in TransformWriter.h put into the file.
namespace kiln {

// Multiplies written translations and positions where a writer says so.
inline constexpr float kExportScale = 1.0f;

// (x, z, y) of the host point.
Point3 ExchangePointAxes(const Point3& p);

// The host matrix with rows 1 and 2 exchanged, then columns 1 and 2 exchanged
// in every row including the translation. Output points map as host points
// do: ExchangePointAxes(p * m) == ExchangePointAxes(p) * ExchangeMatrixAxes(m).
Matrix3 ExchangeMatrixAxes(const Matrix3& m);

// A transform as three rows of four floats: for each column c = 0, 1, 2 the
// entries of rows 0, 1, 2 of that column, then its translation entry times
// scale.
using TransformFloats = std::array<float, 12>;
TransformFloats LayOutTransform(const Matrix3& m, float scale = 1.0f);

// A rotation as its angle (radians, in [0, pi]) and then its unit axis with y
// and z exchanged.
using RotationFloats = std::array<float, 4>;
RotationFloats LayOutRotation(const Quat& q);

}  // namespace kiln
