#include "scene/NodeExporterFactory.h"

#include "collision/DamageMeshExporter.h"
#include "geometry/MeshExporter.h"
#include "geometry/ShadowMeshExporter.h"
#include "nodes/BoneExporter.h"
#include "scene/DefaultNodeExporter.h"
#include "scene/DummyExporter.h"

namespace kiln {

std::unique_ptr<NodeExporter> CreateNodeExporter(ExporterChoice choice, INode* node, Interface* ip,
                                                 MaterialExporter* materials) {
  switch (choice) {
    case ExporterChoice::Dummy:
      return std::make_unique<DummyExporter>(node, ip);
    case ExporterChoice::Mesh:
      return std::make_unique<MeshExporter>(node, ip, materials);
    case ExporterChoice::ShadowMesh:
      return std::make_unique<ShadowMeshExporter>(node, ip);
    case ExporterChoice::DamageMesh:
      return std::make_unique<DamageMeshExporter>(node, ip);
    case ExporterChoice::Bone:
      return std::make_unique<BoneExporter>(node, ip);
    case ExporterChoice::Null:
    case ExporterChoice::BoxHelper:
    case ExporterChoice::Camera:
    case ExporterChoice::Light:
    case ExporterChoice::OkapiSlider:
    case ExporterChoice::IKChainObject:
    case ExporterChoice::Default:
      break;
  }
  return std::make_unique<DefaultNodeExporter>(node, ip);
}

}  // namespace kiln
