#pragma once
#include <string>

#include "host/Time.h"

class INode;

// Folder ids for GetDir.
constexpr int APP_PLUGCFG_DIR = 9;

using ProgressFn = unsigned long (*)(void* arg);

// The host application as the exporter sees it during one export.
class Interface {
 public:
  virtual ~Interface() = default;

  virtual INode* GetRootNode() = 0;
  virtual INode* GetINodeByName(const char* name) = 0;
  virtual TimeValue GetTime() = 0;
  virtual Interval GetAnimRange() = 0;
  virtual std::string GetDir(int which) = 0;

  virtual int GetTicksPerFrame() = 0;
  virtual int GetFrameRate() = 0;

  // Progress window and the artist's cancel flag.
  virtual bool ProgressStart(const char* title, bool dispBar, ProgressFn fn, void* arg) = 0;
  virtual void ProgressUpdate(int pct, bool showPct = true, const char* title = nullptr) = 0;
  virtual bool GetCancel() = 0;
  virtual void ProgressEnd() = 0;
};

// The export interface handed to DoExport; the exporter does not use it.
class ExpInterface {
 public:
  virtual ~ExpInterface() = default;
};
