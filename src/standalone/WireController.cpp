#include "standalone/WireController.h"

#include <unordered_set>

#include "standalone/DependencyGraph.h"

namespace kiln::standalone {

float WireFloatController::ValueAt(TimeValue t, const NodePlace& place) const {
  float driving = 0.0f;
  if (source && !evaluating_) {
    evaluating_ = true;
    driving = source->ValueAt(t, place);
    evaluating_ = false;
  }
  return offset + factor * driving;
}

void NameWireSources(const Scene& scene) {
  const DependencyGraph graph(scene);
  std::unordered_set<std::string> used;
  for (Control* c : graph.Controllers()) {
    if (auto* named = dynamic_cast<FloatControl*>(c); named && !named->id.empty())
      used.insert(named->id);
  }
  int next = 1;
  for (Control* c : graph.Controllers()) {
    auto* wire = dynamic_cast<WireFloatController*>(c);
    if (!wire || !wire->source || !wire->source->id.empty()) continue;
    std::string name;
    do {
      name = "controller" + std::to_string(next++);
    } while (used.count(name));
    used.insert(name);
    wire->source->id = name;
  }
}

}  // namespace kiln::standalone
