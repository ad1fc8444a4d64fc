#pragma once
#include "host/Animatable.h"
#include "host/Dependents.h"
#include "host/Keys.h"

// Out-of-range behaviours answered by GetORT.
constexpr int ORT_BEFORE = 1;
constexpr int ORT_AFTER = 2;
constexpr int ORT_CONSTANT = 1;
constexpr int ORT_CYCLE = 2;
constexpr int ORT_LOOP = 3;
constexpr int ORT_OSCILLATE = 4;
constexpr int ORT_LINEAR = 5;
constexpr int ORT_IDENTITY = 6;
constexpr int ORT_RELATIVE_REPEAT = 7;

// An animation controller. A transform controller answers its position,
// rotation, scale and roll sub-controllers; XYZ controllers answer X, Y, Z.
class Control : public Animatable {
 public:
  virtual Control* GetPositionController() { return nullptr; }
  virtual Control* GetRotationController() { return nullptr; }
  virtual Control* GetScaleController() { return nullptr; }
  virtual Control* GetRollController() { return nullptr; }
  virtual Control* GetXController() { return nullptr; }
  virtual Control* GetYController() { return nullptr; }
  virtual Control* GetZController() { return nullptr; }
  virtual int GetORT(int type) {
    (void)type;
    return ORT_CONSTANT;
  }

  // Typed value reads at t. A controller of that value type fills v and
  // answers true; any other leaves v as it was and answers false.
  virtual bool GetFloatValue(TimeValue t, float& v) {
    (void)t, (void)v;
    return false;
  }
  virtual bool GetPoint3Value(TimeValue t, Point3& v) {
    (void)t, (void)v;
    return false;
  }
  virtual bool GetQuatValue(TimeValue t, Quat& v) {
    (void)t, (void)v;
    return false;
  }
  virtual bool GetScaleValue(TimeValue t, ScaleValue& v) {
    (void)t, (void)v;
    return false;
  }

  // Calls proc for this controller, then for everything that depends on it,
  // depth first, each once, as proc's answers allow. Nonzero when proc
  // halted it.
  virtual int EnumDependents(DependentEnumProc* proc) {
    return proc->proc({SuperClassID(), this, nullptr}) == DEP_ENUM_HALT;
  }
};
