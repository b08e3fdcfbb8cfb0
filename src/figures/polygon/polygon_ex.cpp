#include "figures/polygon/polygon_ex.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "figures/base/handles.h"
#include "figures/base/snapshot.h"
#include "figures/base/two_point.h"
#include "figures/line/end_shapes.h"

namespace {

// Snapshot bytes of one vertex.
constexpr size_t kPointSize = 2 * Snapshot_int32Size;

std::vector<std::string> afterOpenChoices(bool japanese) {
  if (japanese) return {"何もしない", "閉じる", "ビューアモード", "ビューア & 閉じる"};
  return {"Do Nothing", "Close", "Viewer Mode", "Viewer & Close"};
}

Point32 clampedPoint(int64_t x, int64_t y) { return {Figure_clampCoord(x), Figure_clampCoord(y)}; }

}  // namespace

// --- fields -------------------------------------------------------------------

void Polygon_Ex::setShape(int32_t shape) {
  if (shape == PolygonShape_Polyline || shape == PolygonShape_Polygon) shape_ = shape;
}

void Polygon_Ex::setPoints(std::span<const Point32> points) {
  const size_t n = std::min(points.size(), Polygon_maxPoints);
  points_.clear();
  points_.reserve(n);
  for (size_t i = 0; i < n; ++i) points_.push_back(clampedPoint(points[i].x, points[i].y));
}

void Polygon_Ex::setArrows(int32_t arrow1, int32_t arrow2) {
  if (arrow1 >= 0 && arrow1 <= 7) arrow1_ = arrow1;
  if (arrow2 >= 0 && arrow2 <= 7) arrow2_ = arrow2;
}

void Polygon_Ex::setOpacity(int32_t percent) { opacity_ = std::clamp(percent, 0, 100); }

void Polygon_Ex::setAfterOpen(int32_t v) {
  if (v >= 0 && v <= 3) afterOpen_ = v;
}

std::string Polygon_Ex::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Polygon_Ex::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

// --- drawing ------------------------------------------------------------------

void Polygon_Ex::Draw(Surface& surface, const DrawContext& ctx) {
  if (points_.size() < 2) return;
  std::vector<SurfacePoint> dev;
  dev.reserve(points_.size());
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  for (const Point32& p : points_) {
    const Point32 d = DrawContext_device(ctx, p);
    dev.push_back({d.x, d.y});
    l = std::min<int64_t>(l, d.x);
    t = std::min<int64_t>(t, d.y);
    r = std::max<int64_t>(r, d.x);
    b = std::max<int64_t>(b, d.y);
  }
  const Colour stroke = DrawContext_strokeColour(ctx, colour_);
  const Pen pen = dashed_ ? Pen{PenStyle::Dot, 1, stroke}
                          : Pen::solid(stroke, DrawContext_penWidth(ctx, width_));
  const int64_t margin = pen.width / 2 + 1;
  if (!DrawContext_outsideClip(ctx, l - margin, t - margin, r + margin, b + margin)) {
    SurfaceSaver saver(surface);  // the pen and the current position
    surface.setPen(pen);
    surface.moveTo(dev.front().x, dev.front().y);
    for (size_t i = 1; i < dev.size(); ++i) surface.lineTo(dev[i].x, dev[i].y);
    surface.setPixel(dev.back().x, dev.back().y, stroke);
  }
  if (IsSelected() && ctx.showHandles) {
    DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
  }
}

void Polygon_Ex::DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour, int32_t) {
  FigureHandles_draw(surface, ctx, points_, colour, false);
}

// --- copies, equality, snapshots ------------------------------------------------

void Polygon_Ex::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Polygon_Ex*>(&other);
  if (o == nullptr) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.number = o->header_.number;
  shape_ = o->shape_;
  points_ = o->points_;
  angle_ = o->angle_;
  dashed_ = o->dashed_;
  arrow1_ = o->arrow1_;
  arrow2_ = o->arrow2_;
  afterOpen_ = o->afterOpen_;
  id_ = o->id_;
  url_ = o->url_;
  target_ = o->target_;
  CopyStyleFrom(*o, 0);
}

void Polygon_Ex::CopyStyleFrom(const CadPrim& other, int32_t) {
  const auto* o = dynamic_cast<const Polygon_Ex*>(&other);
  if (o == nullptr) return;
  width_ = o->width_;
  colour_ = o->colour_;
  fillColour_ = o->fillColour_;
  opacity_ = o->opacity_;
  styleReserve_ = o->styleReserve_;
}

