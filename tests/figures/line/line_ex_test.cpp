#include "figures/line/line_ex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_geometry.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "support/recording_surface.h"
#include "support/test_support.h"

using testing_support::CatchError;

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

void place(Line_Ex& l, Point32 a, Point32 b, int32_t width = 1) {
  l.SetPoints(a, b);
  l.SetWidth(width);
}

// A page with a laid-out box ("abc" at (100, 100): frame 92..132 x 86..107)
// and a line from (0, 96) whose end 2 hangs on it.
struct Page {
  FigureList list;
  Text_Box* box = nullptr;
  Line_Ex* ln = nullptr;
  Page() {
    auto b = std::make_unique<Text_Box>(&metrics());
    b->SetNumber(1);
    b->SetBasePoint(100, 100);
    b->Layout(metrics(), DrawContext{});
    box = static_cast<Text_Box*>(&list.append(std::move(b)));
    auto l = std::make_unique<Line_Ex>();
    l->SetNumber(2);
    l->SetPoints({0, 96}, {112, 96});
    ln = static_cast<Line_Ex*>(&list.append(std::move(l)));
    box->AttachEnd(0, *ln, 2);
  }
};

}  // namespace

TEST(LineEx, DefaultsEdgesAndExtents) {
  Line_Ex l;
  EXPECT_EQ(l.GetKind(), FigureKind_Line);
  EXPECT_EQ(l.GetKindNameEnglish(), "Line");
  EXPECT_EQ(l.GetKindNameJapanese(), testing_support::Sjis(u8"ライン"));
  EXPECT_EQ(l.point2(), (Point32{10, 10}));
  EXPECT_EQ(l.GetEndCount(), 2);

  l.SetPoints({30, -5}, {10, 15});
  EXPECT_EQ(l.GetEdge(0), 10);
  EXPECT_EQ(l.GetEdge(1), 30);
  EXPECT_EQ(l.GetEdge(7), -5);
  EXPECT_EQ(l.GetEdge(4), 20);
  EXPECT_EQ(l.GetEdge(5), 5);
  l.SetEdge(3, 100);  // the larger y
  EXPECT_EQ(l.point1(), (Point32{30, 80}));
  EXPECT_EQ(l.point2(), (Point32{10, 100}));
  EXPECT_EQ(CatchError([&] { l.GetEdge(8); }).code, Errors_Unofficial);
  EXPECT_EQ(CatchError([&] { l.SetEdge(6, 1); }).code, Errors_Unofficial);

  EXPECT_EQ(l.GetExtent(false), 21);
  l.SetExtent(false, 5);  // x2 < x1: the direction is kept
  EXPECT_EQ(l.point2().x, 26);
  l.SetExtent(true, 1);
  EXPECT_EQ(l.point2().y, 80);

  l.EnsureMinimumSize();  // 4 apart in x: not minimal
  EXPECT_EQ(l.point2(), (Point32{26, 80}));
  l.SetPoints({5, 5}, {7, 3});
  l.EnsureMinimumSize();
  EXPECT_EQ(l.point2(), (Point32{37, 25}));
  l.SetPoints({99999, 0}, {99999, 0});
  l.EnsureMinimumSize();
  EXPECT_EQ(l.point2().x, 99999);  // clamped
}

