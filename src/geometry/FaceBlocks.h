#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

// A key and value of the node's section in the .ini file.
struct IniEntry {
  std::string key;
  std::string value;
};

// The face block list: count, then per material group its material name and
// face count, first vertex, vertex count, first index. Appends the blocks'
// shader and material entries to iniEntries, for the .ini file once the mesh
// chunk is complete. False, with the error logged, when a block's material
// is unknown to the material exporter (every material is, without one) or
// cannot be resolved.
bool WriteFaceBlocks(CZX9_DiskWriter& writer, const MeshBuilder& builder, INode* node,
                     const MaterialExporter* materials, std::vector<IniEntry>& iniEntries);

// Writes entries into the node's section of the .ini file.
void WriteFaceBlockEntries(INode* node, const std::vector<IniEntry>& entries);

}  // namespace kiln
