#pragma once
#include <memory>

#include "scene/NodeClassification.h"
#include "scene/NodeExporter.h"

namespace kiln {

class MaterialExporter;

// A new exporter of the chosen kind for node. Kinds whose exporter is not
// built yet get the default node exporter, which writes every node.
std::unique_ptr<NodeExporter> CreateNodeExporter(ExporterChoice choice, INode* node, Interface* ip,
                                                 MaterialExporter* materials);

}  // namespace kiln
