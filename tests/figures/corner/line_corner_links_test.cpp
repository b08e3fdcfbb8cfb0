#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../base/test_kinds.h"
#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "support/recording_surface.h"
#include "support/test_support.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

// Two "abc" boxes laid out with the fixed metrics (frames 92..132 x 86..107
// and 292..332 x 186..207) and a connector from inside the first to inside
// the second, both ends attached.
struct Page {
  FigureList list;
  Text_Box* a = nullptr;
  Text_Box* b = nullptr;
  Line_Corner* c = nullptr;

  explicit Page(bool autoCentre = true) {
    a = addBox(1, 100, 100);
    b = addBox(2, 300, 200);
    auto line = std::make_unique<Line_Corner>();
    line->SetNumber(3);
    line->setEnd(1, 110, 95);
    line->setEnd(2, 310, 195);
    line->setThrough(210, 145);
    line->setAutoCentre(autoCentre);
    c = static_cast<Line_Corner*>(&list.append(std::move(line)));
    a->AttachEnd(0, *c, 1);
    b->AttachEnd(0, *c, 2);
  }
  Text_Box* addBox(int32_t number, int32_t x, int32_t y) {
    auto box = std::make_unique<Text_Box>(&metrics());
    box->SetNumber(number);
    box->SetBasePoint(x, y);
    box->Layout(metrics(), DrawContext{});
    return static_cast<Text_Box*>(&list.append(std::move(box)));
  }
};

}  // namespace

TEST(LineCornerLinks, AttachingAndVisibleEnds) {
  Page p;
  ASSERT_EQ(p.a->FrameBounds(), (TextBoxFrameBounds{92, 86, 132, 107}));
  EXPECT_EQ(p.c->GetEndTarget(1), p.a);
  EXPECT_EQ(p.c->GetEndTarget(2), p.b);
  EXPECT_EQ(p.c->GetEndTargetNumber(1), 1);
  EXPECT_EQ(p.c->GetEndTargetNumber(2), 2);
  EXPECT_EQ(p.a->GetAttachmentCount(), 1);
  // Attaching re-centred the through point (x middle, end 1's y).
  EXPECT_EQ(p.c->through(), (Point32{210, 95}));
  const CornerRoute r = p.c->ComputeRoute();
  ASSERT_EQ(r.count, 3);
  EXPECT_EQ(r.points[1], (Point32{310, 95}));
  // End 1 leaves its box through the right side, end 2 enters from the top.
  CornerVisibleEnd v1 = p.c->VisibleEnd(1);
  EXPECT_EQ(v1.point, (Point32{132, 95}));
  EXPECT_EQ(v1.neighbour, (Point32{310, 95}));
  CornerVisibleEnd v2 = p.c->VisibleEnd(2);
  EXPECT_EQ(v2.point, (Point32{310, 186}));
  EXPECT_EQ(v2.neighbour, (Point32{310, 95}));

  // The arrow heads sit on the frames.
  p.c->setArrow(1, 1);
  RecordingSurface s;
  p.c->Draw(s, DrawContext{});
  const std::vector<std::string> lines = s.lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "polyline 132,95,143,99");
  EXPECT_EQ(lines[3], "polyline 132,95,143,90");

  // The whole route inside one box: the box's centre.
  p.c->setEnd(2, 120, 100);
  p.c->setThrough(115, 97);
  EXPECT_EQ(p.c->VisibleEnd(1).point, (Point32{112, 96}));
}

TEST(LineCornerLinks, FollowingTheBoxes) {
  Page p;
  p.a->MoveBy(10, 20);  // the end follows, the through point stays
  EXPECT_EQ(p.c->end(1), (Point32{120, 115}));
  EXPECT_EQ(p.c->through(), (Point32{210, 95}));
  EXPECT_EQ(p.c->VisibleEnd(1).point.y, 106);  // leaves through the top now
  p.b->SetEdge(0, 392);                          // b moves by 100 in x
  EXPECT_EQ(p.c->end(2), (Point32{410, 195}));

  // A selected connector is moved by the view, not by its boxes.
  p.c->SetSelected(true);
  p.a->MoveBy(5, 5);
  EXPECT_EQ(p.c->end(1), (Point32{120, 115}));

  // Moving the connector leaves the boxes where they are.
  const Point32 base = p.a->basePoint();
  p.c->MoveBy(3, 4);
  EXPECT_EQ(p.a->basePoint(), base);
  EXPECT_EQ(p.c->end(1), (Point32{123, 119}));

  // Attached ends cannot be grabbed, nor the whole connector dragged.
  p.c->SetSelected(false);
  HitResult h = p.c->HitTest(123, 119, 100, 0);
  EXPECT_EQ(h.code, 0);
  EXPECT_EQ(h.cursor, HitCursor_None);
  p.c->DragHandleTo(-1, 0, 0, false, 0, false);
  EXPECT_EQ(p.c->end(1), (Point32{123, 119}));
}

