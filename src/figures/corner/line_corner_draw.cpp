// Line_Corner: drawing, handles, hit tests, dragging and rectangle tests.
#include <algorithm>
#include <cstdlib>

#include "figures/base/handles.h"
#include "figures/corner/line_corner.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_geometry.h"
#include "figures/text/text_box.h"

namespace {

Point32 routePoint(const CornerRoute& r, int32_t i) { return r.points[static_cast<size_t>(i)]; }

// A circle head of the fixed radius, or any other end shape as straight
// lines draw it.
void drawEndShape(Surface& s, const DrawContext& ctx, int32_t shape, Point32 tip, Point32 other,
                  int32_t width, Colour colour) {
  if (shape != LineEndShape_Circle && shape != LineEndShape_CircleHole) {
    LineEnd_draw(s, ctx, shape, tip, other, width, colour);
    return;
  }
  const Colour stroke = DrawContext_strokeColour(ctx, colour);
  SurfaceSaver saver(s);
  s.setPen(Pen::solid(stroke, DrawContext_penWidth(ctx, width)));
  Colour fill = LineEnd_fillColour(shape, stroke);
  if (LineEndShape_isHollow(shape)) fill = DrawContext_fillColour(ctx, fill);
  s.setBrush(Brush::solid(fill));
  const int64_t r = Line_Corner::kCircleRadius;
  s.ellipse(DrawContext_deviceX(ctx, tip.x - r), DrawContext_deviceY(ctx, tip.y - r),
            DrawContext_deviceX(ctx, tip.x + r), DrawContext_deviceY(ctx, tip.y + r));
}

bool near(Point32 p, int32_t x, int32_t y, int64_t tolerance) {
  return std::llabs(int64_t{p.x} - x) <= tolerance && std::llabs(int64_t{p.y} - y) <= tolerance;
}

}  // namespace

// --- drawing ---

void Line_Corner::drawRoute(Surface& s, const DrawContext& ctx, const CornerRoute& r,
                            Colour stroke) const {
  if (r.count < 2) return;
  if (!dashed_) {
    ScopedPen pen(s, Pen::solid(stroke, DrawContext_penWidth(ctx, width_)));
    const Point32 first = DrawContext_device(ctx, routePoint(r, 0));
    s.moveTo(first.x, first.y);
    for (int32_t i = 1; i < r.count; ++i) {
      const Point32 d = DrawContext_device(ctx, routePoint(r, i));
      s.lineTo(d.x, d.y);
    }
    return;
  }
  // Parallel one-pixel dotted lines across the segment's main direction.
  SurfaceSaver saver(s);
  s.setPen(Pen{PenStyle::Dot, 1, stroke});
  s.setBackgroundMode(BackgroundMode::Transparent);
  const LineDashOffsets k = LineGeom_dashOffsets(width_, ctx.zoomX);
  for (int32_t i = 0; i + 1 < r.count; ++i) {
    const Point32 a = DrawContext_device(ctx, routePoint(r, i));
    const Point32 b = DrawContext_device(ctx, routePoint(r, i + 1));
    for (int64_t j = k.from; j <= k.to; ++j) {
      const LineSegment seg = LineGeom_dashShift(a, b, j);
      s.moveTo(seg.a.x, seg.a.y);
      s.lineTo(seg.b.x, seg.b.y);
    }
  }
}

void Line_Corner::drawEnds(Surface& s, const DrawContext& ctx, Colour colour) const {
  for (int32_t e = 1; e <= 2; ++e) {
    const int32_t shape = arrow(e);
    if (shape == LineEndShape_None) continue;
    const CornerVisibleEnd v = VisibleEnd(e);
    drawEndShape(s, ctx, shape, v.point, v.neighbour, width_, colour);
  }
}

