#include <gtest/gtest.h>

#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "text_box_fixture.h"

using namespace text_box_test;

TEST(TextBoxLayout, NewBoxFrameAndMeasure) {
  Text_Box b;
  EXPECT_FALSE(b.HasLayout());
  EXPECT_EQ(testing_support::CatchError([&] { b.GetEdge(0); }).code, Zerbin_Err_NotSetDrawParam);
  EXPECT_EQ(b.GetEdge(6), 0);  // the base point needs no layout
  placed(b);
  // "abc": three narrow characters of 128/16 pixels each.
  ASSERT_EQ(b.lines().size(), 1u);
  EXPECT_EQ(b.lines()[0].positions, (std::vector<int32_t>{0, 8, 16, 24}));
  EXPECT_EQ(b.textWidth, 24);
  EXPECT_EQ(b.lineHeight16, 256);
  EXPECT_EQ(b.descent16, 64);
  EXPECT_EQ(b.exactWidth, 24);
  EXPECT_EQ(b.firstLineTop, 89);
  EXPECT_EQ(b.FrameBounds(), (TextBoxFrameBounds{92, 86, 132, 107}));
  EXPECT_EQ(b.GetBounds(), (Rect32{92, 86, 40, 21}));
  EXPECT_EQ(b.GetEdge(4), 112);
  EXPECT_EQ(b.GetEdge(5), 96);
  EXPECT_EQ(b.GetExtent(false), 41);
  EXPECT_EQ(b.GetExtent(true), 22);
  EXPECT_EQ(b.layoutFlags, TextBox_marginsValid | TextBox_boundsValid);
  EXPECT_EQ(testing_support::CatchError([&] { b.GetEdge(8); }).code, Errors_Unofficial);
}

TEST(TextBoxLayout, PositionsShiftJisTabsChunksAndNarrowLetters) {
  Text_Box b;
  b.SetText("表a\tソ");  // 95 5C, 'a', tab, 83 5C
  placed(b);
  // The trail byte repeats its lead's position; a tab adds 32 pixels.
  EXPECT_EQ(b.lines()[0].positions, (std::vector<int32_t>{0, 0, 16, 24, 56, 56, 72}));
  EXPECT_EQ(b.textWidth, 72);

  // A double-byte character across byte 20 starts the second chunk at 19.
  Text_Box c;
  c.SetText(std::string(19, 'a') + "十b");
  placed(c);
  const auto& p = c.lines()[0].positions;
  ASSERT_EQ(p.size(), 23u);
  EXPECT_EQ(p[19], 152);
  EXPECT_EQ(p[20], 152);
  EXPECT_EQ(p[21], 168);
  EXPECT_EQ(p[22], 176);

  // "i" and "l" round with +5 instead of +8 (1 pt: the 16-times font is 21
  // pixels, a narrow character 10/16 pixel).
  Text_Box d;
  d.fontSize = 1;
  d.SetText("ab\nai");
  placed(d);
  ASSERT_EQ(d.lines().size(), 2u);
  EXPECT_EQ(d.lines()[0].positions[1], 1);  // (10 + 8) / 16
  EXPECT_EQ(d.lines()[1].positions[1], 0);  // (10 + 5) / 16
}

