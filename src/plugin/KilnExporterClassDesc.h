#pragma once
#include "host/Plugin.h"

namespace kiln {

constexpr Class_ID KILN_EXPORTER_CLASS_ID{0x69E407BB, 0x59B50336};

// The one class the module registers: the scene exporter.
class KilnExporterClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(bool loading = false) override;
  const char* ClassName() override;
  SClass_ID SuperClassID() override { return SCENE_EXPORT_CLASS_ID; }
  Class_ID ClassID() override { return KILN_EXPORTER_CLASS_ID; }
  const char* Category() override { return ""; }
  const char* InternalName() override { return "Corvid Max Exporter"; }
  void* HInstance() override;
};

KilnExporterClassDesc* GetKilnExporterDesc();

}  // namespace kiln
