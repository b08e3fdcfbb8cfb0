// The view's geometry without a window: ladders, SetZoom and zoom-pick,
// the fit modes with the origin shift, scrolling and the drawing context.
#include <gtest/gtest.h>

#include <memory>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/rect/rect_ex.h"
#include "view/geometry/view_geometry.h"

namespace {

ViewGeometry geometry(int32_t cw, int32_t ch, int32_t w, int32_t h) {
  ViewGeometry g;
  g.clientWidth = cw;
  g.clientHeight = ch;
  g.pageWidth = w;
  g.pageHeight = h;
  return g;
}

Rect_Ex& addRect(FigureList& list, int32_t x, int32_t y, int32_t w, int32_t h) {
  auto r = std::make_unique<Rect_Ex>();
  r->x = x;
  r->y = y;
  r->width = w;
  r->height = h;
  return static_cast<Rect_Ex&>(list.append(std::move(r)));
}

}  // namespace

TEST(ViewGeometry, ZoomLaddersFromTheTargetAndTheirEnds) {
  EXPECT_EQ(3, ViewZoom_stepIn(1));
  EXPECT_EQ(3, ViewZoom_stepIn(2));
  EXPECT_EQ(100, ViewZoom_stepIn(50));
  EXPECT_EQ(200, ViewZoom_stepIn(100));
  EXPECT_EQ(200, ViewZoom_stepIn(150));  // off the ladder until the next step
  EXPECT_EQ(6400, ViewZoom_stepIn(3200));
  EXPECT_EQ(6400, ViewZoom_stepIn(6400));
  EXPECT_EQ(3200, ViewZoom_stepOut(6400));
  EXPECT_EQ(3200, ViewZoom_stepOut(10000));
  EXPECT_EQ(100, ViewZoom_stepOut(150));
  EXPECT_EQ(50, ViewZoom_stepOut(100));
  EXPECT_EQ(1, ViewZoom_stepOut(3));
  EXPECT_EQ(1, ViewZoom_stepOut(2));
  EXPECT_EQ(3, ViewZoom_stepOut(6));
}

TEST(ViewGeometry, ConversionsTruncateAndRoundTrip) {
  ViewGeometry g = geometry(800, 600, 640, 480);
  g.zoom = 150;
  g.scroll = {7, 11};
  g.origin = {3, 5};
  // canvas -> client: Z * x / 100 + O - S
  EXPECT_EQ((Point32{150 * 101 / 100 + 3 - 7, 150 * 33 / 100 + 5 - 11}),
            ViewGeometry_canvasToClient(g, {101, 33}));
  // client -> canvas: (c + S - O) * 100 / Z, the sum multiplied first
  EXPECT_EQ((Point32{(10 + 7 - 3) * 100 / 150, (1 + 11 - 5) * 100 / 150}),
            ViewGeometry_clientToCanvas(g, {10, 1}));
  EXPECT_EQ(-1, ViewGeometry_clientToCanvas(g, {-6, 0}).x);  // (-6+7-3)*100/150 = -1 (truncated)
  EXPECT_EQ(75, ViewGeometry_length(g, 50));
}

TEST(ViewGeometry, SetZoomZoomsAtOnceOnSmallPagesAndPicksOnLargeOnes) {
  ViewExtent e = ViewGeometry_pageExtent(nullptr, 300, 200);
  ViewGeometry g = geometry(800, 600, 300, 200);
  // 300 * 2 = 600 <= 800 * 5 / 4: at once.
  EXPECT_EQ(ViewSetZoomResult::Zoomed, ViewGeometry_setZoom(g, 200, 0, {}, e));
  EXPECT_EQ(200, g.zoom);
  EXPECT_EQ(200, g.targetZoom);
  EXPECT_EQ(0, g.scrollTotalX);  // 606 < 800: no scroll bar
  // 300 * 4 = 1200 > 1000: zoom-pick; the zoom waits for the click.
  EXPECT_EQ(ViewSetZoomResult::ZoomPick, ViewGeometry_setZoom(g, 400, 0, {}, e));
  EXPECT_EQ(200, g.zoom);
  EXPECT_EQ(400, g.targetZoom);
  ViewGeometry_zoomAround(g, {150, 100}, e);
  EXPECT_EQ(400, g.zoom);
  EXPECT_EQ(1206, g.scrollTotalX);
  EXPECT_EQ((Point32{600 - 400, 400 - 300}), g.scroll);
  // how = 1 centres at once whatever the size; the result is clamped.
  EXPECT_EQ(ViewSetZoomResult::Zoomed, ViewGeometry_setZoom(g, 800, 1, {300, 200}, e));
  EXPECT_EQ(ViewGeometry_maxScroll(g), g.scroll);
  // Zooming out never picks; zero and huge zooms are clamped.
  EXPECT_EQ(ViewSetZoomResult::Zoomed, ViewGeometry_setZoom(g, 0, 0, {}, e));
  EXPECT_EQ(1, g.zoom);
  EXPECT_EQ((Point32{0, 0}), g.scroll);
  EXPECT_EQ(ViewSetZoomResult::Zoomed, ViewGeometry_setZoom(g, 99999, 1, {}, e));
  EXPECT_EQ(ViewZoom_max, g.zoom);
}

