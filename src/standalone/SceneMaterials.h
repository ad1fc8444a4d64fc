#pragma once
#include <array>
#include <map>
#include <string>
#include <vector>

#include "host/Material.h"
#include "standalone/ParamBlocks.h"

namespace kiln::standalone {

// The coordinate generator of a map: tiling (scale), offsets, tiling flags and axis.
class UVGenerator final : public StdUVGen {
 public:
  int GetAxis() override { return axis; }
  float GetUScl(TimeValue) override { return uScale; }
  float GetVScl(TimeValue) override { return vScale; }
  float GetUOffs(TimeValue) override { return uOffset; }
  float GetVOffs(TimeValue) override { return vOffset; }
  int GetTextureTiling() override { return tiling; }

  int axis = AXIS_UV;
  float uScale = 1.0f, vScale = 1.0f;
  float uOffset = 0.0f, vOffset = 0.0f;
  int tiling = U_WRAP | V_WRAP;
};

// A texture map: its name, class, sub-maps, and for a bitmap its file, alpha
// use and coordinate generator; its parameter blocks (a gradient's colours,
// say) and custom attributes. Every map answers as a bitmap map; the
// exporter asks only maps of the bitmap class for bitmap values.
class Texture final : public BitmapTex, public ParamHolder {
 public:
  explicit Texture(std::string name = {}) : name(std::move(name)) {}

  Class_ID ClassID() override { return classId; }
  std::string GetClassName() override { return className; }
  std::string GetName() override { return name; }
  int NumSubTexmaps() override { return static_cast<int>(subTexmaps.size()); }
  Texmap* GetSubTexmap(int i) override;
  UVGen* GetTheUVGen() override { return GetUVGen(); }
  const char* GetMapName() override { return fileName.c_str(); }
  int GetAlphaAsMono(int) override { return alphaAsMono ? 1 : 0; }
  int GetAlphaAsRGB(int) override { return alphaAsRGB ? 1 : 0; }
  StdUVGen* GetUVGen() override { return hasUVGen ? &uvGen : nullptr; }
  int NumParamBlocks() override { return static_cast<int>(paramBlocks.size()); }
  IParamBlock2* GetParamBlock(int i) override { return Block(i); }
  ICustAttribContainer* GetCustAttribContainer() override { return Container(); }

  int UVAxis() const { return uvGen.axis; }
  void SetUVAxis(int axis) { uvGen.axis = axis; }

  std::string name;
  Class_ID classId{0x240, 0};
  std::string className = "Bitmap";
  std::vector<Texmap*> subTexmaps;  // null for an empty slot; owned by the scene
  std::string fileName;             // the bitmap's path as the host holds it
  bool alphaAsMono = false;
  bool alphaAsRGB = false;
  bool hasUVGen = true;
  UVGenerator uvGen;
};

// A material: name, class, sub-materials with slot names, maps by slot
// (ID_DI, ID_BU, ...) with their amounts and enables, colours and scalars,
// parameter blocks and custom attributes.
//
// A material of the standard class has one parameter block of its own before
// the listed ones: its maps block, holding the table "mapEnables" (one flag
// per map slot). A material with sub-materials that is not standard answers
// the colour and scalar questions for sub-material n with sub-material n's
// values, as the host's multi-materials do.
class Material final : public StdMat, public ParamHolder {
 public:
  explicit Material(std::string name = {});

  Class_ID ClassID() override { return classId; }
  std::string GetClassName() override { return className; }
  std::string GetName() override { return name; }
  int NumSubMtls() override { return static_cast<int>(subMaterials.size()); }
  Mtl* GetSubMtl(int i) override;
  // "(n) name" with n = slot + 1 and the slot's name.
  std::string GetSubMtlSlotName(int i) override;
  int NumSubTexmaps() override { return static_cast<int>(maps.size()); }
  Texmap* GetSubTexmap(int i) override;
  float GetTexmapAmt(int id, TimeValue t) override;
  int Requirements(int subMtlNum) override;
  Color GetAmbient(int mtlNum, int backFace) override;
  Color GetDiffuse(int mtlNum, int backFace) override;
  Color GetSpecular(int mtlNum, int backFace) override;
  float GetShininess(int mtlNum, int backFace) override;
  float GetShinStr(int mtlNum, int backFace) override;
  float GetXParency(int mtlNum, int backFace) override;
  int NumParamBlocks() override;
  IParamBlock2* GetParamBlock(int i) override;
  ICustAttribContainer* GetCustAttribContainer() override { return Container(); }

  // Puts a map into a slot, growing the slot list as needed.
  void SetMap(int slot, Texmap* map);
  bool IsStandard() { return ClassID() == DMTL_CLASS_ID; }
  bool MapEnabled(int slot) const;
  void SetMapEnabled(int slot, bool enabled);
  // The requirement flags computed from the material's own values.
  int ComputedRequirements();

  std::string name;
  Class_ID classId{2, 0};
  std::string className = "Standard";
  std::vector<Mtl*> subMaterials;      // null for an empty slot; owned by the scene
  std::vector<std::string> slotNames;  // by slot; missing ones are empty
  std::vector<Texmap*> maps;           // by slot; null for an empty slot
  std::map<int, float> amounts;        // by slot; a slot not listed has 1.0

  Color ambient{0.588f, 0.588f, 0.588f};
  Color diffuse{0.588f, 0.588f, 0.588f};
  Color specular{0.9f, 0.9f, 0.9f};
  float shininess = 0.1f;
  float shineStrength = 0.0f;
  float opacity = 1.0f;
  bool twoSided = false;
  std::optional<int> requirements;  // given by the scene instead of computed

 private:
  Material* SubFor(int mtlNum);
  ParamBlock mapsBlock_;
};

// Known material and map classes by class name, for files and the builder.
struct NamedClass {
  std::string_view name;
  Class_ID classId;
};
const std::vector<NamedClass>& KnownMaterialClasses();  // "Standard", "Multi/Sub-Object"
const std::vector<NamedClass>& KnownTextureClasses();   // "Bitmap", "Gradient", "Falloff"
const NamedClass* FindNamedClass(const std::vector<NamedClass>& table, std::string_view name);

// Map slot names of a standard material, by slot id ("ambient" is ID_AM ...).
const std::vector<std::string_view>& MapSlotNames();

}  // namespace kiln::standalone
