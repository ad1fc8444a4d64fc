#pragma once
#include <cstdint>
#include <vector>

#include "collision/CollisionBvh.h"
#include "collision/LineHit.h"

namespace kiln {

// The lines one caster casts: their direction lengths and the box holding
// their origins.
struct LineBounds {
  double minDirection = 1.0;
  double maxDirection = 1.0;
  Point3 originLo, originHi;
};

// Casts lines through a CollisionBvh and keeps exactly the crossing the
// brute-force loop keeps (CastBruteForce): the same line test on every
// triangle it could accept, reduced by (t, face index).
//
// A node is skipped only when no triangle below it can give a kept crossing
// with t at most the best so far. The node's box is grown by a pad, a bound
// on how far the test's rounding can carry an accepted crossing from its
// triangle: it grows with the distance from the line's origin to the box,
// with the triangles' edges and with the inverse of the smallest determinant
// an accepted triangle can have (the threshold, or what the angle between
// the line and the node's normals allows); BvhCaster.cpp derives it. A node
// whose grown box the line enters after the best t is skipped; one it enters
// at the best t is not, since it may hold an equal t on a lower face.
class BvhCaster {
 public:
  // Lines within bounds take grown boxes made once; others (an origin
  // outside the box) work out every pad as they go. Lines whose direction
  // length lies outside the bounds (or above CollisionBvh::kMaxDirection),
  // or with values that are not finite, are tested against every triangle.
  BvhCaster(const CollisionBvh& bvh, const LineBounds& bounds);

  LineHit Cast(const Point3& origin, const Point3& direction) const;

 private:
  // Four children of the hierarchy, tested at once. Each child's box is
  // grown by its pad for any line within the bounds and by a margin for the
  // float arithmetic of the test, unless the child's bit in precise is set:
  // then each line works out the child's pad from its own node (the grown
  // box would be too coarse), and the box here lets every line in.
  struct alignas(16) Wide {
    float lo[3][4], hi[3][4];
    uint32_t index[4];  // leaf: its first triangle; inner node: its Wide
    uint32_t count[4];  // leaf: its number of triangles; 0 for an inner node
    uint32_t node[4];   // the child's node in the hierarchy
    uint32_t lanes = 0;
    uint32_t precise = 0;
  };

  // Whether the line can cross a triangle below hierarchy node n with a kept
  // t, working out the pad for this line; enter is where it enters the
  // node's grown box.
  bool EntersPrecisely(uint32_t n, const Point3& origin, const Point3& direction, double bestT,
                       float& enter) const;

  // The pad from the threshold for a line whose origin lies within distance
  // s of every point of the node's box: base + perDistance s.
  struct Pad {
    double base = 0.0;
    double perDistance = 0.0;
  };
  // The pad from the cone of the node's normals, when the line's direction
  // makes with every normal an angle whose cosine is at least c > minCos:
  //   spread = (spreadBase + spreadPerDistance s) / c,
  //   reach = (s + 2 edge + 2 spread) / minDirection,
  //   tError = (u reach + tPerDistance s / c + tBase + reach tPerReach / c) / (1 - u),
  //   tError maxDirection + spread + u (1 + 2u) (s + edge).
  struct ConePad {
    double axis[3] = {0.0, 0.0, 0.0};
    double cosAngle = 0.0, sinAngle = 1.0, minCos = kNoCone;
    double edge = 0.0;
    double spreadBase = 0.0, spreadPerDistance = 0.0;
    double tPerDistance = 0.0, tBase = 0.0, tPerReach = 0.0;
  };
  static constexpr double kNoCone = 2.0;  // a minCos no cosine exceeds

  LineHit CastEveryTriangle(const Point3& origin, const Point3& direction) const;

  const CollisionBvh& bvh_;
  LineBounds bounds_;
  std::vector<Wide> wides_;
  std::vector<Pad> pads_;       // per node
  std::vector<ConePad> cones_;  // per node
};

}  // namespace kiln
