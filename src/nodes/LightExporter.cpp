#include "nodes/LightExporter.h"

#include "geometry/AxisExchange.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/GenLight.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/NodeHeader.h"

namespace kiln {
namespace {

struct LightKind {
  Class_ID classId;
  uint32_t code;  // the chunk's subtype
};

constexpr LightKind kLightKinds[] = {
    {OMNI_LIGHT_CLASS_ID, 10}, {SPOT_LIGHT_CLASS_ID, 8}, {DIR_LIGHT_CLASS_ID, 6},
    {FSPOT_LIGHT_CLASS_ID, 9}, {TDIR_LIGHT_CLASS_ID, 7},
};
constexpr uint32_t kTargetSpot = 8;
constexpr uint32_t kFreeSpot = 9;

// The kind code of a standard light, 0 for anything else.
uint32_t KindOf(Object* object) {
  if (!object) return 0;
  for (const LightKind& kind : kLightKinds) {
    if (kind.classId == object->ClassID()) return kind.code;
  }
  return 0;
}

}  // namespace

LightExporter::LightExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {
  Object* object = node->EvalWorldState(ip->GetAnimRange().Start()).obj;
  const Class_ID id = object ? object->ClassID() : Class_ID();
  if (id == SPOT_LIGHT_CLASS_ID || id == TDIR_LIGHT_CLASS_ID) {
    RequestTrack(2, 1);
    RequestTrack(5, 3);
    RequestTrack(4, 4);
  } else {
    RequestTrack(0, 0);
  }
  if (node->GetVisController()) RequestTrack(4, 6);
}

int LightExporter::Export(CZX9_DiskWriter* writer, Object* evaluated) {
  auto* light = evaluated ? static_cast<GenLight*>(evaluated->GetInterface(I_GENLIGHT)) : nullptr;
  const uint32_t kind = light ? KindOf(evaluated) : 0;
  if (kind == 0) {
    LogWarning(CurrentLog, "Couldn't export node %s as a light", node_->GetName());
    return 0;
  }
  Interval valid = FOREVER;
  LightState state;
  light->EvalLightState(0, valid, &state);

  writer->BeginChunk(1, kind, 1);
  WriteNodeHeader(writer, node_);
  WriteObjectOffset(writer, node_);
  writer->WritePoint3(state.color.r, state.color.g, state.color.b);
  WriteTransform(writer, ExchangeMatrixAxes(LocalObjectTransform(node_, 0)));
  writer->WriteInt(state.useAtten);
  if (state.useAtten) {
    writer->WriteFloat(state.attenStart);
    writer->WriteFloat(state.attenEnd);
  }
  if (kind == kTargetSpot || kind == kFreeSpot) {
    writer->WriteFloat(state.hotsize);
    writer->WriteFloat(state.fallsize);
  }
  if (kind == kTargetSpot && !node_->GetTarget()) {
    LogError(CurrentLog, "Couldn't find target for spot light %s", node_->GetName());
    writer->UndoChunk();
    return 0;
  }
  writer->EndChunk();
  return 1;
}

}  // namespace kiln
