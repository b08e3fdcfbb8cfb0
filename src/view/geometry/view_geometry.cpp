#include "view/geometry/view_geometry.h"

#include <algorithm>
#include <array>

#include "figures/base/cad_prim.h"
#include "figures/base/figure_kind.h"
#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/canvas/filter_variables.h"

namespace {

constexpr std::array<int32_t, 13> kLadder = {1, 3, 6, 12, 25, 50, 100, 200, 400, 800, 1600, 3200, 6400};

int64_t scaled(int64_t value, int32_t zoom) { return value * zoom / 100; }
// Page sizes as divisors: a canvas never has less than one unit.
int64_t atLeastOne(int64_t v) { return v < 1 ? 1 : v; }

}  // namespace

int32_t ViewZoom_stepIn(int32_t target) {
  // Below 100 the steps 3 ... 100, from 100 the steps 200 ... 6400; the top
  // of the ladder stays where it is.
  for (int32_t z : kLadder) {
    if (z == 1) continue;
    if (z > target) return z;
  }
  return 6400;
}

int32_t ViewZoom_stepOut(int32_t target) {
  if (target <= 100) {
    for (auto it = kLadder.rbegin(); it != kLadder.rend(); ++it) {
      if (*it <= 50 && *it >= 3 && *it < target) return *it;
    }
    return 1;
  }
  for (auto it = kLadder.rbegin(); it != kLadder.rend(); ++it) {
    if (*it <= 3200 && *it >= 100 && *it < target) return *it;
  }
  return 100;
}

Point32 ViewGeometry_clientToCanvas(const ViewGeometry& g, Point32 c) {
  const int64_t z = g.zoom < 1 ? 1 : g.zoom;
  return {Figure_toInt32((int64_t{c.x} + g.scroll.x - g.origin.x) * 100 / z),
          Figure_toInt32((int64_t{c.y} + g.scroll.y - g.origin.y) * 100 / z)};
}

Point32 ViewGeometry_canvasToClient(const ViewGeometry& g, Point32 p) {
  return {Figure_toInt32(scaled(p.x, g.zoom) + g.origin.x - g.scroll.x),
          Figure_toInt32(scaled(p.y, g.zoom) + g.origin.y - g.scroll.y)};
}

int32_t ViewGeometry_length(const ViewGeometry& g, int64_t length) {
  return Figure_toInt32(scaled(length, g.zoom));
}

ViewExtent ViewGeometry_pageExtent(const FigureList* figures, int32_t width, int32_t height) {
  ViewExtent e;
  e.right = width;
  e.bottom = height;
  if (figures == nullptr) return e;
  for (const auto& f : *figures) {
    if (f->GetKind() == FigureKind_Canvas) continue;
    const int64_t l = f->GetEdge(0), r = f->GetEdge(1), t = f->GetEdge(2), b = f->GetEdge(3);
    if (l < 0 || r > width || t < 0 || b > height) e.outside = true;
    e.left = std::min(e.left, l);
    e.right = std::max(e.right, r);
    e.top = std::min(e.top, t);
    e.bottom = std::max(e.bottom, b);
  }
  return e;
}

bool ViewGeometry_updateZoomForMode(ViewGeometry& g, const ViewExtent& extent) {
  const int64_t cw = g.clientWidth - ViewGeometry_margin, ch = g.clientHeight - ViewGeometry_margin;
  if (g.zoomMode == ViewZoom_FitWidth) {
    g.zoom = Figure_toInt32(std::max<int64_t>(ViewZoom_min, cw * 100 / atLeastOne(g.pageWidth)));
    g.origin = {};
    g.outsideFigures = false;
    return false;
  }
  if (g.zoomMode != ViewZoom_FitPage) {
    g.origin = {};
    g.outsideFigures = false;
    return false;
  }
  const bool wasOutside = g.outsideFigures;
  g.outsideFigures = extent.outside;
  const int64_t zx = cw * 100 / atLeastOne(extent.right - extent.left);
  const int64_t zy = ch * 100 / atLeastOne(extent.bottom - extent.top);
  g.zoom = static_cast<int32_t>(std::clamp<int64_t>(std::min(zx, zy), ViewZoom_min, 100));
  // The origin is in pixels: the figure furthest left (up) lands at the
  // left (top) of the content.
  g.origin = {Figure_toInt32(scaled(-std::min<int64_t>(0, extent.left), g.zoom)),
              Figure_toInt32(scaled(-std::min<int64_t>(0, extent.top), g.zoom))};
  return !wasOutside && g.outsideFigures;
}