bool Polygon_Ex::Equals(const CadPrim& other, int32_t) const {
  const auto* o = dynamic_cast<const Polygon_Ex*>(&other);
  if (o == nullptr) return false;
  return header_.number == o->header_.number && shape_ == o->shape_ && points_ == o->points_ &&
         angle_ == o->angle_ && width_ == o->width_ && colour_ == o->colour_ &&
         dashed_ == o->dashed_ && arrow1_ == o->arrow1_ && arrow2_ == o->arrow2_ &&
         fillColour_ == o->fillColour_ && opacity_ == o->opacity_ &&
         styleReserve_ == o->styleReserve_ && url_ == o->url_ && target_ == o->target_ &&
         afterOpen_ == o->afterOpen_ && id_ == o->id_;
}

std::unique_ptr<CadPrim> Polygon_Ex::Clone(const FigureList* list) const {
  auto c = std::make_unique<Polygon_Ex>();
  c->CopyFrom(*this, list);
  return c;
}

size_t Polygon_Ex::GetSnapshotSize() const {
  // 11 int32 fields, the dash byte, three texts, the vertex count, vertices.
  return Snapshot_headerSize + 11 * Snapshot_int32Size + Snapshot_int8Size +
         Snapshot_stringSize(id_) + Snapshot_stringSize(url_) + Snapshot_stringSize(target_) +
         Snapshot_int32Size + points_.size() * kPointSize;
}

void Polygon_Ex::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(header_.number);
  out.i32(shape_);
  out.i32(angle_);
  out.i32(width_);
  out.u32(colour_);
  out.boolean(dashed_);
  out.i32(arrow1_);
  out.i32(arrow2_);
  out.u32(fillColour_);
  out.i32(opacity_);
  out.i32(styleReserve_);
  out.i32(afterOpen_);
  out.string(id_);
  out.string(url_);
  out.string(target_);
  out.u32(static_cast<uint32_t>(points_.size()));
  for (const Point32& p : points_) {
    out.i32(p.x);
    out.i32(p.y);
  }
}

void Polygon_Ex::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  Polygon_Ex read;  // filled first: a malformed snapshot leaves this figure alone
  read.header_.number = in.i32();
  read.shape_ = in.i32();
  read.angle_ = in.i32();
  read.width_ = in.i32();
  read.colour_ = in.u32();
  read.dashed_ = in.boolean();
  read.arrow1_ = in.i32();
  read.arrow2_ = in.i32();
  read.fillColour_ = in.u32();
  read.opacity_ = in.i32();
  read.styleReserve_ = in.i32();
  read.afterOpen_ = in.i32();
  read.id_ = in.string();
  read.url_ = in.string();
  read.target_ = in.string();
  const uint32_t n = in.u32();
  if (n > Polygon_maxPoints || n * kPointSize > in.remaining()) {
    Errors_RAISE(Errors_Unofficial, "error");
  }
  read.points_.resize(n);
  for (Point32& p : read.points_) {
    p.x = in.i32();
    p.y = in.i32();
  }
  const FigureHeader keep = header_;  // isCopy, selection and marks stay
  CopyFrom(read, nullptr);
  header_ = FigureHeader{read.header_.number, keep.isCopy, keep.selected, keep.moveMark,
                         keep.locked};
}

// --- hit test, moving ------------------------------------------------------------

HitResult Polygon_Ex::HitTest(int32_t x, int32_t y, int32_t zoom, int32_t) {
  HitResult h;
  const int64_t tolerance = std::max<int64_t>(700 / std::max(zoom, 1), 1);
  for (size_t i = 1; i < points_.size(); ++i) {
    const int64_t ax = std::abs(int64_t{points_[i].x} - x), ay = std::abs(int64_t{points_[i].y} - y);
    if (ax <= tolerance && ay <= tolerance) {
      h.cursor = HitCursor_LinePoint;
      break;
    }
  }
  return h;
}

void Polygon_Ex::MoveBy(int32_t dx, int32_t dy) {
  for (Point32& p : points_) p = clampedPoint(int64_t{p.x} + dx, int64_t{p.y} + dy);
}

