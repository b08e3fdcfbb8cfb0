#include "figures/base/handles.h"

#include <gtest/gtest.h>

#include "support/recording_surface.h"
#include "test_kinds.h"

using test_kinds::TestBox;

TEST(FigureHandles, SquaresAtDevicePositionsForSeveralZooms) {
  TestBox box(Rect32{10, 20, 30, 40});
  box.SetSelected(true);
  struct Case {
    int zoom, scrollX, scrollY;
  } cases[] = {{100, 0, 0}, {200, 5, -7}, {50, 0, 0}, {33, 1, 1}};
  for (const Case& c : cases) {
    DrawContext ctx;
    ctx.zoomX = ctx.zoomY = c.zoom;
    ctx.scrollX = c.scrollX;
    ctx.scrollY = c.scrollY;
    RecordingSurface s;
    s.setPen(Pen::solid(0x123456, 3));
    box.DrawHandles(s, ctx, 0x00FF00, 0);
    ASSERT_EQ(8u, s.calls().size());
    const int xs[3] = {10, 25, 40}, ys[3] = {20, 40, 60};
    const int order[8][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    for (int i = 0; i < 8; ++i) {
      const int x = xs[order[i][0]] * c.zoom / 100 - c.scrollX;
      const int y = ys[order[i][1]] * c.zoom / 100 - c.scrollY;
      const auto& call = s.calls()[static_cast<size_t>(i)];
      EXPECT_EQ("rect", call.op);
      EXPECT_EQ((std::vector<int>{x - 3, y - 3, x + 3, y + 3}), call.args) << c.zoom << " " << i;
      EXPECT_EQ(Pen::solid(0xFF00FF, 1), call.state.pen);
      EXPECT_EQ(Brush::solid(0x00FF00), call.state.brush);
    }
    EXPECT_EQ(Pen::solid(0x123456, 3), s.state().pen);  // restored
    EXPECT_EQ(Brush{}, s.state().brush);
  }
}

TEST(FigureHandles, CrossesForLockedFiguresOrWhenTheContextAsks) {
  TestBox box(Rect32{10, 20, 30, 40});
  DrawContext ctx;
  RecordingSurface s;
  box.SetLocked(true);
  box.DrawHandles(s, ctx, 0xFFFFFF, 0);
  ASSERT_EQ(16u, s.calls().size());
  EXPECT_EQ("polyline 7,17,14,24", RecordingSurface::describe(s.calls()[0], false));
  EXPECT_EQ("polyline 7,23,14,16", RecordingSurface::describe(s.calls()[1], false));
  EXPECT_EQ(0x000000u, s.calls()[0].state.pen.colour);

  box.SetLocked(false);
  ctx.showLockCrosses = true;
  s.clear();
  box.DrawHandles(s, ctx, 0, 0);
  EXPECT_EQ(16u, s.calls().size());
  EXPECT_EQ("polyline 37,57,44,64", RecordingSurface::describe(s.calls()[14], false));
}

TEST(FigureHandles, DrawingASelectedFigureEndsWithItsHandles) {
  TestBox box(Rect32{0, 0, 10, 10});
  DrawContext ctx;
  RecordingSurface s;
  box.Draw(s, ctx);
  EXPECT_EQ(std::vector<std::string>{"rect 0,0,10,10"}, s.lines());
  box.SetSelected(true);
  ctx.showHandles = false;
  s.clear();
  box.Draw(s, ctx);
  EXPECT_EQ(1u, s.calls().size());
  ctx.showHandles = true;
  s.clear();
  box.Draw(s, ctx);
  EXPECT_EQ(9u, s.calls().size());
}

TEST(DrawContext, DeviceConversionIn64BitsTruncatingTowardsZero) {
  DrawContext c;
  c.zoomX = 33;
  c.zoomY = 150;
  EXPECT_EQ(-49, DrawContext_deviceX(c, -150));  // -49.5 -> -49
  EXPECT_EQ(49, DrawContext_deviceX(c, 150));
  EXPECT_EQ(-1, DrawContext_deviceY(c, -1));      // -1.5 -> -1
  c.zoomX = 800;
  c.scrollX = 2000000000;
  EXPECT_EQ(99999 * 8 - 2000000000, DrawContext_deviceX(c, 99999));
  c.zoomX = 1000;
  c.scrollX = 0;
  EXPECT_EQ(INT32_MAX, DrawContext_deviceX(c, INT32_MAX));  // clamped, no overflow
  EXPECT_EQ(INT32_MIN, DrawContext_deviceX(c, INT32_MIN));
  c.scrollX = INT32_MIN;
  EXPECT_EQ(INT32_MAX, DrawContext_deviceX(c, 1000000000));
  EXPECT_EQ(2147483647, Figure_scale(INT32_MAX, 100));
  EXPECT_EQ(-21474836, Figure_scale(INT32_MIN, 1));
  EXPECT_EQ(0, DrawContext_penWidth(c, 0));
}

TEST(DrawContext, ColoursClipAndHelpers) {
  DrawContext c;
  EXPECT_EQ(0u, DrawContext_strokeColour(c, 0));
  c.useSystemColours = true;
  EXPECT_EQ(SystemColour_windowText, DrawContext_strokeColour(c, 0));
  EXPECT_EQ(SystemColour_window, DrawContext_fillColour(c, 0xFFFFFF));
  EXPECT_EQ(0x0000FFu, DrawContext_fillColour(c, 0x0000FF));
  EXPECT_EQ(0xFF9933u, SystemColour_highlight);
  c.clipLeft = 0;
  c.clipTop = 0;
  c.clipRight = 100;
  c.clipBottom = 100;
  c.scrollX = 50;
  EXPECT_FALSE(DrawContext_outsideClip(c, -60, 0, -50, 10));
  EXPECT_TRUE(DrawContext_outsideClip(c, -60, 0, -51, 10));
  EXPECT_TRUE(DrawContext_outsideClip(c, 51, 0, 60, 10));

  EXPECT_EQ(-2, Figure_roundHalf(-2.7));
  EXPECT_EQ(3, Figure_roundHalf(2.5));
  EXPECT_EQ(99999, Figure_clampCoord(int64_t{1} << 40));
  EXPECT_EQ(-99999, Figure_clampCoord(-100000));
  EXPECT_EQ(1, Figure_clampSize(0));
  EXPECT_EQ(199998, Figure_clampSize(300000));
  EXPECT_TRUE(Rect32_overlaps({0, 0, 10, 10}, {9, 9, 1, 1}));
  EXPECT_FALSE(Rect32_overlaps({0, 0, 10, 10}, {10, 0, 5, 5}));
  EXPECT_TRUE(Rect32_overlaps({INT32_MAX - 1, 0, INT32_MAX, 1}, {INT32_MAX - 1, 0, 1, 1}));
  EXPECT_EQ(16, Font_pixelsFromTenthPoints(120));
  EXPECT_EQ(12, Font_pixelsFromTenthPoints(90));
  EXPECT_EQ(15, Font_pixelsFromTenthPoints(110));  // 14.67
  EXPECT_EQ(-16, Font_pixelsFromTenthPoints(-120));
  EXPECT_EQ(0x00332211u, Colour_fromArgb(0xFF112233u));
  EXPECT_EQ(0xFF112233u, Colour_toArgb(0x00332211u));
}

// The shared handle scorer: the first lowest score below 17 wins, in the
// order 5, 7, 4, 2, 8, 1, 3, 6; slanted rows shift the side bands.
TEST(FigureHandles, ScoringTheEightHandles) {
  HandleBands b;
  b.reach = 8;
  b.inside = 2;
  // Just outside the bottom-right corner of a 40 x 20 box: 8 beats 5 and 7.
  for (int row = 0; row < 3; ++row) {
    b.rOut[row] = 3;
    b.lIn[row] = 43;
  }
  b.tIn = 23;
  b.bOut = 3;
  b.mxTop = b.mxBottom = 23;
  b.my = 13;
  HandleHit h = FigureHandles_hit(b);
  EXPECT_EQ(h.handle, 8);
  EXPECT_EQ(h.score, 6);
  EXPECT_EQ(h.cursor, 4);
  // A tie between 5 and 8 goes to 5, the earlier one.
  b.my = 3;
  h = FigureHandles_hit(b);
  EXPECT_EQ(h.handle, 5);
  EXPECT_EQ(h.cursor, 2);
  // Outside the reach nothing counts; nor does a score of 17 or more.
  b.my = 0;
  b.rOut[1] = 8;
  b.bOut = 9;
  b.rOut[2] = 9;
  h = FigureHandles_hit(b);
  EXPECT_EQ(h.handle, 5);
  EXPECT_EQ(h.score, 8);
  b.rOut[1] = 9;
  EXPECT_EQ(FigureHandles_hit(b).handle, 0);
  {
    HandleBands wide = b;  // bands of 32: a score of 17 is still too much
    wide.reach = 32;
    wide.rOut[1] = 10;
    wide.my = 7;
    EXPECT_EQ(FigureHandles_hit(wide).handle, 0);
    wide.my = 6;
    EXPECT_EQ(FigureHandles_hit(wide).handle, 5);
  }
  // The bottom row of a slanted box has its own side offsets.
  b.rOut[2] = 1;
  b.bOut = 1;
  EXPECT_EQ(FigureHandles_hit(b).handle, 8);
  // A small box: handle 8 only, whatever the score.
  b.reach = 32;
  b.rOut[2] = 30;
  b.bOut = 30;
  h = FigureHandles_hitCorner(b);
  EXPECT_EQ(h.handle, 8);
  EXPECT_EQ(h.score, 60);
  b.bOut = 33;
  EXPECT_EQ(FigureHandles_hitCorner(b).handle, 0);
}
