#pragma once
#include <unordered_set>
#include <vector>

#include "standalone/Scene.h"

namespace kiln::standalone {

// The controller rules of Scene::Validate for one node: its transform
// controller and parts, visibility, morph channel weights and camera field of
// view. Paths are the scene file's ("transform/rotation/keys/3/time").
void CheckNodeControllers(const SceneNode& node, const std::unordered_set<const INode*>& sceneNodes,
                          std::vector<SceneProblem>& problems);

}  // namespace kiln::standalone
