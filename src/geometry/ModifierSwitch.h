#pragma once

class Modifier;

namespace kiln {

// Switches a modifier on or off: sets or clears its disabled flag and tells
// its dependents, for all time and all channels, so the next evaluation sees it.
void SetModifierEnabled(Modifier* modifier, bool enabled);

// Puts a modifier in a state for as long as the switch lives and gives it back
// its earlier state on every way out, exceptions included. A null modifier is
// left alone.
class ModifierSwitch {
 public:
  ModifierSwitch(Modifier* modifier, bool enabled);
  ~ModifierSwitch() { Restore(); }
  ModifierSwitch(const ModifierSwitch&) = delete;
  ModifierSwitch& operator=(const ModifierSwitch&) = delete;

  bool WasEnabled() const { return wasEnabled_; }
  // Gives the modifier back its earlier state now, when that differs.
  void Restore();

 private:
  Modifier* modifier_;
  bool wasEnabled_ = false;
  bool changed_ = false;
};

}  // namespace kiln
