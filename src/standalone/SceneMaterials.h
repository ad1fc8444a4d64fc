#pragma once
#include <string>
#include <vector>

#include "host/Material.h"

namespace kiln::standalone {

// A texture map: its name, class, UV axis and sub-maps. Bitmap files and the
// rest of a map's parameters come with the texture work.
class Texture final : public Texmap {
 public:
  explicit Texture(std::string name = {}) : name(std::move(name)) {}

  Class_ID ClassID() override { return classId; }
  std::string GetClassName() override { return className; }
  std::string GetName() override { return name; }
  int NumSubTexmaps() override { return static_cast<int>(subTexmaps.size()); }
  Texmap* GetSubTexmap(int i) override;
  UVGen* GetTheUVGen() override { return &uvGen_; }

  std::string name;
  Class_ID classId{0x240, 0};
  std::string className = "Bitmap";
  std::vector<Texmap*> subTexmaps;  // null for an empty slot; owned by the scene

  int UVAxis() const { return uvGen_.axis; }
  void SetUVAxis(int axis) { uvGen_.axis = axis; }

 private:
  struct AxisUVGen final : UVGen {
    int axis = AXIS_UV;
    int GetAxis() override { return axis; }
  };
  AxisUVGen uvGen_;
};

// A material: name, class, sub-materials and maps by slot (ID_DI, ID_BU, ...).
class Material final : public Mtl {
 public:
  explicit Material(std::string name = {}) : name(std::move(name)) {}

  Class_ID ClassID() override { return classId; }
  std::string GetClassName() override { return className; }
  std::string GetName() override { return name; }
  int NumSubMtls() override { return static_cast<int>(subMaterials.size()); }
  Mtl* GetSubMtl(int i) override;
  int NumSubTexmaps() override { return static_cast<int>(maps.size()); }
  Texmap* GetSubTexmap(int i) override;

  // Puts a map into a slot, growing the slot list as needed.
  void SetMap(int slot, Texmap* map);

  std::string name;
  Class_ID classId{2, 0};
  std::string className = "Standard";
  std::vector<Mtl*> subMaterials;  // null for an empty slot; owned by the scene
  std::vector<Texmap*> maps;       // by slot; null for an empty slot
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