TEST(LineCornerLinks, SelectionMarksAndDetaching) {
  Page p;
  EXPECT_TRUE(p.c->KeepInSelection());
  p.b->SetSelected(true);
  EXPECT_FALSE(p.c->KeepInSelection());
  p.b->SetSelected(false);
  p.a->SetSelected(true);
  EXPECT_FALSE(p.c->KeepInSelection());
  p.a->SetSelected(false);

  p.c->MarkAttachedForMove();
  EXPECT_TRUE(p.a->HasMoveMark());
  EXPECT_TRUE(p.b->HasMoveMark());

  // A snapshot copy going away leaves the live links alone.
  {
    auto copy = p.c->Clone(&p.list);
    copy->SetIsCopy(true);
  }
  EXPECT_EQ(p.a->GetAttachmentCount(), 1);

  // Removing box b detaches end 2 on both sides.
  std::unique_ptr<CadPrim> gone = p.list.remove(*p.b);
  EXPECT_EQ(p.c->GetEndTarget(2), nullptr);
  EXPECT_EQ(p.c->GetEndTargetNumber(2), 0);
  EXPECT_EQ(gone->GetAttachmentCount(), 0);
  p.a->SetSelected(true);
  EXPECT_TRUE(p.c->KeepInSelection());  // one end free
  // The free end can be grabbed again.
  EXPECT_EQ(p.c->HitTest(310, 195, 100, 0).code, 2);

  // Destroying the connector detaches it from box a.
  p.list.remove(*p.c).reset();
  EXPECT_EQ(p.a->GetAttachmentCount(), 0);
}

TEST(LineCornerLinks, EndSlotsHoldOneLineEnd) {
  FigureList list;
  auto* host = static_cast<Line_Corner*>(&list.append(std::make_unique<Line_Corner>()));
  host->SetNumber(10);
  auto* other = static_cast<test_kinds::TestLine*>(
      &list.append(std::make_unique<test_kinds::TestLine>()));
  other->SetNumber(11);
  host->AttachEnd(2, *other, 1);
  EXPECT_EQ(other->GetEndTarget(1), host);
  ASSERT_EQ(host->endSlot(2).size(), 1u);
  EXPECT_EQ(host->endSlot(2).records()[0].lineNumber, 11);
  EXPECT_EQ(testing_support::CatchError([&] { host->AttachEnd(3, *other, 2); }).code,
            Errors_Unofficial);
  host->RenumberLinks(11, 12);
  EXPECT_EQ(host->endSlot(2).records()[0].lineNumber, 12);
  host->DetachEnd(*other, 1, true);
  EXPECT_EQ(other->GetEndTarget(1), nullptr);
  EXPECT_TRUE(host->endSlot(2).empty());
}

TEST(LineCornerCopy, CloneEqualsAndRenumber) {
  Page p;
  p.c->setArrow(2, 7);
  p.c->setDashed(true);
  p.c->setWidth(4);
  p.c->setColour(0x123456);
  p.c->setDirection(0);
  auto copy = p.c->Clone(&p.list);
  copy->SetIsCopy(true);
  auto* cc = static_cast<Line_Corner*>(copy.get());
  EXPECT_TRUE(cc->Equals(*p.c, 5));
  EXPECT_EQ(cc->GetEndTarget(1), nullptr);  // numbers only until resolved
  EXPECT_EQ(cc->GetEndTargetNumber(1), 1);
  EXPECT_EQ(cc->end(1), p.c->end(1));
  cc->ResolveLinks(p.list);
  EXPECT_EQ(cc->GetEndTarget(2), p.b);

  cc->RenumberLinks(2, 20);
  EXPECT_TRUE(cc->Equals(*p.c, 0));
  EXPECT_FALSE(cc->Equals(*p.c, 5));
  // Every compared field counts.
  cc->RenumberLinks(20, 2);
  cc->setAutoCentre(!p.c->autoCentre());
  EXPECT_FALSE(cc->Equals(*p.c, 0));
  cc->setAutoCentre(p.c->autoCentre());
  cc->setThrough(0, 0);
  EXPECT_FALSE(cc->Equals(*p.c, 0));
  Text_Box box;
  EXPECT_FALSE(cc->Equals(box, 0));
  EXPECT_EQ(testing_support::CatchError([&] { cc->CopyFrom(box, nullptr); }).code,
            Errors_Unofficial);

  Line_Corner style;
  style.CopyStyleFrom(*p.c, 0);
  EXPECT_EQ(style.width(), 4);
  EXPECT_EQ(style.colour(), 0x123456u);
  EXPECT_TRUE(style.dashed());
  EXPECT_EQ(style.arrow(2), 0);  // arrows are not style
}

