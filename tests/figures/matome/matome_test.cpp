#include "figures/matome/matome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "figures/base/snapshot.h"
#include "support/recording_surface.h"
#include "support/test_support.h"

using testing_support::CatchError;

namespace {

using Points = std::array<Point32, 7>;

void place(Matome& m, Point32 a, Point32 b) { m.SetPoints(a, b); }

}  // namespace

TEST(Matome, ShapeHorizontalVerticalAndReversed) {
  MatomeShape s = Matome_shape({0, 0}, {100, 20});
  EXPECT_TRUE(s.horizontal);
  EXPECT_EQ(s.radius, 10);
  EXPECT_EQ(s.points, (Points{{{0, 20}, {10, 10}, {40, 10}, {50, 0}, {60, 10}, {90, 10}, {100, 20}}}));
  EXPECT_EQ(s.centres[0], (Point32{10, 20}));
  EXPECT_EQ(s.centres[1], (Point32{40, 0}));

  s = Matome_shape({0, 0}, {20, 100});
  EXPECT_FALSE(s.horizontal);
  EXPECT_EQ(s.points, (Points{{{20, 0}, {10, 10}, {10, 40}, {0, 50}, {10, 60}, {10, 90}, {20, 100}}}));
  EXPECT_EQ(s.centres[3], (Point32{20, 90}));

  s = Matome_shape({100, 0}, {0, 20});  // right to left: s = -1
  EXPECT_EQ(s.points, (Points{{{100, 20}, {90, 10}, {60, 10}, {50, 0}, {40, 10}, {10, 10}, {0, 20}}}));
  // Equal spans count as vertical; a flat brace has radius 0.
  EXPECT_FALSE(Matome_shape({0, 0}, {10, 10}).horizontal);
  EXPECT_EQ(Matome_shape({0, 5}, {50, 5}).radius, 0);
}

TEST(Matome, DrawsArcsAndExtendedStraights) {
  Matome m;
  place(m, {0, 0}, {100, 20});
  m.SetWidth(2);
  m.SetColour(0x0000FF);
  RecordingSurface s;
  m.Draw(s, DrawContext{});
  EXPECT_EQ(s.lines(), (std::vector<std::string>{
                           "arc 0,10,20,30,10,10,0,20", "polyline 9,10,41,10",
                           "arc 30,-10,50,10,40,10,50,0", "arc 50,-10,70,10,50,0,60,10",
                           "polyline 59,10,91,10", "arc 80,10,100,30,100,20,90,10"}));
  EXPECT_EQ(s.calls()[0].state.pen, Pen::solid(0x0000FF, 2));
  EXPECT_EQ(s.state().pen, Pen{});

  // 200 % and scrolled; a flat brace draws its straight pieces only.
  s.clear();
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 200;
  ctx.scrollY = 5;
  place(m, {0, 0}, {50, 0});
  m.Draw(s, ctx);
  EXPECT_EQ(s.lines(), (std::vector<std::string>{"polyline -1,-5,51,-5", "polyline 49,-5,101,-5"}));
  EXPECT_EQ(s.calls()[0].state.pen.width, 4);

  s.clear();
  m.SetSelected(true);
  m.Draw(s, DrawContext{});
  EXPECT_EQ(s.calls().size(), 2u + 8u);
  EXPECT_EQ(s.lines()[2], "rect -3,-3,3,3");
}

