#pragma once
#include <memory>
#include <nlohmann/json.hpp>

#include "standalone/Controllers.h"
#include "standalone/JsonInput.h"

namespace kiln::standalone {

// A float controller as the scene file writes it: a bare value for the
// default class, else {"value": ..., "type": ...} or a class of its own.
std::unique_ptr<FloatController> ReadFloatController(const JsonValue& v);
nlohmann::ordered_json FloatControllerJson(FloatController& controller);

}  // namespace kiln::standalone
