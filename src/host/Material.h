#pragma once
#include <string>

#include "host/Animatable.h"
#include "host/Color.h"

// Mapping axes of a UV generator.
constexpr int AXIS_UV = 0;
constexpr int AXIS_VW = 1;
constexpr int AXIS_WU = 2;

// Tiling flags of a standard UV generator.
constexpr int U_WRAP = 0x1;
constexpr int V_WRAP = 0x2;
constexpr int U_MIRROR = 0x4;
constexpr int V_MIRROR = 0x8;

class UVGen {
 public:
  virtual ~UVGen() = default;
  virtual int GetAxis() = 0;
};

// The coordinate generator of a bitmap: tiling, offsets and tiling flags.
class StdUVGen : public UVGen {
 public:
  virtual float GetUScl(TimeValue t) = 0;
  virtual float GetVScl(TimeValue t) = 0;
  virtual float GetUOffs(TimeValue t) = 0;
  virtual float GetVOffs(TimeValue t) = 0;
  // U_WRAP, V_WRAP, U_MIRROR and V_MIRROR.
  virtual int GetTextureTiling() = 0;
};

// Classes of materials and maps the exporter tells apart.
constexpr Class_ID DMTL_CLASS_ID{2, 0};
constexpr Class_ID MULTI_CLASS_ID{0x200, 0};
constexpr Class_ID MULTI_MATERIAL_CLASS_ID{0x230, 0};
constexpr Class_ID BMTEX_CLASS_ID{0x240, 0};
constexpr Class_ID GRADIENT_CLASS_ID{0x270, 0};
constexpr Class_ID FALLOFF_CLASS_ID{0x6EC3730C, 0};

// A texture map: its sub-maps and its UV generator.
class Texmap : public Animatable {
 public:
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  virtual std::string GetName() = 0;
  virtual int NumSubTexmaps() { return 0; }
  virtual Texmap* GetSubTexmap(int i) {
    (void)i;
    return nullptr;
  }
  virtual UVGen* GetTheUVGen() { return nullptr; }
};

// A bitmap map (class BMTEX_CLASS_ID): its file and how its alpha is used.
class BitmapTex : public Texmap {
 public:
  // The bitmap's file path as the host holds it.
  virtual const char* GetMapName() = 0;
  // Whether the map's mono output (asked with TRUE) and RGB output (asked
  // with FALSE) come from the bitmap's alpha.
  virtual int GetAlphaAsMono(int mono) = 0;
  virtual int GetAlphaAsRGB(int rgb) = 0;
  // Null when the map has no coordinate generator.
  virtual StdUVGen* GetUVGen() = 0;
};

// Sub-map slots of a standard material.
constexpr int ID_AM = 0;   // ambient
constexpr int ID_DI = 1;   // diffuse
constexpr int ID_SP = 2;   // specular
constexpr int ID_SH = 3;   // shininess
constexpr int ID_SS = 4;   // shininess strength
constexpr int ID_SI = 5;   // self-illumination
constexpr int ID_OP = 6;   // opacity
constexpr int ID_FI = 7;   // filter colour
constexpr int ID_BU = 8;   // bump
constexpr int ID_RL = 9;   // reflection
constexpr int ID_RR = 10;  // refraction
constexpr int STD_MAP_COUNT = 12;

// Requirement flags of a material (Mtl::Requirements).
constexpr int MTLREQ_2SIDE = 1 << 0;
constexpr int MTLREQ_WIRE = 1 << 1;
constexpr int MTLREQ_TRANSP = 1 << 3;
constexpr int MTLREQ_UV = 1 << 4;
constexpr int MTLREQ_BUMPUV = 1 << 8;
constexpr int MTLREQ_FACETED = 1 << 24;

// A material: its name, sub-materials with their slot names, sub-maps,
// colours and scalar properties.
class Mtl : public Animatable {
 public:
  SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
  virtual std::string GetName() = 0;
  virtual int NumSubMtls() { return 0; }
  virtual Mtl* GetSubMtl(int i) {
    (void)i;
    return nullptr;
  }
  // The title of a sub-material slot ("(1) Paint"); empty when it has none.
  virtual std::string GetSubMtlSlotName(int i) {
    (void)i;
    return {};
  }
  virtual int NumSubTexmaps() { return 0; }
  virtual Texmap* GetSubTexmap(int i) {
    (void)i;
    return nullptr;
  }
  // What the material needs of the renderer (MTLREQ_ flags) for one
  // sub-material, or for all of them with -1.
  virtual int Requirements(int subMtlNum) {
    (void)subMtlNum;
    return 0;
  }
  // Colours and scalars of a sub-material (0 for the material itself), front
  // or back face. Shininess and shine strength run from 0 to 1, transparency
  // is 1 - opacity.
  virtual Color GetAmbient(int mtlNum = 0, int backFace = 0) {
    return Unused(mtlNum, backFace), Color();
  }
  virtual Color GetDiffuse(int mtlNum = 0, int backFace = 0) {
    return Unused(mtlNum, backFace), Color();
  }
  virtual Color GetSpecular(int mtlNum = 0, int backFace = 0) {
    return Unused(mtlNum, backFace), Color();
  }
  virtual float GetShininess(int mtlNum = 0, int backFace = 0) {
    return Unused(mtlNum, backFace), 0.0f;
  }
  virtual float GetShinStr(int mtlNum = 0, int backFace = 0) {
    return Unused(mtlNum, backFace), 0.0f;
  }
  virtual float GetXParency(int mtlNum = 0, int backFace = 0) {
    return Unused(mtlNum, backFace), 0.0f;
  }

 private:
  static void Unused(int, int) {}
};

// A standard material (class DMTL_CLASS_ID) with the amounts of its maps.
class StdMat : public Mtl {
 public:
  // How strongly the map in a slot applies, 0 to 1.
  virtual float GetTexmapAmt(int id, TimeValue t) = 0;
};
