#include <gtest/gtest.h>

#include <cmath>

#include "figures/rect/rect_ex.h"
#include "support/test_support.h"

namespace {

using testing_support::CatchError;

Rect_Ex& box(Rect_Ex& r, int32_t x, int32_t y, int32_t w, int32_t h, int32_t shape = 1) {
  r.x = x;
  r.y = y;
  r.width = w;
  r.height = h;
  r.shape = shape;
  return r;
}

TEST(RectExGeometry, HandlePointsEdgesAndExtents) {
  Rect_Ex r;
  box(r, 10, 20, 31, 41);
  EXPECT_EQ(r.GetHandlePoint(1), (Point32{10, 20}));
  EXPECT_EQ(r.GetHandlePoint(2), (Point32{25, 20}));
  EXPECT_EQ(r.GetHandlePoint(5), (Point32{41, 40}));
  EXPECT_EQ(r.GetHandlePoint(8), (Point32{41, 61}));
  EXPECT_EQ(r.GetHandlePoint(9), (Point32{}));
  EXPECT_EQ(r.GetEdge(0), 10);
  EXPECT_EQ(r.GetEdge(1), 41);
  EXPECT_EQ(r.GetEdge(3), 61);
  EXPECT_EQ(r.GetEdge(4), 25);
  EXPECT_EQ(r.GetEdge(5), 40);
  EXPECT_EQ(r.GetEdge(7), 20);
  EXPECT_EQ(CatchError([&] { r.GetEdge(8); }).code, Errors_Unofficial);
  EXPECT_EQ(CatchError([&] { r.SetEdge(6, 0); }).code, Errors_Unofficial);
  r.SetEdge(1, 100);
  EXPECT_EQ(r.x, 69);
  r.SetEdge(5, 100);
  EXPECT_EQ(r.y, 80);
  r.SetExtent(true, 0);
  EXPECT_EQ(r.height, 1);
  r.SetExtent(false, 50);
  EXPECT_EQ(r.GetExtent(false), 50);
  EXPECT_EQ(r.GetBounds(), (Rect32{69, 80, 50, 1}));
  EXPECT_TRUE(r.IntersectsRect({118, 80, 5, 5}));
  EXPECT_FALSE(r.IntersectsRect({119, 80, 5, 5}));
  r.angle = 45;  // rotation is ignored by the overlap test
  EXPECT_FALSE(r.IntersectsRect({69, 81, 5, 5}));

  Rect_Ex a, b;
  box(a, 0, 0, 2, 1).EnsureMinimumSize();
  EXPECT_EQ(a.width, 32);
  EXPECT_EQ(a.height, 20);
  box(b, 0, 0, 3, 1).EnsureMinimumSize();
  EXPECT_EQ(b.width, 3);
  EXPECT_EQ(b.height, 1);
}

TEST(RectExGeometry, HitTestBandsAtThreeZooms) {
  Rect_Ex r;
  box(r, 100, 100, 200, 100);
  // 100 %: D = 8, C = 2.
  HitResult h = r.HitTest(301, 150, 100, 0);
  EXPECT_EQ(h.code, 5);
  EXPECT_EQ(h.cursor, HitCursor_SizeHorizontal);
  EXPECT_EQ(h.dx, -201);
  EXPECT_EQ(h.dy, -50);
  EXPECT_EQ(h.distance, 251);
  h = r.HitTest(200, 200, 100, 0);
  EXPECT_EQ(h.code, 7);
  EXPECT_EQ(h.cursor, HitCursor_SizeVertical);
  EXPECT_EQ(r.HitTest(303, 203, 100, 0).code, 8);
  EXPECT_EQ(r.HitTest(98, 98, 100, 0).code, 1);
  EXPECT_EQ(r.HitTest(98, 98, 100, 0).cursor, HitCursor_SizeDiagonalDown);
  EXPECT_EQ(r.HitTest(302, 98, 100, 0).code, 3);
  EXPECT_EQ(r.HitTest(302, 98, 100, 0).cursor, HitCursor_SizeDiagonalUp);
  h = r.HitTest(150, 160, 100, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.cursor, HitCursor_Move);
  EXPECT_EQ(h.dx, -50);
  EXPECT_EQ(h.dy, -60);
  EXPECT_EQ(h.distance, 0);
  EXPECT_EQ(r.HitTest(310, 150, 100, 0).code, 0);  // 9 beyond the right edge
  EXPECT_EQ(r.HitTest(50, 50, 100, 0).cursor, HitCursor_None);
  // 25 %: D = 32, C = 8; a score must stay below 17.
  EXPECT_EQ(r.HitTest(310, 150, 25, 0).code, 5);
  EXPECT_EQ(r.HitTest(320, 150, 25, 0).code, 0);
  EXPECT_EQ(r.HitTest(294, 150, 25, 0).code, 5);   // C = 8 inside
  EXPECT_EQ(r.HitTest(290, 150, 25, 0).code, -1);
  // 400 %: D = 2, C = 1.
  EXPECT_EQ(r.HitTest(303, 150, 400, 0).code, 5);
  EXPECT_EQ(r.HitTest(304, 150, 400, 0).code, 0);
  EXPECT_EQ(r.HitTest(300, 150, 400, 0).code, 5);
  EXPECT_EQ(r.HitTest(299, 150, 400, 0).code, -1);
  // Mode 1: move cursor for handles, none for the body.
  EXPECT_EQ(r.HitTest(301, 150, 100, 1).cursor, HitCursor_Move);
  EXPECT_EQ(r.HitTest(150, 150, 100, 1).cursor, HitCursor_None);
  // Zoom 0 is taken as 1 (no division by zero): D = 800, the box is small.
  EXPECT_EQ(r.HitTest(150, 150, 0, 0).code, 8);
}

TEST(RectExGeometry, HitTestSmallLockedAndRotated) {
  Rect_Ex s;
  box(s, 0, 0, 1, 1);
  EXPECT_EQ(s.HitTest(2, 2, 100, 0).code, 8);
  EXPECT_EQ(s.HitTest(2, 2, 100, 0).cursor, HitCursor_SizeDiagonalDown);
  EXPECT_EQ(s.HitTest(-1, -1, 100, 0).code, 0);  // no body hit for a tiny box
  // At 25 % (D = 32) a 20 x 20 box is small too.
  Rect_Ex t;
  box(t, 0, 0, 20, 20);
  EXPECT_EQ(t.HitTest(10, 10, 25, 0).code, 0);
  EXPECT_EQ(t.HitTest(10, 10, 100, 0).code, -1);

  Rect_Ex l;
  box(l, 100, 100, 200, 100);
  l.SetLocked(true);
  EXPECT_EQ(l.HitTest(301, 150, 100, 0).code, 0);
  const HitResult lh = l.HitTest(300, 200, 100, 0);
  EXPECT_EQ(lh.code, -1);
  EXPECT_EQ(lh.cursor, HitCursor_Move);

  Rect_Ex r;
  box(r, 100, 100, 200, 100);
  r.angle = 90;  // the middle-right handle lies below the centre on screen
  const HitResult h = r.HitTest(200, 251, 100, 0);
  EXPECT_EQ(h.code, 5);
  EXPECT_EQ(h.cursor, HitCursor_SizeVertical);
  r.angle = 450;  // the same angle once normalised
  EXPECT_EQ(r.HitTest(200, 251, 100, 0).cursor, HitCursor_SizeVertical);
  r.angle = 180;
  EXPECT_EQ(r.HitTest(99, 150, 100, 0).cursor, HitCursor_SizeHorizontal);
}

TEST(RectExGeometry, DraggingWithoutAndWithTheSquareFlag) {
  Rect_Ex r;
  box(r, 0, 0, 10, 10).DragHandleTo(8, 5, 5, false, 0, false);
  EXPECT_EQ(r.width, 5);
  EXPECT_EQ(r.height, 5);
  box(r, 0, 0, 10, 10).DragHandleTo(1, 20, 20, false, 0, false);
  EXPECT_EQ(r.x, 9);
  EXPECT_EQ(r.width, 1);
  EXPECT_EQ(r.y, 9);
  EXPECT_EQ(r.height, 1);
  box(r, 0, 0, 10, 10).DragHandleTo(3, 30, -5, false, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{0, -5, 30, 15}));
  box(r, 0, 0, 10, 10).DragHandleTo(6, -5, -20, false, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{-5, 0, 15, 1}));
  box(r, 0, 0, 10, 10).DragHandleTo(-1, 40, 50, false, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{40, 50, 10, 10}));
  box(r, 0, 0, 10, 10).DragHandleTo(0, 40, 50, false, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{0, 0, 10, 10}));

  box(r, 0, 0, 10, 10).DragHandleTo(8, 29, 9, true, 0, false);
  EXPECT_EQ(r.width, 30);
  EXPECT_EQ(r.height, 30);
  box(r, 0, 0, 10, 10).DragHandleTo(1, -10, 0, true, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{-10, -10, 20, 20}));  // bottom kept
  box(r, 0, 0, 10, 20).DragHandleTo(5, 29, 0, true, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{0, -5, 30, 30}));  // vertical centre kept
  box(r, 0, 0, 20, 10).DragHandleTo(7, 0, 39, true, 0, false);
  EXPECT_EQ(r.GetBounds(), (Rect32{-10, 0, 40, 40}));
  // Images never square up.
  box(r, 0, 0, 10, 10, RectShape_Image).DragHandleTo(5, 29, 9, true, 0, false);
  EXPECT_EQ(r.height, 10);
  EXPECT_FALSE(r.naturalSizeLock);
  // Coordinates stay in the model's range.
  box(r, 0, 0, 10, 10).DragHandleTo(-1, INT32_MAX, INT32_MIN, false, 0, false);
  EXPECT_EQ(r.x, Figure_coordMax);
  EXPECT_EQ(r.y, -Figure_coordMax);
}

