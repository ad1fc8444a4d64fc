#pragma once
#include <array>

#include "host/Matrix3.h"

class INode;

// The object offset: the transform from a node's pivot to its object, written
// right after the handles by every node exporter.
namespace kiln {

// Identity, pre-translated by the offset position, pre-rotated by the offset
// rotation, then pre-scaled by the offset scale in its own axis system
// (U^-1 * Scale * U with U the scale axis rotation).
Matrix3 ObjectOffsetMatrix(INode* node);

// The block's fourteen floats: the offset matrix decomposed (decomp_affine)
// with k, q and u multiplied by the determinant sign f; then t (y and z
// exchanged, times kExportScale), q as a rotation, k (y and z exchanged), u as
// a rotation.
using ObjectOffsetFloats = std::array<float, 14>;
ObjectOffsetFloats LayOutObjectOffset(const Matrix3& offset);
ObjectOffsetFloats LayOutObjectOffset(INode* node);

}  // namespace kiln
