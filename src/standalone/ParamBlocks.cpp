#include "standalone/ParamBlocks.h"

namespace kiln::standalone {
namespace {

struct NamedType {
  const char* name;
  int type;
  ParamStorage storage;
};
constexpr NamedType kTypes[] = {
    {"float", TYPE_FLOAT, ParamStorage::kNumber},
    {"int", TYPE_INT, ParamStorage::kInteger},
    {"color", TYPE_RGBA, ParamStorage::kColour},
    {"point3", TYPE_POINT3, ParamStorage::kColour},
    {"bool", TYPE_BOOL, ParamStorage::kInteger},
    {"angle", TYPE_ANGLE, ParamStorage::kNumber},
    {"percent", TYPE_PCNT_FRAC, ParamStorage::kNumber},
    {"world", TYPE_WORLD, ParamStorage::kNumber},
    {"string", TYPE_STRING, ParamStorage::kText},
    {"filename", TYPE_FILENAME, ParamStorage::kText},
};

const NamedType* FindType(int type) {
  for (const NamedType& t : kTypes) {
    if (t.type == (type & ~TYPE_TAB)) return &t;
  }
  return nullptr;
}

}  // namespace

const char* ParamTypeName(int type) {
  static std::vector<std::string> tabNames = [] {
    std::vector<std::string> names;
    for (const NamedType& t : kTypes) names.push_back(std::string(t.name) + "Tab");
    return names;
  }();
  const NamedType* found = FindType(type);
  if (!found || (type & ~(TYPE_TAB | 0xFF)) != 0) return nullptr;
  if (type & TYPE_TAB) return tabNames[found - kTypes].c_str();
  return found->name;
}

std::optional<int> ParamTypeByName(std::string_view name) {
  bool table = name.size() > 3 && name.substr(name.size() - 3) == "Tab";
  if (table) name.remove_suffix(3);
  for (const NamedType& t : kTypes) {
    if (name == t.name) return t.type | (table ? TYPE_TAB : 0);
  }
  return std::nullopt;
}

ParamStorage StorageOf(int type) {
  const NamedType* found = FindType(type);
  return found ? found->storage : ParamStorage::kNone;
}

Parameter& Parameter::Int(int32_t v) {
  values.emplace_back().integer = v;
  return *this;
}
Parameter& Parameter::Number(float v) {
  values.emplace_back().number = v;
  return *this;
}
Parameter& Parameter::Colour(Color v) {
  values.emplace_back().colour = v;
  return *this;
}
Parameter& Parameter::Text(std::optional<std::string> v) {
  values.emplace_back().text = std::move(v);
  return *this;
}

Parameter& ParamBlock::Add(std::string name, ParamID id, int type) {
  params_.push_back({std::move(name), id, type, {}});
  return params_.back();
}

Parameter* ParamBlock::Find(ParamID id) {
  for (Parameter& p : params_) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

ParamBlockDesc2* ParamBlock::GetDesc() {
  // Definitions handed out stay put while any descriptor is held.
  if (openDescriptors_ == 0) {
    defs_.clear();
    for (const Parameter& p : params_) defs_.push_back({p.name.c_str(), p.id, p.type});
  }
  ++openDescriptors_;
  return this;
}

int ParamBlock::IDtoIndex(ParamID id) {
  for (size_t i = 0; i < params_.size(); ++i) {
    if (params_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

const ParamDef& ParamBlock::GetParamDef(int index) {
  static const ParamDef none;
  return index >= 0 && static_cast<size_t>(index) < defs_.size() ? defs_[index] : none;
}

int ParamBlock::Count(ParamID id) {
  Parameter* p = Find(id);
  return p ? static_cast<int>(p->values.size()) : 0;
}

const ParamValue* ParamBlock::Value(ParamID id, int tabIndex, const Parameter** param) {
  Parameter* p = Find(id);
  if (!p || tabIndex < 0 || static_cast<size_t>(tabIndex) >= p->values.size()) return nullptr;
  if (param) *param = p;
  return &p->values[tabIndex];
}

int ParamBlock::GetInt(ParamID id, TimeValue t, int tabIndex) {
  const Parameter* p = nullptr;
  const ParamValue* v = Value(id, tabIndex, &p);
  if (!v) return 0;
  if (StorageOf(p->type) == ParamStorage::kNumber)
    return static_cast<int>(GetFloat(id, t, tabIndex));
  return v->integer;
}

float ParamBlock::GetFloat(ParamID id, TimeValue t, int tabIndex) {
  const Parameter* p = nullptr;
  const ParamValue* v = Value(id, tabIndex, &p);
  if (!v) return 0.0f;
  if (StorageOf(p->type) == ParamStorage::kInteger) return static_cast<float>(v->integer);
  return v->keyed ? v->keyed->ValueAt(t) : v->number;
}

Color ParamBlock::GetColor(ParamID id, TimeValue t, int tabIndex) {
  (void)t;
  const ParamValue* v = Value(id, tabIndex);
  return v ? v->colour : Color();
}

const char* ParamBlock::GetStr(ParamID id, TimeValue t, int tabIndex) {
  (void)t;
  const ParamValue* v = Value(id, tabIndex);
  return v && v->text ? v->text->c_str() : nullptr;
}

Control* ParamBlock::GetController(ParamID id, int tabIndex) {
  const ParamValue* v = Value(id, tabIndex);
  return v ? v->keyed.get() : nullptr;
}

IParamBlock2* CustomAttribute::GetParamBlock(int i) {
  return i >= 0 && i < NumParamBlocks() ? blocks[i].get() : nullptr;
}

CustAttrib* ParamHolder::GetCustAttrib(int i) {
  return i >= 0 && i < GetNumCustAttribs() ? customAttributes[i].get() : nullptr;
}

IParamBlock2* ParamHolder::Block(int i) {
  return i >= 0 && static_cast<size_t>(i) < paramBlocks.size() ? paramBlocks[i].get() : nullptr;
}

}  // namespace kiln::standalone
