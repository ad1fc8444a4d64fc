#pragma once
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "standalone/JsonInput.h"
#include "standalone/ValueControl.h"

namespace kiln::standalone {

class WireFloatController;

// The names ("id") that float controllers carry in a scene file, by which
// wires name the controller they follow. Wires may name controllers that
// come later in the file, so sources are given once everything is read.
class ControllerIds {
 public:
  // Records controller under the name at v; a name given twice fails at v.
  void Name(const JsonValue& v, FloatControl* controller);
  // Remembers that the wire follows the controller named at v.
  void Follow(const JsonValue& v, WireFloatController* wire);
  // Gives every wire its source; a name that no controller carries fails at
  // the wire's "source".
  void Resolve();

 private:
  std::unordered_map<std::string, FloatControl*> named_;
  std::vector<std::pair<JsonValue, WireFloatController*>> wires_;
};

}  // namespace kiln::standalone
