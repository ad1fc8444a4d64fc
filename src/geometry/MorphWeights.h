#pragma once
#include <vector>

class Control;
class INode;

namespace kiln {

// The channel numbers (0 to 9) of an enabled morpher's channels whose weight
// is animated, numbered as the mesh export numbers its channels: the weight
// tracks a morphed mesh requests.
std::vector<int> AnimatedMorphChannels(INode* node);

// The weight controller of the morpher's collected channel n, or null.
Control* MorphWeightController(INode* node, int channel);

}  // namespace kiln
