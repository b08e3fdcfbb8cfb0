#include "figures/polygon/polygon_ex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "figures/base/snapshot.h"
#include "support/recording_surface.h"
#include "support/test_support.h"
#include "figures/base/test_kinds.h"

namespace {

using testing_support::CatchError;

void setUp(Polygon_Ex& p, std::vector<Point32> pts, int32_t shape = PolygonShape_Polygon) {
  p.setShape(shape);
  p.setPoints(pts);
}

// Every field away from its default.
void fillPolygon(Polygon_Ex& p) {
  setUp(p, {{10, 20}, {30, 40}, {50, 10}});
  p.SetNumber(7);
  p.setAngle(30);
  p.setWidth(3);
  p.setColour(0x112233);
  p.setDashed(true);
  p.setArrows(2, 5);
  p.setFillColour(0x445566);
  p.setOpacity(40);
  p.setStyleReserve(9);
  p.SetUrl("/notes/a.svg");
  p.setTarget("_blank");
  p.setAfterOpen(3);
  p.SetId("poly");
}

}  // namespace

TEST(PolygonEx, KindDefaultsAndInertOperations) {
  Polygon_Ex p;
  EXPECT_EQ(FigureKind_Polygon, p.GetKind());
  EXPECT_EQ("図形", p.GetKindNameJapanese());
  EXPECT_EQ("Figure", p.GetKindNameEnglish());
  EXPECT_EQ(1, p.width());
  EXPECT_EQ(0xFFFFFFu, p.fillColour());
  EXPECT_EQ(100, p.opacity());
  EXPECT_EQ(10, p.GetPropertyCount());

  Polygon_Ex q;
  fillPolygon(q);
  EXPECT_EQ("/notes/a.svg", q.GetUrl());
  EXPECT_EQ("_blank", q.GetTarget());
  EXPECT_EQ("poly", q.GetId());
  EXPECT_EQ(0, q.GetAfterClick());
  EXPECT_EQ(12 + 6, q.GetPropertyCount());
  EXPECT_FALSE(q.IntersectsRect({0, 0, 100, 100}));
  for (int which = 0; which < 8; ++which) EXPECT_EQ(0, q.GetEdge(which));
  EXPECT_EQ(102, CatchError([&] { q.GetEdge(8); }).code);
  EXPECT_EQ((Rect32{0, 0, 0, 0}), q.GetBounds());
  EXPECT_EQ(0, q.GetExtent(true));
  EXPECT_EQ((Point32{0, 0}), q.GetHandlePoint(1));
  Polygon_Ex before;
  fillPolygon(before);
  q.SetEdge(0, 100);
  q.SetExtent(false, 5);
  for (int row = 0; row < q.GetPropertyCount(); ++row) q.SetProperty(row, "1", "");
  q.SetTarget("other");  // the figure interface has no target setter for this kind
  EXPECT_TRUE(q.Equals(before, 5));

  // Setters keep values in range.
  p.setPoints(std::vector<Point32>(Polygon_maxPoints + 5, Point32{200000, -200000}));
  EXPECT_EQ(Polygon_maxPoints, p.points().size());
  EXPECT_EQ((Point32{99999, -99999}), p.points()[0]);
  p.setOpacity(150);
  p.setWidth(0);
  p.setShape(2);
  p.setArrows(8, -1);
  p.setAfterOpen(4);
  EXPECT_EQ(100, p.opacity());
  EXPECT_EQ(1, p.width());
  EXPECT_EQ(PolygonShape_Polyline, p.shape());
  EXPECT_EQ(0, p.arrow1());
  EXPECT_EQ(0, p.afterOpen());
}

