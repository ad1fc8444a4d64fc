// The hierarchy against the brute-force loop: face, t, u and v bit for bit on
// seeded random shells and on sets made to catch a careless pad or prune.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "collision/BruteForceCast.h"
#include "collision/BvhCaster.h"
#include "collision/IntersectTriangle.h"

namespace kiln {
namespace {

struct Line {
  Point3 o, d;
};
struct CastSet {
  const char* name = "";
  std::vector<Point3> corners;  // three per face
  std::vector<Line> lines;
};

using Rng = std::mt19937;
float Uniform(Rng& rng, float lo, float hi) {
  return std::uniform_real_distribution<float>(lo, hi)(rng);
}
Point3 RandomPoint(Rng& rng, float r) {
  return {Uniform(rng, -r, r), Uniform(rng, -r, r), Uniform(rng, -r, r)};
}
void AddTriangle(CastSet& set, Point3 a, Point3 b, Point3 c) {
  set.corners.insert(set.corners.end(), {a, b, c});
}
// Lines from points of a box toward target points, as vertices cast toward a centre.
void AimLines(CastSet& set, Rng& rng, int count, float from, const std::function<Point3()>& to) {
  for (int i = 0; i < count; ++i) {
    const Point3 o = RandomPoint(rng, from);
    set.lines.push_back({o, Normalize(to() - o)});
  }
}

// A sphere of stacks x slices quads with its corners jittered by noise.
CastSet Sphere(Rng& rng, int stacks, int slices, float radius, float noise, Point3 centre) {
  CastSet set;
  set.name = "sphere";
  auto at = [&](int i, int j) {
    const float a = 3.14159265f * i / stacks, b = 6.2831853f * j / slices;
    return centre +
           Point3(std::sin(a) * std::cos(b), std::sin(a) * std::sin(b), std::cos(a)) * radius;
  };
  std::vector<Point3> grid;
  for (int i = 0; i <= stacks; ++i)
    for (int j = 0; j <= slices; ++j) grid.push_back(at(i, j) + RandomPoint(rng, noise));
  auto g = [&](int i, int j) { return grid[i * (slices + 1) + j % (slices + 1)]; };
  for (int i = 0; i < stacks; ++i) {
    for (int j = 0; j < slices; ++j) {
      AddTriangle(set, g(i, j), g(i + 1, j), g(i + 1, j + 1));
      AddTriangle(set, g(i, j), g(i + 1, j + 1), g(i, j + 1));
    }
  }
  AimLines(set, rng, 4000, radius * 0.6f, [&] { return centre + RandomPoint(rng, radius * 0.1f); });
  return set;
}

// The six sides of an n-cube as unit squares of integer corners; lines with
// integer origins and directions pass exactly through shared edges and corners.
CastSet IntegerCube(Rng& rng, int n, bool duplicate) {
  CastSet set;
  set.name = duplicate ? "duplicated integer cube" : "integer cube";
  for (int axis = 0; axis < 3; ++axis) {
    for (float side : {0.0f, float(n)}) {
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          auto p = [&](int a, int b) {
            Point3 q;
            q[axis] = side, q[(axis + 1) % 3] = float(a), q[(axis + 2) % 3] = float(b);
            return q;
          };
          AddTriangle(set, p(i, j), p(i + 1, j), p(i + 1, j + 1));
          AddTriangle(set, p(i, j), p(i + 1, j + 1), p(i, j + 1));
          if (duplicate) AddTriangle(set, p(i + 1, j + 1), p(i, j + 1), p(i, j));
        }
      }
    }
  }
  std::uniform_int_distribution<int> coord(1, n - 1), step(-3, 3);
  for (int k = 0; k < 12000; ++k) {
    const Point3 o(float(coord(rng)), float(coord(rng)), float(coord(rng)));
    Point3 d(float(step(rng)), float(step(rng)), float(step(rng)));
    if (k % 2) d = Normalize(d);
    set.lines.push_back({o + Point3(0.5f, 0.5f, 0.5f) * float(k % 3 == 0), d});
  }
  return set;
}

// Triangles whose determinant for an axis-aligned line lies about the
// threshold, and lines along those axes through them.
CastSet NearThreshold(Rng& rng) {
  CastSet set;
  set.name = "near threshold";
  for (int i = 0; i < 150; ++i) {
    const Point3 base = RandomPoint(rng, 1.0f);
    const float a = Uniform(rng, 0.005f, 0.02f), area = Uniform(rng, 0.9e-4f, 1.1e-4f);
    AddTriangle(set, base, base + Point3(a, 0, 0), base + Point3(Uniform(rng, -a, a), area / a, 0));
  }
  for (int k = 0; k < 16000; ++k) {
    const Point3* tri = &set.corners[3 * (k % 150)];
    const Point3 hit = tri[0] * 0.4f + tri[1] * 0.3f + tri[2] * 0.3f;
    Point3 d(Uniform(rng, -0.01f, 0.01f), Uniform(rng, -0.01f, 0.01f), 1.0f);
    set.lines.push_back({hit - d * Uniform(rng, -2, 2), Normalize(d)});
  }
  return set;
}

// Fans of coplanar triangles about a hub; lines through the hub and the spokes.
CastSet CoplanarFans(Rng& rng) {
  CastSet set;
  set.name = "coplanar fans";
  std::vector<std::pair<Point3, Point3>> spokes;
  for (int f = 0; f < 10; ++f) {
    const Point3 hub = RandomPoint(rng, 4.0f);
    const int n = 6 + f % 7;
    for (int i = 0; i < n; ++i) {
      const float a = 6.2831853f * i / n, b = 6.2831853f * (i + 1) / n;
      const Point3 p(std::cos(a), std::sin(a), 0.0f), q(std::cos(b), std::sin(b), 0.0f);
      AddTriangle(set, hub, hub + p, hub + q);
      spokes.push_back({hub, hub + p * Uniform(rng, 0.0f, 1.0f)});
    }
  }
  for (int k = 0; k < 16000; ++k) {
    const auto& [hub, spoke] = spokes[k % spokes.size()];
    const Point3 target = k % 2 ? hub : spoke, o = target + RandomPoint(rng, 3.0f);
    set.lines.push_back({o, Normalize(target - o)});
  }
  return set;
}