bool ViewGeometry_updateScrollSizes(ViewGeometry& g, const ViewExtent& extent) {
  const bool invalidate = ViewGeometry_updateZoomForMode(g, extent);
  const int64_t contentX = scaled(g.pageWidth, g.zoom) + ViewGeometry_margin;
  const int64_t contentY = scaled(g.pageHeight, g.zoom) + ViewGeometry_margin;
  switch (g.zoomMode) {
    case ViewZoom_FitPage:
      g.scrollTotalX = g.scrollTotalY = 0;
      break;
    case ViewZoom_FitWidth:
      g.scrollTotalX = 0;
      g.scrollTotalY = contentY > g.clientHeight ? Figure_toInt32(contentY) : 0;
      break;
    default:
      g.scrollTotalX = contentX > g.clientWidth ? Figure_toInt32(contentX) : 0;
      g.scrollTotalY = contentY > g.clientHeight ? Figure_toInt32(contentY) : 0;
      break;
  }
  ViewGeometry_scrollTo(g, g.scroll);
  return invalidate;
}

Point32 ViewGeometry_maxScroll(const ViewGeometry& g) {
  return {g.scrollTotalX > 0 ? std::max(0, g.scrollTotalX - g.clientWidth) : 0,
          g.scrollTotalY > 0 ? std::max(0, g.scrollTotalY - g.clientHeight) : 0};
}

bool ViewGeometry_scrollTo(ViewGeometry& g, Point32 p) {
  const Point32 m = ViewGeometry_maxScroll(g);
  const Point32 next{std::clamp(p.x, 0, m.x), std::clamp(p.y, 0, m.y)};
  const bool changed = !(next == g.scroll);
  g.scroll = next;
  return changed;
}

ViewSetZoomResult ViewGeometry_setZoom(ViewGeometry& g, int32_t zoom, int how, Point32 centre,
                                       const ViewExtent& extent) {
  zoom = std::clamp(zoom, ViewZoom_min, ViewZoom_max);
  if (zoom > g.zoom && how == 0 &&
      (int64_t{g.clientWidth} * 5 / 4 < scaled(g.pageWidth, zoom) ||
       int64_t{g.clientHeight} * 5 / 4 < scaled(g.pageHeight, zoom))) {
    g.targetZoom = zoom;
    return ViewSetZoomResult::ZoomPick;
  }
  g.zoom = g.targetZoom = zoom;
  g.zoomMode = ViewZoom_Fixed;
  ViewGeometry_updateScrollSizes(g, extent);
  if (how == 1) {
    ViewGeometry_scrollTo(
        g, {Figure_toInt32(std::max<int64_t>(0, scaled(centre.x, zoom) - g.clientWidth / 2)),
            Figure_toInt32(std::max<int64_t>(0, scaled(centre.y, zoom) - g.clientHeight / 2))});
  }
  return ViewSetZoomResult::Zoomed;
}

void ViewGeometry_zoomAround(ViewGeometry& g, Point32 p, const ViewExtent& extent) {
  g.zoom = g.targetZoom;
  g.zoomMode = ViewZoom_Fixed;
  ViewGeometry_updateScrollSizes(g, extent);
  ViewGeometry_scrollTo(g, {Figure_toInt32(scaled(p.x, g.zoom) - g.clientWidth / 2),
                            Figure_toInt32(scaled(p.y, g.zoom) - g.clientHeight / 2)});
}

void ViewGeometry_setMode(ViewGeometry& g, int32_t mode, const ViewExtent& extent) {
  g.zoomMode = mode;
  ViewGeometry_updateScrollSizes(g, extent);
  ViewGeometry_scrollTo(g, {0, 0});
  ViewGeometry_updateScrollSizes(g, extent);
}

