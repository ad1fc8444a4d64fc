#pragma once
#include <cstdint>
#include <string>

// The texts written as .ini values.
namespace kiln {

std::string IntText(int32_t value);  // "%d"
std::string FloatText(float value);  // "%f"
std::string BoolText(int value);     // "true" for any nonzero value, else "false"
// "%f %f %f" of x, y, z. The two names let two points be formatted for one
// call; each returns its own text.
std::string Point3Text(float x, float y, float z);
std::string Point3Text2(float x, float y, float z);

}  // namespace kiln
