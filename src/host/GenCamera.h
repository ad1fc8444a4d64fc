#pragma once
#include <cstdint>

class Control;

// Camera objects (super class CAMERA_CLASS_ID) answer GetInterface(I_GENCAMERA);
// the real host's camera object is itself this class.
constexpr uint32_t I_GENCAMERA = 0x4743414D;

class GenCamera {
 public:
  virtual ~GenCamera() = default;
  // The controller of the field of view (radians); null when it has none.
  virtual Control* GetFOVControl() = 0;
};
