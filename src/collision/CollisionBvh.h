#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "host/Point3.h"

namespace kiln {

// A bounding volume hierarchy over the triangles of a collision mesh, built
// once per collision mesh. BvhCaster casts lines through it.
class CollisionBvh {
 public:
  // A leaf holds at most this many triangles.
  static constexpr uint32_t kLeafSize = 4;
  // Below this depth the splits are balanced, so no path is longer than
  // kBalancedDepth + 32 and a cast's stack has a fixed size.
  static constexpr uint32_t kBalancedDepth = 48;
  static constexpr uint32_t kMaxDepth = kBalancedDepth + 33;

  struct Node {
    Point3 lo, hi;       // box of the corners of the triangles below
    uint32_t index = 0;  // leaf: its first triangle; inner node: its first
                         // child, the second child follows the first
    uint32_t count = 0;  // leaf: its number of triangles; 0 for an inner node
  };
  // What the triangles below a node are like, for the pads of BvhCaster.
  // Edges are E1 = V1 - V0 and E2 = V2 - V0 as the line test forms them, n
  // is E1 x E2: edge is the longest edge, edgeProduct the largest product of
  // a triangle's two edge lengths, aspect the largest (longest edge)^2 / |n|
  // and minNormal the smallest |n|. Every normal lies within the cone of
  // half-angle acos(cosAngle) about +-axis (unit); cosAngle is 0 when the
  // normals spread too far for a cone to help. Lengths are rounded up,
  // minNormal and the cone's cosine down.
  struct Reach {
    double edge = 0.0;
    double edgeProduct = 0.0;
    double aspect = 0.0;
    double minNormal = 0.0;
    double axis[3] = {0.0, 0.0, 0.0};
    double cosAngle = 0.0;
    double sinAngle = 1.0;
  };
  struct Triangle {
    Point3 v0, v1, v2;
    int32_t face = 0;
  };

  // Lines are cast with directions at most this long; the hierarchy leaves
  // out triangles no such line can cross with a determinant above the
  // threshold.
  static constexpr double kMaxDirection = 2.0;

  // corners: three per face, face f's at 3f, in the face's corner order.
  explicit CollisionBvh(std::span<const Point3> corners);

  const std::vector<Node>& Nodes() const { return nodes_; }
  const std::vector<Reach>& Reaches() const { return reaches_; }  // one per node
  // Every triangle: those of the leaves in leaf order, then those left out.
  const std::vector<Triangle>& Triangles() const { return triangles_; }
  // The largest magnitude of any corner coordinate.
  double Extent() const { return extent_; }

 private:
  std::vector<Node> nodes_;
  std::vector<Reach> reaches_;
  std::vector<Triangle> triangles_;  // in leaf order
  double extent_ = 0.0;
};

}  // namespace kiln
