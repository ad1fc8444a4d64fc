#pragma once
#include <nlohmann/json.hpp>
#include <string>

namespace kiln::standalone {

class Scene;

// What a scene holds, counted: nodes by object type (the super class of the
// object under any modifiers: geometry, shape, camera, light, helper; none
// without an object) and by object class, the vertices and faces of the
// objects that turn into triangle meshes, materials, textures, and the keys
// of the transform and visibility controllers.
nlohmann::ordered_json SceneCounts(Scene& scene);

// `kiln info SCENE --json`: the scene's clock and counts as JSON.
int RunInfoJsonCommand(const std::string& sceneFile, const std::string& clip = {});

}  // namespace kiln::standalone
