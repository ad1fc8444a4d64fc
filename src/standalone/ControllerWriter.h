#pragma once
#include <nlohmann/json.hpp>

#include "standalone/Controllers.h"

namespace kiln::standalone {

// Scene-file JSON of controllers, as ControllerReader reads them back. A
// controller the format cannot say throws std::logic_error.

// The transform of a node ("transform"); an empty object for a
// position/rotation/scale controller whose parts are all at their defaults.
nlohmann::ordered_json TransformJson(TransformController& controller);
// A value controller: its bare value when it is a keyframe controller of the
// default class without keys (unless an object is asked for).
template <typename T>
nlohmann::ordered_json ValueJson(ValueControl<T>& controller, bool asObject = false);

}  // namespace kiln::standalone
