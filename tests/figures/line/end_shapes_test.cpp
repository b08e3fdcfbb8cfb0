#include "figures/line/end_shapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_surface.h"
#include "support/test_support.h"

namespace {

std::vector<Point32> pts(std::initializer_list<Point32> l) { return l; }

}  // namespace

TEST(LineEndShapes, GeometryAtExactCoordinates) {
  // Open arrow at (100, 0) of a line from (0, 0), width 1: S = 12, the
  // stroke ends 88.72..., +-4.10... truncate to 88, -+4.
  LineEndGeometry g = LineEnd_geometry(LineEndShape_Arrow, {100, 0}, {0, 0}, 1);
  EXPECT_EQ(g.points, pts({{100, 0}, {88, -4}, {88, 4}}));

  // Triangle at (0, 0) towards (30, 40), width 2: S = 16, u = (9.6, 12.8).
  g = LineEnd_geometry(LineEndShape_Triangle, {0, 0}, {30, 40}, 2);
  EXPECT_EQ(g.points, pts({{0, 0}, {1, 15}, {14, 6}}));
  EXPECT_EQ(LineEnd_geometry(LineEndShape_TriangleHole, {0, 0}, {30, 40}, 2).points, g.points);

  // Zero length: the head points along +x with the full size S = 16.
  g = LineEnd_geometry(LineEndShape_Diamond, {50, 50}, {50, 50}, 2);
  EXPECT_EQ(g.points, pts({{50, 50}, {65, 55}, {80, 50}, {65, 44}}));

  g = LineEnd_geometry(LineEndShape_CircleHole, {7, -3}, {0, 0}, 4);
  EXPECT_TRUE(g.points.empty());
  EXPECT_EQ(g.centre, (Point32{7, -3}));
  EXPECT_EQ(g.radius, 6);

  EXPECT_EQ(LineEnd_geometry(LineEndShape_None, {0, 0}, {9, 9}, 1).shape, LineEndShape_None);
  EXPECT_TRUE(LineEnd_geometry(8, {0, 0}, {9, 9}, 1).points.empty());
  EXPECT_EQ(LineEnd_headSize(INT32_MAX), INT32_MAX);  // no overflow
}

TEST(LineEndShapes, FillRuleAndChoices) {
  EXPECT_EQ(LineEnd_fillColour(LineEndShape_Circle, 0x123456), 0x123456u);
  EXPECT_EQ(LineEnd_fillColour(LineEndShape_DiamondHole, 0x123456), 0xFFFFFFu);
  // Yellow (red and green above 208): black inside; 208 itself is not above.
  EXPECT_EQ(LineEnd_fillColour(LineEndShape_TriangleHole, Colour_rgb(209, 209, 0)), 0u);
  EXPECT_EQ(LineEnd_fillColour(LineEndShape_TriangleHole, Colour_rgb(208, 255, 0)), 0xFFFFFFu);
  EXPECT_EQ(LineEnd_fillColour(LineEndShape_CircleHole, Colour_rgb(255, 208, 0)), 0xFFFFFFu);

  const auto en = LineEnd_choices(false);
  ASSERT_EQ(en.size(), 8u);
  EXPECT_EQ(en[2], "   Circle");
  EXPECT_EQ(en[5], "O  Circle(Hole)");
  const auto ja = LineEnd_choices(true);
  EXPECT_EQ(ja[1], testing_support::Sjis(u8"→ 矢印"));
  EXPECT_EQ(ja[7], testing_support::Sjis(u8"◇ ひし形抜き"));
}

TEST(LineEndShapes, DrawsScaledWithPenAndBrush) {
  RecordingSurface s;
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 200;
  ctx.scrollX = 10;
  LineEnd_draw(s, ctx, LineEndShape_TriangleHole, {0, 0}, {30, 40}, 2, Colour_rgb(255, 255, 0));
  ASSERT_EQ(s.calls().size(), 1u);
  EXPECT_EQ(s.lines(true)[0], "polygon -10,0,-8,30,18,12 pen=solid/4/00ffff brush=solid/000000 rop=copy");
  EXPECT_EQ(s.state().pen, Pen{});  // restored

  s.clear();
  ctx = DrawContext{};
  LineEnd_draw(s, ctx, LineEndShape_Arrow, {100, 0}, {0, 0}, 1, 0x0000FF);
  EXPECT_EQ(s.lines(), (std::vector<std::string>{"polyline 100,0,88,-4", "polyline 100,0,88,4"}));

  s.clear();
  LineEnd_draw(s, ctx, LineEndShape_Circle, {20, 30}, {0, 0}, 1, 0x0000FF);
  EXPECT_EQ(s.lines(true)[0], "ellipse 17,27,23,33 pen=solid/1/0000ff brush=solid/0000ff rop=copy");
}
