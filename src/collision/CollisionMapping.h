#pragma once
#include <cstdint>
#include <vector>

#include "host/Point3.h"

class INode;
class Interface;
class Mesh;

namespace kiln {

class CZX9_DiskWriter;
class MeshBuilder;

// The car settings' section naming each car mesh's collision node.
constexpr const char* kCollisionLookupSection = "CollisionNodeLookup";
constexpr int kDamageZoneCount = 256;

// Per damage zone, the output vertices that belong to it, ascending.
using DamageZones = std::vector<std::vector<int32_t>>;

// Writes the collision mapping record that ends a car mesh's chunk: 0 when
// the car settings name no collision node for the mesh, else 256 zones, each
// its vertex count and (output vertex index, weight 1.0) entries. mesh is
// the node's host mesh and builder its split vertices. False, after the error
// "error computing collision mapping for node: %s\n" and with nothing of the
// record written, when the mapping fails.
bool CreateAndExportCollisionMapping(CZX9_DiskWriter& writer, INode* node, Interface* ip,
                                     Mesh& mesh, const MeshBuilder& builder);

// Fills 256 zones with the indices of world positions: each position's zone
// is the palette index of the collision node's texture where the line through
// it toward centre first meets the collision mesh (the smallest t, behind the
// position included). A position whose line misses is left out with the
// error "No intersection with collision mesh: %s". False, after its message,
// when the collision node or its texture is unusable or a texel has no zone.
bool ComputeCollisionMapping(DamageZones& zones, const std::vector<Point3>& world,
                             const Point3& centre, const char* collisionNode, Interface* ip);

}  // namespace kiln
