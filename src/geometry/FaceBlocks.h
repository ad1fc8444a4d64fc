#pragma once
#include <cstdint>
#include <string>

class INode;
class Mtl;

namespace kiln {

class CZX9_DiskWriter;
class MaterialExporter;
class MeshBuilder;

// The host material of the face block of materialId, given the node's
// material: none without one; of a composite, sub-material materialId of its
// sub-material 0; of a material with sub-materials, the one at materialId
// modulo their number; else the material itself. False when a composite has
// no sub-material 0.
bool ResolveFaceBlockMaterial(Mtl* nodeMaterial, int materialId, Mtl*& blockMaterial);

// The face block list: count, then per material group its material name and
// face count, first vertex, vertex count, first index; with the block's
// shader and material entries in the .ini file. False when a block's material
// is unknown to the material exporter (every material is, without one) or
// cannot be resolved.
bool WriteFaceBlocks(CZX9_DiskWriter& writer, const MeshBuilder& builder, INode* node,
                     const MaterialExporter* materials);

}  // namespace kiln
