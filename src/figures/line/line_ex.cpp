#include "figures/line/line_ex.h"

#include <algorithm>
#include <cstdlib>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "figures/base/handles.h"
#include "figures/base/snapshot.h"
#include "figures/base/two_point.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_geometry.h"
#include "figures/text/text_box.h"

namespace {

void checkEnd(int32_t end) {
  if (end != 1 && end != 2) Errors_RAISE(Errors_Unofficial, "error");
}

int64_t absDiff(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

// legacyLinkData in snapshots: tag 0 none, 1 marker, 2 buffer.
constexpr size_t kLegacyBufferMax = 1 << 20;

}  // namespace

Line_Ex::~Line_Ex() { Links_detachOnDestroy(*this, isCopy()); }

// --- fields -------------------------------------------------------------------

void Line_Ex::SetPoints(Point32 p1, Point32 p2) {
  x1_ = Figure_clampCoord(p1.x);
  y1_ = Figure_clampCoord(p1.y);
  x2_ = Figure_clampCoord(p2.x);
  y2_ = Figure_clampCoord(p2.y);
}

void Line_Ex::SetArrow(int32_t end, int32_t shape) {
  if (!LineEndShape_isValid(shape)) return;
  if (end == 1) arrow1_ = shape;
  if (end == 2) arrow2_ = shape;
}

EndLink& Line_Ex::endLink(int32_t end) {
  checkEnd(end);
  return ends_[static_cast<size_t>(end - 1)];
}

int32_t Line_Ex::RawEndTargetNumber(int32_t end) const {
  if (end != 1 && end != 2) return 0;
  return ends_[static_cast<size_t>(end - 1)].number();
}

void Line_Ex::SetEndTargetNumber(int32_t end, int32_t number) {
  if (end != 1 && end != 2) return;
  ends_[static_cast<size_t>(end - 1)].setNumber(number);
}

void Line_Ex::SetPendingTargetId(int32_t end, std::string_view id) {
  if (end != 1 && end != 2) return;
  ends_[static_cast<size_t>(end - 1)].setNumber(-2);
  pendingIds_[static_cast<size_t>(end - 1)] = id;
}

const std::string& Line_Ex::PendingTargetId(int32_t end) const {
  static const std::string none;
  if (end != 1 && end != 2) return none;
  return pendingIds_[static_cast<size_t>(end - 1)];
}

void Line_Ex::ReleasePendingTargetId(int32_t end) {
  if (end != 1 && end != 2) return;
  const size_t i = static_cast<size_t>(end - 1);
  pendingIds_[i].clear();
  if (ends_[i].number() == -2) ends_[i].setNumber(0);
}

const Attachment* Line_Ex::EndSlot(int32_t slot) const {
  if (slot != 1 && slot != 2) return nullptr;
  return slots_[static_cast<size_t>(slot - 1)].get(1);
}

Point32 Line_Ex::VisibleEnd(int32_t end) const {
  const Point32 p = end == 1 ? point1() : point2();
  const Point32 q = end == 1 ? point2() : point1();
  if (end != 1 && end != 2) return p;
  const auto* box = dynamic_cast<const Text_Box*>(ends_[static_cast<size_t>(end - 1)].target());
  if (!box || !box->HasLayout()) return p;
  Point32 out = p;
  Except_tryCatch([&] { out = box->OutlinePoint(p, q); }, [&](const Errors_Msg&) { out = p; });
  return out;
}

std::string Line_Ex::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Line_Ex::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

void Line_Ex::RenumberLinks(int32_t oldNumber, int32_t newNumber) {
  for (EndLink& e : ends_) e.renumber(oldNumber, newNumber);
  for (NodeLinks& s : slots_) s.renumber(oldNumber, newNumber);
}

// --- drawing ------------------------------------------------------------------

// One stroke a -> b in device points, with the end pixel on the screen.
void Line_Ex::drawStroke(Surface& surface, const DrawContext& ctx, Point32 a, Point32 b,
                         Colour stroke) const {
  surface.moveTo(a.x, a.y);
  surface.lineTo(b.x, b.y);
  if (!ctx.directOutput) surface.setPixel(b.x, b.y, stroke);
}

void Line_Ex::Draw(Surface& surface, const DrawContext& ctx) {
  // A target never laid out is drawn first, so that its frame is known.
  for (const EndLink& e : ends_) {
    auto* box = dynamic_cast<Text_Box*>(e.target());
    if (box && !box->HasLayout() && box->textMetrics())
      Except_tryCatch([&] { box->Draw(surface, ctx); }, [](const Errors_Msg&) {});
  }
  const Point32 v1 = VisibleEnd(1), v2 = VisibleEnd(2);
  const Point32 d1 = DrawContext_device(ctx, v1), d2 = DrawContext_device(ctx, v2);
  const Colour stroke = DrawContext_strokeColour(ctx, colour_);
  // The box of the two ends, widened by the heads (their size follows the
  // width), the dash offsets and the pen: a line wholly outside the repaint
  // area draws nothing but its handles.
  const int64_t margin = int64_t{DrawContext_penWidth(ctx, width_)} +
                         Figure_scale(2 * int64_t{LineEnd_headSize(width_)}, ctx.zoomX) + 4;
  if (DrawContext_outsideClip(ctx, int64_t{std::min(d1.x, d2.x)} - margin,
                              int64_t{std::min(d1.y, d2.y)} - margin,
                              int64_t{std::max(d1.x, d2.x)} + margin,
                              int64_t{std::max(d1.y, d2.y)} + margin)) {
    if (IsSelected() && ctx.showHandles)
      DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
    return;
  }
  {
    SurfaceSaver saver(surface);
    if (!dashed_) {
      surface.setPen(Pen::solid(stroke, DrawContext_penWidth(ctx, width_)));
      drawStroke(surface, ctx, d1, d2, stroke);
    } else {
      surface.setPen(Pen{PenStyle::Dot, 1, stroke});
      surface.setBackgroundMode(BackgroundMode::Transparent);
      const LineDashOffsets k = LineGeom_dashOffsets(width_, ctx.zoomX);
      for (int64_t i = k.from; i <= k.to; ++i) {
        const LineSegment seg = LineGeom_dashShift(d1, d2, i);
        drawStroke(surface, ctx, seg.a, seg.b, stroke);
      }
    }
  }
  LineEnd_draw(surface, ctx, arrow1_, v1, v2, width_, colour_);
  LineEnd_draw(surface, ctx, arrow2_, v2, v1, width_, colour_);
  if (IsSelected() && ctx.showHandles)
    DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
}

void Line_Ex::DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour, int32_t) {
  const Point32 pts[2] = {point1(), point2()};
  for (const Point32& p : pts) {
    const Point32 d = DrawContext_device(ctx, p);
    FigureHandles_drawOne(surface, d.x, d.y, colour, false);
  }
}

