#include "figures/matome/matome.h"

#include <algorithm>
#include <cstdlib>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "figures/base/handles.h"
#include "figures/base/snapshot.h"
#include "figures/base/two_point.h"

namespace {

int64_t absDiff(int64_t a, int64_t b) { return a > b ? a - b : b - a; }
int64_t mid(int64_t a, int64_t b) { return (a + b) / 2; }

int sign(int64_t v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

}  // namespace

MatomeShape Matome_shape(Point32 p1, Point32 p2) {
  MatomeShape m;
  m.horizontal = absDiff(p2.y, p1.y) < absDiff(p2.x, p1.x);
  // Along the long axis a, across it c; the ends lie on cEnd, the tip on cTip.
  const int64_t a1 = m.horizontal ? p1.x : p1.y, a2 = m.horizontal ? p2.x : p2.y;
  const int64_t cTip = m.horizontal ? p1.y : p1.x, cEnd = m.horizontal ? p2.y : p2.x;
  const int64_t am = mid(a1, a2), cm = mid(cTip, cEnd);
  const int64_t r = absDiff(cEnd, cTip) / 2;
  const int64_t sr = a1 < a2 ? r : -r;
  m.radius = static_cast<int32_t>(r);
  auto pt = [&](int64_t a, int64_t c) {
    return m.horizontal ? Point32{Figure_toInt32(a), Figure_toInt32(c)}
                        : Point32{Figure_toInt32(c), Figure_toInt32(a)};
  };
  m.points = {pt(a1, cEnd), pt(a1 + sr, cm), pt(am - sr, cm), pt(am, cTip),
              pt(am + sr, cm), pt(a2 - sr, cm), pt(a2, cEnd)};
  m.centres = {pt(a1 + sr, cEnd), pt(am - sr, cTip), pt(am + sr, cTip), pt(a2 - sr, cEnd)};
  return m;
}

void Matome::SetPoints(Point32 p1, Point32 p2) {
  x1_ = Figure_clampCoord(p1.x);
  y1_ = Figure_clampCoord(p1.y);
  x2_ = Figure_clampCoord(p2.x);
  y2_ = Figure_clampCoord(p2.y);
}

std::string Matome::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Matome::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

// --- drawing ------------------------------------------------------------------

namespace {

// A quarter arc from p to q about centre c, radius r (page units): GDI arcs
// run counter-clockwise on the screen, so the rays are ordered to cover the
// short way round.
void drawQuarter(Surface& s, const DrawContext& ctx, Point32 c, int32_t r, Point32 p, Point32 q) {
  const int64_t px = int64_t{p.x} - c.x, py = -(int64_t{p.y} - c.y);
  const int64_t qx = int64_t{q.x} - c.x, qy = -(int64_t{q.y} - c.y);
  if (px * qy - py * qx < 0) std::swap(p, q);
  const Point32 dp = DrawContext_device(ctx, p), dq = DrawContext_device(ctx, q);
  s.arc(DrawContext_deviceX(ctx, int64_t{c.x} - r), DrawContext_deviceY(ctx, int64_t{c.y} - r),
        DrawContext_deviceX(ctx, int64_t{c.x} + r), DrawContext_deviceY(ctx, int64_t{c.y} + r),
        dp.x, dp.y, dq.x, dq.y);
}

// A straight piece from p to q, one pixel longer at both ends.
void drawStraight(Surface& s, const DrawContext& ctx, Point32 p, Point32 q, bool horizontal) {
  const Point32 a = DrawContext_device(ctx, p), b = DrawContext_device(ctx, q);
  const int dir = horizontal ? sign(int64_t{b.x} - a.x) : sign(int64_t{b.y} - a.y);
  const int ex = horizontal ? dir : 0, ey = horizontal ? 0 : dir;
  s.moveTo(a.x - ex, a.y - ey);
  s.lineTo(b.x + ex, b.y + ey);
}

}  // namespace

void Matome::Draw(Surface& surface, const DrawContext& ctx) {
  const MatomeShape m = Shape();
  // The box of the arcs' circles and the pieces, widened by the pen: a
  // brace wholly outside the repaint area draws nothing.
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  auto take = [&](Point32 p, int64_t d) {
    l = std::min<int64_t>(l, p.x - d);
    t = std::min<int64_t>(t, p.y - d);
    r = std::max<int64_t>(r, p.x + d);
    b = std::max<int64_t>(b, p.y + d);
  };
  for (const Point32& p : m.points) take(p, 0);
  for (const Point32& c : m.centres) take(c, m.radius);
  const int64_t margin = DrawContext_penWidth(ctx, width_) / 2 + 2;
  const bool outside =
      DrawContext_outsideClip(ctx, DrawContext_deviceX(ctx, l) - margin,
                              DrawContext_deviceY(ctx, t) - margin,
                              DrawContext_deviceX(ctx, r) + margin, DrawContext_deviceY(ctx, b) + margin);
  if (!outside) {
    SurfaceSaver saver(surface);
    surface.setPen(Pen::solid(DrawContext_strokeColour(ctx, colour_),
                              DrawContext_penWidth(ctx, width_)));
    const auto& p = m.points;
    if (m.radius > 0) drawQuarter(surface, ctx, m.centres[0], m.radius, p[0], p[1]);
    drawStraight(surface, ctx, p[1], p[2], m.horizontal);
    if (m.radius > 0) {
      drawQuarter(surface, ctx, m.centres[1], m.radius, p[2], p[3]);
      drawQuarter(surface, ctx, m.centres[2], m.radius, p[3], p[4]);
    }
    drawStraight(surface, ctx, p[4], p[5], m.horizontal);
    if (m.radius > 0) drawQuarter(surface, ctx, m.centres[3], m.radius, p[5], p[6]);
  }
  if (IsSelected() && ctx.showHandles)
    DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
}

void Matome::DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour, int32_t) {
  std::array<Point32, 8> pts;
  for (int32_t h = 1; h <= 8; ++h) pts[static_cast<size_t>(h - 1)] = GetHandlePoint(h);
  FigureHandles_draw(surface, ctx, pts, colour, false);
}

