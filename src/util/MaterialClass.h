#pragma once

class Mtl;

namespace kiln {

// True when the material's class name is exactly "Composite".
bool IsCompositeMaterial(Mtl* material);

}  // namespace kiln
