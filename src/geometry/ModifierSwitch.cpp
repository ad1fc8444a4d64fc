#include "geometry/ModifierSwitch.h"

#include "host/Object.h"

namespace kiln {

void SetModifierEnabled(Modifier* modifier, bool enabled) {
  if (enabled)
    modifier->ClearAFlag(A_MOD_DISABLED);
  else
    modifier->SetAFlag(A_MOD_DISABLED);
  modifier->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

ModifierSwitch::ModifierSwitch(Modifier* modifier, bool enabled) : modifier_(modifier) {
  if (modifier_ == nullptr) return;
  wasEnabled_ = modifier_->IsEnabled();
  SetModifierEnabled(modifier_, enabled);
  changed_ = wasEnabled_ != enabled;
}

void ModifierSwitch::Restore() {
  if (!changed_) return;
  changed_ = false;
  SetModifierEnabled(modifier_, wasEnabled_);
}

}  // namespace kiln
