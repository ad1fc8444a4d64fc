#include "scene/NodeExporterFactory.h"

#include "collision/DamageMeshExporter.h"
#include "geometry/MeshExporter.h"
#include "geometry/ShadowMeshExporter.h"
#include "nodes/BoneExporter.h"
#include "nodes/BoxHelperExporter.h"
#include "nodes/CameraExporter.h"
#include "nodes/IKChainObjectExporter.h"
#include "nodes/LightExporter.h"
#include "nodes/NullExporter.h"
#include "nodes/OkapiSliderExporter.h"
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
      return std::make_unique<NullExporter>(node, ip);
    case ExporterChoice::BoxHelper:
      return std::make_unique<BoxHelperExporter>(node, ip);
    case ExporterChoice::Camera:
      return std::make_unique<CameraExporter>(node, ip);
    case ExporterChoice::Light:
      return std::make_unique<LightExporter>(node, ip);
    case ExporterChoice::OkapiSlider:
      return std::make_unique<OkapiSliderExporter>(node, ip);
    case ExporterChoice::IKChainObject:
      return std::make_unique<IKChainObjectExporter>(node, ip);
    case ExporterChoice::Default:
      break;
  }
  return std::make_unique<DefaultNodeExporter>(node, ip);
}

}  // namespace kiln
