#include "geometry/MorphTargets.h"

#include <algorithm>

#include "geometry/AxisExchange.h"
#include "geometry/MeshBuilder.h"
#include "host/INode.h"
#include "host/Morpher.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

std::vector<MorphChannel> CollectMorphChannels(INode* node, Modifier* modifier) {
  std::vector<MorphChannel> channels;
  if (modifier == nullptr) return channels;
  auto* morpher = static_cast<IMorpher*>(modifier->GetInterface(I_MORPHER));
  if (morpher == nullptr) return channels;

  const int slots = std::min(morpher->NumSlots(), MORPHER_SLOT_COUNT);
  for (int s = 0; s < slots; ++s) {
    const MorphChannelSlot* slot = morpher->GetSlot(s);
    if (slot == nullptr || !slot->present || !slot->active || slot->invalid) continue;
    const int channelNumber = static_cast<int>(channels.size());
    MorphChannel channel;
    channel.points.reserve(slot->deltas.size());
    for (size_t i = 0; i < slot->deltas.size(); ++i) {
      MorphPoint point;
      point.vertex = static_cast<int32_t>(i);
      point.weight = i < slot->weights.size() ? static_cast<float>(slot->weights[i]) : 0.0f;
      point.delta = ExchangePointAxes(slot->deltas[i]) * kExportScale;
      channel.points.push_back(point);
    }
    if (slot->weightController != nullptr) {
      if (channelNumber <= kLastAnimatedMorphChannel) {
        channel.animated = true;
      } else {
        LogError(CurrentLog,
                 "Node %s has more than nine animated morph channels, which isn't supported..",
                 node->GetName());
      }
    }
    channels.push_back(std::move(channel));
  }
  return channels;
}

void WriteMorphDeltas(CZX9_DiskWriter& writer, const std::vector<MorphChannel>& channels,
                      const MeshBuilder& builder, const char* nodeName) {
  const auto vertexCount = static_cast<int32_t>(builder.FatVertices().Size());
  writer.WriteInt(static_cast<int32_t>(channels.size()));
  writer.WriteInt(vertexCount);
  const CornerMap& corners = builder.Corners();
  const std::vector<int32_t>& sequence = builder.SequenceMap();
  std::vector<Point3> deltas(static_cast<size_t>(vertexCount));
  for (const MorphChannel& channel : channels) {
    writer.WriteByte(channel.animated ? 1 : 0);
    LogInfo(CurrentLog, "num vertices in channel %d", static_cast<int>(channel.points.size()));
    // Every channel starts from zero: vertices it does not move stay put.
    deltas.assign(deltas.size(), Point3());
    for (size_t i = 0; i < channel.points.size(); ++i) {
      const MorphPoint& point = channel.points[i];
      const auto vertex = static_cast<size_t>(point.vertex);
      if (vertex >= corners.HostVertexCount() || corners.FatVertices(vertex).empty()) {
        LogError(CurrentLog, "Error exporting morphtarget for mesh: %s", nodeName);
        continue;
      }
      for (int32_t fat : corners.FatVertices(vertex)) deltas[sequence[fat]] = point.delta;
      LogInfo(CurrentLog, "orig delta %d, %f, %f, %f", static_cast<int>(i), point.delta.x,
              point.delta.y, point.delta.z);
    }
    LogInfo(CurrentLog, "morph deltas, num vertices in mesh: %d", vertexCount);
    for (int32_t out = 0; out < vertexCount; ++out) {
      const Point3& d = deltas[out];
      LogInfo(CurrentLog, "%d: %f, %f, %f", out, d.x, d.y, d.z);
    }
    static_assert(sizeof(Point3) == 12, "deltas are written as raw float triples");
    writer.WriteBytes(deltas.data(), deltas.size() * sizeof(Point3));
  }
}

}  // namespace kiln
