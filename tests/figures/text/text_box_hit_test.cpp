#include <gtest/gtest.h>

#include "figures/text/text_box.h"
#include "text_box_fixture.h"

using namespace text_box_test;

// The frame is 92..132 x 86..107, the base point (100, 100).
TEST(TextBoxHit, HandlesAndBodyAtThreeZooms) {
  Text_Box b;
  placed(b);
  HitResult h = b.HitTest(132, 107, 100, 0);
  EXPECT_EQ(h.code, 8);
  EXPECT_EQ(h.cursor, HitCursor_SizeDiagonalDown);
  EXPECT_EQ(h.distance, 0);
  EXPECT_EQ(b.HitTest(112, 86, 100, 0).code, 2);
  EXPECT_EQ(b.HitTest(112, 86, 100, 0).cursor, HitCursor_SizeVertical);
  EXPECT_EQ(b.HitTest(92, 107, 100, 0).cursor, HitCursor_SizeDiagonalUp);
  h = b.HitTest(112, 96, 100, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.dx, -12);
  EXPECT_EQ(h.dy, 4);
  EXPECT_EQ(h.cursor, HitCursor_Move);
  h = b.HitTest(140, 96, 100, 0);  // 8 outside
  EXPECT_EQ(h.code, 5);
  EXPECT_EQ(h.distance, 8);
  EXPECT_EQ(h.cursor, HitCursor_SizeHorizontal);
  EXPECT_EQ(b.HitTest(141, 96, 100, 0).code, 0);

  // The bands are device pixels. 400 %: 2 units outside, half a unit
  // inside (so only the edge itself).
  EXPECT_EQ(b.HitTest(134, 96, 400, 0).code, 5);
  EXPECT_EQ(b.HitTest(135, 96, 400, 0).code, 0);
  EXPECT_EQ(b.HitTest(132, 96, 400, 0).code, 5);
  EXPECT_EQ(b.HitTest(131, 96, 400, 0).code, -1);
  // 25 %: 32 units outside (a device pixel is 4 units), 8 inside.
  EXPECT_EQ(b.HitTest(145, 96, 25, 0).code, 5);
  EXPECT_EQ(b.HitTest(164, 96, 25, 0).code, 5);
  EXPECT_EQ(b.HitTest(168, 96, 25, 0).code, 0);
  EXPECT_EQ(b.HitTest(124, 96, 25, 0).code, 5);  // 8 inside
  // The frame is only 5 device pixels high here: the top and bottom bands
  // cover it, so further inside the middle handles win.
  EXPECT_EQ(b.HitTest(123, 96, 25, 0).code, 7);
  EXPECT_EQ(b.HitTest(123, 92, 25, 0).code, 2);
}

TEST(TextBoxHit, ModesLockedFramelessAndRotated) {
  Text_Box b;
  placed(b);
  EXPECT_EQ(b.HitTest(112, 96, 100, 1).cursor, HitCursor_None);
  EXPECT_EQ(b.HitTest(132, 107, 100, 1).cursor, HitCursor_Move);
  Text_Box e;
  e.frameShape = TextBoxFrame_Ellipse;
  placed(e);
  EXPECT_EQ(e.HitTest(e.GetEdge(1), e.GetEdge(3), 100, 1).cursor, HitCursor_Forbidden);

  b.SetLocked(true);
  HitResult h = b.HitTest(132, 107, 100, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.cursor, HitCursor_Move);
  EXPECT_EQ(b.HitTest(140, 96, 100, 0).code, 0);

  Text_Box n;
  n.frameShape = 0;
  placed(n);
  EXPECT_EQ(n.HitTest(n.GetEdge(1), n.GetEdge(3), 100, 0).code, -1);  // no handles
  EXPECT_EQ(n.HitTest(n.GetEdge(1), n.GetEdge(3), 100, 1).code, 8);

  // Turned by 90 degrees: the middle-right handle lies below the base
  // point, and its cursor is the vertical one.
  Text_Box r;
  r.angle = 90;
  placed(r);
  h = r.HitTest(104, 132, 100, 0);
  EXPECT_EQ(h.code, 5);
  EXPECT_EQ(h.cursor, HitCursor_SizeVertical);

  // Parallelogram: the top handles follow the slant (v = 5).
  Text_Box p;
  p.frameShape = TextBoxFrame_Parallelogram;
  placed(p);
  EXPECT_EQ(p.HitTest(137, 86, 100, 0).code, 3);
  EXPECT_EQ(p.HitTest(127, 107, 100, 0).code, 8);
  EXPECT_EQ(p.HitTest(135, 100, 400, 0).code, 0);  // outside the slanted side
}
