#pragma once
#include <cstdint>
#include <vector>

#include "host/Point3.h"

class INode;
class Modifier;

namespace kiln {

class CZX9_DiskWriter;
class MeshBuilder;

// One point of a morph channel: its host vertex, its per-point weight (kept,
// not written) and its delta in output axes times the export scale.
struct MorphPoint {
  int32_t vertex = 0;
  float weight = 0.0f;
  Point3 delta;
};

// A collected morpher channel, in slot order.
struct MorphChannel {
  std::vector<MorphPoint> points;
  // The weight has a controller and the channel number is at most nine.
  bool animated = false;
};

// Channel numbers above this cannot be animated.
constexpr int kLastAnimatedMorphChannel = 9;
// The weight track of channel n is requested as (4, 7 + n).
constexpr int32_t kMorphTrackKind = 4;
constexpr int32_t kFirstMorphTrackSubKind = 7;

// Collects the present, active and valid slots of the node's morpher as
// channels numbered from 0; nothing without a morpher. The caller decides
// whether the morpher counts (it is switched off while the mesh is read).
// Channels beyond nine whose weight is animated are logged and kept
// unanimated.
std::vector<MorphChannel> CollectMorphChannels(INode* node, Modifier* morpher);

// The morph section: channel count, vertex count, then per channel its
// animated flag and one delta per output vertex (zero where no point of the
// channel reaches).
void WriteMorphDeltas(CZX9_DiskWriter& writer, const std::vector<MorphChannel>& channels,
                      const MeshBuilder& builder, const char* nodeName);

}  // namespace kiln
