#include "ink/ink_paint.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "document/note/ink_layer_files.h"
#include "document/note/note_document.h"
#include "platform/surface/qt_surface.h"

namespace {

double deviceX(const DrawContext& ctx, double inkX) {
  return inkX / Ink_unitsPerPixel * ctx.zoomX / 100.0 - ctx.scrollX;
}
double deviceY(const DrawContext& ctx, double inkY) {
  return inkY / Ink_unitsPerPixel * ctx.zoomY / 100.0 - ctx.scrollY;
}
double deviceWidth(const DrawContext& ctx, double inkWidth) {
  return std::max(1.0, inkWidth / Ink_unitsPerPixel * ctx.zoomX / 100.0);
}

QColor qColour(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

bool uniformWidth(const InkStroke& s) {
  if (s.attributes.ignorePressure) return true;
  return std::all_of(s.points.begin(), s.points.end(),
                     [](const InkPoint& p) { return p.pressure <= 0; });
}


}  // namespace

QRect InkPaint_deviceClip(const DrawContext& ctx) {
  if (ctx.clipLeft == INT32_MIN && ctx.clipRight == INT32_MAX) return {};
  const int64_t l = int64_t{ctx.clipLeft} - ctx.scrollX, t = int64_t{ctx.clipTop} - ctx.scrollY;
  const int64_t r = int64_t{ctx.clipRight} - ctx.scrollX, b = int64_t{ctx.clipBottom} - ctx.scrollY;
  auto c = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -(1 << 24), 1 << 24)); };
  return QRect(QPoint(c(l), c(t)), QPoint(c(r) - 1, c(b) - 1));
}

QPointF InkPaint_devicePoint(const DrawContext& ctx, const InkPoint& p) {
  return {deviceX(ctx, p.x), deviceY(ctx, p.y)};
}

QRectF InkPaint_deviceBox(const Rect32& r, const DrawContext& ctx) {
  return QRectF(QPointF(deviceX(ctx, r.x), deviceY(ctx, r.y)),
                QPointF(deviceX(ctx, double(r.x) + r.w), deviceY(ctx, double(r.y) + r.h)));
}

void InkPaint_stroke(QPainter& painter, const DrawContext& ctx, const InkStroke& stroke,
                     size_t from, bool halo, Colour haloColour) {
  const InkAttributes& a = stroke.attributes;
  if (a.rasterOp == InkRop_noOperation || stroke.points.empty()) return;
  const bool marker = a.rasterOp == InkRop_maskPen;
  const double grow = halo ? 40 : 0;
  QPen pen(qColour(halo ? haloColour : a.colour));
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setBrush(Qt::NoBrush);
  painter.setCompositionMode(marker && !halo ? QPainter::CompositionMode_Multiply
                                             : QPainter::CompositionMode_SourceOver);
  const std::vector<InkPoint>& pts = stroke.points;
  const size_t first = from > 0 ? from - 1 : 0;
  if (pts.size() == 1 || first + 1 >= pts.size()) {
    if (from > 0 && from < pts.size()) return;
    // A dot.
    const double w = deviceWidth(ctx, InkStroke_widthAt(a, pts.back()) + grow);
    pen.setWidthF(w);
    painter.setPen(pen);
    painter.drawPoint(InkPaint_devicePoint(ctx, pts.back()));
    return;
  }
  if (uniformWidth(stroke)) {
    pen.setWidthF(deviceWidth(ctx, a.width + grow));
    painter.setPen(pen);
    QPainterPath path(InkPaint_devicePoint(ctx, pts[first]));
    for (size_t i = first + 1; i < pts.size(); ++i) path.lineTo(InkPaint_devicePoint(ctx, pts[i]));
    painter.drawPath(path);
    return;
  }
  // Runs of segments whose widths round to the same quarter pixel are one
  // line: a stroke with pressure costs a few pens, not one a segment.
  auto quarter = [&](size_t i) {
    return std::round(deviceWidth(ctx, InkStroke_widthAt(a, pts[i]) + grow) * 4) / 4;
  };
  double runWidth = quarter(first);
  QPolygonF run;
  run << InkPaint_devicePoint(ctx, pts[first]);
  for (size_t i = first; i + 1 < pts.size(); ++i) {
    const double w = quarter(i);
    if (w != runWidth) {
      pen.setWidthF(std::max(runWidth, 1.0));
      painter.setPen(pen);
      painter.drawPolyline(run);
      run.clear();
      run << InkPaint_devicePoint(ctx, pts[i]);
      runWidth = w;
    }
    run << InkPaint_devicePoint(ctx, pts[i + 1]);
  }
  pen.setWidthF(std::max(runWidth, 1.0));
  painter.setPen(pen);
  painter.drawPolyline(run);
}

void InkPaint_strokes(Surface& surface, const DrawContext& ctx,
                      std::span<const PageInkStroke> strokes, std::span<const uint32_t> selected) {
  auto* qt = dynamic_cast<QtSurface*>(&surface);
  if (qt == nullptr || strokes.empty()) return;
  QPainter& painter = qt->painter();
  painter.save();
  const QRect clip = InkPaint_deviceClip(ctx);
  if (!clip.isNull()) painter.setClipRect(clip);
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QRectF visible = clip.isNull() ? QRectF() : QRectF(clip).adjusted(-1, -1, 1, 1);
  const Colour haloColour = 0xFFFFFF;
  const std::unordered_set<uint32_t> haloed(selected.begin(), selected.end());
  // The markers' layer under the pens', as the note stores them.
  for (const bool markers : {true, false}) {
    for (const PageInkStroke& s : strokes) {
      if ((s.stroke.attributes.rasterOp == InkRop_maskPen) != markers) continue;
      if (!visible.isNull() && !InkPaint_deviceBox(s.box, ctx).intersects(visible)) continue;
      // A marker keeps what it marks visible: no halo covers it.
      if (!markers && haloed.count(s.id) != 0) InkPaint_stroke(painter, ctx, s.stroke, 0, true, haloColour);
      InkPaint_stroke(painter, ctx, s.stroke);
    }
  }
  painter.restore();
}

bool InkPaint_loadStoredPage(const NoteDocument& doc, int32_t pageNumber, PageInk& ink) {
  const NotePage* page = doc.page(pageNumber);
  if (page == nullptr) return false;
  const InkLayerFiles files = doc.inkFiles();
  const std::string back = InkLayerFiles_read(files.backPath(pageNumber));
  const std::string front = InkLayerFiles_read(files.frontPath(pageNumber));
  if (page->inkData.empty() && back.empty() && front.empty()) return false;
  ink.load(page->inkData, back, front);
  return !ink.strokes().empty();
}

void InkPaint_storedPage(Surface& surface, const DrawContext& ctx, const NoteDocument& doc,
                         int32_t pageNumber) {
  PageInk ink;
  if (InkPaint_loadStoredPage(doc, pageNumber, ink)) InkPaint_strokes(surface, ctx, ink.strokes());
}
