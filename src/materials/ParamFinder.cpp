#include "materials/ParamFinder.h"

#include <cstring>

#include "host/Animatable.h"
#include "host/CustAttrib.h"

namespace kiln {

void ParamFinder::Release() {
  if (block_) block_->ReleaseDesc();
  block_ = nullptr;
  def_ = nullptr;
}

bool ParamFinder::SearchBlock(IParamBlock2* block, const char* name) {
  if (!block) return false;
  ParamBlockDesc2* desc = block->GetDesc();
  if (desc) {
    const int count = desc->Count();
    for (int id = 0; id < count; ++id) {
      const int index = desc->IDtoIndex(static_cast<ParamID>(id));
      if (index < 0) continue;
      const ParamDef& def = desc->GetParamDef(index);
      if (def.int_name && std::strcmp(def.int_name, name) == 0) {
        block_ = block;
        def_ = &def;
        return true;
      }
    }
  }
  block->ReleaseDesc();
  return false;
}

bool ParamFinder::FindParam(Animatable* object, const char* name) {
  Release();
  if (!object || !name) return false;
  for (int b = 0; b < object->NumParamBlocks(); ++b) {
    if (SearchBlock(object->GetParamBlock(b), name)) return true;
  }
  ICustAttribContainer* container = object->GetCustAttribContainer();
  if (!container) return false;
  for (int a = 0; a < container->GetNumCustAttribs(); ++a) {
    CustAttrib* attribute = container->GetCustAttrib(a);
    if (!attribute) continue;
    for (int b = 0; b < attribute->NumParamBlocks(); ++b) {
      if (SearchBlock(attribute->GetParamBlock(b), name)) return true;
    }
  }
  return false;
}

}  // namespace kiln