TEST(Matome, HitTestGridAndBody) {
  Matome m;
  place(m, {0, 0}, {100, 20});
  for (int32_t zoom : {25, 100, 400}) {
    HitResult h = m.HitTest(3, 2, zoom, 0);
    EXPECT_EQ(h.code, 1);
    EXPECT_EQ(h.dx, -3);
    EXPECT_EQ(h.dy, -2);
    EXPECT_EQ(h.distance, 5);
    EXPECT_EQ(h.cursor, HitCursor_SizeDiagonalDown);
    // The centre cell is the body.
    h = m.HitTest(50, 10, zoom, 0);
    EXPECT_EQ(h.code, -1);
    EXPECT_EQ(h.dx, -50);
    EXPECT_EQ(h.dy, -10);
    EXPECT_EQ(h.distance, 0);
    EXPECT_EQ(h.cursor, HitCursor_Move);
  }
  HitResult h = m.HitTest(98, 12, 100, 0);
  EXPECT_EQ(h.code, 5);
  EXPECT_EQ(h.dx, 2);
  EXPECT_EQ(h.dy, -2);
  EXPECT_EQ(h.cursor, HitCursor_SizeHorizontal);
  EXPECT_EQ(m.HitTest(50, 25, 100, 0).code, 7);
  EXPECT_EQ(m.HitTest(50, 25, 100, 0).cursor, HitCursor_SizeVertical);
  EXPECT_EQ(m.HitTest(105, -5, 100, 0).cursor, HitCursor_SizeDiagonalUp);
  EXPECT_EQ(m.HitTest(106, 0, 100, 0).code, 0);
  h = m.HitTest(30, 14, 100, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.distance, 4);
  EXPECT_EQ(m.HitTest(30, 16, 100, 0).code, 0);
  // Column x1 reaches x 5; beyond it the body range [5, 95] takes over.
  EXPECT_EQ(m.HitTest(5, 14, 100, 0).code, 4);
  EXPECT_EQ(m.HitTest(6, 14, 100, 0).code, -1);
  place(m, {0, 0}, {100, 40});  // r 20: [15, 85]
  EXPECT_EQ(m.HitTest(14, 24, 100, 0).code, 0);
  EXPECT_EQ(m.HitTest(15, 24, 100, 0).code, -1);

  place(m, {0, 0}, {20, 100});  // vertical: along the middle column
  EXPECT_EQ(m.HitTest(10, 30, 100, 0).code, -1);
  EXPECT_EQ(m.HitTest(16, 30, 100, 0).code, 0);
  EXPECT_EQ(m.HitTest(10, 96, 100, 0).code, 7);
}

TEST(Matome, DragEdgesExtentsAndMinimumSize) {
  Matome m;
  place(m, {0, 0}, {100, 20});
  EXPECT_EQ(m.GetHandlePoint(2), (Point32{50, 0}));
  EXPECT_EQ(m.GetHandlePoint(5), (Point32{100, 10}));
  EXPECT_EQ(m.GetHandlePoint(9), (Point32{}));
  m.DragHandleTo(2, 77, -4, false, 0, false);
  EXPECT_EQ(m.point1(), (Point32{0, -4}));
  m.DragHandleTo(3, 110, -6, false, 0, false);
  EXPECT_EQ(m.point2(), (Point32{110, 20}));
  EXPECT_EQ(m.point1(), (Point32{0, -6}));
  m.DragHandleTo(6, 5, 30, false, 0, false);
  EXPECT_EQ(m.point1(), (Point32{5, -6}));
  EXPECT_EQ(m.point2(), (Point32{110, 30}));
  m.DragHandleTo(-1, 0, 0, false, 0, false);
  EXPECT_EQ(m.point1(), (Point32{0, 0}));
  EXPECT_EQ(m.point2(), (Point32{105, 36}));
  m.DragHandleTo(8, 300000, 20, false, 0, false);
  EXPECT_EQ(m.point2(), (Point32{99999, 20}));  // clamped
  m.DragHandleTo(8, 100, 20, false, 0, false);

  EXPECT_EQ(m.GetEdge(1), 100);
  EXPECT_EQ(m.GetEdge(5), 10);
  m.SetEdge(4, 60);
  EXPECT_EQ(m.point1(), (Point32{10, 0}));
  EXPECT_EQ(CatchError([&] { m.GetEdge(-1); }).code, Errors_Unofficial);
  EXPECT_EQ(CatchError([&] { m.SetEdge(7, 0); }).code, Errors_Unofficial);

  // SetExtent keeps the lower edge: the same size is no move.
  EXPECT_EQ(m.GetExtent(false), 101);
  m.SetExtent(false, 101);
  EXPECT_EQ(m.point1(), (Point32{10, 0}));
  EXPECT_EQ(m.point2(), (Point32{110, 20}));
  m.SetExtent(true, 5);
  EXPECT_EQ(m.point2().y, 4);
  place(m, {100, 0}, {0, 20});
  m.SetExtent(false, 51);
  EXPECT_EQ(m.point1().x, 50);
  EXPECT_EQ(m.point2().x, 0);

  EXPECT_TRUE(m.IntersectsRect({50, 20, 5, 5}));
  EXPECT_FALSE(m.IntersectsRect({51, 0, 5, 5}));
  EXPECT_FALSE(m.IntersectsRect({0, 21, 5, 5}));

  // A single click: a vertical brace 32 high.
  place(m, {10, 10}, {14, 6});
  m.EnsureMinimumSize();
  EXPECT_EQ(m.point2(), (Point32{14, 42}));
  EXPECT_FALSE(m.Shape().horizontal);
  place(m, {10, 10}, {15, 10});
  m.EnsureMinimumSize();
  EXPECT_EQ(m.point2(), (Point32{15, 10}));
}

