#pragma once
// A car-sized closed shell for the collision benchmarks: a rounded box of
// 4.5 x 1.8 x 1.4 metres about (0, 0, 0.75), made of six side x side grids
// (12 side^2 triangles) with texture coordinates, and the lines of the
// collision mapping: from the vertices of a smaller body inside toward the
// centre.
#include <algorithm>
#include <cmath>
#include <vector>

#include "collision/BvhCaster.h"
#include "host/Mesh.h"

namespace carshell {

inline const Point3 kCentre{0.0f, 0.0f, 0.75f};

// The point of the rounded box over cube face point q (|q|max = 1), scaled.
inline Point3 OnShell(Point3 q, float scale) {
  const float p = 4.0f;
  const float norm = std::pow(
      std::pow(std::fabs(q.x), p) + std::pow(std::fabs(q.y), p) + std::pow(std::fabs(q.z), p),
      1.0f / p);
  const Point3 r = q * (1.0f / norm);
  return kCentre + Point3(r.x * 2.25f, r.y * 0.9f, r.z * 0.7f) * scale;
}

// Adds the n x n quads from (i0, j0) of the face (axis, sign) of the rounded
// box scaled by scale, the face divided into total x total quads; texture
// coordinates span the patch.
inline void AddPatch(Mesh& mesh, int axis, float sign, int total, int i0, int j0, int n,
                     float scale) {
  const auto base = static_cast<uint32_t>(mesh.verts.size());
  for (int i = 0; i <= n; ++i) {
    for (int j = 0; j <= n; ++j) {
      Point3 q;
      q[axis] = sign;
      q[(axis + 1) % 3] = -1.0f + 2.0f * (i0 + i) / total;
      q[(axis + 2) % 3] = -1.0f + 2.0f * (j0 + j) / total;
      mesh.verts.push_back(OnShell(q, scale));
      mesh.tVerts.push_back({float(i) / n, float(j) / n, 0.0f});
    }
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const uint32_t a = base + i * (n + 1) + j, b = a + 1, c = a + n + 1, d = c + 1;
      for (const TVFace& tri : {TVFace{{a, c, d}}, TVFace{{a, d, b}}}) {
        Face face;
        std::copy(tri.t, tri.t + 3, face.v);
        face.smGroup = 1;
        mesh.faces.push_back(face);
        mesh.tvFace.push_back(tri);
      }
    }
  }
}

// Six side x side grids; shared edges repeat their vertices, as separate
// elements of a modelled shell do.
inline Mesh MakeShell(int side, float scale = 1.0f) {
  Mesh mesh;
  for (int axis = 0; axis < 3; ++axis)
    for (float sign : {-1.0f, 1.0f}) AddPatch(mesh, axis, sign, side, 0, 0, side, scale);
  return mesh;
}

struct Line {
  Point3 o, d;
};

// count lines from points of a body inside the shell toward the centre.
inline std::vector<Line> InnerLines(size_t count) {
  // A side no shell side divides, so lines meet faces inside, not at corners.
  const Mesh body = MakeShell(static_cast<int>(std::sqrt(count / 6.0)) + 3, 0.92f);
  std::vector<Line> lines;
  for (size_t i = 0; i < count; ++i) {
    const Point3 o = body.verts[i % body.verts.size()];
    lines.push_back({o, Normalize(kCentre - o)});
  }
  return lines;
}

// Lines through the shell's own vertices, where up to six faces meet: every
// crossing ties with its neighbours.
inline std::vector<Line> TieLines(const Mesh& shell, size_t count) {
  std::vector<Line> lines;
  for (size_t i = 0; i < count; ++i) {
    const Point3 v = shell.verts[(i * 7919) % shell.verts.size()];
    const Point3 o = kCentre + (v - kCentre) * 0.9f;
    lines.push_back({o, Normalize(kCentre - o)});
  }
  return lines;
}

// Direction lengths and the box of the origins.
inline kiln::LineBounds BoundsOf(const std::vector<Line>& lines) {
  kiln::LineBounds bounds{1e30, 0.0, lines.at(0).o, lines.at(0).o};
  for (const Line& line : lines) {
    const double length = Length(line.d);
    bounds.minDirection = std::min(bounds.minDirection, length * (1.0 - 1e-6));
    bounds.maxDirection = std::max(bounds.maxDirection, length * (1.0 + 1e-6));
    for (int i = 0; i < 3; ++i) {
      bounds.originLo[i] = std::min(bounds.originLo[i], line.o[i]);
      bounds.originHi[i] = std::max(bounds.originHi[i], line.o[i]);
    }
  }
  return bounds;
}

// Three corners per face.
inline std::vector<Point3> Corners(const Mesh& mesh) {
  std::vector<Point3> corners;
  for (const Face& face : mesh.faces)
    for (uint32_t v : face.v) corners.push_back(mesh.verts[v]);
  return corners;
}

}  // namespace carshell
