#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/CustAttrib.h"
#include "host/ParamBlock.h"
#include "standalone/Controllers.h"

namespace kiln::standalone {

// One value of a parameter. Which member counts follows the parameter's type:
// number for float, angle, percent and world values (keyed when a
// controller is given), integer for int and bool, colour for colour and
// point3, text for string and filename (none: a null string).
struct ParamValue {
  float number = 0.0f;
  int32_t integer = 0;
  Color colour;
  std::optional<std::string> text;
  std::unique_ptr<FloatController> keyed;
};

struct Parameter {
  std::string name;  // internal name
  ParamID id = 0;
  int type = TYPE_FLOAT;           // element type, plus TYPE_TAB for a table
  std::vector<ParamValue> values;  // one value, or a table's entries

  // Each appends one value: block.Add("glassy", 0, TYPE_BOOL).Int(1).
  Parameter& Int(int32_t v);
  Parameter& Number(float v);
  Parameter& Colour(Color v);
  Parameter& Text(std::optional<std::string> v);
};

// Parameter types by their scene-file names ("float", "boolTab", ...).
const char* ParamTypeName(int type);  // null for a type without a name
std::optional<int> ParamTypeByName(std::string_view name);
// Which member of ParamValue a type uses.
enum class ParamStorage { kNumber, kInteger, kColour, kText, kNone };
ParamStorage StorageOf(int type);

// A parameter block holding its own definitions. It counts the descriptors
// handed out and not yet released, so that leaks show.
class ParamBlock final : public IParamBlock2, private ParamBlockDesc2 {
 public:
  // Adds a parameter; its definition index is its position.
  Parameter& Add(std::string name, ParamID id, int type);
  Parameter* Find(ParamID id);
  const std::vector<Parameter>& Params() const { return params_; }
  int OpenDescriptors() const { return openDescriptors_; }

  ParamBlockDesc2* GetDesc() override;
  void ReleaseDesc() override { --openDescriptors_; }
  int Count(ParamID id) override;
  int GetInt(ParamID id, TimeValue t, int tabIndex) override;
  float GetFloat(ParamID id, TimeValue t, int tabIndex) override;
  Color GetColor(ParamID id, TimeValue t, int tabIndex) override;
  const char* GetStr(ParamID id, TimeValue t, int tabIndex) override;
  Control* GetController(ParamID id, int tabIndex) override;

 private:
  int Count() override { return static_cast<int>(params_.size()); }
  int IDtoIndex(ParamID id) override;
  const ParamDef& GetParamDef(int index) override;
  const ParamValue* Value(ParamID id, int tabIndex, const Parameter** param = nullptr);

  std::vector<Parameter> params_;
  std::vector<ParamDef> defs_;  // rebuilt when the descriptor is handed out
  int openDescriptors_ = 0;
};

// A custom attribute: a named set of parameter blocks (null: an absent block).
class CustomAttribute final : public CustAttrib {
 public:
  explicit CustomAttribute(std::string name = {}) : name(std::move(name)) {}
  Class_ID ClassID() override { return Class_ID(0x4B43A77B, 0x1); }
  std::string GetClassName() override { return "Custom Attribute"; }
  const char* GetName() override { return name.c_str(); }
  int NumParamBlocks() override { return static_cast<int>(blocks.size()); }
  IParamBlock2* GetParamBlock(int i) override;

  std::string name;
  std::vector<std::unique_ptr<ParamBlock>> blocks;
};

// The parameter blocks and custom attributes of a material or map.
class ParamHolder : public ICustAttribContainer {
 public:
  int GetNumCustAttribs() override { return static_cast<int>(customAttributes.size()); }
  CustAttrib* GetCustAttrib(int i) override;

  // The container when there are custom attributes, else null.
  ICustAttribContainer* Container() { return customAttributes.empty() ? nullptr : this; }
  IParamBlock2* Block(int i);

  std::vector<std::unique_ptr<ParamBlock>> paramBlocks;  // null: an absent block
  std::vector<std::unique_ptr<CustomAttribute>> customAttributes;
};

}  // namespace kiln::standalone