TEST(Matome, PropertiesCopiesAndSnapshots) {
  Matome m;
  place(m, {1, 2}, {300, 40});
  m.SetNumber(12);
  m.SetWidth(3);
  m.SetColour(0x445566);
  EXPECT_EQ(m.GetKind(), FigureKind_Matome);
  EXPECT_EQ(m.GetKindNameEnglish(), "Pack Line");
  EXPECT_EQ(m.GetKindNameJapanese(), testing_support::Sjis(u8"まとめ線"));
  EXPECT_EQ(m.GetPropertyCount(), 6);
  EXPECT_EQ(m.GetProperty(4, true, 256, "").name, testing_support::Sjis(u8"線幅"));
  EXPECT_EQ(m.GetProperty(5, false, 256, "").value, "rgb(102,85,68)");
  EXPECT_EQ(m.GetProperty(2, false, 2, "").value, "3");  // cut to the capacity
  EXPECT_EQ(m.GetProperty(6, false, 256, "").kind, PropertyRowKind_ReadOnly);

  auto c = m.Clone(nullptr);
  EXPECT_TRUE(c->Equals(m, 0));
  c->SetProperty(1, "-7", "");
  EXPECT_FALSE(c->Equals(m, 0));
  c->SetProperty(4, "-1", "");
  EXPECT_EQ(dynamic_cast<Matome&>(*c).width(), 1);
  c->SetProperty(5, "#ff0000", "");
  EXPECT_EQ(dynamic_cast<Matome&>(*c).colour(), 0x0000FFu);
  c->CopyStyleFrom(m, 0);
  EXPECT_EQ(dynamic_cast<Matome&>(*c).colour(), 0x445566u);
  EXPECT_EQ(CatchError([&] { c->CopyFrom(*c->Clone(nullptr), nullptr); }).code, 0);

  const std::vector<uint8_t> snap = Snapshot_make(m);
  EXPECT_EQ(snap.size(), 6u + 28u);
  Matome back;
  Snapshot_restore(back, snap);
  EXPECT_TRUE(back.Equals(m, 5));
  std::vector<uint8_t> bad = snap;
  bad[6 + 5 * 4] = 0;  // width 0
  EXPECT_EQ(CatchError([&] { Snapshot_restore(back, bad); }).code, Errors_Unofficial);
  bad = snap;
  bad.push_back(0);
  EXPECT_EQ(CatchError([&] { Snapshot_restore(back, bad); }).code, Errors_Unofficial);
  EXPECT_TRUE(back.Equals(m, 0));
}
