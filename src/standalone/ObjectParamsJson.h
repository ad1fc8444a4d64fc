#pragma once
#include <nlohmann/json.hpp>

#include "standalone/ControllerReader.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {

// The parameters of cameras, lights and sliders in a node's "object" entry
// (docs/kscene-format.md, "Cameras, lights and sliders"). Numbers are plain
// values; a float controller ({"value": ..., "keys": [...]}) animates one.

// Reads the object entry v (an object with "type") into object. The keys it
// takes are "type", the custom class keys when custom is set, and the
// parameters of the object's kind; any other key fails with its path.
void ReadObjectParams(const JsonValue& v, SceneObject& object, const ControllerReader& controllers,
                      bool custom);
// Adds to out (the object entry) every parameter that differs from a new
// object's of the same class. Nothing for objects without parameters.
void WriteObjectParams(SceneObject& object, nlohmann::ordered_json& out);
// Where the scene file keeps a parameter of the object: "object/near".
std::string ObjectParamPath(SceneObject& object, ParamID id);

}  // namespace kiln::standalone
