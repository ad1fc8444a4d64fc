#pragma once
#include <cstdint>
#include <string>

#include "host/ClassId.h"
#include "host/InterfaceId.h"
#include "host/Time.h"

class IParamBlock2;
class ICustAttribContainer;

// Numeric interface ids answered by GetInterface.
constexpr uint32_t I_SKIN = 0x00010000;
constexpr uint32_t I_KEYCONTROL = 0x1060;
constexpr uint32_t I_IKCONTROL = 0x1002;
constexpr uint32_t I_IKCHAINCONTROL = 0x1003;
// The morpher's channel table (the real host reaches it by the morpher's own class).
constexpr uint32_t I_MORPHER = 0x4B4D5248;

// Animatable flags.
constexpr uint32_t A_MOD_DISABLED = 0x20;

// Change messages sent to dependents.
using PartID = uint32_t;
constexpr PartID PART_ALL = 0xFFFFFFFF;
using RefMessage = uint32_t;
constexpr RefMessage REFMSG_CHANGE = 1;

// Base of every host object: its class, its name and its flags.
class Animatable {
 public:
  virtual ~Animatable() = default;

  virtual Class_ID ClassID() = 0;
  virtual SClass_ID SuperClassID() = 0;
  virtual std::string GetClassName() = 0;

  // Extra interfaces by numeric id; null when the object has none.
  virtual void* GetInterface(uint32_t id) {
    (void)id;
    return nullptr;
  }
  // Extra interfaces by two-word id (the constraints'); null when absent.
  virtual void* GetInterfaceByID(Interface_ID id) {
    (void)id;
    return nullptr;
  }

  // Parameter blocks of the object, in block order; null for an absent block.
  virtual int NumParamBlocks() { return 0; }
  virtual IParamBlock2* GetParamBlock(int i) {
    (void)i;
    return nullptr;
  }
  // The object's custom attributes; null when it has none.
  virtual ICustAttribContainer* GetCustAttribContainer() { return nullptr; }

  bool TestAFlag(uint32_t mask) const { return (aflag_ & mask) != 0; }
  void SetAFlag(uint32_t mask) { aflag_ |= mask; }
  void ClearAFlag(uint32_t mask) { aflag_ &= ~mask; }

  // Tells everything that depends on this object that it changed.
  virtual void NotifyDependents(Interval changeInt, PartID partID, RefMessage message) {
    (void)changeInt, (void)partID, (void)message;
  }

 private:
  uint32_t aflag_ = 0;
};
