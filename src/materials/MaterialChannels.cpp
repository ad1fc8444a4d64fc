#include "materials/MaterialChannels.h"

#include "host/Material.h"
#include "util/MaterialClass.h"

namespace kiln {

MapKind MapKindOf(Texmap* map) {
  if (!map) return kMapUnknown;
  const Class_ID id = map->ClassID();
  if (id == BMTEX_CLASS_ID) return kMapBitmap;
  if (id == GRADIENT_CLASS_ID) return kMapGradient;
  if (id == FALLOFF_CLASS_ID) return kMapFalloff;
  return kMapUnknown;
}

const char* MapKindName(MapKind kind) {
  switch (kind) {
    case kMapBitmap:
      return "Bitmap";
    case kMapGradient:
      return "Gradient";
    case kMapFalloff:
      return "Falloff";
    case kMapUnknown:
      break;
  }
  return "Unknown";
}

MaterialKind MaterialKindOf(Mtl* material) {
  if (IsCompositeMaterial(material)) return MaterialKind::kComposite;
  const Class_ID id = material->ClassID();
  if (id == MULTI_CLASS_ID || id == MULTI_MATERIAL_CLASS_ID) return MaterialKind::kMulti;
  if (id == DMTL_CLASS_ID) return MaterialKind::kStandard;
  return MaterialKind::kOther;
}

}  // namespace kiln
