#pragma once
#include <memory>

#include "standalone/ParamBlocks.h"

namespace kiln::standalone {

// The parameters of the slider helper (class OKAPISLIDER_CLASS_ID): the
// value the artist drags, whose controller wires drive channels of other
// nodes from, and the range the value moves in.
struct SliderParams {
  static constexpr ParamID kValue = 0;
  static constexpr ParamID kMin = 1;
  static constexpr ParamID kMax = 2;
};

// A slider's block: value 0, range 0 to 100.
std::unique_ptr<ParamBlock> MakeSliderParams();

}  // namespace kiln::standalone
