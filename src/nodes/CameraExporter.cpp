#include "nodes/CameraExporter.h"

#include <cstdio>
#include <string>

#include "geometry/AxisExchange.h"
#include "geometry/FormatPoint.h"
#include "geometry/LocalTransform.h"
#include "geometry/TransformWriter.h"
#include "host/GenCamera.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"
#include "platform/Messages.h"
#include "platform/ProfileFile.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/NodeHeader.h"
#include "util/TextFormat.h"

namespace kiln {
namespace {

// Clipping planes nearer than this are written at it.
constexpr float kNearestClip = 0.0001f;

bool IsTargetCamera(Object* object) {
  return object && object->ClassID() == TARGET_CAMERA_CLASS_ID;
}

GenCamera* CameraOf(Object* object) {
  return object ? static_cast<GenCamera*>(object->GetInterface(I_GENCAMERA)) : nullptr;
}

void WriteIniEntry(const char* section, const char* key, const std::string& value) {
  platform::WritePrivateProfileStringA(section, key, value.c_str(), IniFileName.c_str());
}

}  // namespace

CameraExporter::CameraExporter(INode* node, Interface* ip) : NodeExporter(node, ip) {
  Object* object = node->EvalWorldState(0).obj;
  if (IsTargetCamera(object)) {
    RequestTrack(2, 1);
    RequestTrack(5, 3);
    RequestTrack(4, 4);
  } else {
    RequestTrack(0, 0);
  }
  GenCamera* camera = CameraOf(object);
  if (camera && camera->GetFOVControl()) RequestTrack(4, 5);
}

int CameraExporter::Export(CZX9_DiskWriter* writer, Object* evaluated) {
  GenCamera* camera = CameraOf(evaluated);
  if (!camera) return 0;  // not a camera the host can describe: the default chunk follows
  const bool target = IsTargetCamera(evaluated);
  writer->BeginChunk(2, target ? 11 : 12, 1);

  Interval valid = FOREVER;
  CameraState state;
  camera->EvalCameraState(0, valid, &state);
  WriteNodeHeader(writer, node_);
  WriteObjectOffset(writer, node_);

  const TimeValue start = ip_->GetAnimRange().Start();
  float nearClip = camera->GetClipDist(start, CAM_HITHER_CLIP, valid);
  if (nearClip < kNearestClip) nearClip = kNearestClip;
  const float farClip = camera->GetClipDist(start, CAM_YON_CLIP, valid);
  writer->WriteFloat(nearClip);
  writer->WriteFloat(farClip);
  writer->WriteFloat(state.fov);
  WriteTransform(writer, ExchangeMatrixAxes(LocalObjectTransform(node_, start)));
  if (!target) {
    writer->EndChunk();
    return 1;
  }

  const char* name = node_->GetName();
  INode* targetNode = node_->GetTarget();
  if (!targetNode) {
    char text[1024];
    std::snprintf(text, sizeof text, "Unable to find camera target for camera: %s", name);
    ShowMessage(text, platform::MB_OK, 0);
    // Kept in the log too: with prompts suppressed the box is never seen.
    LogError(CurrentLog, "%s", text);
    writer->UndoChunk();
    return 0;
  }
  writer->WriteInt(static_cast<int>(targetNode->GetHandle()));
  const Point3 targetPosition = ExchangePointAxes(LocalTransform(targetNode, start).GetTrans());
  WritePoint(writer, targetPosition);

  if (WriteIniFiles) {
    WriteIniEntry(name, "Pos",
                  FormatPoint(ExchangePointAxes(LocalTransform(node_, start).GetTrans())));
    WriteIniEntry(name, "Target", FormatPoint(targetPosition));
    WriteIniEntry(name, "Up", FormatPoint(ExchangePointAxes(Point3(0, 0, 1))));
    WriteIniEntry(name, "Near", FloatText(nearClip));
    WriteIniEntry(name, "FOV", FloatText(state.fov));
  }
  writer->EndChunk();
  return 1;
}

}  // namespace kiln
