#include "standalone/CameraObject.h"

namespace kiln::standalone {

CameraObject::CameraObject(Class_ID classId, std::string className)
    : SceneObject(classId, CAMERA_CLASS_ID, std::move(className)) {
  params = std::make_unique<ParamBlock>();
  params->Add("fov", kFov, TYPE_ANGLE).Number(kDefaultFov);
  params->Add("nearclip", kNearClip, TYPE_WORLD).Number(kDefaultNear);
  params->Add("farclip", kFarClip, TYPE_WORLD).Number(kDefaultFar);
}

int CameraObject::EvalCameraState(TimeValue t, Interval& valid, CameraState* cs) {
  cs->fov = params->GetFloat(kFov, t, 0);
  cs->hither = GetClipDist(t, CAM_HITHER_CLIP, valid);
  cs->yon = GetClipDist(t, CAM_YON_CLIP, valid);
  return 1;
}

float CameraObject::GetClipDist(TimeValue t, int which, Interval& valid) {
  (void)valid;
  if (which == CAM_HITHER_CLIP) return params->GetFloat(kNearClip, t, 0);
  if (which == CAM_YON_CLIP) return params->GetFloat(kFarClip, t, 0);
  return 0.0f;
}

}  // namespace kiln::standalone