// --- copies, equality, snapshots ------------------------------------------------

void Line_Ex::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Line_Ex*>(&other);
  if (!o) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.number = o->header_.number;
  x1_ = o->x1_;
  y1_ = o->y1_;
  x2_ = o->x2_;
  y2_ = o->y2_;
  CopyStyleFrom(*o, 0);
  arrow1_ = o->arrow1_;
  arrow2_ = o->arrow2_;
  for (size_t i = 0; i < 2; ++i) {
    ends_[i].copyNumberFrom(o->ends_[i]);
    pendingIds_[i] = o->pendingIds_[i];
    slots_[i].copyNumbersFrom(o->slots_[i]);
  }
  legacyLinkData_ = o->legacyLinkData_;
}

void Line_Ex::CopyStyleFrom(const CadPrim& other, int32_t) {
  const auto* o = dynamic_cast<const Line_Ex*>(&other);
  if (!o) return;
  width_ = o->width_;
  colour_ = o->colour_;
  dashed_ = o->dashed_;
  layoutLine_ = o->layoutLine_;
}

bool Line_Ex::Equals(const CadPrim& other, int32_t mode) const {
  const auto* o = dynamic_cast<const Line_Ex*>(&other);
  if (!o) return false;
  const bool same = header_.number == o->header_.number && x1_ == o->x1_ && y1_ == o->y1_ &&
                    x2_ == o->x2_ && y2_ == o->y2_ && width_ == o->width_ &&
                    colour_ == o->colour_ && dashed_ == o->dashed_ &&
                    layoutLine_ == o->layoutLine_ && arrow1_ == o->arrow1_ &&
                    arrow2_ == o->arrow2_;
  if (!same || mode != 5) return same;
  for (size_t i = 0; i < 2; ++i) {
    if (ends_[i].number() != o->ends_[i].number()) return false;
    if (!slots_[i].equalsNumbers(o->slots_[i])) return false;
  }
  return true;
}

