#include "util/MaterialClass.h"

#include "host/Material.h"

namespace kiln {

bool IsCompositeMaterial(Mtl* material) {
  return material && material->GetClassName() == "Composite";
}

}  // namespace kiln
