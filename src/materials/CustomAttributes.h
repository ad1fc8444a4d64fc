#pragma once
#include <string>

class Mtl;

namespace kiln {

class CZX9_DiskWriter;

// Type codes of custom attribute parameters in the output.
constexpr int kCustomBool = 0;
constexpr int kCustomInt = 1;
constexpr int kCustomFloat = 2;
constexpr int kCustomString = 3;

// Writes the custom attribute parameters of a material: the count of the
// parameters written, the unique name, then per parameter its internal name,
// type code and value at time 0. Parameters follow the container's order,
// each attribute's blocks in order (absent ones skipped) and each block's
// parameters by ascending id. False when there is nothing to write, or when
// a parameter of another type was met (the warning "unsupported parameter
// type found in custom attributes: %s"; the caller drops what was written).
bool WriteCustomAttributes(CZX9_DiskWriter& writer, Mtl* material, const std::string& name);

}  // namespace kiln
