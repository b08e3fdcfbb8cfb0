// Routing of the cornered connector and the visible ends along the route.
#include <cstdlib>

#include "figures/corner/line_corner.h"
#include "figures/text/text_box.h"

namespace {

// Collects route points; the algorithm never places more than five.
struct RouteBuilder {
  std::array<Point32, 6> p{};
  int32_t n = 0;
  void put(int32_t k, Point32 q) {
    if (k < 0 || k >= 6) return;
    p[static_cast<size_t>(k)] = q;
    if (k + 1 > n) n = k + 1;
  }
  Point32 at(int32_t k) const { return p[static_cast<size_t>(k)]; }
};

bool within(int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; }

}  // namespace

// L is the end with the smaller x (end 2 on a tie), R the other; C the
// through point.  o = C.x - L.x, t = C.y - L.y, q = C.x - R.x, f = C.y - R.y.
CornerRoute LineCorner_route(Point32 end1, Point32 end2, Point32 c, int32_t direction) {
  CornerRoute route;
  route.reversed = end2.x <= end1.x;
  const Point32 L = route.reversed ? end2 : end1;
  const Point32 R = route.reversed ? end1 : end2;
  const int64_t o = int64_t{c.x} - L.x, t = int64_t{c.y} - L.y;
  const int64_t q = int64_t{c.x} - R.x, f = int64_t{c.y} - R.y;
  const bool beyond = (t > 8 && f > 8) || (t < -8 && f < -8);

  RouteBuilder b;
  b.put(0, L);
  if (o <= 8) {
    int32_t k = 1;
    if (o < -8) b.put(k++, {c.x, L.y});
    if (beyond || (within(o, -8, 8) && within(q, -9, 8))) {
      b.put(k, {b.at(k - 1).x, c.y});
      b.put(k + 1, {R.x, c.y});
      b.put(k + 2, R);
    } else {
      b.put(k, {b.at(k - 1).x, R.y});
      b.put(k + 1, R);
    }
  } else if (q >= -8) {
    int32_t k = 1;
    if (beyond) b.put(k++, {L.x, c.y});
    const int32_t x = q < 8 ? R.x : c.x;
    b.put(k, {x, b.at(k - 1).y});
    b.put(k + 1, {x, R.y});
    if (q >= 8) b.put(k + 2, R);
  } else if (beyond) {
    b.put(1, {L.x, c.y});
    b.put(2, {R.x, c.y});
    b.put(3, R);
  } else if (direction == LineCorner_directionZ) {
    b.put(1, {c.x, L.y});
    b.put(2, {c.x, R.y});
    b.put(3, R);
  } else {
    int32_t k = 1;
    if (within(f, -7, 7))
      b.put(k++, {L.x, R.y});
    else if (t < -7 || t > 7)
      b.put(k++, {L.x, c.y});
    b.put(k, {R.x, b.at(k - 1).y});
    if (f < -7 || f > 7) b.put(k + 1, R);
  }

  // Every point equal to its predecessor goes.
  for (int32_t i = 0; i < b.n; ++i) {
    const Point32 pt = b.at(i);
    if (route.count > 0 && route.points[static_cast<size_t>(route.count - 1)] == pt) continue;
    route.points[static_cast<size_t>(route.count++)] = pt;
  }
  return route;
}

CornerRoute Line_Corner::ComputeRoute() const {
  return LineCorner_route(p1_, p2_, through_, direction_);
}

namespace {

// The end's target as a text box whose frame can be had without measuring
// (null otherwise: the end is then shown at its route point).
const Text_Box* laidOutBox(const CadPrim* target) {
  const auto* box = dynamic_cast<const Text_Box*>(target);
  if (!box) return nullptr;
  if (!(box->layoutFlags & TextBox_boundsValid) && !box->HasLayout()) return nullptr;
  return box;
}

bool inside(const TextBoxFrameBounds& b, Point32 p) {
  return p.x >= b.left && p.x <= b.right && p.y >= b.top && p.y <= b.bottom;
}

}  // namespace

CornerVisibleEnd Line_Corner::VisibleEnd(int32_t e) const {
  const CornerRoute r = ComputeRoute();
  // The route walked from end e's own end.
  std::array<Point32, 6> walk{};
  const bool fromLast = (e == 2) != r.reversed;
  for (int32_t i = 0; i < r.count; ++i)
    walk[static_cast<size_t>(i)] = r.points[static_cast<size_t>(fromLast ? r.count - 1 - i : i)];
  if (r.count == 0) walk[0] = end(e);
  const Point32 first = walk[0];
  const Point32 next = r.count > 1 ? walk[1] : first;

  const Text_Box* box = laidOutBox(link(e).target());
  if (!box) return {first, next};
  const TextBoxFrameBounds b = box->FrameBounds();
  for (int32_t i = 0; i + 1 < r.count; ++i) {
    const Point32 a = walk[static_cast<size_t>(i)], c = walk[static_cast<size_t>(i + 1)];
    const bool ia = inside(b, a), ic = inside(b, c);
    if (ia == ic) continue;
    const Point32 in = ia ? a : c, out = ia ? c : a;
    return {box->OutlinePoint(in, out), out};
  }
  const Point32 centre{Figure_toInt32((int64_t{b.left} + b.right) / 2),
                       Figure_toInt32((int64_t{b.top} + b.bottom) / 2)};
  return {centre, next};
}
