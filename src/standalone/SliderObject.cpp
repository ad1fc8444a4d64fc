#include "standalone/SliderObject.h"

namespace kiln::standalone {

std::unique_ptr<ParamBlock> MakeSliderParams() {
  auto block = std::make_unique<ParamBlock>();
  block->Add("value", SliderParams::kValue, TYPE_FLOAT).Number(0.0f);
  block->Add("min", SliderParams::kMin, TYPE_FLOAT).Number(0.0f);
  block->Add("max", SliderParams::kMax, TYPE_FLOAT).Number(100.0f);
  return block;
}

}  // namespace kiln::standalone