TEST(LineEx, DragSnapsToTheOtherAxis) {
  Line_Ex l;
  place(l, {0, 0}, {50, 50});
  l.DragHandleTo(2, 100, 5, false, 0, false);
  EXPECT_EQ(l.point2(), (Point32{100, 0}));
  l.DragHandleTo(2, 4, 100, false, 0, false);
  EXPECT_EQ(l.point2(), (Point32{0, 100}));
  l.DragHandleTo(2, 3, 3, false, 0, false);
  EXPECT_EQ(l.point2(), (Point32{3, 3}));
  l.DragHandleTo(2, 6, 100, false, 1, false);  // no snap
  EXPECT_EQ(l.point2(), (Point32{6, 100}));
  l.DragHandleTo(1, 7, 50, false, 0, false);
  EXPECT_EQ(l.point1(), (Point32{6, 50}));
  l.DragHandleTo(3, 1, 1, false, 0, false);  // no such handle
  EXPECT_EQ(l.point1(), (Point32{6, 50}));

  l.DragHandleBy(2, 4, 0, false, 0);  // (10, 100): |dx| 4 snaps back
  EXPECT_EQ(l.point2(), (Point32{6, 100}));
  l.DragHandleBy(2, 4, 0, true, 0);
  EXPECT_EQ(l.point2(), (Point32{10, 100}));
  l.DragHandleTo(-1, 0, 0, false, 0, false);
  EXPECT_EQ(l.point1(), (Point32{0, 0}));
  EXPECT_EQ(l.point2(), (Point32{4, 50}));
  EXPECT_EQ(l.GetHandlePoint(2), (Point32{4, 50}));
  EXPECT_EQ(l.GetHandlePoint(0), (Point32{}));
}

TEST(LineEx, HitTestAtZooms) {
  Line_Ex l;
  place(l, {0, 0}, {100, 0});
  // 100 %: T = 7.
  HitResult h = l.HitTest(105, 6, 100, 0);
  EXPECT_EQ(h.code, 2);
  EXPECT_EQ(h.dx, -5);
  EXPECT_EQ(h.dy, -6);
  EXPECT_EQ(h.distance, 11);
  EXPECT_EQ(h.cursor, HitCursor_LinePoint);
  EXPECT_EQ(l.HitTest(-7, 7, 100, 0).code, 1);
  // Body: 2 beside is 4 < 16, 4 beside is 16: a miss.
  h = l.HitTest(50, 2, 100, 0);
  EXPECT_EQ(h.code, -1);
  EXPECT_EQ(h.distance, 4);
  EXPECT_EQ(h.dx, -50);
  EXPECT_EQ(h.cursor, HitCursor_Move);
  h = l.HitTest(50, 4, 100, 0);
  EXPECT_EQ(h.code, 0);
  EXPECT_EQ(h.cursor, HitCursor_None);
  // 25 %: T = 28.
  EXPECT_EQ(l.HitTest(128, 28, 25, 0).code, 2);
  EXPECT_EQ(l.HitTest(129, 0, 25, 0).code, 0);
  // 400 %: T = 1 (700 / 400); 800 %: 0 raised to 1.
  EXPECT_EQ(l.HitTest(1, 1, 400, 0).code, 1);
  EXPECT_EQ(l.HitTest(2, 0, 400, 0).code, -1);  // the body instead
  EXPECT_EQ(l.HitTest(101, -1, 800, 0).code, 2);
  EXPECT_EQ(l.HitTest(103, 0, 800, 0).code, -1);  // 9 < 16 past the end
  EXPECT_EQ(l.HitTest(104, 0, 800, 0).code, 0);
  EXPECT_EQ(l.HitTest(100, 0, 0, 0).code, 1);  // zoom 0 does not divide (T 700)
  // A wider line reaches further: width 3, 5 beside is 25 < 36.
  l.SetWidth(3);
  EXPECT_EQ(l.HitTest(50, -5, 100, 0).code, -1);
}

