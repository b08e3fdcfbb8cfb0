#include "view/editing/edit_snap.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"

namespace {

int64_t dist(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

// The frame of a laid-out text box (edges inclusive), none otherwise.
std::optional<Rect32> frameOf(const CadPrim& f, Point32 shift = {}) {
  if (f.GetKind() != FigureKind_Text) return std::nullopt;
  const auto* box = dynamic_cast<const Text_Box*>(&f);
  if (box == nullptr || !box->HasLayout()) return std::nullopt;
  const TextBoxFrameBounds b = box->FrameBounds();
  return Rect32{Figure_toInt32(int64_t{b.left} + shift.x), Figure_toInt32(int64_t{b.top} + shift.y),
                Figure_toInt32(int64_t{b.right} - b.left), Figure_toInt32(int64_t{b.bottom} - b.top)};
}

int64_t right(const Rect32& r) { return int64_t{r.x} + r.w; }
int64_t bottom(const Rect32& r) { return int64_t{r.y} + r.h; }
int64_t centreX(const Rect32& r) { return int64_t{r.x} + r.w / 2; }
int64_t centreY(const Rect32& r) { return int64_t{r.y} + r.h / 2; }

bool meets(const Rect32& a, const Rect32& b) {
  return a.x <= right(b) && b.x <= right(a) && a.y <= bottom(b) && b.y <= bottom(a);
}

}  // namespace

Point32 EditSnap_grid(const Canvas& canvas, Point32 p) { return canvas.GridSnapOffset(p.x, p.y); }

Point32 EditSnap_offset(const FigureList& page, const EditSnapInput& in) {
  Point32 p = in.point;
  if (in.axisLock) {
    // The coordinate that moved less stays at the press.
    if (dist(p.x, in.press.x) < dist(p.y, in.press.y)) {
      p.x = in.press.x;
    } else {
      p.y = in.press.y;
    }
  }
  int64_t dx = int64_t{p.x} - in.point.x, dy = int64_t{p.y} - in.point.y;
  if (in.movedText != nullptr) {
    const Point32 a = EditSnap_alignText(
        page, *in.movedText,
        {Figure_toInt32(dx + in.pending.x), Figure_toInt32(dy + in.pending.y)});
    return {Figure_toInt32(dx + a.x), Figure_toInt32(dy + a.y)};
  }
  if (!in.figures) return {Figure_toInt32(dx), Figure_toInt32(dy)};
  int64_t tolX = EditSnap_tolerance, tolY = EditSnap_tolerance;
  int64_t sx = 0, sy = 0;
  auto point = [&](Point32 c) {
    const int64_t ax = dist(c.x, p.x), ay = dist(c.y, p.y);
    if (ax <= tolX && ay <= tolY) {
      sx = int64_t{c.x} - p.x;
      sy = int64_t{c.y} - p.y;
      tolX = ax;
      tolY = ay;
    }
  };
  for (const auto& owned : page) {
    const CadPrim& f = *owned;
    if (&f == in.held || f.GetKind() == FigureKind_Canvas || f.HasMoveMark()) continue;
    if (const auto* line = dynamic_cast<const Line_Ex*>(&f)) {
      point(line->point1());
      point(line->point2());
    } else if (const auto* corner = dynamic_cast<const Line_Corner*>(&f)) {
      point(corner->end(1));
      point(corner->end(2));
      const CornerRoute route = corner->ComputeRoute();
      for (int32_t i = 0; i + 1 < route.count; ++i) {
        const Point32 a = route.points[i], b = route.points[i + 1];
        if (a.x == b.x && p.y >= std::min(a.y, b.y) && p.y <= std::max(a.y, b.y)) {
          const int64_t ax = dist(a.x, p.x);
          if (ax <= tolX) {
            sx = int64_t{a.x} - p.x;
            tolX = ax;
          }
        } else if (a.y == b.y && p.x >= std::min(a.x, b.x) && p.x <= std::max(a.x, b.x)) {
          const int64_t ay = dist(a.y, p.y);
          if (ay <= tolY) {
            sy = int64_t{a.y} - p.y;
            tolY = ay;
          }
        }
      }
    }
  }
  return {Figure_toInt32(dx + sx), Figure_toInt32(dy + sy)};
}

Point32 EditSnap_alignText(const FigureList& page, const CadPrim& moving, Point32 shift) {
  const std::optional<Rect32> me = frameOf(moving, shift);
  if (!me) return {};
  std::vector<std::pair<const CadPrim*, Rect32>> others;
  for (const auto& owned : page) {
    const CadPrim& f = *owned;
    if (&f == &moving || f.HasMoveMark()) continue;
    if (const std::optional<Rect32> r = frameOf(f)) others.emplace_back(&f, *r);
  }
  // Whether the box moved by (dx, dy) would meet a text box other than `n`.
  auto blocked = [&](int64_t dx, int64_t dy, const CadPrim* n) {
    const Rect32 at{Figure_toInt32(me->x + dx), Figure_toInt32(me->y + dy), me->w, me->h};
    for (const auto& [f, r] : others) {
      if (f != n && meets(at, r)) return true;
    }
    return false;
  };
  int64_t ox = 0, oy = 0;
  // Above or below: the nearest neighbour whose columns meet.
  const CadPrim* vn = nullptr;
  Rect32 vr;
  int64_t best = 100;
  bool below = false;
  for (const auto& [f, r] : others) {
    if (right(*me) + 5 < r.x || right(r) + 5 < me->x) continue;
    const int64_t gapBelow = int64_t{me->y} - bottom(r);  // me under r
    const int64_t gapAbove = int64_t{r.y} - bottom(*me);  // me over r
    const int64_t gap = gapBelow >= 0 ? gapBelow : gapAbove;
    if (gap < 0 || gap >= best) continue;
    best = gap;
    vn = f;
    vr = r;
    below = gapBelow >= 0;
  }
  int64_t bestSide = best;
  if (vn != nullptr) {
    const auto* box = dynamic_cast<const Text_Box*>(vn);
    const int32_t align = box ? box->alignment : 0;
    const int64_t dl = int64_t{vr.x} - me->x, dr = right(vr) - right(*me),
                  dc = centreX(vr) - centreX(*me);
    std::vector<int64_t> order = {dl, dr, dc};
    if (align == 2) order = {dr, dl, dc};
    if (align == 1) order = {dc, dl, dr};
    for (int64_t d : order) {
      if (dist(d, 0) <= 5) {
        ox = d;
        break;
      }
    }
    const int64_t gap = below ? int64_t{me->y} - bottom(vr) : int64_t{vr.y} - bottom(*me);
    if (dist(gap, EditSnap_textGap) <= EditSnap_tolerance) {
      const int64_t dy = below ? EditSnap_textGap - gap : gap - EditSnap_textGap;
      if (!blocked(ox, dy, vn)) oy = dy;
    }
  }
  // Beside: the nearest neighbour whose rows meet, nearer than the one above
  // or below.
  const CadPrim* hn = nullptr;
  Rect32 hr;
  bool rightOf = false;
  for (const auto& [f, r] : others) {
    if (bottom(*me) + 5 < r.y || bottom(r) + 5 < me->y) continue;
    const int64_t gapRight = int64_t{me->x} - right(r);  // me right of r
    const int64_t gapLeft = int64_t{r.x} - right(*me);
    const int64_t gap = gapRight >= 0 ? gapRight : gapLeft;
    if (gap < 0 || gap >= bestSide) continue;
    bestSide = gap;
    hn = f;
    hr = r;
    rightOf = gapRight >= 0;
  }
  if (hn != nullptr) {
    ox = 0;
    oy = 0;
    const int64_t dc = centreY(hr) - centreY(*me), dt = int64_t{hr.y} - me->y,
                  db = bottom(hr) - bottom(*me);
    if (dist(dc, 0) <= 5) {
      oy = dc;
    } else if (dist(dt, 0) <= 7) {
      oy = dt;
    } else if (dist(db, 0) <= 7) {
      oy = db;
    }
    const int64_t gap = rightOf ? int64_t{me->x} - right(hr) : int64_t{hr.x} - right(*me);
    if (dist(gap, EditSnap_textGap) <= EditSnap_tolerance) {
      const int64_t dx = rightOf ? EditSnap_textGap - gap : gap - EditSnap_textGap;
      if (!blocked(dx, oy, hn)) ox = dx;
    }
  }
  return {Figure_toInt32(ox), Figure_toInt32(oy)};
}
