#pragma once
#include "host/ParamBlock.h"

class Animatable;

namespace kiln {

// Finds a host parameter by its internal name: first in the object's
// parameter blocks, then in the blocks of its custom attributes, in order.
// The descriptor of the block where a parameter was found stays obtained
// from the host until the next search or the finder's end.
class ParamFinder {
 public:
  ParamFinder() = default;
  ~ParamFinder() { Release(); }
  ParamFinder(const ParamFinder&) = delete;
  ParamFinder& operator=(const ParamFinder&) = delete;

  // True when found; Def and Block then describe the parameter.
  bool FindParam(Animatable* object, const char* name);
  const ParamDef* Def() const { return def_; }
  IParamBlock2* Block() const { return block_; }

  // The value of the found parameter at time 0 and table index 0.
  int Int() const { return block_->GetInt(def_->ID, 0, 0); }
  float Float() const { return block_->GetFloat(def_->ID, 0, 0); }
  Color GetColor() const { return block_->GetColor(def_->ID, 0, 0); }

 private:
  bool SearchBlock(IParamBlock2* block, const char* name);
  void Release();

  const ParamDef* def_ = nullptr;
  IParamBlock2* block_ = nullptr;
};

}  // namespace kiln