int32_t ViewGeometry_swapZoom(ViewGeometry& g, int32_t currentPage, Point32& scrollToRestore) {
  const int32_t zoom = g.swapZoom, mode = g.swapZoomMode, page = g.swapPage;
  scrollToRestore = g.swapScroll;
  g.swapZoom = g.zoom;
  g.swapZoomMode = g.zoomMode;
  g.swapScroll = g.scroll;
  g.swapPage = currentPage;
  g.zoom = g.targetZoom = std::clamp(zoom, ViewZoom_min, ViewZoom_max);
  g.zoomMode = mode;
  return page;
}

bool ViewGeometry_ensureVisible(ViewGeometry& g, const Rect32& r) {
  const int64_t l = scaled(r.x, g.zoom) + g.origin.x, t = scaled(r.y, g.zoom) + g.origin.y;
  const int64_t rr = scaled(int64_t{r.x} + r.w, g.zoom) + g.origin.x;
  const int64_t b = scaled(int64_t{r.y} + r.h, g.zoom) + g.origin.y;
  int64_t sx = g.scroll.x, sy = g.scroll.y;
  if (rr + 8 > sx + g.clientWidth) sx = rr + 8 - g.clientWidth;
  if (l - 32 < sx) sx = l - 32;
  if (b + 8 > sy + g.clientHeight) sy = b + 8 - g.clientHeight;
  if (t - 32 < sy) sy = t - 32;
  return ViewGeometry_scrollTo(g, {Figure_toInt32(sx), Figure_toInt32(sy)});
}

bool ViewGeometry_scrollPage(ViewGeometry& g, int direction) {
  const int64_t step = std::max(1, g.clientHeight - 32);
  return ViewGeometry_scrollTo(g, {g.scroll.x, Figure_toInt32(g.scroll.y + direction * step)});
}

bool ViewGeometry_wheel(ViewGeometry& g, int32_t delta) {
  if (g.scrollTotalY == 0) return false;
  return ViewGeometry_scrollTo(g, {g.scroll.x, Figure_toInt32(int64_t{g.scroll.y} - delta / 2)});
}

void ViewGeometry_fillDrawContext(const ViewGeometry& g, DrawContext& ctx, bool clipToPage,
                                  const Canvas* canvas, bool showLockCrosses,
                                  int32_t defaultLineSpacing) {
  ctx.textZoom = g.zoom;
  ctx.zoomX = g.zoom;
  ctx.zoomY = g.zoom;
  ctx.scrollX = Figure_toInt32(int64_t{g.scroll.x} - g.origin.x);
  ctx.scrollY = Figure_toInt32(int64_t{g.scroll.y} - g.origin.y);
  ctx.clientWidth = g.clientWidth;
  ctx.clientHeight = g.clientHeight;
  // The clip box in client pixels: the client area, or the part of it the
  // page covers; the context takes it before the scroll offset.
  int64_t l = 0, t = 0, r = g.clientWidth, b = g.clientHeight;
  if (clipToPage) {
    l = std::max<int64_t>(l, -int64_t{ctx.scrollX});
    t = std::max<int64_t>(t, -int64_t{ctx.scrollY});
    r = std::min<int64_t>(r, scaled(g.pageWidth, g.zoom) - ctx.scrollX);
    b = std::min<int64_t>(b, scaled(g.pageHeight, g.zoom) - ctx.scrollY);
  }
  ctx.clipLeft = Figure_toInt32(l + ctx.scrollX);
  ctx.clipTop = Figure_toInt32(t + ctx.scrollY);
  ctx.clipRight = Figure_toInt32(r + ctx.scrollX);
  ctx.clipBottom = Figure_toInt32(b + ctx.scrollY);
  ctx.pageNumber = -1;
  ctx.useSystemColours = false;
  ctx.showHandles = false;
  ctx.directOutput = false;
  ctx.showLockCrosses = showLockCrosses;
  ctx.defaultLineSpacing = defaultLineSpacing;
  if (canvas != nullptr) ParseFilterVariables(ctx.filterVariables, canvas->filterVariables(), false);
}

int32_t ViewFrame_delayAfter(int32_t elapsedMs) {
  return elapsedMs < 15 ? ViewFrame_period - std::max(0, elapsedMs) : 1;
}