TEST(TextBoxLayout, LinesSpacingAlignmentAndShapes) {
  Text_Box b;
  b.SetText("ab\r\ncde\nf");
  b.SetTextMetrics(&metrics());
  b.SetBasePoint(100, 100);
  DrawContext ctx;
  ctx.defaultLineSpacing = 20;
  layOut(b, ctx);
  EXPECT_EQ(b.lineCount, 3);
  EXPECT_EQ(b.lineSpacing, 20);  // taken from the view the first time
  EXPECT_TRUE(b.layoutFlags & TextBox_spacingTaken);
  EXPECT_EQ(b.textWidth, 24);
  EXPECT_EQ(b.textHeight16, 256 + 40 * 16);
  EXPECT_EQ(b.FrameBounds(), (TextBoxFrameBounds{92, 86, 132, 147}));
  ctx.defaultLineSpacing = 30;
  b.SetText("ab\ncd");
  layOut(b, ctx);
  EXPECT_EQ(b.lineSpacing, 20);  // only once

  // Margins; centre and right alignment.
  Text_Box c;
  placed(c);
  c.SetProperty(23, "3", "");
  c.SetProperty(24, "5", "");
  layOut(c);
  EXPECT_EQ(c.FrameBounds(), (TextBoxFrameBounds{97, 83, 127, 110}));
  c.alignment = 1;
  c.marginX = 8;
  c.marginY = 2;
  c.layoutFlags &= ~TextBox_boundsValid;
  EXPECT_EQ(c.FrameBounds(), (TextBoxFrameBounds{80, 86, 120, 107}));
  c.alignment = 2;
  EXPECT_EQ(c.FrameBounds(), (TextBoxFrameBounds{68, 86, 108, 107}));

  // A diamond makes top + bottom even.
  Text_Box d;
  d.frameShape = TextBoxFrame_Diamond;
  placed(d);
  EXPECT_EQ(d.FrameBounds(), (TextBoxFrameBounds{92, 86, 132, 108}));
}

TEST(TextBoxLayout, AlignmentChangeKeepsTheText) {
  Text_Box b;
  b.SetText("abcd");  // width 32 (even)
  placed(b);
  const int32_t left = b.GetEdge(0);
  b.SetAlignment(1);
  EXPECT_EQ(b.basePoint().x, 116);
  layOut(b);
  EXPECT_EQ(b.GetEdge(0), left);
  b.SetAlignment(2);
  layOut(b);
  EXPECT_EQ(b.basePoint().x, 132);
  EXPECT_EQ(b.GetEdge(0), left);
  b.SetAlignment(0);
  EXPECT_EQ(b.basePoint().x, 100);
}

TEST(TextBoxLayout, FrameShapeAllowancesAndMarginsFromBounds) {
  Text_Box b;
  placed(b);
  b.SetFrameShape(TextBoxFrame_Diamond);  // +20, +2
  EXPECT_EQ(b.marginX, 28);
  EXPECT_EQ(b.marginY, 4);
  b.SetFrameShape(TextBoxFrame_Ellipse);  // -20 + 2, -2 + 2
  EXPECT_EQ(b.marginX, 10);
  EXPECT_EQ(b.marginY, 4);
  b.frameWidth = 0;
  b.SetFrameShape(TextBoxFrame_Parallelogram);  // no frame line: +2 + 2, +0 + 4
  EXPECT_EQ(b.marginX, 14);
  EXPECT_EQ(b.marginY, 8);
  EXPECT_EQ(b.frameWidth, 1);
  b.SetFrameShape(0);
  EXPECT_EQ(b.marginX, 8);
  EXPECT_EQ(b.marginY, 2);
  EXPECT_FALSE(b.layoutFlags & TextBox_boundsValid);

  // Bounds read from a file: the margins are derived back.
  Text_Box f;
  placed(f);
  f.bounds = {90, 80, 140, 110};
  f.layoutFlags = TextBox_boundsValid;
  layOut(f);
  EXPECT_EQ(f.marginX, 10);
  EXPECT_EQ(f.widthExtra, 6);  // 140 - 10 - 100 - 24
  EXPECT_EQ(f.marginY, 8);     // 89 - 80 - 1
  EXPECT_EQ(f.FrameBounds(), (TextBoxFrameBounds{90, 80, 140, 110}));
}

TEST(TextBoxLayout, OutlinePointsOfEveryShape) {
  auto outline = [](int32_t shape) {
    Text_Box b;
    b.frameShape = shape;
    placed(b);
    return b.OutlinePoints();
  };
  using P = std::vector<Point32>;
  EXPECT_EQ(outline(1), (P{{92, 86}, {132, 86}, {132, 107}, {92, 107}}));
  EXPECT_EQ(outline(2), (P{{92, 92}, {98, 86}, {126, 86}, {132, 92}, {132, 101}, {126, 107},
                           {98, 107}, {92, 101}}));
  const P e = outline(3);
  ASSERT_EQ(e.size(), 72u);
  EXPECT_EQ(e[0], (Point32{132, 96}));
  EXPECT_EQ(e[18], (Point32{112, 105}));  // 9.99999 truncated
  EXPECT_EQ(e[36], (Point32{92, 96}));
  EXPECT_EQ(outline(4), (P{{112, 86}, {132, 97}, {112, 108}, {92, 97}}));
  EXPECT_EQ(outline(5), (P{{97, 86}, {137, 86}, {127, 107}, {87, 107}}));
}

