#include "plugin/KilnExporterClassDesc.h"

#include <dlfcn.h>

#include "plugin/KilnExporter.h"
#include "plugin/StringResources.h"

namespace kiln {

void* KilnExporterClassDesc::Create(bool) {
  return static_cast<SceneExport*>(new KilnExporter());
}

const char* KilnExporterClassDesc::ClassName() {
  return GetString(IDS_CLASS_NAME);
}

// The module's own handle, found from an address inside it.
void* KilnExporterClassDesc::HInstance() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&GetKilnExporterDesc), &info)) return nullptr;
  return info.dli_fbase;
}

KilnExporterClassDesc* GetKilnExporterDesc() {
  static KilnExporterClassDesc desc;
  return &desc;
}

}  // namespace kiln
