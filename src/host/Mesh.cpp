#include "host/Mesh.h"

#include <algorithm>
#include <cstddef>

namespace {

// One smoothing cluster of a vertex: the union of the groups of the faces it
// gathered, and the sum of their weighted face normals.
struct Cluster {
  uint32_t smGroup;
  Point3 sum;
};

// Faces around each vertex, in face order (compressed rows: the faces of
// vertex v are faces[first[v] .. first[v + 1])).
struct VertexFaces {
  std::vector<uint32_t> first;
  std::vector<uint32_t> faces;
};

VertexFaces FacesAroundVertices(const std::vector<Face>& faces, size_t vertexCount) {
  VertexFaces around;
  around.first.assign(vertexCount + 1, 0);
  for (const Face& face : faces) {
    for (uint32_t v : face.v) {
      if (v < vertexCount) ++around.first[v + 1];
    }
  }
  for (size_t v = 0; v < vertexCount; ++v) around.first[v + 1] += around.first[v];
  around.faces.resize(around.first[vertexCount]);
  std::vector<uint32_t> next(around.first.begin(), around.first.end() - 1);
  for (uint32_t f = 0; f < faces.size(); ++f) {
    for (uint32_t v : faces[f].v) {
      if (v < vertexCount) around.faces[next[v]++] = f;
    }
  }
  return around;
}

// Adds a face's weighted normal to the cluster its groups belong to. Clusters
// that the face's groups connect are merged first, so groups that share bits
// anywhere around the vertex end in one cluster.
void AddToClusters(std::vector<Cluster>& clusters, uint32_t smGroup, const Point3& weighted) {
  size_t target = clusters.size();
  uint32_t bits = smGroup;
  bool merged = true;
  while (merged) {
    merged = false;
    for (size_t i = 0; i < clusters.size(); ++i) {
      if (i == target || (clusters[i].smGroup & bits) == 0) continue;
      if (target == clusters.size()) {
        target = i;
      } else {
        // Merge into the older cluster so clusters stay in order of creation.
        size_t keep = target < i ? target : i;
        size_t drop = target < i ? i : target;
        clusters[keep].smGroup |= clusters[drop].smGroup;
        clusters[keep].sum += clusters[drop].sum;
        clusters.erase(clusters.begin() + static_cast<std::ptrdiff_t>(drop));
        target = keep;
      }
      bits |= clusters[target].smGroup;
      merged = true;
    }
  }
  if (target == clusters.size()) {
    clusters.push_back({smGroup, weighted});
  } else {
    clusters[target].smGroup |= smGroup;
    clusters[target].sum += weighted;
  }
}

}  // namespace

// Render normals are area weighted: each face adds its unnormalised cross
// product, whose length is twice its area, to the cluster of every corner.
// Large faces then dominate small slivers, and the sum costs no square roots.
void Mesh::buildNormals() {
  const size_t vertexCount = verts.size();
  const bool hasSpecified =
      specifiedNormalSet.size() == vertexCount && specifiedNormals.size() == vertexCount;
  // Weighted face normals and the faces around each vertex are needed only
  // for normals the mesh does not specify.
  const bool allSpecified =
      hasSpecified && std::find(specifiedNormalSet.begin(), specifiedNormalSet.end(), 0) ==
                          specifiedNormalSet.end();
  std::vector<Point3> weightedNormals(allSpecified ? 0 : faces.size());
  faceNormals.resize(faces.size());
  for (size_t f = 0; f < faces.size(); ++f) {
    const Face& face = faces[f];
    if (face.v[0] >= vertexCount || face.v[1] >= vertexCount || face.v[2] >= vertexCount) {
      faceNormals[f] = Point3();
      continue;
    }
    const Point3& a = verts[face.v[0]];
    const Point3& b = verts[face.v[1]];
    const Point3& c = verts[face.v[2]];
    const Point3 weighted = CrossProd(b - a, c - b);
    if (!allSpecified) weightedNormals[f] = weighted;
    faceNormals[f] = Normalize(weighted);
  }

  const VertexFaces around = allSpecified ? VertexFaces() : FacesAroundVertices(faces, vertexCount);
  rVerts.assign(vertexCount, RVertex());
  std::vector<Cluster> clusters;
  for (size_t v = 0; v < vertexCount; ++v) {
    RVertex& rv = rVerts[v];
    if (hasSpecified && specifiedNormalSet[v] != 0) {
      rv.rFlags = SPECIFIED_NORMAL | 1;
      rv.rn.normal = specifiedNormals[v];
      continue;
    }
    clusters.clear();
    for (uint32_t i = around.first[v]; i < around.first[v + 1]; ++i) {
      const uint32_t f = around.faces[i];
      // Faces without smoothing groups use their face normal and make none here.
      if (faces[f].smGroup != 0) AddToClusters(clusters, faces[f].smGroup, weightedNormals[f]);
    }
    rv.rFlags = static_cast<uint32_t>(clusters.size()) & NORCT_MASK;
    if (clusters.size() == 1) {
      rv.rn.normal = Normalize(clusters[0].sum);
      rv.rn.smGroup = clusters[0].smGroup;
    } else if (clusters.size() > 1) {
      rv.ern.reserve(clusters.size());
      for (const Cluster& cluster : clusters) {
        RNormal normal;
        normal.normal = Normalize(cluster.sum);
        normal.smGroup = cluster.smGroup;
        rv.ern.push_back(normal);
      }
    }
  }
}

void Mesh::freeNormals() {
  std::vector<RVertex>().swap(rVerts);
  std::vector<Point3>().swap(faceNormals);
}

void Mesh::checkNormals(bool illum) {
  (void)illum;
  if (rVerts.size() != verts.size() || faceNormals.size() != faces.size()) buildNormals();
}

// The box starts from vertex 0, so a mesh without vertices keeps an empty box.
void Mesh::buildBoundingBox() {
  bbox_ = Box3();
  if (verts.empty()) return;
  bbox_.pmin = bbox_.pmax = verts[0];
  for (const Point3& p : verts) {
    for (int axis = 0; axis < 3; ++axis) {
      if (p[axis] < bbox_.pmin[axis]) bbox_.pmin[axis] = p[axis];
      if (p[axis] > bbox_.pmax[axis]) bbox_.pmax[axis] = p[axis];
    }
  }
}
