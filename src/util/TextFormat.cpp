#include "util/TextFormat.h"

#include <cstdio>

namespace kiln {
namespace {

// Wide enough for three "%f" texts of the largest float (47 characters each).
constexpr size_t kTextSize = 256;

}  // namespace

std::string IntText(int32_t value) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

std::string FloatText(float value) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

std::string BoolText(int value) {
  return value ? "true" : "false";
}

std::string Point3Text(float x, float y, float z) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%f %f %f", static_cast<double>(x), static_cast<double>(y),
                static_cast<double>(z));
  return text;
}

std::string Point3Text2(float x, float y, float z) {
  return Point3Text(x, y, z);
}

}  // namespace kiln
