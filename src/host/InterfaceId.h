#pragma once
#include <cstdint>

// Interfaces that the host knows by a pair of words rather than a number
// (function-published interfaces such as the constraints').
class Interface_ID {
 public:
  constexpr Interface_ID() = default;
  constexpr Interface_ID(uint32_t a, uint32_t b) : a_(a), b_(b) {}
  constexpr uint32_t PartA() const { return a_; }
  constexpr uint32_t PartB() const { return b_; }
  friend constexpr bool operator==(Interface_ID x, Interface_ID y) {
    return x.a_ == y.a_ && x.b_ == y.b_;
  }

 private:
  uint32_t a_ = 0, b_ = 0;
};

constexpr Interface_ID LINK_CONSTRAINT_INTERFACE{0x32F03B37, 0x6700693A};
constexpr Interface_ID LOOKAT_CONSTRAINT_INTERFACE{0x5DBE7AD8, 0x1D1B488B};
