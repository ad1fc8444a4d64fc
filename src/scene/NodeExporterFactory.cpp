#include "scene/NodeExporterFactory.h"

#include "scene/DefaultNodeExporter.h"
#include "scene/DummyExporter.h"

namespace kiln {

std::unique_ptr<NodeExporter> CreateNodeExporter(ExporterChoice choice, INode* node, Interface* ip,
                                                 MaterialExporter* materials) {
  (void)materials;
  switch (choice) {
    case ExporterChoice::Dummy:
      return std::make_unique<DummyExporter>(node, ip);
    case ExporterChoice::Bone:
    case ExporterChoice::Null:
    case ExporterChoice::BoxHelper:
    case ExporterChoice::Mesh:
    case ExporterChoice::Camera:
    case ExporterChoice::Light:
    case ExporterChoice::OkapiSlider:
    case ExporterChoice::IKChainObject:
    case ExporterChoice::DamageMesh:
    case ExporterChoice::ShadowMesh:
    case ExporterChoice::Default:
      break;
  }
  return std::make_unique<DefaultNodeExporter>(node, ip);
}

}  // namespace kiln