TEST(LineEx, SegmentDistanceAndRect) {
  EXPECT_EQ(LineGeom_distanceSquared({5, 5}, {0, 0}, {10, 0}), 25);
  EXPECT_EQ(LineGeom_distanceSquared({13, 4}, {0, 0}, {10, 0}), 25);  // past the end
  EXPECT_EQ(LineGeom_distanceSquared({3, 4}, {0, 0}, {0, 0}), 25);
  // Long segment, far point: no int32 overflow, no scaled foot point.
  EXPECT_EQ(LineGeom_distanceSquared({0, 60000}, {-99999, 0}, {99999, 0}), 3600000000LL);
  EXPECT_EQ(LineGeom_distanceSquared({INT32_MAX, INT32_MAX}, {-99999, -99999}, {-99999, -99999}),
            INT64_MAX);  // saturates

  Line_Ex l;
  place(l, {0, 0}, {100, 100});
  EXPECT_TRUE(l.IntersectsRect({40, 40, 5, 5}));    // crossing
  EXPECT_TRUE(l.IntersectsRect({-10, -10, 10, 10}));  // end on the corner
  EXPECT_FALSE(l.IntersectsRect({60, 0, 30, 30}));  // beside the diagonal
  EXPECT_FALSE(l.IntersectsRect({101, 0, 10, 200}));
  l.SetPoints({-50, 5}, {50, 5});
  EXPECT_TRUE(l.IntersectsRect({0, 0, 10, 10}));
}

TEST(LineEx, DrawsSolidDashedAndHeads) {
  RecordingSurface s;
  DrawContext ctx;
  Line_Ex l;
  place(l, {10, 50}, {90, 50});
  l.Draw(s, ctx);
  EXPECT_EQ(s.lines(true), (std::vector<std::string>{
                               "polyline 10,50,90,50 pen=solid/1/000000 brush=solid/ffffff rop=copy",
                               "pixel 90,50,0 pen=solid/1/000000 brush=solid/ffffff rop=copy"}));
  s.clear();
  ctx.directOutput = true;
  l.Draw(s, ctx);
  EXPECT_EQ(s.lines(), (std::vector<std::string>{"polyline 10,50,90,50"}));

  // Width 3 dashed at 100 %: three dotted lines at y 49, 50, 51.
  s.clear();
  ctx.directOutput = false;
  l.SetWidth(3);
  l.SetDashed(true);
  l.SetColour(0x0000FF);
  l.Draw(s, ctx);
  ASSERT_EQ(s.calls().size(), 6u);
  EXPECT_EQ(s.lines()[0], "polyline 10,49,90,49");
  EXPECT_EQ(s.lines()[4], "polyline 10,51,90,51");
  EXPECT_EQ(s.calls()[0].state.pen, (Pen{PenStyle::Dot, 1, 0x0000FF}));
  EXPECT_EQ(s.calls()[0].state.backgroundMode, BackgroundMode::Transparent);
  EXPECT_EQ(s.state().backgroundMode, BackgroundMode::Opaque);  // restored
  // Steep: horizontal offsets; 200 % zoom: -2 ... 3 (six lines).
  s.clear();
  ctx.zoomX = ctx.zoomY = 200;
  l.SetPoints({0, 0}, {1, 10});
  l.Draw(s, ctx);
  ASSERT_EQ(s.calls().size(), 12u);
  EXPECT_EQ(s.lines()[0], "polyline -2,0,0,20");
  EXPECT_EQ(s.lines()[10], "polyline 3,0,5,20");

  // Heads: an arrow at end 2 and a hollow circle at end 1.
  s.clear();
  ctx = DrawContext{};
  l.SetPoints({0, 0}, {100, 0});
  l.SetWidth(1);
  l.SetDashed(false);
  l.SetColour(0);
  l.SetArrow(2, LineEndShape_Arrow);
  l.SetArrow(1, LineEndShape_CircleHole);
  l.SetArrow(1, 9);  // ignored
  l.Draw(s, ctx);
  EXPECT_EQ(s.lines(true), (std::vector<std::string>{
      "polyline 0,0,100,0 pen=solid/1/000000 brush=solid/ffffff rop=copy",
      "pixel 100,0,0 pen=solid/1/000000 brush=solid/ffffff rop=copy",
      "ellipse -3,-3,3,3 pen=solid/1/000000 brush=solid/ffffff rop=copy",
      "polyline 100,0,88,-4 pen=solid/1/000000 brush=solid/ffffff rop=copy",
      "polyline 100,0,88,4 pen=solid/1/000000 brush=solid/ffffff rop=copy"}));

  // Selected: handles after the line.
  s.clear();
  l.SetArrow(1, 0);
  l.SetArrow(2, 0);
  l.SetSelected(true);
  l.Draw(s, ctx);
  ASSERT_EQ(s.calls().size(), 4u);
  EXPECT_EQ(s.lines()[2], "rect -3,-3,3,3");
  EXPECT_EQ(s.lines()[3], "rect 97,-3,103,3");
}

