#pragma once
#include <atomic>
#include <functional>
#include <string>

#include "host/Interface.h"
#include "standalone/Scene.h"

namespace kiln::standalone {

// What the host's progress window would show.
struct ProgressEvent {
  enum class Kind { kStart, kUpdate, kEnd };
  Kind kind = Kind::kStart;
  std::string title;
  int percent = 0;
  bool showPercent = true;
};
using ProgressObserver = std::function<void(const ProgressEvent&)>;

// The host interface over an in-memory scene. The progress window becomes
// calls of an observer (the command line draws a bar); the cancel flag is an
// atomic that a signal handler may set.
class SceneInterface final : public Interface {
 public:
  // The host's bitmap manager (TheManager) reads image files from here on.
  explicit SceneInterface(Scene& scene);

  INode* GetRootNode() override { return &scene_.Root(); }
  INode* GetINodeByName(const char* name) override;
  TimeValue GetTime() override { return scene_.time; }
  Interval GetAnimRange() override { return scene_.animRange; }
  // The plug-in configuration folder for APP_PLUGCFG_DIR, empty otherwise.
  std::string GetDir(int which) override;
  int GetTicksPerFrame() override { return scene_.TicksPerFrame(); }
  int GetFrameRate() override { return scene_.frameRate; }

  bool ProgressStart(const char* title, bool dispBar, ProgressFn fn, void* arg) override;
  void ProgressUpdate(int pct, bool showPct = true, const char* title = nullptr) override;
  bool GetCancel() override { return cancel_->load(std::memory_order_relaxed); }
  void ProgressEnd() override;

  void SetProgressObserver(ProgressObserver observer) { observer_ = std::move(observer); }
  // Reads cancellation from an outside flag (null: this interface's own).
  // A lock-free atomic may be set from a signal handler.
  void SetCancelFlag(const std::atomic<bool>* flag) { cancel_ = flag ? flag : &ownCancel_; }
  void RequestCancel() { ownCancel_.store(true); }
  Scene& GetScene() { return scene_; }

 private:
  void Notify(ProgressEvent::Kind kind, int percent, bool showPercent);

  static_assert(std::atomic<bool>::is_always_lock_free);
  Scene& scene_;
  ProgressObserver observer_;
  std::string title_;
  std::atomic<bool> ownCancel_{false};
  const std::atomic<bool>* cancel_ = &ownCancel_;
};

}  // namespace kiln::standalone
