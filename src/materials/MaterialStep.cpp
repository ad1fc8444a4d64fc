#include "materials/MaterialStep.h"

#include "host/Interface.h"
#include "materials/MaterialExporter.h"
#include "platform/FileSystem.h"

namespace kiln {

std::unique_ptr<MaterialExporter> RunMaterialStep(CZX9_DiskWriter* writer, Interface* ip) {
  const std::string shaderMap = platform::JoinPath(ip->GetDir(APP_PLUGCFG_DIR), "ShaderMap.ini");
  auto materials = std::make_unique<MaterialExporter>(writer, shaderMap);
  materials->CollectMaterials(ip->GetRootNode());
  materials->WriteAllCustomAttributes();
  materials->ExportMaterials();
  return materials;
}

}  // namespace kiln
