#pragma once
#include <cstdint>

#include "host/ClassId.h"

class ExpInterface;
class Interface;

// Version value a module reports through LibVersion; the host refuses others.
constexpr unsigned long KILN_HOST_SDK_VERSION = 0x13EC0800;

// Export option bits.
constexpr uint32_t SCENE_EXPORT_SELECTED = 0x1;

// A scene exporter as the host calls it, in its slot order.
class SceneExport {
 public:
  virtual ~SceneExport() = default;
  virtual int ExtCount() = 0;
  virtual const char* Ext(int n) = 0;
  virtual const char* LongDesc() = 0;
  virtual const char* ShortDesc() = 0;
  virtual const char* AuthorName() = 0;
  virtual const char* CopyrightMessage() = 0;
  virtual const char* OtherMessage1() = 0;
  virtual const char* OtherMessage2() = 0;
  virtual unsigned int Version() = 0;
  virtual void ShowAbout(void* hWnd) = 0;
  virtual int DoExport(const char* name, ExpInterface* ei, Interface* i, int suppressPrompts,
                       uint32_t options) = 0;
  virtual bool SupportsOptions(int ext, uint32_t options) = 0;
};

// Describes one class a module registers.
class ClassDesc {
 public:
  virtual ~ClassDesc() = default;
  virtual int IsPublic() = 0;
  // A new instance; for a scene exporter a SceneExport the caller deletes.
  virtual void* Create(bool loading = false) = 0;
  virtual const char* ClassName() = 0;
  virtual SClass_ID SuperClassID() = 0;
  virtual Class_ID ClassID() = 0;
  virtual const char* Category() = 0;
  virtual const char* InternalName() = 0;
  virtual void* HInstance() = 0;
};

class ClassDesc2 : public ClassDesc {};

// The four functions a module exports with C linkage.
using LibDescriptionFn = const char* (*)();
using LibNumberClassesFn = int (*)();
using LibClassDescFn = ClassDesc* (*)(int i);
using LibVersionFn = unsigned long (*)();