void Line_Corner::Draw(Surface& s, const DrawContext& ctx) {
  const CornerRoute r = ComputeRoute();
  // The box of the route, the through point and the widest head.
  int64_t l = through_.x, t = through_.y, rt = through_.x, b = through_.y;
  for (int32_t i = 0; i < r.count; ++i) {
    const Point32 p = routePoint(r, i);
    l = std::min<int64_t>(l, p.x);
    rt = std::max<int64_t>(rt, p.x);
    t = std::min<int64_t>(t, p.y);
    b = std::max<int64_t>(b, p.y);
  }
  const int64_t margin = int64_t{width_} * 5 + 8;
  if (DrawContext_outsideClip(ctx, DrawContext_deviceX(ctx, l - margin),
                              DrawContext_deviceY(ctx, t - margin),
                              DrawContext_deviceX(ctx, rt + margin),
                              DrawContext_deviceY(ctx, b + margin)))
    return;

  drawRoute(s, ctx, r, DrawContext_strokeColour(ctx, colour_));
  // A box that was never laid out is drawn now so that its frame is known.
  for (int32_t e = 1; e <= 2; ++e) {
    auto* box = dynamic_cast<Text_Box*>(link(e).target());
    if (box && !box->HasLayout()) box->Draw(s, ctx);
  }
  drawEnds(s, ctx, colour_);
  if (IsSelected() && ctx.showHandles) DrawHandles(s, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
}

void Line_Corner::DrawHandles(Surface& s, const DrawContext& ctx, Colour colour, int32_t) {
  for (const Point32& p : {p1_, p2_, through_}) {
    const Point32 d = DrawContext_device(ctx, p);
    FigureHandles_drawOne(s, d.x, d.y, colour, false);
  }
}

// --- hit test ---

HitResult Line_Corner::HitTest(int32_t x, int32_t y, int32_t zoom, int32_t) {
  HitResult h;
  const int64_t endTolerance = zoom < 400 ? 7 : 1;
  const int32_t e = near(p1_, x, y, endTolerance) ? 1 : near(p2_, x, y, endTolerance) ? 2 : 0;
  auto pointHit = [&](int32_t code, Point32 p) {
    h.code = code;
    h.dx = Figure_toInt32(int64_t{p.x} - x);
    h.dy = Figure_toInt32(int64_t{p.y} - y);
    h.distance = std::llabs(int64_t{p.x} - x) + std::llabs(int64_t{p.y} - y);
    h.cursor = HitCursor_LinePoint;
    return h;
  };
  if (e != 0) {
    if (link(e).target()) return HitResult{};  // an attached end cannot be grabbed
    return pointHit(e, end(e));
  }
  if (near(through_, x, y, 4)) return pointHit(3, through_);

  const CornerRoute r = ComputeRoute();
  const int64_t margin = int64_t{width_} + 4;
  bool hit = false;
  int64_t best = INT64_MAX;
  for (int32_t i = 0; i + 1 < r.count; ++i) {
    const Point32 a = routePoint(r, i), b = routePoint(r, i + 1);
    bool on = false;
    if (a.y == b.y) {
      on = std::llabs(int64_t{y} - a.y) < margin && x > int64_t{std::min(a.x, b.x)} - margin &&
           x < int64_t{std::max(a.x, b.x)} + margin;
    } else {
      on = std::llabs(int64_t{x} - a.x) < margin && y > int64_t{std::min(a.y, b.y)} - margin &&
           y < int64_t{std::max(a.y, b.y)} + margin;
    }
    hit = hit || on;
    best = std::min(best, LineGeom_distanceSquared({x, y}, a, b));
  }
  if (!hit) return h;
  h.code = -1;
  h.dx = Figure_toInt32(int64_t{p1_.x} - x);
  h.dy = Figure_toInt32(int64_t{p1_.y} - y);
  h.distance = best;
  h.cursor = HitCursor_Move;
  return h;
}

Point32 Line_Corner::GetHandlePoint(int32_t handle) const {
  if (handle == 2) return p2_;
  if (handle == 3) return through_;
  return p1_;
}

// --- dragging ---

void Line_Corner::moveEnd(int32_t e, int32_t x, int32_t y, bool noSnap) {
  Point32 p{Figure_clampCoord(x), Figure_clampCoord(y)};
  if (!noSnap) p = LineGeom_snapEnd(p, end(e == 1 ? 2 : 1));
  endRef(e) = p;
}

// The end moves; the through point keeps its offset from the end nearer to
// it when it lies outside the ends' range on an axis, else it re-centres
// across the route's direction.
void Line_Corner::dragEnd(int32_t e, int32_t x, int32_t y, bool noSnap) {
  const Point32 o1 = p1_, o2 = p2_, c = through_;
  // The end on the side of c along one axis (the dragged one on a tie).
  auto nearer = [e](int32_t v1, int32_t v2, bool low) {
    if (v1 == v2) return e;
    return (v1 < v2) == low ? 1 : 2;
  };
  if (c.x < std::min(o1.x, o2.x) || c.x > std::max(o1.x, o2.x)) {
    const int32_t n = nearer(o1.x, o2.x, c.x < std::min(o1.x, o2.x));
    const int64_t offset = int64_t{c.x} - (n == 1 ? o1.x : o2.x);
    moveEnd(e, x, y, noSnap);
    through_.x = Figure_clampCoord(end(n).x + offset);
  } else if (c.y < std::min(o1.y, o2.y) || c.y > std::max(o1.y, o2.y)) {
    const int32_t n = nearer(o1.y, o2.y, c.y < std::min(o1.y, o2.y));
    const int64_t offset = int64_t{c.y} - (n == 1 ? o1.y : o2.y);
    moveEnd(e, x, y, noSnap);
    through_.y = Figure_clampCoord(end(n).y + offset);
  } else {
    moveEnd(e, x, y, noSnap);
    if (direction_ == LineCorner_directionN)
      through_.x = Figure_toInt32((int64_t{p1_.x} + p2_.x) / 2);
    else
      through_.y = Figure_toInt32((int64_t{p1_.y} + p2_.y) / 2);
  }
}

void Line_Corner::DragHandleTo(int32_t handle, int32_t x, int32_t y, bool noSnap, int32_t,
                               bool) {
  if (handle == 3) {
    setThrough(x, y);
    return;
  }
  if (handle == -1) {
    if (end1_.target() || end2_.target()) return;
    MoveBy(Figure_toInt32(int64_t{x} - p1_.x), Figure_toInt32(int64_t{y} - p1_.y));
    return;
  }
  if (handle != 1 && handle != 2) return;
  if (autoCentre_) {
    moveEnd(handle, x, y, noSnap);
    through_ = {Figure_toInt32((int64_t{p1_.x} + p2_.x) / 2), p1_.y};
    return;
  }
  dragEnd(handle, x, y, noSnap);
}

void Line_Corner::DragHandleBy(int32_t handle, int32_t dx, int32_t dy, bool noSnap, int32_t) {
  if (handle != 1 && handle != 2) return;
  const Point32 p = end(handle);
  moveEnd(handle, Figure_clampCoord(int64_t{p.x} + dx), Figure_clampCoord(int64_t{p.y} + dy),
          noSnap);
}

// --- rectangle test ---

// A vertical segment meets r when its x lies in [r.x, r.x + r.w] and its
// y-range overlaps (r.y, r.y + r.h); horizontal ones likewise.
bool Line_Corner::IntersectsRect(const Rect32& rc) const {
  const CornerRoute r = ComputeRoute();
  const int64_t left = rc.x, right = Rect32_right(rc), top = rc.y, bottom = Rect32_bottom(rc);
  for (int32_t i = 0; i + 1 < r.count; ++i) {
    const Point32 a = routePoint(r, i), b = routePoint(r, i + 1);
    if (a.x == b.x) {
      if (a.x >= left && a.x <= right && std::min(a.y, b.y) < bottom && std::max(a.y, b.y) > top)
        return true;
    } else if (a.y >= top && a.y <= bottom && std::min(a.x, b.x) < right &&
               std::max(a.x, b.x) > left) {
      return true;
    }
  }
  return false;
}
