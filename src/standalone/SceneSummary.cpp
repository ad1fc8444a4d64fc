#include "standalone/SceneSummary.h"

#include <cstdio>
#include <map>

#include "host/Control.h"
#include "host/Object.h"
#include "standalone/ExitCodes.h"
#include "standalone/SceneFile.h"
#include "standalone/import/SceneSource.h"

namespace kiln::standalone {
namespace {

const char* TypeName(Object* object) {
  if (!object) return "none";
  switch (object->SuperClassID()) {
    case GEOMOBJECT_CLASS_ID:
      return "geometry";
    case SHAPE_CLASS_ID:
      return "shape";
    case CAMERA_CLASS_ID:
      return "camera";
    case LIGHT_CLASS_ID:
      return "light";
    case HELPER_CLASS_ID:
      return "helper";
    default:
      return "other";
  }
}

// The keys of a controller and of its sub-controllers.
size_t KeysOf(Control* control, int depth = 0) {
  if (!control || depth > 8) return 0;
  size_t keys = 0;
  if (auto* keyed = static_cast<IKeyControl*>(control->GetInterface(I_KEYCONTROL)))
    keys += static_cast<size_t>(std::max(keyed->GetNumKeys(), 0));
  for (Control* sub :
       {control->GetPositionController(), control->GetRotationController(),
        control->GetScaleController(), control->GetRollController(), control->GetXController(),
        control->GetYController(), control->GetZController()}) {
    if (sub != control) keys += KeysOf(sub, depth + 1);
  }
  return keys;
}

}  // namespace

nlohmann::ordered_json SceneCounts(Scene& scene) {
  std::map<std::string, size_t> byType, byClass;
  size_t nodes = 0, selected = 0, hidden = 0, vertices = 0, faces = 0, keys = 0;
  for (const auto& node : scene.Nodes()) {
    if (node->IsRoot()) continue;
    ++nodes;
    selected += node->selected ? 1 : 0;
    hidden += node->hidden ? 1 : 0;
    Object* object = node->GetObjectRef();
    while (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID)
      object = static_cast<IDerivedObject*>(object)->GetObjRef();
    ++byType[TypeName(object)];
    if (object) ++byClass[object->GetClassName()];
    if (object && object->CanConvertToType(TRIOBJ_CLASS_ID)) {
      if (TriObject* tri = object->ConvertToType(scene.time, TRIOBJ_CLASS_ID)) {
        vertices += static_cast<size_t>(tri->GetMesh().getNumVerts());
        faces += static_cast<size_t>(tri->GetMesh().getNumFaces());
      }
    }
    keys += KeysOf(node->GetTMController()) + KeysOf(node->GetVisController());
  }
  nlohmann::ordered_json counts;
  counts["nodes"] = nodes;
  counts["nodes_by_type"] = byType;
  counts["nodes_by_class"] = byClass;
  counts["selected_nodes"] = selected;
  counts["hidden_nodes"] = hidden;
  counts["vertices"] = vertices;
  counts["faces"] = faces;
  counts["materials"] = scene.Materials().size();
  counts["textures"] = scene.Textures().size();
  counts["keys"] = keys;
  return counts;
}

int RunInfoJsonCommand(const std::string& sceneFile, const std::string& clip) {
  std::unique_ptr<SceneSource> source;
  try {
    source = std::make_unique<SceneSource>(sceneFile, clip);
  } catch (const UnknownClip& error) {
    std::fprintf(stderr, "kiln: %s: %s\n", sceneFile.c_str(), error.what());
    return kExitUsage;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kiln: %s\n", error.what());
    return kExitFailure;
  }
  Scene* scene = &source->scene();
  nlohmann::ordered_json info;
  info["scene"] = sceneFile;
  info["frame_rate"] = scene->frameRate;
  info["animation_range_ticks"] = {scene->animRange.Start(), scene->animRange.End()};
  info["plugin_config_dir"] = scene->pluginConfigDir.string();
  info.update(SceneCounts(*scene));
  std::printf("%s\n", info.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  return kExitSuccess;
}

}  // namespace kiln::standalone
