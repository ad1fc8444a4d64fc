#pragma once
// A smooth grid of side x side vertices on a gentle wave, with texture
// coordinates and colours per vertex: every corner of a vertex carries the
// same attributes, so it splits into exactly side x side fat vertices.
#include <cmath>

#include "host/Mesh.h"

inline Mesh MakeGridMesh(int side) {
  Mesh mesh;
  const float step = 1.0f / static_cast<float>(side - 1);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const float u = x * step, v = y * step;
      mesh.verts.push_back({u * 100.0f, v * 100.0f, std::sin(u * 12.0f) * std::cos(v * 9.0f)});
      mesh.tVerts.push_back({u, v, 0.0f});
      mesh.vertCol.push_back({u, v, 1.0f - u});
    }
  }
  for (int y = 0; y + 1 < side; ++y) {
    for (int x = 0; x + 1 < side; ++x) {
      const uint32_t a = y * side + x, b = a + 1, c = a + side, d = c + 1;
      for (const TVFace& tri : {TVFace{{a, b, d}}, TVFace{{a, d, c}}}) {
        Face face;
        face.v[0] = tri.t[0], face.v[1] = tri.t[1], face.v[2] = tri.t[2];
        face.smGroup = 1;
        mesh.faces.push_back(face);
        mesh.tvFace.push_back(tri);
        mesh.vcFace.push_back(tri);
      }
    }
  }
  mesh.buildNormals();
  return mesh;
}