// Triangles of every size far from the origin, crossed at grazing angles.
CastSet FarSoup(Rng& rng, float offset) {
  CastSet set;
  set.name = "far soup";
  const Point3 centre(offset, -offset, offset * 0.5f);
  for (int i = 0; i < 150; ++i) {
    const Point3 a = centre + RandomPoint(rng, 50.0f);
    const float size = std::pow(10.0f, Uniform(rng, -3.0f, 2.0f));
    AddTriangle(set, a, a + RandomPoint(rng, size), a + RandomPoint(rng, size));
  }
  for (int k = 0; k < 10000; ++k) {
    const Point3* tri = &set.corners[3 * (k % 150)];
    const Point3 target = tri[0] * 0.5f + tri[1] * 0.25f + tri[2] * 0.25f;
    const Point3 along = Normalize(tri[1] - tri[0]) + RandomPoint(rng, k % 2 ? 1e-3f : 0.5f);
    set.lines.push_back({target + along * Uniform(rng, -30, 30), Normalize(along)});
  }
  return set;
}

// Degenerate, duplicated, enormous and far-out triangles (products that
// overflow to infinity included), and lines from near and far.
CastSet Wild(Rng& rng) {
  CastSet set;
  set.name = "wild";
  for (int i = 0; i < 120; ++i) {
    const float reach = std::pow(10.0f, Uniform(rng, -4.0f, 20.0f));
    const Point3 a = RandomPoint(rng, reach), b = RandomPoint(rng, reach);
    switch (i % 4) {
      case 0:  // collinear
        AddTriangle(set, a, b, a + (b - a) * 0.5f);
        break;
      case 1:  // a point
        AddTriangle(set, a, a, a);
        break;
      case 2:  // twice, corners turned
        AddTriangle(set, a, b, RandomPoint(rng, reach));
        AddTriangle(set, set.corners[set.corners.size() - 2], set.corners.back(), a);
        break;
      default:
        AddTriangle(set, a, b, RandomPoint(rng, reach));
    }
  }
  for (int k = 0; k < 6000; ++k) {
    const Point3* tri = &set.corners[3 * (k % (set.corners.size() / 3))];
    const Point3 o = RandomPoint(rng, std::pow(10.0f, Uniform(rng, -2.0f, 12.0f)));
    set.lines.push_back({o, Normalize(tri[0] * 0.3f + tri[1] * 0.3f + tri[2] * 0.4f - o)});
  }
  return set;
}

TEST(CastDifferential, hierarchyKeepsTheBruteForceCrossingBitForBit) {
  Rng rng(20240612);
  std::vector<CastSet> sets;
  for (int i = 0; i < 6; ++i)
    sets.push_back(Sphere(rng, 5 + i, 8 + 2 * i, std::pow(10.0f, float(i % 3)), 0.01f * (i + 1),
                          RandomPoint(rng, 5.0f)));
  sets.push_back(IntegerCube(rng, 4, false));
  sets.push_back(IntegerCube(rng, 3, true));
  sets.push_back(NearThreshold(rng));
  sets.push_back(CoplanarFans(rng));
  sets.push_back(FarSoup(rng, 0.0f));
  sets.push_back(FarSoup(rng, 20000.0f));
  sets.push_back(Wild(rng));

  size_t lines = 0, hits = 0, ties = 0;
  for (const CastSet& set : sets) {
    LineBounds bounds{1e30, 0, set.lines[0].o, set.lines[0].o};
    for (const Line& line : set.lines) {
      const double len = std::sqrt(double(line.d.x) * line.d.x + double(line.d.y) * line.d.y +
                                   double(line.d.z) * line.d.z);
      if (len > 0) bounds.minDirection = std::min(bounds.minDirection, len);
      bounds.maxDirection = std::max(bounds.maxDirection, len);
      for (int i = 0; i < 3; ++i) {
        bounds.originLo[i] = std::min(bounds.originLo[i], line.o[i]);
        bounds.originHi[i] = std::max(bounds.originHi[i], line.o[i]);
      }
    }
    const CollisionBvh bvh(set.corners);
    const BvhCaster caster(bvh, bounds);
    for (const Line& line : set.lines) {
      const LineHit brute = CastBruteForce(set.corners, line.o, line.d);
      const LineHit fast = caster.Cast(line.o, line.d);
      ASSERT_EQ(fast.face, brute.face) << set.name << " line " << lines;
      ASSERT_EQ(std::memcmp(&fast.crossing, &brute.crossing, sizeof brute.crossing), 0)
          << set.name << " line " << lines;
      ++lines;
      if (!brute.Hit()) continue;
      ++hits;
      if (lines % 4 != 0) continue;
      for (size_t f = brute.face + 1; f < set.corners.size() / 3; ++f) {
        LineCrossing c;
        if (IntersectTriangle(line.o, line.d, set.corners[3 * f], set.corners[3 * f + 1],
                              set.corners[3 * f + 2], c) &&
            c.t == brute.crossing.t) {
          ++ties;
          break;
        }
      }
    }
  }
  EXPECT_GE(lines, 100000u);
  EXPECT_GE(hits, lines / 2);
  EXPECT_GE(ties, 5000u);  // lines whose kept t another face equals
}

}  // namespace
}  // namespace kiln
