// Scene-file fields of materials and maps; the format is described in
// docs/kscene-format.md.
#include "standalone/SceneMaterialFields.h"

#include <charconv>
#include <set>

#include "standalone/ControllerJson.h"
#include "standalone/SideBuffers.h"

namespace kiln::standalone {
namespace {

using ojson = nlohmann::ordered_json;

Color ReadColour(const JsonValue& v) {
  if (!v.IsArray() || v.Size() != 3) v.Fail("expected [r, g, b]");
  return {v[0].Float(), v[1].Float(), v[2].Float()};
}

std::pair<float, float> ReadPair(const JsonValue& v) {
  if (!v.IsArray() || v.Size() != 2) v.Fail("expected [u, v]");
  return {v[0].Float(), v[1].Float()};
}

ojson Number(float f) {
  return ShortestDecimal(f);
}
ojson ColourJson(Color c) {
  return ojson::array({Number(c.r), Number(c.g), Number(c.b)});
}

int SlotOf(const JsonValue& where, const std::string& key) {
  std::optional<int> slot = MapSlotByName(key);
  if (!slot)
    where.Fail("unknown map slot \"" + key + "\" (diffuse, bump, ... or a number 0 to 255)");
  return *slot;
}

// {"diffuse": value, ...} in file order.
template <typename Fn>
void ForEachSlot(const JsonValue& v, Fn fn) {
  if (!v.IsObject()) v.FailType("an object of map slots");
  for (const auto& item : v.Raw().items()) {
    const JsonValue value = v.At(item.key());
    fn(SlotOf(value, item.key()), value);
  }
}

void ReadValue(const JsonValue& v, int type, ParamValue& out) {
  switch (StorageOf(type)) {
    case ParamStorage::kNumber:
      if (v.IsObject())
        out.keyed = ReadFloatController(v);
      else
        out.number = v.Float();
      break;
    case ParamStorage::kInteger:
      out.integer = (type & ~TYPE_TAB) == TYPE_BOOL ? v.Bool() : v.Int();
      break;
    case ParamStorage::kColour:
      out.colour = ReadColour(v);
      break;
    case ParamStorage::kText:
      if (!v.IsNull()) out.text = v.String();
      break;
    case ParamStorage::kNone:
      break;
  }
}

std::unique_ptr<ParamBlock> ReadBlock(const JsonValue& v) {
  if (v.IsNull()) return nullptr;
  if (!v.IsArray()) v.FailType("a list of parameters or null");
  auto block = std::make_unique<ParamBlock>();
  for (size_t i = 0; i < v.Size(); ++i) {
    const JsonValue p = v[i];
    p.ExpectObject({"name", "id", "type", "value"});
    const ParamID id = static_cast<ParamID>(p.Has("id") ? p.At("id").Uint(0x7FFF) : i);
    if (block->Find(id)) p.At("id").Fail("parameter id " + std::to_string(id) + " is used twice");
    const JsonValue typeJson = p.At("type");
    std::optional<int> type = ParamTypeByName(typeJson.String());
    if (!type) {
      typeJson.Fail("unknown parameter type \"" + typeJson.String() +
                    "\" (float, int, bool, color, point3, angle, percent, world, string, "
                    "filename, or one of them with \"Tab\")");
    }
    Parameter& param = block->Add(p.At("name").String(), id, *type);
    const JsonValue value = p.At("value");
    if (*type & TYPE_TAB) {
      if (!value.IsArray()) value.FailType("a list of values");
      param.values.resize(value.Size());
      for (size_t k = 0; k < value.Size(); ++k) ReadValue(value[k], *type, param.values[k]);
    } else {
      param.values.resize(1);
      ReadValue(value, *type, param.values[0]);
    }
  }
  return block;
}

void ReadBlocks(const JsonValue& v, std::vector<std::unique_ptr<ParamBlock>>& blocks) {
  if (!v.IsArray()) v.FailType("a list of parameter blocks");
  for (size_t i = 0; i < v.Size(); ++i) blocks.push_back(ReadBlock(v[i]));
}

void ReadHolder(const JsonValue& v, ParamHolder& holder) {
  if (auto blocks = v.Find("paramBlocks")) ReadBlocks(*blocks, holder.paramBlocks);
  if (auto list = v.Find("customAttributes")) {
    for (size_t i = 0; i < list->Size(); ++i) {
      const JsonValue a = (*list)[i];
      a.ExpectObject({"name", "paramBlocks"});
      auto attribute = std::make_unique<CustomAttribute>();
      if (auto name = a.Find("name")) attribute->name = name->String();
      if (auto blocks = a.Find("paramBlocks")) ReadBlocks(*blocks, attribute->blocks);
      holder.customAttributes.push_back(std::move(attribute));
    }
  }
}

ojson ValueJson(const ParamValue& v, int type) {
  switch (StorageOf(type)) {
    case ParamStorage::kNumber:
      return v.keyed ? FloatControllerJson(*v.keyed) : Number(v.number);
    case ParamStorage::kInteger:
      return (type & ~TYPE_TAB) == TYPE_BOOL ? ojson(v.integer != 0) : ojson(v.integer);
    case ParamStorage::kColour:
      return ColourJson(v.colour);
    case ParamStorage::kText:
      return v.text ? ojson(*v.text) : ojson(nullptr);
    case ParamStorage::kNone:
      break;
  }
  return nullptr;
}

ojson BlocksJson(const std::vector<std::unique_ptr<ParamBlock>>& blocks) {
  ojson list = ojson::array();
  for (const auto& block : blocks) {
    if (!block) {
      list.push_back(nullptr);
      continue;
    }
    ojson params = ojson::array();
    for (const Parameter& p : block->Params()) {
      const char* typeName = ParamTypeName(p.type);
      if (!typeName) throw std::logic_error("parameter " + p.name + " has a type without a name");
      ojson param{{"name", p.name}, {"id", p.id}, {"type", typeName}};
      if (p.type & TYPE_TAB) {
        ojson values = ojson::array();
        for (const ParamValue& v : p.values) values.push_back(ValueJson(v, p.type));
        param["value"] = std::move(values);
      } else {
        param["value"] = p.values.empty() ? ojson(nullptr) : ValueJson(p.values[0], p.type);
      }
      params.push_back(std::move(param));
    }
    list.push_back(std::move(params));
  }
  return list;
}

void WriteHolder(ojson& out, const ParamHolder& holder) {
  if (!holder.paramBlocks.empty()) out["paramBlocks"] = BlocksJson(holder.paramBlocks);
  if (holder.customAttributes.empty()) return;
  ojson list = ojson::array();
  for (const auto& a : holder.customAttributes) {
    list.push_back({{"name", a->name}, {"paramBlocks", BlocksJson(a->blocks)}});
  }
  out["customAttributes"] = std::move(list);
}

}  // namespace

std::optional<int> MapSlotByName(std::string_view name) {
  const auto& names = MapSlotNames();
  for (size_t s = 0; s < names.size(); ++s) {
    if (names[s] == name) return static_cast<int>(s);
  }
  int slot = 0;
  auto [ptr, ec] = std::from_chars(name.data(), name.data() + name.size(), slot);
  if (ec != std::errc() || ptr != name.data() + name.size() || slot < 0 || slot > 255) {
    return std::nullopt;
  }
  return slot;
}

std::string MapSlotKey(int slot) {
  const auto& names = MapSlotNames();
  return slot >= 0 && static_cast<size_t>(slot) < names.size() ? std::string(names[slot])
                                                               : std::to_string(slot);
}

void ReadTextureFields(const JsonValue& v, Texture& texture, const std::filesystem::path& baseDir) {
  if (auto file = v.Find("file")) {
    std::filesystem::path path = file->String();
    if (!path.empty() && path.is_relative() && !baseDir.empty()) {
      path = (baseDir / path).lexically_normal();
    }
    texture.fileName = path.string();
  }
  if (auto mono = v.Find("alphaAsMono")) texture.alphaAsMono = mono->Bool();
  if (auto rgb = v.Find("alphaAsRGB")) texture.alphaAsRGB = rgb->Bool();
  if (auto uv = v.Find("uv")) {
    texture.hasUVGen = !uv->IsNull();
    if (texture.hasUVGen) {
      uv->ExpectObject({"scale", "offset", "tiling"});
      UVGenerator& gen = texture.uvGen;
      if (auto scale = uv->Find("scale")) std::tie(gen.uScale, gen.vScale) = ReadPair(*scale);
      if (auto offset = uv->Find("offset")) std::tie(gen.uOffset, gen.vOffset) = ReadPair(*offset);
      if (auto tiling = uv->Find("tiling")) {
        tiling->ExpectObject({"uWrap", "vWrap", "uMirror", "vMirror"});
        const std::pair<const char*, int> flags[] = {
            {"uWrap", U_WRAP}, {"vWrap", V_WRAP}, {"uMirror", U_MIRROR}, {"vMirror", V_MIRROR}};
        for (auto [key, flag] : flags) {
          if (auto on = tiling->Find(key))
            gen.tiling = on->Bool() ? gen.tiling | flag : gen.tiling & ~flag;
        }
      }
    }
  }
  ReadHolder(v, texture);
}

void ReadMaterialFields(const JsonValue& v, Material& material) {
  if (auto names = v.Find("slotNames")) {
    if (names->Size() > material.subMaterials.size()) {
      names->Fail(std::to_string(names->Size()) + " slot names for " +
                  std::to_string(material.subMaterials.size()) + " sub-material slots");
    }
    for (size_t i = 0; i < names->Size(); ++i) material.slotNames.push_back((*names)[i].String());
  }
  if (auto c = v.Find("ambient")) material.ambient = ReadColour(*c);
  if (auto c = v.Find("diffuse")) material.diffuse = ReadColour(*c);
  if (auto c = v.Find("specular")) material.specular = ReadColour(*c);
  if (auto f = v.Find("shininess")) material.shininess = f->Float();
  if (auto f = v.Find("shineStrength")) material.shineStrength = f->Float();
  if (auto f = v.Find("opacity")) material.opacity = f->Float();
  if (auto b = v.Find("twoSided")) material.twoSided = b->Bool();
  if (auto r = v.Find("requirements")) material.requirements = r->Int();
  if (auto amounts = v.Find("amounts")) {
    ForEachSlot(*amounts,
                [&](int slot, const JsonValue& a) { material.amounts[slot] = a.Float(); });
  }
  if (auto enables = v.Find("mapEnables")) {
    ForEachSlot(*enables, [&](int slot, const JsonValue& e) {
      if (slot >= STD_MAP_COUNT) {
        e.Fail("a standard material has map enables for slots 0 to " +
               std::to_string(STD_MAP_COUNT - 1));
      }
      material.SetMapEnabled(slot, e.Bool());
    });
  }
  ReadHolder(v, material);
}

void WriteTextureFields(ojson& out, Texture& t, const std::filesystem::path& baseDir) {
  if (!t.fileName.empty()) {
    std::filesystem::path file = t.fileName;
    if (!baseDir.empty() && file.is_absolute()) file = file.lexically_proximate(baseDir);
    out["file"] = file.generic_string();
  }
  if (t.alphaAsMono) out["alphaAsMono"] = true;
  if (t.alphaAsRGB) out["alphaAsRGB"] = true;
  const UVGenerator fresh;
  const UVGenerator& gen = t.uvGen;
  if (!t.hasUVGen) {
    out["uv"] = nullptr;
  } else if (gen.uScale != fresh.uScale || gen.vScale != fresh.vScale ||
             gen.uOffset != fresh.uOffset || gen.vOffset != fresh.vOffset ||
             gen.tiling != fresh.tiling) {
    out["uv"] = {{"scale", {Number(gen.uScale), Number(gen.vScale)}},
                 {"offset", {Number(gen.uOffset), Number(gen.vOffset)}},
                 {"tiling",
                  {{"uWrap", (gen.tiling & U_WRAP) != 0},
                   {"vWrap", (gen.tiling & V_WRAP) != 0},
                   {"uMirror", (gen.tiling & U_MIRROR) != 0},
                   {"vMirror", (gen.tiling & V_MIRROR) != 0}}}};
  }
  WriteHolder(out, t);
}

void WriteMaterialFields(ojson& out, Material& m) {
  if (!m.slotNames.empty()) out["slotNames"] = m.slotNames;
  const Material fresh;
  if (!(m.ambient == fresh.ambient)) out["ambient"] = ColourJson(m.ambient);
  if (!(m.diffuse == fresh.diffuse)) out["diffuse"] = ColourJson(m.diffuse);
  if (!(m.specular == fresh.specular)) out["specular"] = ColourJson(m.specular);
  if (m.shininess != fresh.shininess) out["shininess"] = Number(m.shininess);
  if (m.shineStrength != fresh.shineStrength) out["shineStrength"] = Number(m.shineStrength);
  if (m.opacity != fresh.opacity) out["opacity"] = Number(m.opacity);
  if (m.twoSided) out["twoSided"] = true;
  if (m.requirements) out["requirements"] = *m.requirements;
  if (!m.amounts.empty()) {
    ojson amounts = ojson::object();
    for (auto [slot, amount] : m.amounts) amounts[MapSlotKey(slot)] = Number(amount);
    out["amounts"] = std::move(amounts);
  }
  ojson enables = ojson::object();
  for (int slot = 0; slot < STD_MAP_COUNT; ++slot) {
    if (!m.MapEnabled(slot)) enables[MapSlotKey(slot)] = false;
  }
  if (!enables.empty()) out["mapEnables"] = std::move(enables);
  WriteHolder(out, m);
}

}  // namespace kiln::standalone
