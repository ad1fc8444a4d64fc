#pragma once

// A colour of the host: red, green and blue as floats, 1.0 full intensity.
struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f;
  constexpr Color() = default;
  constexpr Color(float r_, float g_, float b_) : r(r_), g(g_), b(b_) {}
  friend constexpr bool operator==(Color x, Color y) {
    return x.r == y.r && x.g == y.g && x.b == y.b;
  }
};
