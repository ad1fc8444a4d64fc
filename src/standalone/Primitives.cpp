#include "standalone/Primitives.h"

namespace kiln::standalone {

Mesh MakeBox(float width, float length, float height) {
  const float x = width * 0.5f, y = length * 0.5f, z = height;
  Mesh mesh;
  mesh.verts = {{-x, -y, 0}, {x, -y, 0}, {-x, y, 0}, {x, y, 0},
                {-x, -y, z}, {x, -y, z}, {-x, y, z}, {x, y, z}};
  // Two triangles per side; the first corner of each is a corner of the side.
  const uint32_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {1, 3, 7, 5}, {3, 2, 6, 7}, {2, 0, 4, 6}};
  mesh.tVerts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  for (uint32_t s = 0; s < 6; ++s) {
    const uint32_t* q = sides[s];
    Face a, b;
    a.v[0] = q[0], a.v[1] = q[1], a.v[2] = q[2];
    b.v[0] = q[2], b.v[1] = q[3], b.v[2] = q[0];
    for (Face* f : {&a, &b}) {
      f->smGroup = 2u << s;
      f->setMatID(static_cast<MtlID>(s + 1));
      mesh.faces.push_back(*f);
    }
    mesh.tvFace.push_back(TVFace{{0, 1, 3}});
    mesh.tvFace.push_back(TVFace{{3, 2, 0}});
  }
  return mesh;
}

}  // namespace kiln::standalone
