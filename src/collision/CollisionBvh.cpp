#include "collision/CollisionBvh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "collision/LineHit.h"
#include "collision/RoundingBounds.h"

namespace kiln {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr int kBins = 16;

struct Box {
  Point3 lo{kInfinity, kInfinity, kInfinity};
  Point3 hi{-kInfinity, -kInfinity, -kInfinity};

  void Grow(const Point3& p) { Grow(p, p); }
  void Grow(const Box& b) { Grow(b.lo, b.hi); }
  void Grow(const Point3& l, const Point3& h) {
    lo = {std::min(lo.x, l.x), std::min(lo.y, l.y), std::min(lo.z, l.z)};
    hi = {std::max(hi.x, h.x), std::max(hi.y, h.y), std::max(hi.z, h.z)};
  }
  // Half the surface area; 0 for an empty box.
  float HalfArea() const {
    const Point3 size = hi - lo;
    if (!(size.x >= 0.0f && size.y >= 0.0f && size.z >= 0.0f)) return 0.0f;
    return size.x * size.y + size.y * size.z + size.z * size.x;
  }
};

// A range of the face order still to be made into the node at index.
struct Work {
  uint32_t begin = 0, end = 0;
  uint32_t index = 0;
  uint32_t depth = 0;
};

// The length of an edge as the test forms it, rounded up.
double EdgeLength(const Point3& a, const Point3& b) {
  const Point3 e = b - a;
  const double x = e.x, y = e.y, z = e.z;
  return std::sqrt(x * x + y * y + z * z) * (1.0 + 1e-12);
}

class Builder {
 public:
  Builder(std::span<const Point3> corners, std::vector<uint32_t>& order)
      : corners_(corners), order_(order) {
    const size_t faces = corners.size() / 3;
    boxes_.resize(faces);
    centres_.resize(faces);
    for (size_t f = 0; f < faces; ++f) {
      for (int c = 0; c < 3; ++c) boxes_[f].Grow(corners[3 * f + c]);
      centres_[f] = (boxes_[f].lo + boxes_[f].hi) * 0.5f;
    }
  }

  const Box& BoxOf(uint32_t face) const { return boxes_[face]; }
  const Point3& CentreOf(uint32_t face) const { return centres_[face]; }

  // Splits [begin, end) in two non-empty ranges and returns where the second
  // starts: by the surface area heuristic over binned centres, or in the
  // middle of the centres along the longest axis when balanced is asked or
  // the heuristic finds no split.
  uint32_t Split(uint32_t begin, uint32_t end, const Box& centres, bool balanced) {
    if (!balanced) {
      const uint32_t mid = SplitByArea(begin, end, centres);
      if (mid > begin && mid < end) return mid;
    }
    const int axis = LongestAxis(centres);
    const uint32_t mid = begin + (end - begin) / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + mid, order_.begin() + end,
                     [&](uint32_t a, uint32_t b) {
                       return SortKey(centres_[a][axis]) < SortKey(centres_[b][axis]);
                     });
    return mid;
  }

 private:
  // NaN sorts first, so the order stays strict and weak.
  static float SortKey(float c) { return std::isnan(c) ? -kInfinity : c; }

  static int LongestAxis(const Box& b) {
    const Point3 size = b.hi - b.lo;
    int axis = 0;
    if (size.y > size[axis]) axis = 1;
    if (size.z > size[axis]) axis = 2;
    return axis;
  }

  // Binned along the longest axis of the centres: the split with the least
  // area times count on both sides.
  uint32_t SplitByArea(uint32_t begin, uint32_t end, const Box& centres) {
    const int axis = LongestAxis(centres);
    const float lo = centres.lo[axis], extent = centres.hi[axis] - lo;
    if (!(extent > 0.0f) || !std::isfinite(extent)) return begin;
    const float scale = kBins / extent;
    const float Point3::*coordinate = axis == 0 ? &Point3::x : axis == 1 ? &Point3::y : &Point3::z;
    std::array<Box, kBins> bins;
    std::array<uint32_t, kBins> counts{};
    for (uint32_t i = begin; i < end; ++i) {
      const uint32_t f = order_[i];
      const int bin = BinOf(centres_[f].*coordinate, lo, scale);
      bins[bin].Grow(boxes_[f]);
      ++counts[bin];
    }
    // Areas and counts of the bins right of each split, then a sweep from the left.
    std::array<float, kBins> rightArea{};
    std::array<uint32_t, kBins> rightCount{};
    Box right;
    uint32_t count = 0;
    for (int b = kBins - 1; b > 0; --b) {
      right.Grow(bins[b]);
      count += counts[b];
      rightArea[b] = right.HalfArea();
      rightCount[b] = count;
    }
    float bestCost = kInfinity;
    int bestBin = 0;
    Box left;
    count = 0;
    for (int b = 1; b < kBins; ++b) {
      left.Grow(bins[b - 1]);
      count += counts[b - 1];
      if (count == 0 || rightCount[b] == 0) continue;
      const float cost = left.HalfArea() * count + rightArea[b] * rightCount[b];
      if (cost < bestCost) {
        bestCost = cost;
        bestBin = b;
      }
    }
    if (bestBin == 0) return begin;
    auto mid = std::partition(order_.begin() + begin, order_.begin() + end, [&](uint32_t f) {
      return BinOf(centres_[f].*coordinate, lo, scale) < bestBin;
    });
    return static_cast<uint32_t>(mid - order_.begin());
  }