TEST(PolygonEx, PropertyRowsInBothLanguages) {
  Polygon_Ex p;
  fillPolygon(p);
  p.setPoints(std::vector<Point32>{{-5, 6}, {70, -80}});
  ASSERT_EQ(16, p.GetPropertyCount());
  struct Row {
    const char* ja;
    const char* en;
    PropertyRowKind kind;
    const char* value;
  } rows[] = {
      {"形状", "Shape", PropertyRowKind_Choice, "1"},
      {"id", "id", PropertyRowKind_Text, "poly"},
      {"URL/onclick", "URL/onclick", PropertyRowKind_Url, "/notes/a.svg"},
      {"target", "target", PropertyRowKind_TargetWindow, "_blank"},
      {"開いた後", "After Open", PropertyRowKind_Choice, "3"},
      {"線幅", "Line Width", PropertyRowKind_Integer, "3"},
      {"線の色", "Color", PropertyRowKind_Colour, "rgb(51,34,17)"},
      {"破線", "Dashed Line", PropertyRowKind_OnOff, "1"},
      {"頂点１の形状", "Shape of Point1", PropertyRowKind_Choice, "2"},
      {"頂点２の形状", "Shape of Point2", PropertyRowKind_Choice, "5"},
      {"塗りつぶし色", "Fill Color", PropertyRowKind_Colour, "rgb(102,85,68)"},
      {"濃さ（非透過％）", "Transparent %", PropertyRowKind_Integer, "40"},
      {"x[0]", "x[0]", PropertyRowKind_Integer, "-5"},
      {"y[0]", "y[0]", PropertyRowKind_Integer, "6"},
      {"x[1]", "x[1]", PropertyRowKind_Integer, "70"},
      {"y[1]", "y[1]", PropertyRowKind_Integer, "-80"},
  };
  for (int i = 0; i < 16; ++i) {
    for (bool ja : {true, false}) {
      PropertyRow r = p.GetProperty(i, ja, 1024, "");
      EXPECT_EQ(ja ? rows[i].ja : rows[i].en, r.name) << i;
      EXPECT_EQ(rows[i].kind, r.kind) << i;
      EXPECT_EQ(rows[i].value, r.value) << i;
    }
  }
  EXPECT_EQ(1, p.GetProperty(5, true, 1024, "").extra.minimum);
  EXPECT_EQ(INT32_MAX, p.GetProperty(5, true, 1024, "").extra.maximum);
  EXPECT_EQ(0, p.GetProperty(11, true, 1024, "").extra.minimum);
  EXPECT_EQ(100, p.GetProperty(11, true, 1024, "").extra.maximum);
  EXPECT_EQ(INT32_MIN, p.GetProperty(12, true, 1024, "").extra.minimum);
  EXPECT_EQ(INT32_MAX, p.GetProperty(15, true, 1024, "").extra.maximum);
  EXPECT_EQ((std::vector<std::string>{"連続線", "多角形"}),
            p.GetProperty(0, true, 1024, "").extra.choices);
  EXPECT_EQ((std::vector<std::string>{"Polyline", "Polygon"}),
            p.GetProperty(0, false, 1024, "").extra.choices);
  EXPECT_EQ((std::vector<std::string>{"何もしない", "閉じる", "ビューアモード", "ビューア & 閉じる"}),
            p.GetProperty(4, true, 1024, "").extra.choices);
  EXPECT_EQ((std::vector<std::string>{"Do Nothing", "Close", "Viewer Mode", "Viewer & Close"}),
            p.GetProperty(4, false, 1024, "").extra.choices);
  EXPECT_EQ((std::vector<std::string>{"矢印なし", "→ 矢印", "● 丸", "▲ 三角", "◆ ひし形",
                                      "○ 丸抜き", "△ 三角抜き", "◇ ひし形抜き"}),
            p.GetProperty(9, true, 1024, "").extra.choices);
  EXPECT_EQ((std::vector<std::string>{"No Arrow", "-> Arrow", "   Circle", "   Triangle",
                                      "   Diamond", "O  Circle(Hole)", "   Triangle(Hole)",
                                      "   Diamond(Hole)"}),
            p.GetProperty(8, false, 1024, "").extra.choices);
  EXPECT_EQ("すべてのファイル (*.*)|*.*||", p.GetProperty(2, true, 1024, "").extra.filter);
  EXPECT_EQ("All Files (*.*)|*.*||", p.GetProperty(2, false, 1024, "").extra.filter);
  EXPECT_EQ("a.svg", p.GetProperty(2, true, 1024, "/notes").value);
  EXPECT_EQ(PropertyRowKind_ReadOnly, p.GetProperty(16, true, 1024, "").kind);
  EXPECT_EQ(PropertyRowKind_ReadOnly, p.GetProperty(-1, true, 1024, "").kind);
  p.SetId("\x95\x5C\x95\x5C");  // 表表: a 4-byte buffer holds one character
  EXPECT_EQ("\x95\x5C", p.GetProperty(1, true, 4, "").value);

  // A polyline has no fill rows: row 10 is the first vertex's x.
  p.setShape(PolygonShape_Polyline);
  ASSERT_EQ(14, p.GetPropertyCount());
  EXPECT_EQ("x[0]", p.GetProperty(10, false, 1024, "").name);
  EXPECT_EQ("-5", p.GetProperty(10, false, 1024, "").value);
  EXPECT_EQ("y[1]", p.GetProperty(13, true, 1024, "").name);
  EXPECT_EQ(PropertyRowKind_ReadOnly, p.GetProperty(14, true, 1024, "").kind);
}

