#include "view/render/figures_image.h"

#include <algorithm>

#include "figures/base/page_prepare.h"
#include "figures/canvas/canvas.h"
#include "platform/surface/qt_surface.h"
#include "view/render/render_page.h"

namespace {

constexpr int32_t kMargin = 4;

}  // namespace

Rect32 View_figuresBounds(FigureList& list, const TextMetrics& metrics) {
  FigureList_prepareForWrite(list, metrics, DrawContext{});
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  for (const auto& f : list) {
    if (f->GetKind() == FigureKind_Canvas) continue;
    const Rect32 box = f->GetBounds();
    l = std::min<int64_t>(l, box.x);
    t = std::min<int64_t>(t, box.y);
    r = std::max<int64_t>(r, int64_t{box.x} + box.w);
    b = std::max<int64_t>(b, int64_t{box.y} + box.h);
  }
  if (l > r) return {};
  return {Figure_toInt32(l), Figure_toInt32(t), Figure_toInt32(std::min<int64_t>(r - l, INT32_MAX)),
          Figure_toInt32(std::min<int64_t>(b - t, INT32_MAX))};
}

QImage View_renderFigures(FigureList& list, const TextMetrics& metrics, int32_t maxSide) {
  const Rect32 bounds = View_figuresBounds(list, metrics);
  if (bounds.w <= 0 && bounds.h <= 0) return {};
  const int64_t w = int64_t{bounds.w} + 2 * kMargin, h = int64_t{bounds.h} + 2 * kMargin;
  // Very large areas are drawn smaller rather than not at all.
  const double scale = std::min(1.0, double(maxSide) / double(std::max(w, h)));
  const int32_t zoom = std::max(1, static_cast<int32_t>(scale * 100));
  const int32_t pw = std::max<int32_t>(1, static_cast<int32_t>(w * zoom / 100));
  const int32_t ph = std::max<int32_t>(1, static_cast<int32_t>(h * zoom / 100));
  QImage image = QtSurface_makeImage(pw, ph);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  ViewGeometry g;
  g.zoom = g.targetZoom = zoom;
  g.origin = {0, 0};
  g.scroll = {Figure_toInt32(int64_t{bounds.x} - kMargin), Figure_toInt32(int64_t{bounds.y} - kMargin)};
  g.clientWidth = pw;
  g.clientHeight = ph;
  g.pageWidth = Figure_toInt32(int64_t{bounds.x} + bounds.w + kMargin);
  g.pageHeight = Figure_toInt32(int64_t{bounds.y} + bounds.h + kMargin);
  ViewRenderOptions options;
  options.clipToPage = false;
  options.forPrint = true;
  options.noGrid = true;
  options.noBackground = true;
  ViewPageSource src;
  src.figures = &list;
  src.canvas = list.empty() || list.at(0).GetKind() != FigureKind_Canvas
                   ? nullptr
                   : static_cast<Canvas*>(&list.at(0));
  QtSurface surface(image);
  View_renderPage(surface, g, src, options);
  return image;
}
