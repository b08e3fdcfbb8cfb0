#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "figures/corner/line_corner.h"
#include "support/recording_surface.h"

namespace {

// Ends (0, 0) and (100, 50), through point (50, 25), N type, not
// re-centring: the route (0,0) (0,25) (100,25) (100,50).
void shape(Line_Corner& c, int32_t width = 1) {
  c.setEnd(1, 0, 0);
  c.setEnd(2, 100, 50);
  c.setThrough(50, 25);
  c.setAutoCentre(false);
  c.setWidth(width);
}

std::vector<std::string> drawn(Line_Corner& c, const DrawContext& ctx = DrawContext{}) {
  RecordingSurface s;
  c.Draw(s, ctx);
  EXPECT_EQ(s.state().pen, Pen{});  // the surface is left as it was
  return s.lines();
}

}  // namespace

TEST(LineCornerHit, EndsThroughPointAndBodyAtZooms) {
  Line_Corner c;
  shape(c);
  for (int32_t zoom : {25, 100}) {
    HitResult h = c.HitTest(7, -7, zoom, 0);
    EXPECT_EQ(h.code, 1) << zoom;
    EXPECT_EQ(h.dx, -7);
    EXPECT_EQ(h.dy, 7);
    EXPECT_EQ(h.distance, 14);
    EXPECT_EQ(h.cursor, HitCursor_LinePoint);
    h = c.HitTest(93, 57, zoom, 0);
    EXPECT_EQ(h.code, 2);
    EXPECT_EQ(h.dx, 7);
    EXPECT_EQ(h.dy, -7);
    EXPECT_EQ(h.distance, 14);
  }
  // From 400 % the end tolerance is one unit; next to the end lies the body.
  HitResult h = c.HitTest(1, 1, 400, 0);
  EXPECT_EQ(h.code, 1);
  EXPECT_EQ(h.distance, 2);
  h = c.HitTest(2, 0, 400, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.distance, 4);
  EXPECT_EQ(c.HitTest(2, 0, 100, 0).code, 1);

  // Through point: within 4 both ways.
  h = c.HitTest(52, 21, 100, 0);
  EXPECT_EQ(h.code, 3);
  EXPECT_EQ(h.dx, -2);
  EXPECT_EQ(h.dy, 4);
  EXPECT_EQ(h.distance, 6);
  EXPECT_EQ(h.cursor, HitCursor_LinePoint);
  EXPECT_EQ(c.HitTest(55, 25, 100, 0).code, -1);  // 5 away: the body under it

  // Body: strictly within width + 4 of a segment.
  h = c.HitTest(4, 10, 100, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.dx, -4);
  EXPECT_EQ(h.dy, -10);
  EXPECT_EQ(h.distance, 16);
  EXPECT_EQ(h.cursor, HitCursor_Move);
  h = c.HitTest(5, 10, 100, 0);
  EXPECT_EQ(h.code, 0);
  EXPECT_EQ(h.cursor, HitCursor_None);
  EXPECT_EQ(c.HitTest(-4, 12, 400, 0).code, -1);
  EXPECT_EQ(c.HitTest(104, 40, 25, 0).code, -1);
  EXPECT_EQ(c.HitTest(70, 29, 100, 0).distance, 16);  // nearest segment wins
  EXPECT_EQ(c.HitTest(70, 30, 100, 0).code, 0);
  // Past the end of a segment by less than the margin.
  EXPECT_EQ(c.HitTest(104, 29, 100, 0).code, -1);

  Line_Corner wide;
  shape(wide, 3);  // margin 7
  EXPECT_EQ(wide.HitTest(6, 12, 100, 0).code, -1);
  EXPECT_EQ(wide.HitTest(7, 12, 100, 0).code, 0);
}

