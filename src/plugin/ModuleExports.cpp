#include "host/Plugin.h"

extern "C" {
__attribute__((visibility("default"))) const char* LibDescription() { return "Kiln Exporter"; }
__attribute__((visibility("default"))) int LibNumberClasses() { return 0; }
__attribute__((visibility("default"))) ClassDesc* LibClassDesc(int) { return nullptr; }
__attribute__((visibility("default"))) unsigned long LibVersion() { return KILN_HOST_SDK_VERSION; }
}
