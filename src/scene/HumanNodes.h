#pragma once

class INode;

namespace kiln {

class KilnExporter;
class MaterialExporter;

// The human node chunk (21, 0, 1): the number of nodes written, then their
// chunks, from the human walk over the root's children.
void WriteHumanNodes(KilnExporter& exporter, INode* root, MaterialExporter* materials);

}  // namespace kiln
