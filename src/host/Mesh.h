#pragma once
#include <cstdint>
#include <vector>

#include "host/Point3.h"

using MtlID = uint16_t;
using UVVert = Point3;
using VertColor = Point3;

// A triangle: three vertex indices, its smoothing-group bits and a flags word
// whose high 16 bits hold the material id.
struct Face {
  uint32_t v[3] = {0, 0, 0};
  uint32_t smGroup = 0;
  uint32_t flags = 0;

  MtlID getMatID() const { return static_cast<MtlID>(flags >> 16); }
  void setMatID(MtlID id) { flags = (flags & 0xFFFFu) | (static_cast<uint32_t>(id) << 16); }
  uint32_t getSmGroup() const { return smGroup; }
};

// Indices into the texture or colour vertex array for the three corners of a face.
struct TVFace {
  uint32_t t[3] = {0, 0, 0};
};

// One normal of a render vertex with the smoothing groups it serves.
struct RNormal {
  Point3 normal;
  uint32_t smGroup = 0;
  MtlID mtlIndex = 0;
  const Point3& getNormal() const { return normal; }
  uint32_t getSmGroup() const { return smGroup; }
};

constexpr uint32_t NORCT_MASK = 0xFF;          // low bits of rFlags: normal count
constexpr uint32_t SPECIFIED_NORMAL = 0x4000;  // the normal was given, not built

// Render vertex: the normals of one vertex. With one normal (or a specified
// one) it is rn; with more, they are the extra normals ern.
struct RVertex {
  uint32_t rFlags = 0;
  RNormal rn;
  std::vector<RNormal> ern;
};

// Triangle mesh as the host keeps it: plain arrays, read directly by hot loops.
class Mesh {
 public:
  std::vector<Point3> verts;
  std::vector<Face> faces;
  std::vector<UVVert> tVerts;  // texture vertices
  std::vector<TVFace> tvFace;  // one per face when the mesh has texture coordinates
  std::vector<VertColor> vertCol;
  std::vector<TVFace> vcFace;  // one per face when the mesh has vertex colours
  // Normals given by the scene, one per vertex, used instead of built ones
  // where specifiedNormalSet is nonzero. Both empty when none are given.
  std::vector<Point3> specifiedNormals;
  std::vector<uint8_t> specifiedNormalSet;
  // Number of additional per-vertex data channels the mesh carries.
  uint32_t dataChannelCount = 0;

  // Filled by buildNormals.
  std::vector<RVertex> rVerts;
  std::vector<Point3> faceNormals;

  int getNumVerts() const { return static_cast<int>(verts.size()); }
  int getNumFaces() const { return static_cast<int>(faces.size()); }
  int getNumTVerts() const { return static_cast<int>(tVerts.size()); }
  int getNumVertCol() const { return static_cast<int>(vertCol.size()); }
  bool hasTextureFaces() const { return !tvFace.empty(); }
  bool hasColorFaces() const { return !vcFace.empty(); }
  const Point3& getVert(int i) const { return verts[i]; }
  const RVertex& getRVert(int i) const { return rVerts[i]; }
  const Point3& getFaceNormal(int f) const { return faceNormals[f]; }

  // Face normals, and render normals per vertex from the smoothing groups.
  void buildNormals();
  // Gives back the memory of the normals; buildNormals makes them again.
  void freeNormals();
  // Rebuilds the normals when they are missing or stale.
  void checkNormals(bool illum);
  void buildBoundingBox();
  Box3 getBoundingBox() const { return bbox_; }

 private:
  Box3 bbox_;
};