Point32 onCircle(double degrees) {
  const double a = degrees * Figure_twoPi / 360.0;
  return {static_cast<int32_t>(std::lround(50 + 100 * std::cos(a))),
          static_cast<int32_t>(std::lround(50 + 100 * std::sin(a)))};
}

TEST(RectExGeometry, RotationSnapsToRightAngles) {
  Rect_Ex r;
  box(r, 0, 0, 100, 100);
  Point32 p = onCircle(95);
  r.DragHandleTo(5, p.x, p.y, false, 0, true);
  EXPECT_EQ(r.angle, 90);
  r.DragHandleTo(5, p.x, p.y, true, 0, true);
  EXPECT_EQ(r.angle, 95);
  p = onCircle(98);
  r.DragHandleTo(5, p.x, p.y, false, 0, true);
  EXPECT_EQ(r.angle, 98);
  p = onCircle(85);
  r.DragHandleTo(5, p.x, p.y, false, 0, true);
  EXPECT_EQ(r.angle, 90);
  r.DragHandleTo(42, p.x + 100, p.y + 100, true, 0, true);  // unknown handles act as 8
  EXPECT_EQ(r.GetBounds(), (Rect32{0, 0, 100, 100}));
}

TEST(RectExGeometry, RotatedResizeKeepsTheAnchorOnScreen) {
  for (int32_t handle : {1, 3, 5, 6, 8}) {
    Rect_Ex r;
    box(r, 0, 0, 100, 50);
    r.angle = 90;
    const Point32 anchorBefore = handle == 3   ? Rect_rotateRound(0, 50, 50, 25, 90)
                                 : handle == 6 ? Rect_rotateRound(100, 0, 50, 25, 90)
                                 : handle == 1 ? Rect_rotateRound(100, 50, 50, 25, 90)
                                               : Rect_rotateRound(0, 0, 50, 25, 90);
    r.DragHandleTo(handle, 60, 80, false, 0, false);
    const double cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    const int32_t ax = handle == 1 || handle == 6 ? r.x + r.width : r.x;
    const int32_t ay = handle == 1 || handle == 3 ? r.y + r.height : r.y;
    const Point32 now = Rect_rotateRound(ax, ay, cx, cy, 90);
    EXPECT_NEAR(now.x, anchorBefore.x, 1) << handle;
    EXPECT_NEAR(now.y, anchorBefore.y, 1) << handle;
  }
  // Handle -1 on a rotated box puts its rotated top-left corner at the point.
  Rect_Ex m;
  box(m, 0, 0, 100, 50);
  m.angle = 90;
  m.DragHandleTo(-1, 200, 300, false, 0, false);
  const Point32 tl = Rect_rotateRound(m.x, m.y, m.x + 50, m.y + 25, 90);
  EXPECT_NEAR(tl.x, 200, 1);
  EXPECT_NEAR(tl.y, 300, 1);
}

TEST(RectExGeometry, ImageDragKeepsAspectAndSnapsToNaturalSize) {
  Rect_Ex r;
  box(r, 0, 0, 50, 40, RectShape_Image);
  r.naturalWidth = 100;
  r.naturalHeight = 80;
  r.naturalSizeLock = true;
  r.DragHandleTo(8, 60, 5, false, 0, false);
  EXPECT_EQ(r.width, 60);
  EXPECT_EQ(r.height, 48);
  EXPECT_FALSE(r.naturalSizeLock);
  r.DragHandleTo(5, 97, 0, false, 0, false);
  EXPECT_EQ(r.width, 100);
  r.DragHandleTo(5, 95, 0, false, 0, false);
  EXPECT_EQ(r.width, 95);
  r.DragHandleTo(7, 0, 84, true, 0, false);
  EXPECT_EQ(r.height, 80);
  // A natural size of 0 (from a foreign snapshot) divides by 1.
  r.naturalWidth = 0;
  r.naturalHeight = 0;
  r.DragHandleTo(8, 30, 5, false, 0, false);
  EXPECT_EQ(r.width, 30);
  EXPECT_EQ(r.height, 30);
}

}  // namespace
