#include "collision/BvhCaster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "collision/LineTriangle.h"
#include "collision/RoundingBounds.h"

// Why the pads hold.
//
// The test forms E1 = V1 - V0, E2 = V2 - V0 and S = +-(O - V0) in float; from
// those floats on, det, u, v and the numerator of t are polynomials of depth
// at most 5 in (E1, E2, S, D), and u + v of depth 6. With the unit roundoff
// u = 2^-24 and gk = k u / (1 - k u), each computed value differs from the
// exact polynomial in the same floats by at most gk times the polynomial
// evaluated on absolute values with every subtraction made an addition
// (Higham, Accuracy and Stability of Numerical Algorithms, lemma 3.1), plus
// an absolute term for underflow below 2^-146 a value. With
// |a|.(|b| x+ |c|) <= sqrt(2) |a| |b| |c| those absolute polynomials are
//   det+ <= sqrt2 |D| |E1| |E2|,  u+ <= sqrt2 |S| |D| |E2|,
//   v+ <= sqrt2 |D| |S| |E1|,     num+ <= sqrt2 |E2| |S| |E1|.
// The exact values on the float inputs solve O + t* D = W0 + b1 E1 + b2 E2
// (Cramer's rule) with W0 = O - S, b1 = u*/Det, b2 = v*/Det, t* = num*/Det,
// Det = det* with the test's sign. An accepted triangle has det >= tau.
//
// Det has a lower bound L: tau - g5 det+ always, and |D| |n| c when the
// angle between the direction and the normal n = E1 x E2 has a cosine of at
// least c and that exceeds g5 det+ (then det and det* share their sign).
// The barycentrics satisfy b1 >= -e1, b2 >= -e2, b1 + b2 <= 1 + e3 with
//   e1 = g5 u+/L,  e2 = g5 v+/L,  e3 = (g5 det+ + g6 (u+ + v+))/L.
// Moving (b1, b2) into the triangle changes them by at most 2e1 + 2e2 + e3
// in sum, so X* = O + t* D lies within spread = (2e1 + 2e2 + e3) max|E| of
// the triangle (W0, W0 + E1, W0 + E2), which lies within u (|O - V0| +
// max|E|) of the real one. The computed t differs from t* by
//   |t - t*| <= (u |t*| + g5 (num+ + |t*| det+)/det) / (1 - u),
//   |t*| <= (|S| + 2 max|E| + 2 spread) / |D|,
// with det >= tau, and det >= Det - g5 det+ >= |n| |D| c / 2 under the cone
// bound's condition. So O + t D lies within
//   rho = |t - t*| |D| + spread + u (|O - V0| + max|E|)
// of the real triangle, inside its node's box grown by rho, and t lies in
// the slab interval of that grown box. Under the cone bound every ratio of
// edge products to |n| is at most the node's aspect, so rho does not grow
// with the size of the triangles, only with s / c. The terms are affine in
// the farthest distance s from O to the box, which bounds |O - V0| (and |S|
// with a factor 1 + u). The pads are computed in double with a relative
// margin far above double rounding, and the slab test widens the box by a
// margin for its own double rounding.