std::unique_ptr<CadPrim> Line_Ex::Clone(const FigureList* list) const {
  auto c = std::make_unique<Line_Ex>();
  c->CopyFrom(*this, list);
  return c;
}

size_t Line_Ex::GetSnapshotSize() const {
  size_t n = Snapshot_headerSize + 9 * Snapshot_int32Size + 2 * Snapshot_int8Size;
  for (size_t i = 0; i < 2; ++i)
    n += EndLink::snapshotSize() + Snapshot_stringSize(pendingIds_[i]) + slots_[i].snapshotSize();
  n += Snapshot_int8Size;
  if (const auto* buf = std::get_if<std::vector<uint8_t>>(&legacyLinkData_))
    n += Snapshot_int32Size + buf->size();
  return n;
}

void Line_Ex::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(header_.number);
  out.i32(x1_);
  out.i32(y1_);
  out.i32(x2_);
  out.i32(y2_);
  out.i32(width_);
  out.u32(colour_);
  out.boolean(dashed_);
  out.boolean(layoutLine_);
  out.i32(arrow1_);
  out.i32(arrow2_);
  for (size_t i = 0; i < 2; ++i) {
    ends_[i].write(out);
    out.string(pendingIds_[i]);
    slots_[i].write(out);
  }
  out.u8(static_cast<uint8_t>(legacyLinkData_.index()));
  if (const auto* buf = std::get_if<std::vector<uint8_t>>(&legacyLinkData_)) {
    out.u32(static_cast<uint32_t>(buf->size()));
    out.bytes(*buf);
  }
}

void Line_Ex::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  Line_Ex r;  // filled first: malformed data leaves this line alone
  r.SetIsCopy(true);
  r.header_.number = in.i32();
  r.x1_ = in.i32();
  r.y1_ = in.i32();
  r.x2_ = in.i32();
  r.y2_ = in.i32();
  r.width_ = in.i32();
  r.colour_ = in.u32();
  r.dashed_ = in.boolean();
  r.layoutLine_ = in.boolean();
  r.arrow1_ = in.i32();
  r.arrow2_ = in.i32();
  for (size_t i = 0; i < 2; ++i) {
    r.ends_[i].read(in);
    r.pendingIds_[i] = in.string();
    r.slots_[i].read(in);
  }
  const uint8_t tag = in.u8();
  if (tag == 1) {
    r.legacyLinkData_ = LegacyMarker{};
  } else if (tag == 2) {
    const uint32_t n = in.u32();
    if (n > in.remaining() || n > kLegacyBufferMax) Errors_RAISE(Errors_Unofficial, "error");
    std::vector<uint8_t> buf(n);
    in.bytes(buf);
    r.legacyLinkData_ = std::move(buf);
  } else if (tag != 0) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
  if (!LineEndShape_isValid(r.arrow1_) || !LineEndShape_isValid(r.arrow2_) || r.width_ < 1)
    Errors_RAISE(Errors_Unofficial, "error");
  header_.number = r.header_.number;
  SetPoints(r.point1(), r.point2());
  CopyStyleFrom(r, 0);
  colour_ &= 0xFFFFFF;
  arrow1_ = r.arrow1_;
  arrow2_ = r.arrow2_;
  // Numbers only: pointers are made by ResolveLinks.
  for (size_t i = 0; i < 2; ++i) {
    ends_[i].setNumber(r.ends_[i].number());
    pendingIds_[i] = std::move(r.pendingIds_[i]);
    slots_[i].copyNumbersFrom(r.slots_[i]);
  }
  legacyLinkData_ = std::move(r.legacyLinkData_);
}

// --- hit test and movement ------------------------------------------------------

