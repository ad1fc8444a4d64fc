#include "nodes/OkapiSliderExporter.h"

#include <vector>

#include "host/Control.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "host/ParamBlock.h"
#include "platform/ProfileFile.h"
#include "plugin/Globals.h"
#include "util/TextFormat.h"

namespace kiln {
namespace {

constexpr ParamID kValue = 0, kMin = 1, kMax = 2;

// Collects the dependents of a controller: the float controllers among its
// direct dependents, and the nodes among all of them, each once.
class SliderDependents : public DependentEnumProc {
 public:
  SliderDependents(Control* value, bool direct) : value_(value), direct_(direct) {}
  int proc(const Dependent& dependent) override {
    if (dependent.anim == value_) return DEP_ENUM_CONTINUE;
    if (dependent.superClass == CTRL_FLOAT_CLASS_ID && direct_) {
      drivers.push_back(static_cast<Control*>(dependent.anim));
    }
    if (dependent.superClass == BASENODE_CLASS_ID && dependent.node)
      nodes.push_back(dependent.node);
    return direct_ ? DEP_ENUM_SKIP : DEP_ENUM_CONTINUE;
  }

  std::vector<Control*> drivers;
  std::vector<INode*> nodes;

 private:
  Control* value_;
  bool direct_;
};

// The six channels in the order they are written; host y is the engine's z.
std::vector<SliderChannel> ChannelsOf(INode* node) {
  Control* transform = node->GetTMController();
  Control* position = transform ? transform->GetPositionController() : nullptr;
  Control* rotation = transform ? transform->GetRotationController() : nullptr;
  auto axis = [](Control* c, Control* (Control::*sub)()) { return c ? (c->*sub)() : nullptr; };
  return {
      {"POSITION_X", axis(position, &Control::GetXController)},
      {"POSITION_Z", axis(position, &Control::GetYController)},
      {"POSITION_Y", axis(position, &Control::GetZController)},
      {"ROTATION_X", axis(rotation, &Control::GetXController)},
      {"ROTATION_Z", axis(rotation, &Control::GetYController)},
      {"ROTATION_Y", axis(rotation, &Control::GetZController)},
  };
}

}  // namespace

int OkapiSliderExporter::Export(CZX9_DiskWriter*, Object* evaluated) {
  if (!evaluated || !(evaluated->ClassID() == OKAPISLIDER_CLASS_ID)) return 1;
  Object* object = node_->EvalWorldState(ip_->GetAnimRange().Start()).obj;
  IParamBlock2* block = object ? object->GetParamBlock(0) : nullptr;
  if (!block) return 1;
  const std::string minimum = FloatText(block->GetFloat(kMin, 0, 0));
  const std::string maximum = FloatText(block->GetFloat(kMax, 0, 0));

  // A value that nothing animates drives nothing.
  Control* value = block->GetController(kValue, 0);
  if (!value) return 1;
  SliderDependents direct(value, true), all(value, false);
  value->EnumDependents(&direct);
  value->EnumDependents(&all);
  std::vector<INode*> driven;
  for (INode* node : all.nodes) {
    if (node->GetHandle() != node_->GetHandle()) driven.push_back(node);
  }
  if (direct.drivers.empty() || driven.empty() || !WriteIniFiles) return 1;

  for (INode* node : driven) {
    const std::vector<SliderChannel> channels = ChannelsOf(node);
    for (Control* driver : direct.drivers) {
      for (const SliderChannel& channel : channels) {
        if (channel.control != driver) continue;
        const std::string minKey = channel.name + "_MIN", maxKey = channel.name + "_MAX";
        platform::WritePrivateProfileStringA(node->GetName(), minKey.c_str(), minimum.c_str(),
                                             CfgFileName.c_str());
        platform::WritePrivateProfileStringA(node->GetName(), maxKey.c_str(), maximum.c_str(),
                                             CfgFileName.c_str());
      }
    }
  }
  return 1;
}

}  // namespace kiln