TEST(LineCornerHit, HandlesAtZooms) {
  Line_Corner c;
  shape(c);
  struct Case {
    int32_t zoom, scroll;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {25, 0, {"rect -3,-3,3,3", "rect 22,9,28,15", "rect 9,3,15,9"}},
      {100, 0, {"rect -3,-3,3,3", "rect 97,47,103,53", "rect 47,22,53,28"}},
      {400, 10, {"rect -13,-13,-7,-7", "rect 387,187,393,193", "rect 187,87,193,93"}},
  };
  for (const Case& k : cases) {
    DrawContext ctx;
    ctx.zoomX = ctx.zoomY = k.zoom;
    ctx.scrollX = ctx.scrollY = k.scroll;
    ctx.showLockCrosses = true;  // connectors never show crosses
    RecordingSurface s;
    c.DrawHandles(s, ctx, 0x00FF00, 0);
    EXPECT_EQ(s.lines(), k.want) << k.zoom;
    ASSERT_EQ(s.calls().size(), 3u);
    EXPECT_EQ(s.calls()[0].state.pen.colour, 0xFF00FFu);
    EXPECT_EQ(s.calls()[0].state.brush.colour, 0x00FF00u);
  }
  EXPECT_EQ(c.GetHandlePoint(1), (Point32{0, 0}));
  EXPECT_EQ(c.GetHandlePoint(2), (Point32{100, 50}));
  EXPECT_EQ(c.GetHandlePoint(3), (Point32{50, 25}));
}

TEST(LineCornerDraw, SolidDashedAndHeads) {
  Line_Corner c;
  shape(c);
  EXPECT_EQ(drawn(c), (std::vector<std::string>{"polyline 0,0,0,25", "polyline 0,25,100,25",
                                                "polyline 100,25,100,50"}));
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 200;
  ctx.scrollX = 10;
  c.setWidth(2);
  RecordingSurface s;
  c.Draw(s, ctx);
  ASSERT_EQ(s.calls().size(), 3u);
  EXPECT_EQ(s.lines()[1], "polyline -10,50,190,50");
  EXPECT_EQ(s.calls()[1].state.pen, Pen::solid(0, 4));

  // Dashed, width 3 at 100 %: three dotted lines per segment, offsets -1..1
  // across each segment.
  Line_Corner d;
  shape(d, 3);
  d.setDashed(true);
  RecordingSurface ds;
  d.Draw(ds, DrawContext{});
  const std::vector<std::string> want = {
      "polyline -1,0,-1,25",    "polyline 0,0,0,25",      "polyline 1,0,1,25",
      "polyline 0,24,100,24",   "polyline 0,25,100,25",   "polyline 0,26,100,26",
      "polyline 99,25,99,50",   "polyline 100,25,100,50", "polyline 101,25,101,50"};
  EXPECT_EQ(ds.lines(), want);
  EXPECT_EQ(ds.calls()[0].state.pen.style, PenStyle::Dot);
  EXPECT_EQ(ds.calls()[0].state.backgroundMode, BackgroundMode::Transparent);
  EXPECT_EQ(ds.state().backgroundMode, BackgroundMode::Opaque);

  // A filled circle of radius 4 at end 1, a triangle at end 2 pointing out
  // of the last segment.
  Line_Corner h;
  shape(h);
  h.setColour(0x0000FF);
  h.setArrow(1, 2);
  h.setArrow(2, 3);
  RecordingSurface hs;
  h.Draw(hs, DrawContext{});
  const std::vector<std::string> lines = hs.lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "ellipse -4,-4,4,4");
  EXPECT_EQ(hs.calls()[3].state.brush, Brush::solid(0x0000FF));
  EXPECT_EQ(lines[4], "polygon 100,50,105,39,94,39");
  // The hollow circle keeps the radius and takes a white brush.
  h.setArrow(1, 5);
  RecordingSurface hollow;
  h.Draw(hollow, DrawContext{});
  EXPECT_EQ(hollow.lines()[3], "ellipse -4,-4,4,4");
  EXPECT_EQ(hollow.calls()[3].state.brush, Brush::solid(0xFFFFFF));

  // Selected: the handles follow; a clip box away from it draws nothing.
  h.SetSelected(true);
  RecordingSurface sel;
  h.Draw(sel, DrawContext{});
  EXPECT_EQ(sel.lines().size(), 8u);
  DrawContext far;
  far.clipLeft = 1000;
  far.clipRight = 2000;
  RecordingSurface none;
  h.Draw(none, far);
  EXPECT_TRUE(none.calls().empty());
}