TEST(PolygonEx, DrawsAnOpenPathAtEveryZoom) {
  Polygon_Ex one;
  setUp(one, {{10, 10}});
  RecordingSurface s;
  DrawContext ctx;
  one.Draw(s, ctx);
  EXPECT_TRUE(s.calls().empty());

  Polygon_Ex p;
  setUp(p, {{10, 20}, {30, 40}, {50, 10}});
  p.setWidth(3);
  p.setColour(0x0000FF);
  struct Case {
    int zoom, sx, sy;
    std::vector<std::string> lines;
    int penWidth;
  } cases[] = {
      {100, 0, 0, {"polyline 10,20,30,40", "polyline 30,40,50,10", "pixel 50,10,255"}, 3},
      {25, 0, 0, {"polyline 2,5,7,10", "polyline 7,10,12,2", "pixel 12,2,255"}, 0},
      {400, 10, -5, {"polyline 30,85,110,165", "polyline 110,165,190,45", "pixel 190,45,255"}, 12},
  };
  for (const Case& k : cases) {
    ctx.zoomX = ctx.zoomY = k.zoom;
    ctx.scrollX = k.sx;
    ctx.scrollY = k.sy;
    s.clear();
    s.setPen(Pen::solid(0x777777, 9));
    p.Draw(s, ctx);
    EXPECT_EQ(k.lines, s.lines()) << k.zoom;  // two strokes: not closed, not filled
    EXPECT_EQ(Pen::solid(0x0000FF, k.penWidth), s.calls()[0].state.pen) << k.zoom;
    EXPECT_EQ(Pen::solid(0x777777, 9), s.state().pen);
  }
  // Dashed: a dotted one-pixel pen whatever the width and zoom.
  p.setDashed(true);
  s.clear();
  p.Draw(s, ctx);
  EXPECT_EQ((Pen{PenStyle::Dot, 1, 0x0000FF}), s.calls()[0].state.pen);

  // Outside the repaint area nothing is drawn.
  ctx = DrawContext{};
  ctx.clipLeft = 100;
  s.clear();
  p.Draw(s, ctx);
  EXPECT_TRUE(s.calls().empty());

  // Selected: the handles follow, one square per vertex.
  ctx = DrawContext{};
  p.SetSelected(true);
  s.clear();
  p.Draw(s, ctx);
  ASSERT_EQ(6u, s.calls().size());
  EXPECT_EQ("rect 7,17,13,23", RecordingSurface::describe(s.calls()[3], false));
  EXPECT_EQ("rect 47,7,53,13", RecordingSurface::describe(s.calls()[5], false));
  EXPECT_EQ(Brush::solid(SystemColour_highlight ^ 0xFFFFFF), s.calls()[3].state.brush);
  ctx.showHandles = false;
  s.clear();
  p.Draw(s, ctx);
  EXPECT_EQ(3u, s.calls().size());
  ctx.zoomX = ctx.zoomY = 400;
  s.clear();
  p.DrawHandles(s, ctx, 0x00FF00, 0);
  EXPECT_EQ((std::vector<std::string>{"rect 37,77,43,83", "rect 117,157,123,163",
                                      "rect 197,37,203,43"}),
            s.lines());
}

