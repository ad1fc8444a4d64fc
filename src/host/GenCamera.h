#pragma once
#include <cstdint>

#include "host/Time.h"

class Control;

// Camera objects (super class CAMERA_CLASS_ID) answer GetInterface(I_GENCAMERA);
// the real host's camera object is itself this class.
constexpr uint32_t I_GENCAMERA = 0x4743414D;

// Which clipping plane GetClipDist gives.
constexpr int CAM_HITHER_CLIP = 1;
constexpr int CAM_YON_CLIP = 2;

// What a camera looks like at one time.
struct CameraState {
  float fov = 0.0f;     // horizontal field of view, radians
  float hither = 0.0f;  // near clipping distance
  float yon = 0.0f;     // far clipping distance
};

class GenCamera {
 public:
  virtual ~GenCamera() = default;
  // The controller of the field of view (radians); null when it has none.
  virtual Control* GetFOVControl() = 0;
  // Fills cs with the camera at t and narrows valid to the times it holds
  // for; nonzero on success.
  virtual int EvalCameraState(TimeValue t, Interval& valid, CameraState* cs) = 0;
  // The near (CAM_HITHER_CLIP) or far (CAM_YON_CLIP) clipping distance at t.
  virtual float GetClipDist(TimeValue t, int which, Interval& valid) = 0;
};
