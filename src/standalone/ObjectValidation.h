#pragma once
#include <vector>

#include "standalone/Scene.h"

namespace kiln::standalone {

// The rules of Scene::Validate for camera, light and slider parameters:
// plain values finite; near and far clipping distances not below zero and
// a spot's hotspot not larger than its falloff, as plain values, as key
// values, and at every key time; a target camera or light's look-at
// transform not aimed at a target below its own node (which it would move).
// Paths are the scene file's ("object/near/keys/2").
void CheckObjectParams(const SceneNode& node, std::vector<SceneProblem>& problems);

// The rules for wires: every wire follows a float controller that the scene
// holds, no wire follows itself round a loop of wires, and no two float
// controllers carry one id.
void CheckWires(const Scene& scene, std::vector<SceneProblem>& problems);

}  // namespace kiln::standalone