// --- copies, equality, snapshots ------------------------------------------------

void Matome::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Matome*>(&other);
  if (!o) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.number = o->header_.number;
  x1_ = o->x1_;
  y1_ = o->y1_;
  x2_ = o->x2_;
  y2_ = o->y2_;
  CopyStyleFrom(*o, 0);
}

void Matome::CopyStyleFrom(const CadPrim& other, int32_t) {
  const auto* o = dynamic_cast<const Matome*>(&other);
  if (!o) return;
  width_ = o->width_;
  colour_ = o->colour_;
}

bool Matome::Equals(const CadPrim& other, int32_t) const {
  const auto* o = dynamic_cast<const Matome*>(&other);
  return o && header_.number == o->header_.number && x1_ == o->x1_ && y1_ == o->y1_ &&
         x2_ == o->x2_ && y2_ == o->y2_ && width_ == o->width_ && colour_ == o->colour_;
}

std::unique_ptr<CadPrim> Matome::Clone(const FigureList* list) const {
  auto c = std::make_unique<Matome>();
  c->CopyFrom(*this, list);
  return c;
}

size_t Matome::GetSnapshotSize() const { return Snapshot_headerSize + 7 * Snapshot_int32Size; }

void Matome::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(header_.number);
  out.i32(x1_);
  out.i32(y1_);
  out.i32(x2_);
  out.i32(y2_);
  out.i32(width_);
  out.u32(colour_);
}

void Matome::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  const int32_t number = in.i32();
  const int32_t x1 = in.i32(), y1 = in.i32(), x2 = in.i32(), y2 = in.i32();
  const int32_t width = in.i32();
  const uint32_t colour = in.u32();
  if (width < 1) Errors_RAISE(Errors_Unofficial, "error");
  header_.number = number;
  SetPoints({x1, y1}, {x2, y2});
  width_ = width;
  colour_ = colour & 0xFFFFFF;
}

// --- hit test and movement ------------------------------------------------------

HitResult Matome::HitTest(int32_t x, int32_t y, int32_t, int32_t) {
  constexpr int64_t tol = kHitTolerance;
  const int64_t xm = mid(x1_, x2_), ym = mid(y1_, y2_);
  const int64_t cols[3] = {x1_, xm, x2_}, rows[3] = {y1_, ym, y2_};
  int col = 0, row = -1;
  for (int i = 0; i < 3 && col == 0; ++i)
    if (absDiff(cols[i], x) <= tol) col = i + 1;
  for (int i = 0; i < 3 && row < 0; ++i)
    if (absDiff(rows[i], y) <= tol) row = i * 3;
  // Cells 1-9; the centre cell 5 is no handle.
  static constexpr int32_t kHandleOfCell[10] = {0, 1, 2, 3, 4, 0, 5, 6, 7, 8};
  static constexpr int32_t kCursor[9] = {0,
                                         HitCursor_SizeDiagonalDown,
                                         HitCursor_SizeVertical,
                                         HitCursor_SizeDiagonalUp,
                                         HitCursor_SizeHorizontal,
                                         HitCursor_SizeHorizontal,
                                         HitCursor_SizeDiagonalUp,
                                         HitCursor_SizeVertical,
                                         HitCursor_SizeDiagonalDown};
  if (col > 0 && row >= 0) {
    if (const int32_t h = kHandleOfCell[col + row]; h > 0) {
      const Point32 p = GetHandlePoint(h);
      HitResult r;
      r.code = h;
      r.dx = Figure_toInt32(int64_t{p.x} - x);
      r.dy = Figure_toInt32(int64_t{p.y} - y);
      r.distance = std::llabs(int64_t{r.dx}) + std::llabs(int64_t{r.dy});
      r.cursor = kCursor[h];
      return r;
    }
  }
  const MatomeShape m = Shape();
  const int64_t r = m.radius;
  const bool hor = m.horizontal;
  const int64_t across = hor ? absDiff(y, ym) : absDiff(x, xm);
  const int64_t along = hor ? x : y;
  const int64_t lo = hor ? std::min(x1_, x2_) : std::min(y1_, y2_);
  const int64_t hi = hor ? std::max(x1_, x2_) : std::max(y1_, y2_);
  if (across <= tol && along >= lo + r - tol && along <= hi - r + tol) {
    HitResult h;
    h.code = -1;
    h.dx = Figure_toInt32(int64_t{x1_} - x);
    h.dy = Figure_toInt32(int64_t{y1_} - y);
    h.distance = across;
    h.cursor = HitCursor_Move;
    return h;
  }
  return {};
}