TEST(LineEx, AWideDashedLineFromAFileDrawsABoundedNumberOfStrokes) {
  // A width of 199998 as a note file may carry it: the parallel dotted
  // lines stop at 4096 on either side, as a cornered connector's do.
  Line_Ex l;
  place(l, {0, 50}, {1000, 60}, 199998);
  l.SetDashed(true);
  for (const int32_t zoom : {100, 800}) {
    RecordingSurface s;
    DrawContext ctx;
    ctx.zoomX = ctx.zoomY = zoom;
    l.Draw(s, ctx);
    size_t strokes = 0;
    for (const auto& c : s.calls()) strokes += c.op == "polyline";
    EXPECT_EQ(strokes, size_t{2 * LineGeom_maxDashOffset + 1}) << zoom;
    EXPECT_EQ(s.lines().front(), zoom == 100 ? "polyline 0,-4046,1000,-4036"
                                             : "polyline 0,-3696,8000,-3616");
  }
  EXPECT_EQ(LineGeom_dashOffsets(3, 100).from, -1);
  EXPECT_EQ(LineGeom_dashOffsets(3, 100).to, 1);
  EXPECT_EQ(LineGeom_dashOffsets(199998, 100).from, -LineGeom_maxDashOffset);
}

TEST(LineEx, PropertyRows) {
  Line_Ex l;
  place(l, {1, 2}, {3, 4}, 2);
  EXPECT_EQ(l.GetPropertyCount(), 10);
  PropertyRow r = l.GetProperty(4, true, 256, "");
  EXPECT_EQ(r.name, testing_support::Sjis(u8"線幅"));
  EXPECT_EQ(r.value, "2");
  EXPECT_EQ(r.extra.minimum, 1);
  EXPECT_EQ(l.GetProperty(3, false, 256, "").name, "y2");
  EXPECT_EQ(l.GetProperty(0, false, 256, "").extra.minimum, INT32_MIN);
  EXPECT_EQ(l.GetProperty(5, false, 256, "").value, "rgb(0,0,0)");
  EXPECT_EQ(l.GetProperty(7, true, 256, "").name, testing_support::Sjis(u8"レイアウト線"));
  r = l.GetProperty(9, false, 256, "");
  EXPECT_EQ(r.name, "Shape of Point2");
  EXPECT_EQ(r.kind, PropertyRowKind_Choice);
  EXPECT_EQ(r.extra.choices.size(), 8u);
  EXPECT_EQ(l.GetProperty(8, true, 256, "").name, testing_support::Sjis(u8"頂点１の形状"));
  EXPECT_EQ(l.GetProperty(10, false, 256, "").kind, PropertyRowKind_ReadOnly);

  l.SetProperty(0, "-123", "");
  l.SetProperty(4, "0", "");  // minimum 1
  l.SetProperty(5, "rgb(1,2,3)", "");
  l.SetProperty(6, "1", "");
  l.SetProperty(7, "2", "");
  l.SetProperty(8, "6", "");
  l.SetProperty(9, "8", "");  // not a shape
  EXPECT_EQ(l.point1().x, -123);
  EXPECT_EQ(l.width(), 1);
  EXPECT_EQ(l.colour(), Colour_rgb(1, 2, 3));
  EXPECT_TRUE(l.dashed());
  EXPECT_TRUE(l.layoutLine());
  EXPECT_EQ(l.arrow(1), 6);
  EXPECT_EQ(l.arrow(2), 0);
}