TEST(TextBoxLayout, EdgesExtentsAndPoints) {
  Text_Box b;
  placed(b);
  b.SetEdge(0, 50);
  EXPECT_EQ(b.GetEdge(0), 50);
  EXPECT_EQ(b.basePoint().x, 58);
  b.SetEdge(3, 200);
  EXPECT_EQ(b.GetEdge(3), 200);
  EXPECT_EQ(b.GetExtent(false), 41);
  b.SetExtent(false, 61);  // marginX + 10
  EXPECT_EQ(b.marginX, 18);
  EXPECT_EQ(b.GetExtent(false), 61);
  EXPECT_EQ(testing_support::CatchError([&] { b.SetEdge(6, 0); }).code, Errors_Unofficial);

  Text_Box c;
  placed(c);
  EXPECT_TRUE(c.ContainsPoint(92, 86));
  EXPECT_TRUE(c.ContainsPoint(132, 107));
  EXPECT_FALSE(c.ContainsPoint(133, 107));
  EXPECT_TRUE(c.IsNearCentre(115, 93, 3));
  EXPECT_FALSE(c.IsNearCentre(116, 96, 3));
  EXPECT_TRUE(c.IntersectsRect({132, 107, 5, 5}));
  EXPECT_FALSE(c.IntersectsRect({133, 90, 5, 5}));
  EXPECT_EQ(c.GetHandlePoint(2), (Point32{112, 86}));
  EXPECT_EQ(c.GetHandlePoint(8), (Point32{132, 107}));
  EXPECT_EQ(c.GetHandlePoint(-1), (Point32{100, 100}));
  // An unlaid box intersects with its base point alone.
  Text_Box n;
  n.SetBasePoint(10, 10);
  EXPECT_TRUE(n.IntersectsRect({10, 10, 1, 1}));
  EXPECT_FALSE(n.IntersectsRect({11, 10, 5, 5}));
  // Line ends end on the frame.
  EXPECT_EQ(c.OutlinePoint({112, 96}, {112, 0}), (Point32{112, 86}));
  EXPECT_EQ(c.OutlinePoint({112, 96}, {300, 96}), (Point32{132, 96}));
  EXPECT_EQ(c.OutlinePoint({112, 96}, {112, 300}), (Point32{112, 107}));
  EXPECT_EQ(c.OutlinePoint({112, 96}, {113, 97}), (Point32{112, 96}));  // no crossing
}

TEST(TextBoxLayout, MarginDragAndPagenum) {
  Text_Box b;
  placed(b);
  b.DragHandleTo(5, 150, 96, false, 0, false);  // right side 26 past the text
  EXPECT_EQ(b.marginX, 26);
  b.DragHandleTo(7, 112, 120, false, 0, false);  // 104 + 1 .. 120
  EXPECT_EQ(b.marginY, 15);
  b.DragHandleTo(1, 200, 200, false, 0, false);  // inside the text: 0
  EXPECT_EQ(b.marginX, 0);
  EXPECT_EQ(b.marginY, 0);
  EXPECT_EQ(b.FrameBounds(), (TextBoxFrameBounds{100, 88, 124, 105}));
  b.DragHandleTo(-1, 10, 20, false, 0, false);
  EXPECT_EQ(b.basePoint(), (Point32{10, 20}));
  b.DragHandleTo(3, 0, 0, false, 0, true);  // rotate about the base point
  EXPECT_NE(b.angle, 0);

  Text_Box p;
  p.SetId("pagenum");
  p.SetText("x");
  p.SetTextMetrics(&metrics());
  DrawContext ctx;
  ctx.pageNumber = 123;
  layOut(p, ctx);
  EXPECT_EQ(p.textWidth, 24);   // "123" measured
  EXPECT_EQ(p.text(), "x");     // the model keeps its text
}