TEST(PolygonEx, HitTestNeverHitsButShowsThePointCursor) {
  Polygon_Ex p;
  setUp(p, {{10, 20}, {100, 100}, {200, 20}});
  struct Case {
    int zoom, x, y, cursor;
  } cases[] = {
      {100, 107, 93, HitCursor_LinePoint},  // tolerance 7
      {100, 108, 100, HitCursor_None},
      {25, 128, 72, HitCursor_LinePoint},  // tolerance 28
      {25, 129, 100, HitCursor_None},
      {400, 201, 21, HitCursor_LinePoint},  // tolerance 1
      {400, 202, 20, HitCursor_None},
      {100, 10, 20, HitCursor_None},  // the first vertex does not count
      {0, 100, 100, HitCursor_LinePoint},
  };
  for (const Case& k : cases) {
    HitResult h = p.HitTest(k.x, k.y, k.zoom, 0);
    EXPECT_EQ(0, h.code) << k.x;
    EXPECT_EQ(0, h.dx);
    EXPECT_EQ(0, h.dy);
    EXPECT_EQ(k.cursor, h.cursor) << k.zoom << " " << k.x;
  }
}

TEST(PolygonEx, MovingAndDraggingVerticesAndEdges) {
  Polygon_Ex p;
  setUp(p, {{0, 0}, {10, 0}, {10, 10}});
  p.MoveBy(5, -5);
  EXPECT_EQ((std::vector<Point32>{{5, -5}, {15, -5}, {15, 5}}), p.points());
  p.MoveBy(INT32_MAX, 0);
  EXPECT_EQ(99999, p.points()[0].x);

  p.setPoints(std::vector<Point32>{{0, 0}, {10, 0}, {10, 10}});
  p.DragHandleTo(4, 20, 5, false, 0, false);  // edge of vertices 1 and 2
  EXPECT_EQ((std::vector<Point32>{{0, 0}, {20, 5}, {20, 15}}), p.points());
  p.DragHandleTo(1, -3, -4, false, 0, false);  // vertex 0
  p.DragHandleTo(5, 7, 8, false, 0, false);    // vertex 2
  EXPECT_EQ((std::vector<Point32>{{-3, -4}, {20, 5}, {7, 8}}), p.points());
  p.DragHandleTo(2, 0, 0, false, 0, false);  // edge 0-1 moves by (3, 4)
  EXPECT_EQ((std::vector<Point32>{{0, 0}, {23, 9}, {7, 8}}), p.points());
  // Handles naming no vertex or edge change nothing.
  const std::vector<Point32> kept = p.points();
  for (int h : {0, 6, 7, 8, 100, -2, INT32_MIN, INT32_MAX}) {
    p.DragHandleTo(h, 50, 50, false, 0, false);
    EXPECT_EQ(kept, p.points()) << h;
  }
  p.DragHandleTo(-1, 10, 20, false, 0, false);  // the whole figure
  EXPECT_EQ((std::vector<Point32>{{10, 20}, {33, 29}, {17, 28}}), p.points());
  Polygon_Ex empty;
  empty.DragHandleTo(-1, 1, 1, false, 0, false);
  empty.DragHandleTo(1, 1, 1, false, 0, false);
  EXPECT_TRUE(empty.points().empty());
}