HitResult Line_Ex::HitTest(int32_t x, int32_t y, int32_t zoom, int32_t) {
  const int64_t tol = std::max<int64_t>(700 / std::max(zoom, 1), 1);
  const Point32 ends[2] = {point1(), point2()};
  for (int32_t i = 0; i < 2; ++i) {
    const Point32 e = ends[i];
    if (absDiff(e.x, x) <= tol && absDiff(e.y, y) <= tol) {
      HitResult h;
      h.code = i + 1;
      h.dx = Figure_toInt32(int64_t{e.x} - x);
      h.dy = Figure_toInt32(int64_t{e.y} - y);
      h.distance = std::llabs(h.dx) + std::llabs(int64_t{h.dy});
      h.cursor = HitCursor_LinePoint;
      return h;
    }
  }
  const int64_t s = LineGeom_distanceSquared({x, y}, point1(), point2());
  const int64_t reach = int64_t{width_} + 3;
  if (s < reach * reach) {
    HitResult h;
    h.code = -1;
    h.dx = Figure_toInt32(int64_t{x1_} - x);
    h.dy = Figure_toInt32(int64_t{y1_} - y);
    h.distance = s;
    h.cursor = HitCursor_Move;
    return h;
  }
  return {};
}

Point32 Line_Ex::GetHandlePoint(int32_t handle) const {
  if (handle == 1) return point1();
  if (handle == 2) return point2();
  return {};
}

// The targets move first; a box that drags this (unselected) line's end
// along is overridden by setting both points from where they were, so no
// end moves twice.
void Line_Ex::MoveBy(int32_t dx, int32_t dy) {
  const Point32 p1 = point1(), p2 = point2();
  Links_moveEndTargets(ends_, dx, dy);
  SetPoints({Figure_clampCoord(int64_t{p1.x} + dx), Figure_clampCoord(int64_t{p1.y} + dy)},
            {Figure_clampCoord(int64_t{p2.x} + dx), Figure_clampCoord(int64_t{p2.y} + dy)});
}

void Line_Ex::DragHandleTo(int32_t handle, int32_t x, int32_t y, bool, int32_t noSnap, bool) {
  if (handle == -1) {
    const Point32 p1 = point1(), p2 = point2();
    const int64_t dx = int64_t{x} - p1.x, dy = int64_t{y} - p1.y;
    // Every distinct target moves, selected or not; a box that pulls this
    // line's ends along is overridden by the translation below.
    CadPrim* moved = nullptr;
    for (const EndLink& e : ends_) {
      CadPrim* t = e.target();
      if (!t || t == moved) continue;
      t->MoveBy(Figure_toInt32(dx), Figure_toInt32(dy));
      moved = t;
    }
    SetPoints({Figure_clampCoord(p1.x + dx), Figure_clampCoord(p1.y + dy)},
              {Figure_clampCoord(p2.x + dx), Figure_clampCoord(p2.y + dy)});
    return;
  }
  if (handle != 1 && handle != 2) return;
  Point32 p{Figure_clampCoord(x), Figure_clampCoord(y)};
  if (noSnap == 0) p = LineGeom_snapEnd(p, handle == 1 ? point2() : point1());
  if (handle == 1) {
    x1_ = p.x;
    y1_ = p.y;
  } else {
    x2_ = p.x;
    y2_ = p.y;
  }
}

void Line_Ex::DragHandleBy(int32_t handle, int32_t dx, int32_t dy, bool noSnap, int32_t) {
  if (handle != 1 && handle != 2) return;
  const Point32 p = GetHandlePoint(handle);
  DragHandleTo(handle, Figure_clampCoord(int64_t{p.x} + dx), Figure_clampCoord(int64_t{p.y} + dy),
               false, noSnap ? 1 : 0, false);
}

void Line_Ex::MarkAttachedForMove() {
  for (const EndLink& e : ends_)
    if (e.number() > 0) e.markForMove();
}

// --- edges and extents ---------------------------------------------------------

bool Line_Ex::IntersectsRect(const Rect32& r) const {
  return LineGeom_segmentMeetsRect(point1(), point2(), r);
}

int32_t Line_Ex::GetEdge(int32_t which) const {
  return TwoPoint_getEdge(point1(), point2(), which);
}

void Line_Ex::SetEdge(int32_t which, int32_t value) {
  TwoPoint_setEdge(points(), which, value);
}

int32_t Line_Ex::GetExtent(bool vertical) const {
  return TwoPoint_getExtent(point1(), point2(), vertical);
}

void Line_Ex::SetExtent(bool vertical, int32_t value) {
  TwoPoint_setExtentKeepingFirst(points(), vertical, value);
}

