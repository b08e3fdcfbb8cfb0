#include "figures/line/line_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace {

using Wide = __int128;

int64_t saturate(Wide v) { return v > Wide{INT64_MAX} ? INT64_MAX : static_cast<int64_t>(v); }

Wide squaredLength(Point32 p, Point32 q) {
  const Wide dx = int64_t{p.x} - q.x, dy = int64_t{p.y} - q.y;
  return dx * dx + dy * dy;
}

}  // namespace

int64_t LineGeom_distanceSquared(Point32 p, Point32 a, Point32 b) {
  if (!(a == b)) {
    const Wide g = int64_t{b.x} - a.x, h = int64_t{a.y} - b.y;
    const Wide len = g * g + h * h;
    const Wide m = g * (int64_t{p.y} - a.y) + h * (int64_t{p.x} - a.x);
    const Wide fx = p.x - h * m / len, fy = p.y - g * m / len;
    if (fx >= std::min(a.x, b.x) && fx <= std::max(a.x, b.x) && fy >= std::min(a.y, b.y) &&
        fy <= std::max(a.y, b.y))
      return saturate(m * m / len);
  }
  return saturate(std::min(squaredLength(p, a), squaredLength(p, b)));
}

Point32 LineGeom_snapEnd(Point32 moved, Point32 other) {
  const bool nearX = std::llabs(int64_t{moved.x} - other.x) <= 6;
  const bool nearY = std::llabs(int64_t{moved.y} - other.y) <= 6;
  if (nearX && !nearY) moved.x = other.x;
  if (!nearX && nearY) moved.y = other.y;
  return moved;
}

namespace {

enum : int { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

int outcode(Point32 p, int64_t l, int64_t t, int64_t r, int64_t b) {
  int c = 0;
  if (p.x < l) c |= kLeft;
  if (p.x > r) c |= kRight;
  if (p.y < t) c |= kTop;
  if (p.y > b) c |= kBottom;
  return c;
}

// Whether segment p-q crosses an axis-parallel edge: the vertical edge
// x = at (or the horizontal edge y = at) running from `from` to `to` on the
// other axis, ends included.
bool crossesEdge(Point32 p, Point32 q, bool vertical, int64_t at, int64_t from, int64_t to) {
  const double px = p.x, py = p.y, qx = q.x, qy = q.y;
  const double a0 = vertical ? px : py, a1 = vertical ? qx : qy;
  const double b0 = vertical ? py : px, b1 = vertical ? qy : qx;
  if (a0 == a1) return false;
  const double t = (static_cast<double>(at) - a0) / (a1 - a0);
  if (t < 0 || t > 1) return false;
  const double cross = b0 + (b1 - b0) * t;
  return cross >= static_cast<double>(from) && cross <= static_cast<double>(to);
}

}  // namespace

bool LineGeom_segmentMeetsRect(Point32 a, Point32 b, const Rect32& r) {
  const int64_t l = r.x, t = r.y, rt = Rect32_right(r), bt = Rect32_bottom(r);
  const int ca = outcode(a, l, t, rt, bt), cb = outcode(b, l, t, rt, bt);
  if (ca == 0 || cb == 0) return true;
  if ((ca & cb) != 0) return false;
  return crossesEdge(a, b, true, l, t, bt) || crossesEdge(a, b, true, rt, t, bt) ||
         crossesEdge(a, b, false, t, l, rt) || crossesEdge(a, b, false, bt, l, rt);
}

LineDashOffsets LineGeom_dashOffsets(int32_t width, int32_t zoomX) {
  const int64_t from = -((int64_t{width} - 1) * zoomX / 200);
  const int64_t to = int64_t{width} * zoomX / 200;
  return {std::clamp(from, -LineGeom_maxDashOffset, LineGeom_maxDashOffset),
          std::clamp(to, -LineGeom_maxDashOffset, LineGeom_maxDashOffset)};
}

LineSegment LineGeom_dashShift(Point32 a, Point32 b, int64_t k) {
  const bool flat = std::llabs(int64_t{b.y} - a.y) < std::llabs(int64_t{b.x} - a.x);
  const int64_t kx = flat ? 0 : k, ky = flat ? k : 0;
  return {{Figure_toInt32(a.x + kx), Figure_toInt32(a.y + ky)},
          {Figure_toInt32(b.x + kx), Figure_toInt32(b.y + ky)}};
}