TEST(LineCornerCopy, SnapshotRoundTripAndMalformedData) {
  Page p;
  p.c->setArrow(1, 4);
  p.c->setArrow(2, 6);
  p.c->setWidth(2);
  p.c->setColour(0xABCDEF);
  p.c->setDashed(true);
  p.c->setDirection(0);
  p.c->setAutoCentre(false);
  const std::vector<uint8_t> snap = Snapshot_make(*p.c);
  EXPECT_EQ(snap.size(), p.c->GetSnapshotSize());

  Line_Corner back;
  back.SetIsCopy(true);
  back.SetSelected(true);
  Snapshot_restore(back, snap);
  EXPECT_TRUE(back.Equals(*p.c, 5));
  EXPECT_TRUE(back.IsSelected());  // the header flags stay
  EXPECT_EQ(back.GetEndTarget(1), nullptr);
  EXPECT_EQ(back.GetEndTargetNumber(2), 2);

  // Truncated, wrong kind, a direction out of range: 102, nothing changed.
  Line_Corner untouched;
  untouched.SetIsCopy(true);
  std::vector<uint8_t> cut(snap.begin(), snap.end() - 1);
  EXPECT_EQ(testing_support::CatchError([&] { Snapshot_restore(untouched, cut); }).code,
            Errors_Unofficial);
  std::vector<uint8_t> kind = snap;
  kind[0] = 1;
  EXPECT_EQ(testing_support::CatchError([&] { Snapshot_restore(untouched, kind); }).code,
            Errors_Unofficial);
  std::vector<uint8_t> dir = snap;
  dir[6 + 7 * 4] = 9;  // after the header, the number and six coordinates
  EXPECT_EQ(testing_support::CatchError([&] { Snapshot_restore(untouched, dir); }).code,
            Errors_Unofficial);
  EXPECT_TRUE(untouched.Equals(Line_Corner{}, 5));
}

TEST(LineCornerProps, RowsAndSetters) {
  Line_Corner c;
  EXPECT_EQ(c.GetPropertyCount(), 12);
  EXPECT_EQ(c.GetKind(), FigureKind_CorneredLine);
  EXPECT_EQ(c.GetKindNameJapanese(), "折れ線");
  EXPECT_EQ(c.GetKindNameEnglish(), "Cornered Line");
  EXPECT_EQ(c.GetEndCount(), 2);
  PropertyRow r = c.GetProperty(4, true, 256, "");
  EXPECT_EQ(r.name, "通過点 x");
  EXPECT_EQ(r.value, "5");
  EXPECT_EQ(r.kind, PropertyRowKind_Integer);
  EXPECT_EQ(r.extra.minimum, INT32_MIN);
  EXPECT_EQ(c.GetProperty(5, false, 256, "").name, "Through Point Y");
  r = c.GetProperty(6, false, 256, "");
  EXPECT_EQ(r.name, "Corner Direction");
  EXPECT_EQ(r.value, "1");
  EXPECT_EQ(r.extra.choices, (std::vector<std::string>{"Z type (for Horizontal)",
                                                       "N type (for Vertical)"}));
  EXPECT_EQ(c.GetProperty(6, true, 256, "").extra.choices[0], "Z 型（横線用）");
  r = c.GetProperty(7, true, 256, "");
  EXPECT_EQ(r.name, "線幅");
  EXPECT_EQ(r.extra.minimum, 1);
  EXPECT_EQ(c.GetProperty(8, false, 256, "").value, "rgb(0,0,0)");
  EXPECT_EQ(c.GetProperty(9, true, 256, "").name, "破線");
  r = c.GetProperty(11, false, 256, "");
  EXPECT_EQ(r.name, "Shape of Point2");
  EXPECT_EQ(r.extra.choices.size(), 8u);
  EXPECT_EQ(r.extra.choices[5], "O  Circle(Hole)");
  EXPECT_EQ(c.GetProperty(12, true, 256, "").kind, PropertyRowKind_ReadOnly);

  c.SetProperty(0, "-7", "");
  c.SetProperty(3, "200000", "");  // clamped to the model's range
  c.SetProperty(4, "33", "");
  c.SetProperty(6, "0", "");
  c.SetProperty(7, "0", "");  // widths are at least 1
  c.SetProperty(8, "rgb(1,2,3)", "");
  c.SetProperty(9, "1", "");
  c.SetProperty(10, "3", "");
  c.SetProperty(11, "9", "");  // not a shape: ignored
  EXPECT_EQ(c.end(1), (Point32{-7, 0}));
  EXPECT_EQ(c.end(2), (Point32{10, 99999}));
  EXPECT_EQ(c.through(), (Point32{33, 5}));
  EXPECT_EQ(c.direction(), 0);
  EXPECT_EQ(c.width(), 1);
  EXPECT_EQ(c.colour(), 0x030201u);
  EXPECT_TRUE(c.dashed());
  EXPECT_EQ(c.arrow(1), 3);
  EXPECT_EQ(c.arrow(2), 0);
}

