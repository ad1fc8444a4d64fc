#include "materials/CustomAttributes.h"

#include <algorithm>
#include <vector>

#include "host/CustAttrib.h"
#include "host/Material.h"
#include "host/ParamBlock.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

struct FoundParam {
  IParamBlock2* block;
  ParamDef def;
  std::string name;  // a copy: the descriptor is released after gathering
};

// Every parameter definition of the block, by ascending id.
void Gather(IParamBlock2* block, std::vector<FoundParam>& out) {
  ParamBlockDesc2* desc = block->GetDesc();
  if (!desc) {
    block->ReleaseDesc();
    return;
  }
  std::vector<FoundParam> found;
  for (int index = 0; index < desc->Count(); ++index) {
    const ParamDef& def = desc->GetParamDef(index);
    found.push_back({block, def, def.int_name ? def.int_name : ""});
  }
  block->ReleaseDesc();
  std::stable_sort(found.begin(), found.end(),
                   [](const FoundParam& a, const FoundParam& b) { return a.def.ID < b.def.ID; });
  out.insert(out.end(), found.begin(), found.end());
}

}  // namespace

bool WriteCustomAttributes(CZX9_DiskWriter& writer, Mtl* material, const std::string& name) {
  std::vector<FoundParam> params;
  if (ICustAttribContainer* container = material->GetCustAttribContainer()) {
    for (int a = 0; a < container->GetNumCustAttribs(); ++a) {
      CustAttrib* attribute = container->GetCustAttrib(a);
      if (!attribute) continue;
      for (int b = 0; b < attribute->NumParamBlocks(); ++b) {
        if (IParamBlock2* block = attribute->GetParamBlock(b)) Gather(block, params);
      }
    }
  }
  if (params.empty()) return false;
  writer.WriteInt(static_cast<int32_t>(params.size()));
  writer.WriteString(name.c_str());
  for (const FoundParam& p : params) {
    writer.WriteString(p.name.c_str());
    switch (p.def.type) {
      case TYPE_BOOL:
        writer.WriteInt(kCustomBool);
        writer.WriteInt(p.block->GetInt(p.def.ID, 0, 0));
        break;
      case TYPE_INT:
        writer.WriteInt(kCustomInt);
        writer.WriteInt(p.block->GetInt(p.def.ID, 0, 0));
        break;
      case TYPE_FLOAT:
        writer.WriteInt(kCustomFloat);
        writer.WriteFloat(p.block->GetFloat(p.def.ID, 0, 0));
        break;
      case TYPE_STRING: {
        writer.WriteInt(kCustomString);
        const char* text = p.block->GetStr(p.def.ID, 0, 0);
        writer.WriteString(text ? text : "");
        break;
      }
      default:
        LogWarning(CurrentLog, "unsupported parameter type found in custom attributes: %s",
                   p.name.c_str());
        return false;
    }
  }
  return true;
}

}  // namespace kiln