TEST(LineEx, AttachFollowAndDetachWithTextBox) {
  Page p;
  EXPECT_EQ(p.ln->GetEndTarget(2), p.box);
  EXPECT_EQ(p.ln->GetEndTargetNumber(2), 1);
  EXPECT_EQ(p.box->GetAttachmentCount(), 1);
  // The visible end lies on the frame's left edge.
  EXPECT_EQ(p.ln->VisibleEnd(2), (Point32{92, 96}));
  EXPECT_EQ(p.ln->VisibleEnd(1), (Point32{0, 96}));
  RecordingSurface s;
  p.ln->SetArrow(2, LineEndShape_Triangle);
  p.ln->Draw(s, DrawContext{});
  EXPECT_EQ(s.lines()[0], "polyline 0,96,92,96");
  EXPECT_EQ(s.lines()[2].rfind("polygon 92,96,", 0), 0u);

  // The box moves: the attached end follows (no snap).
  p.box->MoveBy(10, 3);
  EXPECT_EQ(p.ln->point2(), (Point32{122, 99}));
  EXPECT_EQ(p.ln->point1(), (Point32{0, 96}));

  // An unselected line moved on its own: the box follows once and the
  // box's pull on the end does not add to the line's own move.
  p.ln->MoveBy(1, 1);
  EXPECT_EQ(p.box->basePoint(), (Point32{111, 104}));
  EXPECT_EQ(p.ln->point2(), (Point32{123, 100}));
  p.ln->MoveBy(-1, -1);

  // The line moves: the unselected box comes along, once.
  p.ln->SetSelected(true);
  p.ln->MoveBy(5, 0);
  EXPECT_EQ(p.box->basePoint(), (Point32{115, 103}));
  EXPECT_EQ(p.ln->point2(), (Point32{127, 99}));
  // Both selected: the view moves each; the line alone does not move the box.
  p.box->SetSelected(true);
  p.ln->MoveBy(5, 0);
  EXPECT_EQ(p.box->basePoint(), (Point32{115, 103}));

  // DragHandleTo(-1): the target moves even when selected; the line is
  // translated from where it was.
  p.ln->DragHandleTo(-1, 20, 100, false, 0, false);
  EXPECT_EQ(p.box->basePoint(), (Point32{125, 107}));
  EXPECT_EQ(p.ln->point1(), (Point32{20, 100}));
  EXPECT_EQ(p.ln->point2(), (Point32{142, 103}));

  p.box->SetMoveMark(false);
  p.ln->MarkAttachedForMove();
  EXPECT_TRUE(p.box->HasMoveMark());

  // Detach from the box side.
  p.box->DetachEnd(*p.ln, 2, true);
  EXPECT_EQ(p.ln->GetEndTarget(2), nullptr);
  EXPECT_EQ(p.ln->GetEndTargetNumber(2), 0);
  EXPECT_EQ(p.box->GetAttachmentCount(), 0);
}

TEST(LineEx, DestroyingEitherSideLeavesNoDanglingLink) {
  {
    Page p;
    auto gone = p.list.remove(*p.ln);
    EXPECT_EQ(p.box->GetAttachmentCount(), 0);
  }
  {
    Page p;
    p.box->AttachEnd(0, *p.ln, 1);
    auto gone = p.list.remove(*p.box);
    EXPECT_EQ(p.ln->GetEndTarget(1), nullptr);
    EXPECT_EQ(p.ln->GetEndTarget(2), nullptr);
  }
  {
    Page p;
    p.ln->DetachAll(true);
    EXPECT_EQ(p.box->GetAttachmentCount(), 0);
    EXPECT_EQ(p.ln->GetEndTarget(2), nullptr);
  }
  {
    // A copy never detaches the original's partner.
    Page p;
    auto copy = p.ln->Clone(&p.list);
    copy->SetIsCopy(true);
    copy.reset();
    EXPECT_EQ(p.box->GetAttachmentCount(), 1);
  }
}

