#include "standalone/SceneInterface.h"

#include "standalone/Bitmaps.h"

namespace kiln::standalone {

SceneInterface::SceneInterface(Scene& scene) : scene_(scene) {
  InstallBitmapManager();
}

INode* SceneInterface::GetINodeByName(const char* name) {
  return name ? scene_.FindNode(std::string_view(name)) : nullptr;
}

std::string SceneInterface::GetDir(int which) {
  return which == APP_PLUGCFG_DIR ? scene_.pluginConfigDir.string() : std::string();
}

bool SceneInterface::ProgressStart(const char* title, bool dispBar, ProgressFn fn, void* arg) {
  (void)dispBar, (void)fn, (void)arg;  // the exporter's progress function does nothing
  title_ = title ? title : "";
  Notify(ProgressEvent::Kind::kStart, 0, true);
  return true;
}

void SceneInterface::ProgressUpdate(int pct, bool showPct, const char* title) {
  if (title) title_ = title;
  Notify(ProgressEvent::Kind::kUpdate, pct, showPct);
}

void SceneInterface::ProgressEnd() {
  Notify(ProgressEvent::Kind::kEnd, 100, true);
}

void SceneInterface::Notify(ProgressEvent::Kind kind, int percent, bool showPercent) {
  if (observer_) observer_({kind, title_, percent, showPercent});
}

}  // namespace kiln::standalone