// A connector's ends hang on text boxes only: numbers naming a line (from
// a clipboard block or an undo state) resolve to nothing, a line is refused
// as a target, and no end slot takes another connector's end.
TEST(LineCornerLinks, EndsHangOnTextBoxesOnly) {
  Page p;
  auto straight = std::make_unique<test_kinds::TestLine>(Point32{400, 400}, Point32{500, 400});
  straight->SetNumber(7);
  auto* line = static_cast<test_kinds::TestLine*>(&p.list.append(std::move(straight)));
  auto other = std::make_unique<Line_Corner>();
  other->SetNumber(8);
  auto* second = static_cast<Line_Corner*>(&p.list.append(std::move(other)));

  // A pasted copy whose end 1 names the line and end 2 the connector.
  auto copy = p.c->Clone(&p.list);
  auto* cc = static_cast<Line_Corner*>(copy.get());
  cc->SetNumber(20);
  cc->setEndTargetNumber(1, 7);
  cc->setEndTargetNumber(2, 8);
  cc->ResolveLinks(p.list);
  EXPECT_EQ(cc->GetEndTarget(1), nullptr);
  EXPECT_EQ(cc->GetEndTarget(2), nullptr);
  EXPECT_EQ(cc->GetEndTargetNumber(1), 0);
  EXPECT_EQ(cc->GetEndTargetNumber(2), 0);
  cc->setEndTargetNumber(1, 2);  // a text box still resolves
  cc->ResolveLinks(p.list);
  EXPECT_EQ(cc->GetEndTarget(1), p.b);

  // Setting a line or a connector as the target.
  EXPECT_EQ(testing_support::CatchError([&] { second->SetEndTarget(1, *line); }).code,
            Errors_Unofficial);
  EXPECT_EQ(testing_support::CatchError([&] { second->SetEndTarget(2, *p.c); }).code,
            Errors_Unofficial);
  EXPECT_EQ(second->GetEndTarget(1), nullptr);
  EXPECT_EQ(second->GetEndTarget(2), nullptr);

  // Hanging a connector's end on another connector's end slot.
  EXPECT_EQ(testing_support::CatchError([&] { second->AttachEnd(1, *p.c, 2); }).code,
            Errors_Unofficial);
  EXPECT_TRUE(second->endSlot(1).empty());
  Line_Ex straightHost;
  straightHost.SetIsCopy(true);
  EXPECT_EQ(testing_support::CatchError([&] { straightHost.AttachEnd(1, *p.c, 2); }).code,
            Errors_Unofficial);
  EXPECT_EQ(p.c->GetEndTarget(2), p.b);  // the connector keeps its box
  EXPECT_EQ(p.b->GetAttachmentCount(), 1);

  // Slot records naming a connector (from a snapshot) are dropped when
  // resolved.
  Line_Corner host;
  host.SetIsCopy(true);
  host.SetNumber(30);
  {
    Line_Corner withSlot;
    withSlot.SetIsCopy(true);
    withSlot.AttachEnd(1, *line, 1);
    withSlot.AttachEnd(2, *line, 2);
    std::vector<uint8_t> snap = Snapshot_make(withSlot);
    line->ends[0].reset();
    line->ends[1].reset();
    Snapshot_restore(host, snap);
  }
  host.RenumberLinks(7, 8);  // slot 1 and 2 now name the connector `second`
  host.ResolveLinks(p.list);
  EXPECT_TRUE(host.endSlot(1).empty());
  EXPECT_TRUE(host.endSlot(2).empty());
  EXPECT_EQ(second->GetEndTarget(1), nullptr);
}
