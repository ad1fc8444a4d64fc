// The four functions by which the host finds the module's classes.
#include "host/Plugin.h"
#include "plugin/KilnExporterClassDesc.h"
#include "plugin/StringResources.h"

#define KILN_EXPORT extern "C" __attribute__((visibility("default")))

KILN_EXPORT const char* LibDescription() {
  return kiln::GetString(kiln::IDS_LIBDESCRIPTION);
}

KILN_EXPORT int LibNumberClasses() {
  return 1;
}

KILN_EXPORT ClassDesc* LibClassDesc(int i) {
  return i == 0 ? kiln::GetKilnExporterDesc() : nullptr;
}

KILN_EXPORT unsigned long LibVersion() {
  return KILN_HOST_SDK_VERSION;
}
