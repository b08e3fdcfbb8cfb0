#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "figures/rect/rect_ex.h"
#include "support/recording_surface.h"

namespace {

Rect_Ex& box(Rect_Ex& r, int32_t x, int32_t y, int32_t w, int32_t h, int32_t shape) {
  r.x = x;
  r.y = y;
  r.width = w;
  r.height = h;
  r.shape = shape;
  return r;
}

std::vector<std::string> draw(Rect_Ex& r, const DrawContext& ctx = DrawContext{},
                              bool withState = false) {
  RecordingSurface s;
  const SurfaceState before = s.state();
  r.Draw(s, ctx);
  EXPECT_EQ(s.state().pen, before.pen);
  EXPECT_EQ(s.state().brush, before.brush);
  EXPECT_EQ(s.state().backgroundMode, before.backgroundMode);
  return s.lines(withState);
}

TEST(RectExDraw, RectanglePenBrushZoomAndScroll) {
  Rect_Ex r;
  box(r, 10, 20, 30, 40, RectShape_Rectangle);
  r.strokeColour = 0x0000FF;
  r.fillColour = 0x00FF00;
  EXPECT_EQ(draw(r, {}, true),
            (std::vector<std::string>{"rect 10,20,41,61 pen=solid/1/0000ff brush=solid/00ff00 rop=copy"}));
  DrawContext z;
  z.zoomX = z.zoomY = 200;
  z.scrollX = 5;
  z.scrollY = 7;
  r.strokeWidth = 3;
  EXPECT_EQ(draw(r, z, true),
            (std::vector<std::string>{"rect 15,33,76,114 pen=solid/6/0000ff brush=solid/00ff00 rop=copy"}));
  // Opacity 50 hatches on a transparent background; 0 leaves only the border.
  r.opacity = 50;
  RecordingSurface s;
  r.Draw(s, DrawContext{});
  ASSERT_EQ(s.calls().size(), 1u);
  EXPECT_EQ(s.calls()[0].state.brush, Brush::hatched(HatchStyle::Vertical, 0x00FF00));
  EXPECT_EQ(s.calls()[0].state.backgroundMode, BackgroundMode::Transparent);
  r.opacity = 0;
  r.strokeWidth = 0;
  EXPECT_EQ(draw(r, {}, true),
            (std::vector<std::string>{"rect 10,20,41,61 pen=null/1/000000 brush=null/000000 rop=copy"}));
  // Wholly outside the repaint area: nothing.
  DrawContext clip;
  clip.clipLeft = 100;
  clip.clipRight = 200;
  EXPECT_TRUE(draw(r, clip).empty());
  // Far coordinates at 400 % do not overflow.
  box(r, 99999, 99999, 199998, 199998, RectShape_Rectangle);
  DrawContext big;
  big.zoomX = big.zoomY = 400;
  EXPECT_EQ(draw(r, big), (std::vector<std::string>{"rect 399996,399996,1199989,1199989"}));
}

TEST(RectExDraw, EveryShapeUnrotated) {
  Rect_Ex r;
  box(r, 10, 20, 30, 40, RectShape_RoundRect);
  EXPECT_EQ(draw(r), (std::vector<std::string>{"roundrect 10,20,41,61,20,20"}));
  DrawContext half;
  half.zoomX = half.zoomY = 50;
  EXPECT_EQ(draw(r, half), (std::vector<std::string>{"roundrect 5,10,21,31,10,10"}));
  box(r, 10, 20, 30, 40, RectShape_Ellipse);
  EXPECT_EQ(draw(r), (std::vector<std::string>{"ellipse 10,20,41,61"}));
  box(r, 10, 20, 31, 41, RectShape_Diamond);  // odd sizes round up to even
  EXPECT_EQ(draw(r), (std::vector<std::string>{"polygon 26,20,42,41,26,62,10,41"}));
  box(r, 10, 20, 30, 40, RectShape_Parallelogram);
  EXPECT_EQ(draw(r), (std::vector<std::string>{"polygon 20,20,50,20,30,60,0,60"}));
  box(r, 10, 20, 30, 40, 9);  // unknown shapes draw nothing
  EXPECT_TRUE(draw(r).empty());
}

TEST(RectExDraw, RotatedShapesArePolygons) {
  Rect_Ex r;
  box(r, 100, 100, 100, 50, RectShape_Rectangle);
  r.angle = 90;
  EXPECT_EQ(draw(r), (std::vector<std::string>{"polygon 175,75,175,175,125,175,125,75"}));
  box(r, 100, 100, 100, 50, RectShape_RoundRect);
  RecordingSurface s;
  r.Draw(s, DrawContext{});
  ASSERT_EQ(s.calls().size(), 1u);
  EXPECT_EQ(s.calls()[0].op, "polygon");
  EXPECT_EQ(s.calls()[0].args.size(), 16u);
  box(r, 100, 100, 200, 100, RectShape_Ellipse);
  s.clear();
  r.Draw(s, DrawContext{});
  ASSERT_EQ(s.calls().size(), 1u);
  ASSERT_EQ(s.calls()[0].args.size(), 144u);
  // The first point (right of the centre) turns to below the centre.
  EXPECT_NEAR(s.calls()[0].args[0], 200, 1);
  EXPECT_NEAR(s.calls()[0].args[1], 250, 1);
  box(r, 100, 100, 100, 50, RectShape_Parallelogram);
  r.angle = 180;
  s.clear();
  r.Draw(s, DrawContext{});
  ASSERT_EQ(s.calls().size(), 1u);
  EXPECT_EQ(s.calls()[0].args, (std::vector<int>{188, 150, 88, 150, 112, 100, 212, 100}));
}

TEST(RectExDraw, HandlesSquaresAndCrosses) {
  Rect_Ex r;
  box(r, 10, 20, 31, 41, RectShape_Rectangle);
  r.SetSelected(true);
  std::vector<std::string> l = draw(r);
  ASSERT_EQ(l.size(), 9u);
  EXPECT_EQ(l[1], "rect 7,17,13,23");     // handle 1 at (10, 20)
  EXPECT_EQ(l[2], "rect 23,17,29,23");    // handle 2 at (26, 20)
  EXPECT_EQ(l[8], "rect 39,59,45,65");    // handle 8 at (42, 62)
  DrawContext noHandles;
  noHandles.showHandles = false;
  EXPECT_EQ(draw(r, noHandles).size(), 1u);
  r.SetLocked(true);
  l = draw(r);
  ASSERT_EQ(l.size(), 17u);
  EXPECT_EQ(l[1], "polyline 7,17,14,24");
  // Rotated handles turn about the centre.
  Rect_Ex q;
  box(q, 100, 100, 100, 50, RectShape_Rectangle);
  q.angle = 90;
  RecordingSurface s;
  q.DrawHandles(s, DrawContext{}, 0xFFFFFF, 0);
  ASSERT_EQ(s.calls().size(), 8u);
  // Handle 1 (100, 100) about (150, 125): (175, 75).
  EXPECT_EQ(s.calls()[0].args, (std::vector<int>{172, 72, 178, 78}));
  EXPECT_EQ(s.calls()[0].state.brush.colour, 0xFFFFFFu);
}

}  // namespace