namespace kiln {

namespace {

using rounding::Gamma;
using rounding::kSqrt2;
using rounding::kUnderflow;
using rounding::kUnit;

constexpr double kMargin = 1.0 + 1e-9;
constexpr double kSlabMargin = 1e-12;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// The cone bound is worked out only where the threshold's pad is larger than
// this part of the node's box.
constexpr double kConeWorthwhile = 1.0 / 4.0;

// c0 + c1 s, all coefficients non-negative.
struct Affine {
  double c0 = 0.0;
  double c1 = 0.0;
};
Affine operator+(Affine a, Affine b) {
  return {a.c0 + b.c0, a.c1 + b.c1};
}
Affine operator*(double k, Affine a) {
  return {k * a.c0, k * a.c1};
}

bool IsFinite(const Point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The float at or above x, and at or below.
float RoundUp(double x) {
  constexpr float kMax = std::numeric_limits<float>::max();
  if (!(x <= kMax)) return std::numeric_limits<float>::infinity();  // NaN too
  if (x < -kMax) return -kMax;
  const auto f = static_cast<float>(x);
  return static_cast<double>(f) >= x ? f
                                     : std::nextafter(f, std::numeric_limits<float>::infinity());
}
float RoundDown(double x) {
  return -RoundUp(-x);
}

double LargestMagnitude(const Point3& p) {
  return std::max({std::fabs(double(p.x)), std::fabs(double(p.y)), std::fabs(double(p.z))});
}

// The farthest distance from a point of box a to a point of box b, rounded up.
double FarthestDistance(const Point3& aLo, const Point3& aHi, const Point3& bLo,
                        const Point3& bHi) {
  double far2 = 0.0;
  for (int i = 0; i < 3; ++i) {
    const double far = std::max(double(aHi[i]) - bLo[i], double(bHi[i]) - aLo[i]);
    far2 += far * far;
  }
  return std::sqrt(far2) * (1.0 + 1e-12);
}

}  // namespace

BvhCaster::BvhCaster(const CollisionBvh& bvh, const LineBounds& bounds)
    : bvh_(bvh), bounds_(bounds) {
  const double g5 = Gamma(5), g6 = Gamma(6), tau = kDeterminantThreshold;
  const double dLow = bounds.minDirection, dHigh = bounds.maxDirection;
  const bool usable = dLow > 0.0 && dHigh <= CollisionBvh::kMaxDirection;
  const double originSize =
      std::max(LargestMagnitude(bounds.originLo), LargestMagnitude(bounds.originHi));
  const size_t count = bvh.Nodes().size();
  pads_.resize(count);
  cones_.resize(count);
  // Per node: its box grown for every line within the bounds, or none.
  struct Grown {
    float lo[3], hi[3];
    bool precise;
  };
  std::vector<Grown> grown(count);
  for (size_t n = 0; n < count; ++n) {
    const CollisionBvh::Node& node = bvh.Nodes()[n];
    const CollisionBvh::Reach& reach = bvh.Reaches()[n];
    Pad& pad = pads_[n];
    pad.base = pad.perDistance = kInfinity;
    const double edge = reach.edge, product = reach.edgeProduct;
    const double errDet = rounding::DeterminantError(dHigh, product, edge);
    const double det = tau - errDet;
    if (usable && det > 0.0) {
      const Affine errU{kUnderflow, g5 * kSqrt2 * dHigh * edge + kUnderflow};
      const Affine errV{kUnderflow * (1.0 + dHigh), g5 * kSqrt2 * dHigh * edge};
      const Affine errW{kUnderflow * (2.0 + dHigh), 2.0 * g6 * kSqrt2 * dHigh * edge + kUnderflow};
      const Affine errNum{kUnderflow * (1.0 + edge), g5 * kSqrt2 * product};
      const Affine e1 = (1.0 / det) * errU;
      const Affine e2 = (1.0 / det) * errV;
      const Affine e3 = (1.0 / det) * (errW + Affine{errDet, 0.0});
      const Affine spread = edge * (2.0 * e1 + 2.0 * e2 + e3);
      const Affine tStar = (1.0 / dLow) * (Affine{2.0 * edge, 1.0} + 2.0 * spread);
      const Affine tError =
          (1.0 / (1.0 - kUnit)) * (kUnit * tStar + (1.0 / tau) * (errNum + errDet * tStar));
      const Affine corners = (kUnit * (1.0 + 2.0 * kUnit)) * Affine{edge, 1.0};
      const Affine rho = dHigh * tError + spread + corners;
      // s bounds |O - V0|; |S| is at most (1 + u) s.
      pad.base = rho.c0 * kMargin;
      pad.perDistance = rho.c1 * (1.0 + kUnit) * kMargin;
    }
    // The float slab test rounds each end by at most 3.1 u |lo - O| / |D|:
    // the box takes 5 u (|O| + |lo| + pad) more.
    const double s = FarthestDistance(bounds.originLo, bounds.originHi, node.lo, node.hi);
    double grow = pad.base + pad.perDistance * s;
    grow += 5.0 * kUnit * (originSize + bvh.Extent() + grow);
    double size = 0.0;
    for (int i = 0; i < 3; ++i) size = std::max(size, double(node.hi[i]) - node.lo[i]);
    grown[n].precise = !(grow <= kConeWorthwhile * size);
    for (int i = 0; i < 3; ++i) {
      grown[n].lo[i] = RoundDown(node.lo[i] - grow);
      grown[n].hi[i] = RoundUp(node.hi[i] + grow);
    }

    // The cone bound: every |E1| |E2| / |n| and max|E|^2 / |n| is at most
    // the aspect Q, and |n| at least minNormal.
    const double q = reach.aspect, nMin = reach.minNormal;
    if (!usable || !(reach.cosAngle > 0.0 && nMin > 0.0 && std::isfinite(q) && std::isfinite(edge)))
      continue;
    ConePad& cone = cones_[n];
    std::copy(reach.axis, reach.axis + 3, cone.axis);
    cone.cosAngle = reach.cosAngle;
    cone.sinAngle = reach.sinAngle;
    cone.edge = edge;
    // c above both keeps det >= |n| |D| c / 2 - the underflow term >= 0.
    cone.minCos = std::max(4.0 * g5 * kSqrt2 * (dHigh / dLow) * q,
                           4.0 * kUnderflow * (1.0 + edge) / (nMin * dLow));
    // spread <= (2e1 + 2e2 + e3) max|E| with L = |D| |n| c.
    const double tiny = kUnderflow * edge / nMin;
    cone.spreadBase = (g5 * kSqrt2 * dHigh * q * edge + tiny * (8.0 + edge + 3.0 * dHigh)) / dLow;
    cone.spreadPerDistance =
        (kSqrt2 * (4.0 * g5 + 2.0 * g6) * dHigh * q + 3.0 * tiny) * (1.0 + kUnit) / dLow;
    // g5 num+ / det <= 2 g5 sqrt2 Q |S| / (|D| c) + the underflow over tau;
    // g5 det+ / det <= 2 g5 sqrt2 Q |D| / (|D| c) + the underflow over |n| |D| c / 2.
    cone.tPerDistance = 2.0 * g5 * kSqrt2 * q * (1.0 + kUnit) / dLow;
    cone.tBase = kUnderflow * (1.0 + edge) / tau;
    cone.tPerReach =
        2.0 * g5 * kSqrt2 * (dHigh / dLow) * q + 2.0 * kUnderflow * (1.0 + edge) / (nMin * dLow);
  }
  if (count == 0) return;

  // Four-wide nodes: each takes its node's two children and splits the
  // largest inner one of them until there are four.
  auto area = [&](uint32_t n) {
    const CollisionBvh::Node& node = bvh.Nodes()[n];
    const Point3 size = node.hi - node.lo;
    return size.x * size.y + size.y * size.z + size.z * size.x;
  };
  std::vector<std::pair<uint32_t, uint32_t>> work{{0, 0}};  // (node, its Wide)
  wides_.emplace_back();
  while (!work.empty()) {
    const auto [n, w] = work.back();
    work.pop_back();
    const CollisionBvh::Node& root = bvh.Nodes()[n];
    std::vector<uint32_t> children;
    if (root.count != 0) {
      children = {n};  // a hierarchy of one leaf
    } else {
      children = {root.index, root.index + 1};
      while (children.size() < 4) {
        int split = -1;
        for (size_t c = 0; c < children.size(); ++c) {
          if (bvh.Nodes()[children[c]].count == 0 &&
              (split < 0 || area(children[c]) > area(children[split])))
            split = static_cast<int>(c);
        }
        if (split < 0) break;
        const uint32_t first = bvh.Nodes()[children[split]].index;
        children[split] = first;
        children.push_back(first + 1);
      }
    }
    Wide wide;
    wide.lanes = static_cast<uint32_t>(children.size());
    for (uint32_t lane = 0; lane < 4; ++lane) {
      // Unused lanes (past lanes) are never read.
      for (int i = 0; i < 3; ++i) wide.lo[i][lane] = wide.hi[i][lane] = 0.0f;
      wide.index[lane] = wide.count[lane] = wide.node[lane] = 0;
      if (lane >= wide.lanes) continue;
      const uint32_t c = children[lane];
      const CollisionBvh::Node& child = bvh.Nodes()[c];
      wide.node[lane] = c;
      wide.count[lane] = child.count;
      if (child.count != 0) {
        wide.index[lane] = child.index;
      } else {
        wide.index[lane] = static_cast<uint32_t>(wides_.size());
        wides_.emplace_back();
        work.emplace_back(c, wide.index[lane]);
      }
      if (grown[c].precise) {
        wide.precise |= 1u << lane;
        for (int i = 0; i < 3; ++i) {
          wide.lo[i][lane] = -std::numeric_limits<float>::infinity();
          wide.hi[i][lane] = std::numeric_limits<float>::infinity();
        }
        continue;
      }
      for (int i = 0; i < 3; ++i) {
        wide.lo[i][lane] = grown[c].lo[i];
        wide.hi[i][lane] = grown[c].hi[i];
      }
    }
    wides_[w] = wide;
  }
}

LineHit BvhCaster::CastEveryTriangle(const Point3& o, const Point3& d) const {
  LineHit best;
  for (const CollisionBvh::Triangle& tri : bvh_.Triangles()) {
    LineCrossing crossing;
    if (CrossLineTriangle(o, d, tri.v0, tri.v1, tri.v2, crossing) &&
        Replaces(crossing, tri.face, best)) {
      best.face = tri.face;
      best.crossing = crossing;
    }
  }
  return best;
}

bool BvhCaster::EntersPrecisely(uint32_t n, const Point3& o, const Point3& d, double bestT,
                                float& enter) const {
  const CollisionBvh::Node& node = bvh_.Nodes()[n];
  const double origin[3] = {o.x, o.y, o.z};
  const double dir[3] = {d.x, d.y, d.z};
  const double length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
  const double slack = kSlabMargin * (LargestMagnitude(o) + bvh_.Extent());
  // The slab interval of the node's box grown by rho (with a margin for its
  // own double rounding); false when the line misses it or enters it after
  // the best t.
  auto slab = [&](double rho) {
    rho += kSlabMargin * rho + slack;
    enter = -std::numeric_limits<float>::infinity();
    if (!(rho < kInfinity)) return true;
    double in = -kInfinity, out = kInfinity;
    for (int i = 0; i < 3; ++i) {
      const double lo = node.lo[i] - rho, hi = node.hi[i] + rho;
      if (dir[i] == 0.0) {
        if (origin[i] < lo || origin[i] > hi) return false;
        continue;
      }
      double t0 = (lo - origin[i]) / dir[i], t1 = (hi - origin[i]) / dir[i];
      if (t0 > t1) std::swap(t0, t1);
      in = std::max(in, t0);
      out = std::min(out, t1);
    }
    if (!(in <= out) || in > bestT) return false;
    enter = RoundDown(in);
    return true;
  };
  const double s = FarthestDistance(o, o, node.lo, node.hi);
  const Pad& pad = pads_[n];
  const double rho = pad.base + pad.perDistance * s;
  if (!slab(rho)) return false;
  const ConePad& cone = cones_[n];
  if (cone.minCos >= 1.0) return true;
  const double cosB =
      std::fabs(dir[0] * cone.axis[0] + dir[1] * cone.axis[1] + dir[2] * cone.axis[2]) / length;
  const double sinB = std::sqrt(std::max(0.0, 1.0 - cosB * cosB));
  const double c = cosB * cone.cosAngle - sinB * cone.sinAngle - 1e-12;
  if (!(c > cone.minCos)) return true;
  const double dLow = bounds_.minDirection, dHigh = bounds_.maxDirection;
  const double spread = (cone.spreadBase + cone.spreadPerDistance * s) / c;
  const double reach = (s + 2.0 * cone.edge + 2.0 * spread) / dLow;
  const double tError =
      (kUnit * reach + cone.tPerDistance * s / c + cone.tBase + reach * cone.tPerReach / c) /
      (1.0 - kUnit);
  const double coneRho =
      (tError * dHigh + spread + kUnit * (1.0 + 2.0 * kUnit) * (s + cone.edge)) * kMargin;
  return coneRho >= rho || slab(coneRho);
}

LineHit BvhCaster::Cast(const Point3& o, const Point3& d) const {
  // A direction without length has no determinant: the test accepts nothing.
  if (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f) return {};
  const double length = Length(d);
  if (!IsFinite(o) || !IsFinite(d) ||
      !(length >= bounds_.minDirection && length <= bounds_.maxDirection))
    return CastEveryTriangle(o, d);
  if (wides_.empty()) return {};
  // Lines whose origin lies outside the bounds, or whose direction is tiny
  // along an axis (its float inverse could overflow), take the precise test
  // in every lane.
  const bool inside = o.x >= bounds_.originLo.x && o.y >= bounds_.originLo.y &&
                      o.z >= bounds_.originLo.z && o.x <= bounds_.originHi.x &&
                      o.y <= bounds_.originHi.y && o.z <= bounds_.originHi.z;
  constexpr float kSmallest = 0x1p-100f;
  const bool wide = inside && std::fabs(d.x) >= kSmallest && std::fabs(d.y) >= kSmallest &&
                    std::fabs(d.z) >= kSmallest;
  using Float4 = float __attribute__((vector_size(16)));
  using Int4 = int32_t __attribute__((vector_size(16)));
  const Float4 ox = {o.x, o.x, o.x, o.x}, oy = {o.y, o.y, o.y, o.y}, oz = {o.z, o.z, o.z, o.z};
  const float ix1 = 1.0f / d.x, iy1 = 1.0f / d.y, iz1 = 1.0f / d.z;
  const Float4 ix = {ix1, ix1, ix1, ix1}, iy = {iy1, iy1, iy1, iy1}, iz = {iz1, iz1, iz1, iz1};

  LineHit best;
  double bestT = kNoCrossing;
  struct Entry {
    uint32_t index;
    uint32_t count;  // a leaf's triangles; 0 for a Wide
    float enter;
  };
  Entry stack[4 * (CollisionBvh::kMaxDepth + 2)];
  int top = 0;
  stack[top++] = {0, 0, -std::numeric_limits<float>::infinity()};
  // Where the pads are wide (large triangles far from the origin), a cast
  // may reach most nodes: past this many it tests every triangle instead,
  // which keeps the same crossing at a bounded cost.
  size_t budget = std::max<size_t>(8, bvh_.Triangles().size() / 16);
  while (top > 0) {
    const Entry entry = stack[--top];
    if (entry.enter > bestT) continue;
    if (budget-- == 0) return CastEveryTriangle(o, d);
    if (entry.count != 0) {
      const CollisionBvh::Triangle* tri = &bvh_.Triangles()[entry.index];
      for (uint32_t i = 0; i < entry.count; ++i, ++tri) {
        LineCrossing crossing;
        if (CrossLineTriangle(o, d, tri->v0, tri->v1, tri->v2, crossing) &&
            Replaces(crossing, tri->face, best)) {
          best.face = tri->face;
          best.crossing = crossing;
          bestT = crossing.t;
        }
      }
      continue;
    }
    const Wide& node = wides_[entry.index];
    float enter[4];
    uint32_t hits = 0;
    if (wide) {
      Float4 lo, hi;
      std::memcpy(&lo, node.lo[0], sizeof lo);
      std::memcpy(&hi, node.hi[0], sizeof hi);
      Float4 a = (lo - ox) * ix, b = (hi - ox) * ix;
      Float4 in = a < b ? a : b, out = a < b ? b : a;
      std::memcpy(&lo, node.lo[1], sizeof lo);
      std::memcpy(&hi, node.hi[1], sizeof hi);
      a = (lo - oy) * iy, b = (hi - oy) * iy;
      in = in > (a < b ? a : b) ? in : (a < b ? a : b);
      out = out < (a < b ? b : a) ? out : (a < b ? b : a);
      std::memcpy(&lo, node.lo[2], sizeof lo);
      std::memcpy(&hi, node.hi[2], sizeof hi);
      a = (lo - oz) * iz, b = (hi - oz) * iz;
      in = in > (a < b ? a : b) ? in : (a < b ? a : b);
      out = out < (a < b ? b : a) ? out : (a < b ? b : a);
      const auto limit =
          static_cast<float>(std::min(bestT, double(std::numeric_limits<float>::max())));
      const Float4 cap = {limit, limit, limit, limit};
      const Int4 enters = (in <= out) & (in <= cap);
      for (uint32_t lane = 0; lane < node.lanes; ++lane) {
        enter[lane] = in[lane];
        if (enters[lane]) hits |= 1u << lane;
      }
    }
    const uint32_t precise = wide ? node.precise : (1u << node.lanes) - 1;
    for (uint32_t lane = 0; lane < node.lanes; ++lane) {
      if ((precise >> lane & 1u) == 0) continue;
      hits &= ~(1u << lane);
      if (EntersPrecisely(node.node[lane], o, d, bestT, enter[lane])) hits |= 1u << lane;
    }
    // Farthest first onto the stack, so the nearest comes off next.
    Entry found[4];
    int n = 0;
    for (uint32_t lane = 0; lane < node.lanes; ++lane) {
      if ((hits >> lane & 1u) == 0) continue;
      Entry e{node.index[lane], node.count[lane], enter[lane]};
      int at = n++;
      while (at > 0 && found[at - 1].enter < e.enter) {
        found[at] = found[at - 1];
        --at;
      }
      found[at] = e;
    }
    for (int i = 0; i < n; ++i) stack[top++] = found[i];
  }
  return best;
}

}  // namespace kiln