TEST(LineCornerDrag, EndsThroughPointAndWhole) {
  // Re-centring: the through point goes to the middle in x, end 1's y.
  Line_Corner a;
  shape(a);
  a.setAutoCentre(true);
  a.DragHandleTo(2, 200, 80, false, 0, false);
  EXPECT_EQ(a.end(2), (Point32{200, 80}));
  EXPECT_EQ(a.through(), (Point32{100, 0}));
  a.DragHandleTo(2, 100, 4, false, 0, false);  // snaps to end 1's y
  EXPECT_EQ(a.end(2), (Point32{100, 0}));
  a.DragHandleTo(2, 100, 4, true, 0, false);  // no snap
  EXPECT_EQ(a.end(2), (Point32{100, 4}));
  a.DragHandleTo(1, 97, 30, false, 0, false);  // snaps to end 2's x
  EXPECT_EQ(a.end(1), (Point32{100, 30}));
  EXPECT_EQ(a.through(), (Point32{100, 30}));

  // Through point inside both ranges: N type re-centres x, Z type y.
  Line_Corner n;
  shape(n);
  n.DragHandleTo(2, 200, 60, false, 0, false);
  EXPECT_EQ(n.through(), (Point32{100, 25}));
  Line_Corner z;
  shape(z);
  z.setDirection(0);
  z.DragHandleTo(2, 200, 60, false, 0, false);
  EXPECT_EQ(z.through(), (Point32{50, 30}));

  // Right of both ends: the offset from the rightmost end is kept.
  Line_Corner r;
  shape(r);
  r.setThrough(150, 25);
  r.DragHandleTo(2, 120, 80, false, 0, false);
  EXPECT_EQ(r.through(), (Point32{170, 25}));
  r.DragHandleTo(1, 10, 5, false, 0, false);
  EXPECT_EQ(r.through(), (Point32{170, 25}));
  // Below both: the offset from the lower end in y.
  Line_Corner b;
  shape(b);
  b.setThrough(50, 100);
  b.DragHandleTo(1, 20, 30, false, 0, false);
  EXPECT_EQ(b.through(), (Point32{50, 100}));
  b.DragHandleTo(2, 120, 60, false, 0, false);
  EXPECT_EQ(b.through(), (Point32{50, 110}));

  // Handle 3 and the whole connector; DragHandleBy moves an end only.
  Line_Corner w;
  shape(w);
  w.DragHandleTo(3, 7, 8, false, 0, false);
  EXPECT_EQ(w.through(), (Point32{7, 8}));
  w.DragHandleTo(-1, 10, 20, false, 0, false);
  EXPECT_EQ(w.end(1), (Point32{10, 20}));
  EXPECT_EQ(w.end(2), (Point32{110, 70}));
  EXPECT_EQ(w.through(), (Point32{17, 28}));
  w.DragHandleBy(2, 5, -3, true, 0);
  EXPECT_EQ(w.end(2), (Point32{115, 67}));
  EXPECT_EQ(w.through(), (Point32{17, 28}));
  w.DragHandleBy(1, 100, 3, false, 0);  // the end rule snaps it to end 2's x
  EXPECT_EQ(w.end(1), (Point32{115, 23}));
  w.DragHandleTo(4, 0, 0, false, 0, false);
  w.DragHandleBy(3, 1, 1, false, 0);
  EXPECT_EQ(w.through(), (Point32{17, 28}));

  // MoveBy moves all three points and clamps to the model's range.
  w.MoveBy(99999, 0);
  EXPECT_EQ(w.end(2).x, 99999);
  EXPECT_EQ(w.through().x, 99999);
}
