#pragma once
#include <string>

#include "host/Animatable.h"

// Mapping axes of a UV generator.
constexpr int AXIS_UV = 0;
constexpr int AXIS_VW = 1;
constexpr int AXIS_WU = 2;

class UVGen {
 public:
  virtual ~UVGen() = default;
  virtual int GetAxis() = 0;
};

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

// A material: its name, sub-materials and sub-maps.
class Mtl : public Animatable {
 public:
  SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
  virtual std::string GetName() = 0;
  virtual int NumSubMtls() { return 0; }
  virtual Mtl* GetSubMtl(int i) {
    (void)i;
    return nullptr;
  }
  virtual int NumSubTexmaps() { return 0; }
  virtual Texmap* GetSubTexmap(int i) {
    (void)i;
    return nullptr;
  }
};