  static int BinOf(float c, float lo, float scale) {
    const float x = (c - lo) * scale;
    if (!(x > 0.0f)) return 0;
    if (x >= kBins - 1) return kBins - 1;
    return static_cast<int>(x);
  }

  std::span<const Point3> corners_;
  std::vector<uint32_t>& order_;
  std::vector<Box> boxes_;
  std::vector<Point3> centres_;
};

// What the pads need to know of one triangle.
struct TriangleShape {
  double edge = 0.0, edgeProduct = 0.0, normalLength = 0.0;
  double normal[3] = {0.0, 0.0, 0.0};  // unit
};

TriangleShape ShapeOf(const Point3& v0, const Point3& v1, const Point3& v2) {
  const Point3 e1 = v1 - v0, e2 = v2 - v0;
  // Products of floats are exact in double; each difference rounds once.
  const double n[3] = {double(e1.y) * e2.z - double(e1.z) * e2.y,
                       double(e1.z) * e2.x - double(e1.x) * e2.z,
                       double(e1.x) * e2.y - double(e1.y) * e2.x};
  TriangleShape shape;
  const double a = EdgeLength(v0, v1), b = EdgeLength(v0, v2);
  shape.edge = std::max(a, b);
  shape.edgeProduct = a * b * (1.0 + 1e-15);
  shape.normalLength = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (shape.normalLength > 0.0 && std::isfinite(shape.normalLength)) {
    for (int i = 0; i < 3; ++i) shape.normal[i] = n[i] / shape.normalLength;
  }
  return shape;
}

// True when no line with a direction of at most kMaxDirection can cross the
// triangle with a determinant at or above the threshold.
bool NeverCrossed(const TriangleShape& shape) {
  const double most =
      CollisionBvh::kMaxDirection * shape.normalLength * (1.0 + 1e-12) +
      rounding::DeterminantError(CollisionBvh::kMaxDirection, shape.edgeProduct, shape.edge);
  return most < kDeterminantThreshold;
}

// The reach of the triangles shapes[first, last).
CollisionBvh::Reach ReachOf(const std::vector<TriangleShape>& shapes, uint32_t first,
                            uint32_t last) {
  CollisionBvh::Reach reach;
  reach.minNormal = std::numeric_limits<double>::infinity();
  double sum[3] = {0.0, 0.0, 0.0};
  const double* reference = shapes[first].normal;
  for (uint32_t i = first; i < last; ++i) {
    const TriangleShape& s = shapes[i];
    reach.edge = std::max(reach.edge, s.edge);
    reach.edgeProduct = std::max(reach.edgeProduct, s.edgeProduct);
    reach.aspect = std::max(reach.aspect, s.edge * s.edge / s.normalLength * (1.0 + 1e-12));
    // A triangle without a finite normal leaves the cone unused.
    const double normal = std::isfinite(s.normalLength) ? s.normalLength : 0.0;
    reach.minNormal = std::min(reach.minNormal, normal * (1.0 - 1e-12));
    const double side =
        s.normal[0] * reference[0] + s.normal[1] * reference[1] + s.normal[2] * reference[2];
    for (int k = 0; k < 3; ++k) sum[k] += side < 0.0 ? -s.normal[k] : s.normal[k];
  }
  // NaN fails every comparison below and leaves the cone unused.
  const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
  if (!(length > 0.0) || !(reach.minNormal > 0.0)) return reach;
  for (int k = 0; k < 3; ++k) reach.axis[k] = sum[k] / length;
  double minCos = 1.0;
  for (uint32_t i = first; i < last; ++i) {
    const double* n = shapes[i].normal;
    minCos = std::min(
        minCos, std::fabs(n[0] * reach.axis[0] + n[1] * reach.axis[1] + n[2] * reach.axis[2]));
  }
  // A margin far above the rounding of the normals and of acos and cos.
  const double angle = std::acos(std::clamp(minCos, 0.0, 1.0)) + 1e-9;
  if (!(angle < 1.5)) return reach;
  reach.cosAngle = std::cos(angle);
  reach.sinAngle = std::sin(angle);
  return reach;
}