void Polygon_Ex::DragHandleTo(int32_t handle, int32_t x, int32_t y, bool, int32_t, bool) {
  const int64_t n = static_cast<int64_t>(points_.size());
  if (handle == -1) {
    if (n > 0) MoveBy(Figure_toInt32(int64_t{x} - points_[0].x),
                      Figure_toInt32(int64_t{y} - points_[0].y));
    return;
  }
  const int64_t k = handle / 2;
  if (handle % 2 != 0) {
    if (handle < 1 || k >= n) return;
    points_[static_cast<size_t>(k)] = clampedPoint(x, y);
    return;
  }
  if (k < 1 || k >= n) return;  // even handles 2 ... 2n - 2: the edge k-1 .. k
  Point32& a = points_[static_cast<size_t>(k - 1)];
  Point32& b = points_[static_cast<size_t>(k)];
  const int64_t dx = int64_t{x} - a.x, dy = int64_t{y} - a.y;
  a = clampedPoint(x, y);
  b = clampedPoint(b.x + dx, b.y + dy);
}

int32_t Polygon_Ex::GetEdge(int32_t which) const {
  Figure_checkGetEdge(which);
  return 0;
}

void Polygon_Ex::SetEdge(int32_t which, int32_t) { Figure_checkSetEdge(which); }

// --- property rows -----------------------------------------------------------------

int32_t Polygon_Ex::GetPropertyCount() const {
  const int32_t fixed = shape_ == PolygonShape_Polygon ? 12 : 10;
  return fixed + 2 * static_cast<int32_t>(points_.size());
}

PropertyRow Polygon_Ex::styleRow(int32_t row, bool japanese) const {
  const auto pick = [japanese](const char* ja, const char* en) { return japanese ? ja : en; };
  switch (row) {
    case 5: return Stroke_widthRow(japanese, width_);
    case 6: return PropertyRow_colour(pick("線の色", "Color"), colour_);
    case 7: return Stroke_dashedRow(japanese, dashed_);
    case 8: return LineEnd_shapeRow(japanese, 1, arrow1_);
    case 9: return LineEnd_shapeRow(japanese, 2, arrow2_);
    case 10: return PropertyRow_colour(pick("塗りつぶし色", "Fill Color"), fillColour_);
    case 11: return PropertyRow_integer(pick("濃さ（非透過％）", "Transparent %"), opacity_, 0, 100);
    default: return PropertyRow_pastEnd();
  }
}

PropertyRow Polygon_Ex::GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                                    std::string_view noteFolder) const {
  const auto pick = [japanese](const char* ja, const char* en) { return japanese ? ja : en; };
  const int32_t fixed = shape_ == PolygonShape_Polygon ? 12 : 10;
  if (row < 0 || row >= GetPropertyCount()) return PropertyRow_pastEnd();
  if (row >= fixed) {
    const int32_t i = (row - fixed) / 2;
    const bool isX = (row - fixed) % 2 == 0;
    char name[32];
    std::snprintf(name, sizeof name, isX ? "x[%d]" : "y[%d]", i);
    const Point32& p = points_[static_cast<size_t>(i)];
    return PropertyRow_integer(name, isX ? p.x : p.y, INT32_MIN);
  }
  switch (row) {
    case 0:
      return PropertyRow_choice(pick("形状", "Shape"), shape_,
                                japanese ? std::vector<std::string>{"連続線", "多角形"}
                                         : std::vector<std::string>{"Polyline", "Polygon"});
    case 1: return PropertyRow_text("id", PropertyRow_fitValue(id_, valueCapacity));
    case 2: {
      const std::string shown = noteFolder.empty() ? url_ : StrX_makeRelative(url_, noteFolder);
      PropertyRow r = PropertyRow_text("URL/onclick", PropertyRow_fitValue(shown, valueCapacity), PropertyRowKind_Url);
      r.extra.filter = pick("すべてのファイル (*.*)|*.*||", "All Files (*.*)|*.*||");
      return r;
    }
    case 3:
      return PropertyRow_text("target", PropertyRow_fitValue(target_, valueCapacity), PropertyRowKind_TargetWindow);
    case 4:
      return PropertyRow_choice(pick("開いた後", "After Open"), afterOpen_,
                                afterOpenChoices(japanese));
    default: return styleRow(row, japanese);
  }
}
