#pragma once
#include <cstdint>

class Mtl;
class Texmap;

namespace kiln {

// Mask bits of a standard material's texture channels.
constexpr uint32_t kMapChannelDiffuse = 0x01;
constexpr uint32_t kMapChannelOpacity = 0x02;
constexpr uint32_t kMapChannelBump = 0x04;
constexpr uint32_t kMapChannelReflection = 0x08;
constexpr uint32_t kMapChannelSelfIllumination = 0x10;
constexpr uint32_t kMapChannelSpecularColor = 0x20;

// A texture channel of a standard material: its host map id, its mask bit,
// the lower-case name in .ini section names and the name in .ini keys.
struct MapChannel {
  int mapId;
  uint32_t maskBit;
  const char* lowerName;
  const char* keyName;
};

// The channels in the order in which they are written.
inline constexpr MapChannel kMapChannels[] = {
    {1, kMapChannelDiffuse, "diffuse", "Diffuse"},
    {6, kMapChannelOpacity, "opacity", "Opacity"},
    {9, kMapChannelReflection, "reflection", "Reflection"},
    {5, kMapChannelSelfIllumination, "selfillum", "SelfIllumination"},
    {8, kMapChannelBump, "bump", "Bump"},
    {2, kMapChannelSpecularColor, "speccolor", "SpecularColor"},
};

// Kinds of texture maps, by class.
enum MapKind : int { kMapBitmap = 0, kMapGradient = 1, kMapFalloff = 2, kMapUnknown = 3 };
MapKind MapKindOf(Texmap* map);
// "Bitmap", "Gradient", "Falloff" or "Unknown".
const char* MapKindName(MapKind kind);

// Kinds of materials, decided in this order: a class named "Composite", the
// two multi/sub-object classes, the standard class, anything else.
enum class MaterialKind { kComposite, kMulti, kStandard, kOther };
MaterialKind MaterialKindOf(Mtl* material);

}  // namespace kiln