TEST(LineEx, PendingAndLegacyTargets) {
  Line_Ex l;
  l.SetPendingTargetId(1, "t1");
  EXPECT_EQ(l.RawEndTargetNumber(1), -2);
  EXPECT_EQ(l.PendingTargetId(1), "t1");
  l.ReleasePendingTargetId(1);
  EXPECT_EQ(l.RawEndTargetNumber(1), 0);
  EXPECT_EQ(l.PendingTargetId(1), "");
  l.SetEndTargetNumber(2, -1);
  EXPECT_TRUE(l.IsLegacyAttached(2));
  EXPECT_EQ(l.GetEndTargetNumber(2), 0);  // reset by the getter
  EXPECT_FALSE(l.IsLegacyAttached(2));
  EXPECT_EQ(CatchError([&] { l.SetEndTarget(3, l); }).code, Errors_Unofficial);
  Line_Ex other;
  EXPECT_EQ(CatchError([&] { l.AttachEnd(0, other, 1); }).code, Errors_Unofficial);
}

TEST(LineEx, CopiesEqualityAndSnapshots) {
  Page p;
  Line_Ex& l = *p.ln;
  l.SetWidth(4);
  l.SetColour(0x102030);
  l.SetDashed(true);
  l.SetLayoutLine(true);
  l.SetArrow(1, 7);
  l.SetArrow(2, 2);
  l.SetPendingTargetId(1, "ソ表");
  l.SetLegacyLinkData(std::vector<uint8_t>{1, 2, 3});

  auto c = l.Clone(&p.list);
  auto* cl = dynamic_cast<Line_Ex*>(c.get());
  ASSERT_NE(cl, nullptr);
  cl->SetIsCopy(true);
  EXPECT_TRUE(cl->Equals(l, 0));
  EXPECT_TRUE(cl->Equals(l, 5));
  EXPECT_EQ(cl->GetEndTarget(2), nullptr);  // numbers only
  EXPECT_EQ(cl->RawEndTargetNumber(2), 1);
  EXPECT_EQ(cl->PendingTargetId(1), "ソ表");
  cl->SetEndTargetNumber(2, 9);
  EXPECT_TRUE(cl->Equals(l, 0));
  EXPECT_FALSE(cl->Equals(l, 5));
  cl->SetLayoutLine(false);
  EXPECT_FALSE(cl->Equals(l, 0));
  EXPECT_FALSE(cl->Equals(*p.box, 0));
  EXPECT_EQ(CatchError([&] { cl->CopyFrom(*p.box, nullptr); }).code, Errors_Unofficial);

  Line_Ex style;
  style.CopyStyleFrom(l, 0);
  EXPECT_EQ(style.width(), 4);
  EXPECT_TRUE(style.layoutLine());
  EXPECT_EQ(style.arrow(1), 0);  // arrows are no style

  const std::vector<uint8_t> snap = Snapshot_make(l);
  Line_Ex back;
  back.SetIsCopy(true);
  Snapshot_restore(back, snap);
  EXPECT_TRUE(back.Equals(l, 5));
  EXPECT_EQ(back.GetEndTarget(2), nullptr);
  EXPECT_EQ(back.PendingTargetId(1), "ソ表");
  EXPECT_EQ(back.legacyLinkData(), l.legacyLinkData());
  EXPECT_EQ(Snapshot_make(back), snap);
  FigureList_resolveLinks(p.list);  // the list's line keeps its real link
  EXPECT_EQ(l.GetEndTarget(2), p.box);

  // Malformed: cut short, or a bad arrow; the line is left alone.
  std::vector<uint8_t> cut(snap.begin(), snap.end() - 1);
  EXPECT_EQ(CatchError([&] { Snapshot_restore(back, cut); }).code, Errors_Unofficial);
  std::vector<uint8_t> bad = snap;
  bad[6 + 7 * 4 + 2] = 99;  // arrow1's low byte
  EXPECT_EQ(CatchError([&] { Snapshot_restore(back, bad); }).code, Errors_Unofficial);
  EXPECT_TRUE(back.Equals(l, 5));

  l.RenumberLinks(1, 44);
  EXPECT_EQ(l.RawEndTargetNumber(2), 44);
}