void Line_Ex::EnsureMinimumSize() { TwoPoint_ensureMinimumSize(points(), 2, 32, 20); }

// --- property rows -------------------------------------------------------------

PropertyRow Line_Ex::GetProperty(int32_t row, bool ja, size_t valueCapacity,
                                 std::string_view) const {
  PropertyRow r;
  switch (row) {
    case 0: case 1: case 2: case 3: r = TwoPoint_pointRow(row, point1(), point2()); break;
    case 4: r = Stroke_widthRow(ja, width_); break;
    case 5: r = Stroke_colourRow(ja, colour_); break;
    case 6: r = Stroke_dashedRow(ja, dashed_); break;
    case 7: r = PropertyRow_onOff(PropertyRow_name(ja, "レイアウト線", "Layout Line"), layoutLine_); break;
    case 8: case 9: r = LineEnd_shapeRow(ja, row - 7, arrow(row - 7)); break;
    default: return PropertyRow_pastEnd();
  }
  r.value = PropertyRow_fitValue(r.value, valueCapacity);
  return r;
}

void Line_Ex::SetProperty(int32_t row, std::string_view value, std::string_view) {
  const int32_t n = StrX_toInt(value);
  switch (row) {
    case 0: case 1: case 2: case 3: TwoPoint_setPointRow(points(), row, n); break;
    case 4: SetWidth(n); break;
    case 5: Stroke_readColour(value, colour_); break;
    case 6: dashed_ = n != 0; break;
    case 7: layoutLine_ = n != 0; break;
    case 8: SetArrow(1, n); break;
    case 9: SetArrow(2, n); break;
    default: break;
  }
}

// --- links ---------------------------------------------------------------------

const Attachment* Line_Ex::GetAttachment(int32_t n) const {
  // The records of both slots, slot 1 first.
  const size_t first = slots_[0].size();
  if (n >= 1 && static_cast<size_t>(n) <= first) return slots_[0].get(n);
  return slots_[1].get(n - static_cast<int32_t>(first));
}

int32_t Line_Ex::GetAttachmentCount() const {
  return static_cast<int32_t>(slots_[0].size() + slots_[1].size());
}

CadPrim* Line_Ex::GetEndTarget(int32_t end) const {
  if (end != 1 && end != 2) return nullptr;
  return ends_[static_cast<size_t>(end - 1)].target();
}

int32_t Line_Ex::GetEndTargetNumber(int32_t end) {
  if (end != 1 && end != 2) return 0;
  return ends_[static_cast<size_t>(end - 1)].numberForGet();
}

// A connector's ends hang on text boxes only: its end is refused before
// anything changes.
void Line_Ex::AttachEnd(int32_t slotEnd, CadPrim& figure, int32_t figureEnd) {
  checkEnd(slotEnd);
  if (figure.GetKind() == FigureKind_CorneredLine) Errors_RAISE(Errors_Unofficial, "error");
  slots_[static_cast<size_t>(slotEnd - 1)].attach(*this, figure, figureEnd);
}

void Line_Ex::DetachEnd(CadPrim& figure, int32_t figureEnd, bool notify) {
  for (NodeLinks& s : slots_) s.detach(*this, figure, figureEnd, notify);
}

void Line_Ex::DetachAll(bool notify) {
  ends_[0].detachFromTarget(*this, 1);
  ends_[1].detachFromTarget(*this, 2);
  for (NodeLinks& s : slots_) s.detachAll(*this, notify);
}

void Line_Ex::SetEndTarget(int32_t end, CadPrim& node) {
  const size_t i = static_cast<size_t>(end - 1);
  endLink(end).set(node);
  pendingIds_[i].clear();
}

void Line_Ex::ClearEndTarget(int32_t end, const CadPrim& node) {
  if (end != 1 && end != 2) return;
  ends_[static_cast<size_t>(end - 1)].clear(node);
}

void Line_Ex::ResolveLinks(const FigureList& list) {
  for (EndLink& e : ends_) e.resolve(list, true);
  for (NodeLinks& s : slots_) s.resolve(list);
}

void Line_Ex::CollectLinkSlots(LinkSlots& out) {
  out.ends.push_back({1, &ends_[0]});
  out.ends.push_back({2, &ends_[1]});
  for (NodeLinks& s : slots_) out.nodes.push_back(&s);
}