TEST(PolygonEx, CopyEqualsCloneAndSnapshotCoverEveryField) {
  Polygon_Ex a;
  fillPolygon(a);
  Polygon_Ex b;
  b.CopyFrom(a, nullptr);
  EXPECT_TRUE(b.Equals(a, 0));
  EXPECT_EQ(7, b.GetNumber());
  EXPECT_EQ(a.points(), b.points());
  std::unique_ptr<CadPrim> clone = a.Clone(nullptr);
  EXPECT_TRUE(clone->Equals(a, 5));
  EXPECT_EQ(3u, static_cast<Polygon_Ex&>(*clone).points().size());

  using Change = void (*)(Polygon_Ex&);
  const Change changes[] = {
      [](Polygon_Ex& p) { p.SetNumber(8); },
      [](Polygon_Ex& p) { p.setShape(0); },
      [](Polygon_Ex& p) { p.setPoints(std::vector<Point32>{{10, 20}, {30, 40}, {50, 11}}); },
      [](Polygon_Ex& p) { p.setPoints(std::vector<Point32>{{10, 20}, {30, 40}}); },
      [](Polygon_Ex& p) { p.setAngle(31); },
      [](Polygon_Ex& p) { p.setWidth(4); },
      [](Polygon_Ex& p) { p.setColour(0x112234); },
      [](Polygon_Ex& p) { p.setDashed(false); },
      [](Polygon_Ex& p) { p.setArrows(3, 5); },
      [](Polygon_Ex& p) { p.setArrows(2, 6); },
      [](Polygon_Ex& p) { p.setFillColour(0); },
      [](Polygon_Ex& p) { p.setOpacity(41); },
      [](Polygon_Ex& p) { p.setStyleReserve(10); },
      [](Polygon_Ex& p) { p.SetUrl("/notes/b.svg"); },
      [](Polygon_Ex& p) { p.setTarget("_self"); },
      [](Polygon_Ex& p) { p.setAfterOpen(1); },
      [](Polygon_Ex& p) { p.SetId("Poly"); },
  };
  for (size_t i = 0; i < std::size(changes); ++i) {
    Polygon_Ex d;
  fillPolygon(d);
    changes[i](d);
    EXPECT_FALSE(d.Equals(a, 0)) << i;
    const std::vector<uint8_t> snap = Snapshot_make(d);
    EXPECT_EQ(d.GetSnapshotSize(), snap.size());
    Polygon_Ex e;
    Snapshot_restore(e, snap);
    EXPECT_TRUE(e.Equals(d, 0)) << i;
    Polygon_Ex f;
    f.CopyFrom(d, nullptr);
    EXPECT_TRUE(f.Equals(d, 0)) << i;
  }
  // Selection and copy flags are not persistent and stay on a restore.
  Polygon_Ex sel;
  sel.SetSelected(true);
  sel.SetIsCopy(true);
  Snapshot_restore(sel, Snapshot_make(a));
  EXPECT_TRUE(sel.IsSelected());
  EXPECT_TRUE(sel.isCopy());
  EXPECT_TRUE(sel.Equals(a, 0));

  // Style only.
  Polygon_Ex style;
  style.CopyStyleFrom(a, 0);
  EXPECT_EQ(3, style.width());
  EXPECT_EQ(0x112233u, style.colour());
  EXPECT_EQ(0x445566u, style.fillColour());
  EXPECT_EQ(40, style.opacity());
  EXPECT_EQ(9, style.styleReserve());
  EXPECT_TRUE(style.points().empty());
  EXPECT_FALSE(style.dashed());
  test_kinds::TestBox box;
  style.CopyStyleFrom(box, 0);  // another kind gives nothing
  EXPECT_EQ(3, style.width());
  EXPECT_FALSE(a.Equals(box, 0));
  EXPECT_EQ(102, CatchError([&] { style.CopyFrom(box, nullptr); }).code);
}

TEST(PolygonEx, MalformedSnapshotsRaise) {
  Polygon_Ex a;
  fillPolygon(a);
  std::vector<uint8_t> snap = Snapshot_make(a);
  Polygon_Ex p;
  std::vector<uint8_t> cut(snap.begin(), snap.end() - 4);
  EXPECT_EQ(102, CatchError([&] { Snapshot_restore(p, cut); }).code);
  EXPECT_TRUE(p.points().empty());  // untouched
  EXPECT_EQ("", p.GetId());
  // A vertex count larger than the data.
  std::vector<uint8_t> lying = snap;
  const size_t countAt = snap.size() - 3 * 8 - 4;
  lying[countAt] = 0xFF;
  lying[countAt + 1] = 0xFF;
  EXPECT_EQ(102, CatchError([&] { Snapshot_restore(p, lying); }).code);
  EXPECT_TRUE(p.points().empty());
}