TEST(ViewGeometry, FitPageNeverEnlargesAndShiftsTheOriginForFiguresOutside) {
  FigureList list;
  list.append(std::make_unique<Canvas>());
  addRect(list, 10, 10, 50, 50);
  ViewGeometry g = geometry(1000, 800, 200, 100);
  ViewExtent e = ViewGeometry_pageExtent(&list, 200, 100);
  EXPECT_FALSE(e.outside);
  ViewGeometry_setMode(g, ViewZoom_FitPage, e);
  EXPECT_EQ(100, g.zoom);  // it would fit at 497 %
  EXPECT_EQ((Point32{0, 0}), g.origin);
  EXPECT_EQ(0, g.scrollTotalX);
  EXPECT_EQ(0, g.scrollTotalY);

  // A figure at (-300, -50): the extent is 500 x 150 -> zoom 198 -> 100;
  // the origin puts the figure's left at the left of the window.
  addRect(list, -300, -50, 20, 20);
  e = ViewGeometry_pageExtent(&list, 200, 100);
  EXPECT_TRUE(e.outside);
  EXPECT_TRUE(ViewGeometry_updateScrollSizes(g, e));  // newly outside: invalidate once
  EXPECT_FALSE(ViewGeometry_updateScrollSizes(g, e));
  EXPECT_TRUE(g.outsideFigures);
  EXPECT_EQ((Point32{300, 50}), g.origin);
  EXPECT_EQ((Point32{0, 0}), ViewGeometry_canvasToClient(g, {-300, -50}));

  // A smaller window: zoom 50, and the origin in pixels at that zoom.
  g.clientWidth = 256;
  ViewGeometry_updateScrollSizes(g, e);
  EXPECT_EQ(50, g.zoom);  // 250 * 100 / 500
  EXPECT_EQ((Point32{150, 25}), g.origin);
  EXPECT_EQ((Point32{0, 0}), ViewGeometry_canvasToClient(g, {-300, -50}));

  // Fit width: (cw - 6) * 100 / W, no upper limit; origin cleared.
  ViewGeometry_setMode(g, ViewZoom_FitWidth, e);
  EXPECT_EQ(125, g.zoom);
  EXPECT_EQ((Point32{0, 0}), g.origin);
  EXPECT_FALSE(g.outsideFigures);
  EXPECT_EQ(0, g.scrollTotalX);
  EXPECT_EQ(0, g.scrollTotalY);  // 131 < 800
}

TEST(ViewGeometry, HugePageAndFarFiguresDoNotOverflow) {
  ViewGeometry g = geometry(1280, 800, 99999, 99999);
  ViewExtent e = ViewGeometry_pageExtent(nullptr, 99999, 99999);
  ViewGeometry_setZoom(g, 6400, 1, {99999, 99999}, e);
  EXPECT_EQ(6400, g.zoom);
  EXPECT_EQ(99999 * 64 + 6, g.scrollTotalX);
  EXPECT_EQ(99999 * 64 + 6 - 1280, g.scroll.x);
  EXPECT_EQ((Point32{99999 * 64 - g.scroll.x, 99999 * 64 - g.scroll.y}),
            ViewGeometry_canvasToClient(g, {99999, 99999}));
  EXPECT_EQ((Point32{99999, 99999}),
            ViewGeometry_clientToCanvas(g, ViewGeometry_canvasToClient(g, {99999, 99999})));
  // Far-away canvas points clamp instead of wrapping.
  EXPECT_EQ(INT32_MIN, ViewGeometry_canvasToClient(g, {-2000000000, 0}).x);
  EXPECT_EQ(INT32_MAX, ViewGeometry_canvasToClient(g, {2000000000, 0}).x);

  FigureList list;
  list.append(std::make_unique<Canvas>());
  addRect(list, -2000000000, -2000000000, 10, 10);
  e = ViewGeometry_pageExtent(&list, 99999, 99999);
  ViewGeometry_setMode(g, ViewZoom_FitPage, e);
  EXPECT_EQ(1, g.zoom);
  EXPECT_EQ((Point32{20000000, 20000000}), g.origin);
  EXPECT_EQ((Point32{0, 0}), ViewGeometry_canvasToClient(g, {-2000000000, -2000000000}));
  DrawContext ctx;
  ViewGeometry_fillDrawContext(g, ctx, false, nullptr);
  EXPECT_EQ(-20000000, ctx.scrollX);
  EXPECT_EQ(0, DrawContext_deviceX(ctx, -2000000000));
}