// The reach of two nodes' triangles together. The cone about the middle of
// the two axes holds both cones: a normal within angle a of axis A lies
// within angle(axis, A) + a of the axis.
CollisionBvh::Reach Merge(const CollisionBvh::Reach& a, const CollisionBvh::Reach& b) {
  CollisionBvh::Reach reach;
  reach.edge = std::max(a.edge, b.edge);
  reach.edgeProduct = std::max(a.edgeProduct, b.edgeProduct);
  reach.aspect = std::max(a.aspect, b.aspect);
  reach.minNormal = std::min(a.minNormal, b.minNormal);
  if (!(a.cosAngle > 0.0 && b.cosAngle > 0.0)) return reach;
  const double side = a.axis[0] * b.axis[0] + a.axis[1] * b.axis[1] + a.axis[2] * b.axis[2];
  double sum[3];
  for (int k = 0; k < 3; ++k) sum[k] = a.axis[k] + (side < 0.0 ? -b.axis[k] : b.axis[k]);
  const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
  if (!(length > 0.0)) return reach;
  for (int k = 0; k < 3; ++k) reach.axis[k] = sum[k] / length;
  double angle = 0.0;
  for (const CollisionBvh::Reach* child : {&a, &b}) {
    const double c = std::fabs(reach.axis[0] * child->axis[0] + reach.axis[1] * child->axis[1] +
                               reach.axis[2] * child->axis[2]);
    angle = std::max(
        angle, std::acos(std::clamp(c, 0.0, 1.0)) + std::atan2(child->sinAngle, child->cosAngle));
  }
  angle += 1e-9;  // far above the rounding of acos, atan2, cos and sin
  if (!(angle < 1.5)) return reach;
  reach.cosAngle = std::cos(angle);
  reach.sinAngle = std::sin(angle);
  return reach;
}

}  // namespace

CollisionBvh::CollisionBvh(std::span<const Point3> corners) {
  const auto faces = static_cast<uint32_t>(corners.size() / 3);
  for (size_t i = 0; i < size_t{faces} * 3; ++i) {
    for (int axis = 0; axis < 3; ++axis)
      extent_ = std::max(extent_, std::fabs(static_cast<double>(corners[i][axis])));
  }
  std::vector<uint32_t> order, left;
  std::vector<TriangleShape> shapes(faces);
  for (uint32_t f = 0; f < faces; ++f) {
    shapes[f] = ShapeOf(corners[3 * f], corners[3 * f + 1], corners[3 * f + 2]);
    (NeverCrossed(shapes[f]) ? left : order).push_back(f);
  }
  auto addTriangle = [&](uint32_t f) {
    triangles_.push_back(
        {corners[3 * f], corners[3 * f + 1], corners[3 * f + 2], static_cast<int32_t>(f)});
  };
  if (order.empty()) {
    for (uint32_t f : left) addTriangle(f);
    return;
  }

  const auto count = static_cast<uint32_t>(order.size());
  Builder builder(corners, order);
  nodes_.reserve(2 * size_t{count});
  nodes_.emplace_back();
  std::vector<Work> work{{0, count, 0, 0}};
  while (!work.empty()) {
    const Work w = work.back();
    work.pop_back();
    Box box, centres;
    for (uint32_t i = w.begin; i < w.end; ++i) {
      box.Grow(builder.BoxOf(order[i]));
      centres.Grow(builder.CentreOf(order[i]));
    }
    Node& node = nodes_[w.index];
    node.lo = box.lo;
    node.hi = box.hi;
    if (w.end - w.begin <= kLeafSize) {
      node.index = w.begin;
      node.count = w.end - w.begin;
      continue;
    }
    const uint32_t mid = builder.Split(w.begin, w.end, centres, w.depth >= kBalancedDepth);
    // Siblings sit side by side, so a cast reads both from one place.
    const auto first = static_cast<uint32_t>(nodes_.size());
    node.index = first;
    nodes_.resize(nodes_.size() + 2);
    work.push_back({mid, w.end, first + 1, w.depth + 1});
    work.push_back({w.begin, mid, first, w.depth + 1});
  }

  triangles_.reserve(faces);
  std::vector<TriangleShape> ordered;
  ordered.reserve(count);
  for (uint32_t f : order) {
    addTriangle(f);
    ordered.push_back(shapes[f]);
  }
  for (uint32_t f : left) addTriangle(f);
  // Leaves from their triangles; children follow their parents, so one
  // backward pass merges them upward.
  reaches_.resize(nodes_.size());
  for (size_t n = nodes_.size(); n-- > 0;) {
    const Node& node = nodes_[n];
    reaches_[n] = node.count != 0 ? ReachOf(ordered, node.index, node.index + node.count)
                                  : Merge(reaches_[node.index], reaches_[node.index + 1]);
  }
}

}  // namespace kiln