Point32 Matome::GetHandlePoint(int32_t handle) const {
  const int32_t xm = static_cast<int32_t>(mid(x1_, x2_)), ym = static_cast<int32_t>(mid(y1_, y2_));
  switch (handle) {
    case 1: return {x1_, y1_};
    case 2: return {xm, y1_};
    case 3: return {x2_, y1_};
    case 4: return {x1_, ym};
    case 5: return {x2_, ym};
    case 6: return {x1_, y2_};
    case 7: return {xm, y2_};
    case 8: return {x2_, y2_};
    default: return {};
  }
}

void Matome::translate(int64_t dx, int64_t dy) {
  x1_ = Figure_clampCoord(x1_ + dx);
  y1_ = Figure_clampCoord(y1_ + dy);
  x2_ = Figure_clampCoord(x2_ + dx);
  y2_ = Figure_clampCoord(y2_ + dy);
}

void Matome::MoveBy(int32_t dx, int32_t dy) { translate(dx, dy); }

void Matome::DragHandleTo(int32_t handle, int32_t x, int32_t y, bool, int32_t, bool) {
  const int32_t cx = Figure_clampCoord(x), cy = Figure_clampCoord(y);
  switch (handle) {
    case 1: x1_ = cx; y1_ = cy; break;
    case 2: y1_ = cy; break;
    case 3: x2_ = cx; y1_ = cy; break;
    case 4: x1_ = cx; break;
    case 5: x2_ = cx; break;
    case 6: x1_ = cx; y2_ = cy; break;
    case 7: y2_ = cy; break;
    case 8: x2_ = cx; y2_ = cy; break;
    case -1: translate(int64_t{x} - x1_, int64_t{y} - y1_); break;
    default: break;
  }
}

// --- edges and extents ---------------------------------------------------------

bool Matome::IntersectsRect(const Rect32& r) const {
  const Rect32 box{std::min(x1_, x2_), std::min(y1_, y2_), GetExtent(false), GetExtent(true)};
  return Rect32_overlaps(box, r);
}

int32_t Matome::GetEdge(int32_t which) const {
  return TwoPoint_getEdge({x1_, y1_}, {x2_, y2_}, which);
}

void Matome::SetEdge(int32_t which, int32_t value) {
  TwoPoint_setEdge({x1_, y1_, x2_, y2_}, which, value);
}

int32_t Matome::GetExtent(bool vertical) const {
  return TwoPoint_getExtent({x1_, y1_}, {x2_, y2_}, vertical);
}

void Matome::SetExtent(bool vertical, int32_t value) {
  const int64_t v = Figure_clampSize(value);
  int32_t& a = vertical ? y1_ : x1_;
  int32_t& b = vertical ? y2_ : x2_;
  if (a <= b)
    b = Figure_clampCoord(a + v - 1);
  else
    a = Figure_clampCoord(b + v - 1);
}

void Matome::EnsureMinimumSize() { TwoPoint_ensureMinimumSize({x1_, y1_, x2_, y2_}, 4, 4, 32); }

// --- property rows -------------------------------------------------------------

PropertyRow Matome::GetProperty(int32_t row, bool ja, size_t valueCapacity,
                                std::string_view) const {
  PropertyRow r;
  switch (row) {
    case 0: case 1: case 2: case 3: r = TwoPoint_pointRow(row, {x1_, y1_}, {x2_, y2_}); break;
    case 4: r = Stroke_widthRow(ja, width_); break;
    case 5: r = Stroke_colourRow(ja, colour_); break;
    default: return PropertyRow_pastEnd();
  }
  r.value = PropertyRow_fitValue(r.value, valueCapacity);
  return r;
}

void Matome::SetProperty(int32_t row, std::string_view value, std::string_view) {
  const int32_t n = StrX_toInt(value);
  switch (row) {
    case 0: case 1: case 2: case 3: TwoPoint_setPointRow({x1_, y1_, x2_, y2_}, row, n); break;
    case 4: SetWidth(n); break;
    case 5: Stroke_readColour(value, colour_); break;
    default: break;
  }
}