TEST(ViewGeometry, ScrollingEnsureVisibleWheelAndPages) {
  ViewGeometry g = geometry(400, 300, 1000, 1000);
  ViewExtent e = ViewGeometry_pageExtent(nullptr, 1000, 1000);
  ViewGeometry_updateScrollSizes(g, e);
  EXPECT_EQ(1006, g.scrollTotalX);
  EXPECT_EQ((Point32{606, 706}), ViewGeometry_maxScroll(g));
  // Right edge 8 pixels inside.
  EXPECT_TRUE(ViewGeometry_ensureVisible(g, {500, 100, 100, 50}));
  EXPECT_EQ((Point32{600 + 8 - 400, 0}), g.scroll);
  EXPECT_FALSE(ViewGeometry_ensureVisible(g, {500, 100, 100, 50}));
  // The left rule wins over the right one for a rectangle wider than the
  // window.
  EXPECT_TRUE(ViewGeometry_ensureVisible(g, {300, 0, 900, 10}));
  EXPECT_EQ(300 - 32, g.scroll.x);
  // Page down: client height - 32; clamped at the end.
  EXPECT_TRUE(ViewGeometry_scrollPage(g, +1));
  EXPECT_EQ(268, g.scroll.y);
  EXPECT_TRUE(ViewGeometry_scrollPage(g, +1));
  EXPECT_TRUE(ViewGeometry_scrollPage(g, +1));
  EXPECT_EQ(706, g.scroll.y);
  EXPECT_FALSE(ViewGeometry_scrollPage(g, +1));  // the caller turns the page
  // Wheel: -delta / 2.
  EXPECT_TRUE(ViewGeometry_wheel(g, 120));
  EXPECT_EQ(646, g.scroll.y);
  ViewGeometry_scrollTo(g, {0, 0});
  EXPECT_FALSE(ViewGeometry_wheel(g, 120));
  // No vertical bar: the wheel never scrolls.
  g.clientHeight = 2000;
  ViewGeometry_updateScrollSizes(g, e);
  EXPECT_EQ(0, g.scrollTotalY);
  EXPECT_FALSE(ViewGeometry_wheel(g, -120));
}

TEST(ViewGeometry, ZoomSwapExchangesTheTwoStates) {
  ViewGeometry g = geometry(400, 300, 1000, 1000);
  ViewExtent e = ViewGeometry_pageExtent(nullptr, 1000, 1000);
  ViewGeometry_setZoom(g, 200, 1, {500, 500}, e);
  const Point32 scrolled = g.scroll;
  Point32 restore;
  EXPECT_EQ(1, ViewGeometry_swapZoom(g, 3, restore));
  EXPECT_EQ(100, g.zoom);
  EXPECT_EQ((Point32{0, 0}), restore);
  EXPECT_EQ(200, g.swapZoom);
  EXPECT_EQ(3, g.swapPage);
  EXPECT_EQ(3, ViewGeometry_swapZoom(g, 1, restore));
  EXPECT_EQ(200, g.zoom);
  EXPECT_EQ(scrolled, restore);
}

TEST(ViewGeometry, DrawContextFollowsTheTable) {
  Canvas canvas;
  canvas.setFilterVariables("lang=ja; v=2");
  ViewGeometry g = geometry(400, 300, 1000, 100);
  g.zoom = 200;
  g.scroll = {50, 0};
  DrawContext ctx;
  ctx.showHandles = true;
  ViewGeometry_fillDrawContext(g, ctx, true, &canvas);
  EXPECT_EQ(200, ctx.textZoom);
  EXPECT_EQ(200, ctx.zoomX);
  EXPECT_EQ(50, ctx.scrollX);
  EXPECT_EQ(400, ctx.clientWidth);
  EXPECT_EQ(-1, ctx.pageNumber);
  EXPECT_FALSE(ctx.showHandles);
  EXPECT_FALSE(ctx.directOutput);
  EXPECT_EQ(15, ctx.defaultLineSpacing);
  EXPECT_EQ("lang", ctx.filterVariables.entries[0].name);
  EXPECT_EQ("ja", ctx.filterVariables.entries[0].value);
  // Clipped to the page: 200 pixels high (page 100 at 200 %), the whole
  // width; given before the scroll offset.
  EXPECT_EQ(50, ctx.clipLeft);
  EXPECT_EQ(450, ctx.clipRight);
  EXPECT_EQ(0, ctx.clipTop);
  EXPECT_EQ(200, ctx.clipBottom);
  ViewGeometry_fillDrawContext(g, ctx, false, &canvas);
  EXPECT_EQ(300, ctx.clipBottom);
}

TEST(ViewGeometry, FramePacingWaitsOutTheFrame) {
  EXPECT_EQ(13, ViewFrame_delayAfter(3));
  EXPECT_EQ(2, ViewFrame_delayAfter(14));
  EXPECT_EQ(1, ViewFrame_delayAfter(15));
  EXPECT_EQ(1, ViewFrame_delayAfter(20));
}
