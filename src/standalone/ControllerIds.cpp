#include "standalone/ControllerIds.h"

#include "standalone/WireController.h"

namespace kiln::standalone {

void ControllerIds::Name(const JsonValue& v, FloatControl* controller) {
  std::string name = v.Name();
  if (name.empty()) v.Fail("empty controller id");
  if (!named_.emplace(name, controller).second) {
    v.Fail("controller id \"" + name + "\" is already given to another controller");
  }
  controller->id = std::move(name);
}

void ControllerIds::Follow(const JsonValue& v, WireFloatController* wire) {
  wires_.emplace_back(v, wire);
}

void ControllerIds::Resolve() {
  for (auto& [name, wire] : wires_) {
    auto it = named_.find(name.String());
    if (it == named_.end()) {
      name.Fail("no float controller has the id \"" + name.String() + "\"");
    }
    wire->source = it->second;
  }
  for (auto& [name, wire] : wires_) {
    std::string loop = wire->id.empty() ? "a wire" : wire->id;
    size_t steps = 0;
    for (auto* next = dynamic_cast<WireFloatController*>(wire->source);
         next && steps <= wires_.size();
         next = dynamic_cast<WireFloatController*>(next->source), ++steps) {
      loop += " -> " + next->id;
      if (next == wire) name.Fail("wires follow one another round a loop: " + loop);
    }
  }
  wires_.clear();
}

}  // namespace kiln::standalone
