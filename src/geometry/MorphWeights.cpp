#include "geometry/MorphWeights.h"

#include <algorithm>

#include "geometry/MorphTargets.h"
#include "geometry/NodeLookup.h"
#include "host/Morpher.h"
#include "host/Object.h"

namespace kiln {
namespace {

IMorpher* MorpherOf(INode* node, bool enabledOnly) {
  Modifier* modifier = FindModifier(node, MORPHER_CLASS_ID);
  if (modifier == nullptr || (enabledOnly && !modifier->IsEnabled())) return nullptr;
  return static_cast<IMorpher*>(modifier->GetInterface(I_MORPHER));
}

// Calls visit(slot, channel number) for every collected channel, in slot
// order, until it answers false.
template <typename Visit>
void ForEachChannel(IMorpher* morpher, Visit visit) {
  const int slots = std::min(morpher->NumSlots(), MORPHER_SLOT_COUNT);
  int channel = 0;
  for (int s = 0; s < slots; ++s) {
    const MorphChannelSlot* slot = morpher->GetSlot(s);
    if (slot == nullptr || !slot->present || !slot->active || slot->invalid) continue;
    if (!visit(*slot, channel++)) return;
  }
}

}  // namespace

std::vector<int> AnimatedMorphChannels(INode* node) {
  std::vector<int> channels;
  IMorpher* morpher = MorpherOf(node, true);
  if (morpher == nullptr) return channels;
  ForEachChannel(morpher, [&](const MorphChannelSlot& slot, int channel) {
    if (slot.weightController != nullptr && channel <= kLastAnimatedMorphChannel) {
      channels.push_back(channel);
    }
    return true;
  });
  return channels;
}

Control* MorphWeightController(INode* node, int channel) {
  IMorpher* morpher = MorpherOf(node, false);
  Control* found = nullptr;
  if (morpher == nullptr) return found;
  ForEachChannel(morpher, [&](const MorphChannelSlot& slot, int n) {
    if (n == channel) found = slot.weightController;
    return n < channel;
  });
  return found;
}

}  // namespace kiln
