// Text boxes as the user handles them: resizing and moving boxes that carry
// connectors, turning vertical text, typing links, grabbing handles at
// several zooms, image-map areas and damaged snapshots.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"
#include "support/test_support.h"
#include "text_box_fixture.h"

using namespace text_box_test;

namespace {

// Box a at (100, 100) (frame 92..132 x 86..107), box b at (300, 200), a
// connector from a to b whose bend the user has put at (250, 150), and a
// straight line from (0, 20) ending on a.
struct Page {
  FigureList list;
  Text_Box* a = nullptr;
  Text_Box* b = nullptr;
  Line_Corner* c = nullptr;
  Line_Ex* line = nullptr;

  Page() {
    a = addBox(1, 100, 100);
    b = addBox(2, 300, 200);
    auto corner = std::make_unique<Line_Corner>();
    corner->SetNumber(3);
    corner->setEnd(1, 110, 95);
    corner->setEnd(2, 310, 195);
    corner->setAutoCentre(false);
    c = static_cast<Line_Corner*>(&list.append(std::move(corner)));
    a->AttachEnd(0, *c, 1);
    b->AttachEnd(0, *c, 2);
    c->DragHandleTo(3, 250, 150, false, 0, false);  // the user's bend
    auto l = std::make_unique<Line_Ex>();
    l->SetNumber(4);
    l->SetPoints({0, 20}, {105, 90});
    line = static_cast<Line_Ex*>(&list.append(std::move(l)));
    a->AttachEnd(0, *line, 2);
  }
  Text_Box* addBox(int32_t number, int32_t x, int32_t y) {
    auto box = std::make_unique<Text_Box>(&metrics());
    box->SetNumber(number);
    box->SetBasePoint(x, y);
    layOut(*box);
    return static_cast<Text_Box*>(&list.append(std::move(box)));
  }
};

}  // namespace

// Resizing a box by its handle and by "same size" changes the frame only:
// the connector keeps its bend and its ends, the straight line its end;
// moving the box through its base-point rows takes the ends along as a
// drag does.
TEST(TextBoxUserTasks, ResizingAndMovingABoxWithConnectors) {
  Page p;
  ASSERT_EQ(p.c->through(), (Point32{250, 150}));
  const Point32 end1 = p.c->end(1), end2 = p.c->end(2);
  const Point32 lineEnd = p.line->point2();

  p.a->DragHandleTo(5, 150, 96, false, 0, false);  // wider to the right
  layOut(*p.a);
  EXPECT_EQ(p.a->GetEdge(1), 150);
  EXPECT_EQ(p.c->through(), (Point32{250, 150}));
  EXPECT_EQ(p.c->end(1), end1);
  EXPECT_EQ(p.c->end(2), end2);
  EXPECT_EQ(p.line->point2(), lineEnd);

  p.a->DragHandleTo(7, 112, 120, false, 0, false);  // taller
  layOut(*p.a);
  EXPECT_EQ(p.a->GetEdge(3), 120);
  EXPECT_EQ(p.c->through(), (Point32{250, 150}));
  EXPECT_EQ(p.c->end(1), end1);

  p.a->SetExtent(false, 81);  // same width as another box
  EXPECT_EQ(p.a->GetExtent(false), 81);
  p.b->SetExtent(true, 40);
  EXPECT_EQ(p.c->through(), (Point32{250, 150}));
  EXPECT_EQ(p.c->end(1), end1);
  EXPECT_EQ(p.c->end(2), end2);
  EXPECT_EQ(p.line->point2(), lineEnd);
  // The visible end meets the new frame when drawn.
  EXPECT_EQ(p.c->VisibleEnd(2).point.y, p.b->GetEdge(2));

  // x and y of the base point in the property grid: the box moves like a
  // drag, with its frame, and the attached ends go along.
  const int32_t left = p.a->GetEdge(0), top = p.a->GetEdge(2);
  p.a->SetProperty(11, "130", "");
  EXPECT_EQ(p.a->basePoint(), (Point32{130, 100}));
  EXPECT_EQ(p.a->GetEdge(0), left + 30);
  EXPECT_EQ(p.c->end(1), (Point32{end1.x + 30, end1.y}));
  EXPECT_EQ(p.line->point2(), (Point32{lineEnd.x + 30, lineEnd.y}));
  p.a->SetProperty(12, "90", "");
  EXPECT_EQ(p.a->basePoint(), (Point32{130, 90}));
  EXPECT_EQ(p.a->GetEdge(2), top - 10);
  EXPECT_EQ(p.c->end(1), (Point32{end1.x + 30, end1.y - 10}));
  EXPECT_EQ(p.line->point2(), (Point32{lineEnd.x + 30, lineEnd.y - 10}));
  EXPECT_EQ(p.c->through(), (Point32{250, 150}));
  EXPECT_EQ(p.b->GetAttachmentCount(), 1);
  EXPECT_EQ(p.a->GetAttachmentCount(), 2);
}

// Vertical text is drawn a quarter turned: grabbing a handle where it is
// drawn and letting go there leaves the angle alone; turning it by 45
// degrees gives 45.
TEST(TextBoxUserTasks, TurningVerticalTextByItsHandle) {
  Text_Box b;
  b.vertical = true;
  placed(b);
  const double off = b.descent16 / 16 - b.lineHeight16 / 32 - 1;
  const double cx = b.basePoint().x + off, cy = b.basePoint().y;
  const Point32 hp = b.GetHandlePoint(5);
  Point32 shown = TextBox_rotate(hp.x, hp.y, cx, cy, 90);
  b.DragHandleTo(5, shown.x, shown.y, false, 0, true);
  EXPECT_EQ(b.angle, 0);

  shown = TextBox_rotate(hp.x, hp.y, cx, cy, 90 + 45);
  b.DragHandleTo(5, shown.x, shown.y, true, 0, true);
  EXPECT_NEAR(b.angle, 45, 1);

  // Horizontal text is unchanged: the handle dragged a quarter round.
  Text_Box h;
  placed(h);
  const Point32 hh = h.GetHandlePoint(5);
  shown = TextBox_rotate(hh.x, hh.y, 100, 100, 90);
  h.DragHandleTo(5, shown.x, shown.y, false, 0, true);
  EXPECT_EQ(h.angle, 90);
}

// The link row keeps anchors, URLs and scripts as typed; only file paths
// are made absolute against the note's folder.
TEST(TextBoxUserTasks, TypingLinksIntoTheLinkRow) {
  const std::string folder = "/home/u/notes";
  Text_Box b;
  placed(b);
  for (const char* kept : {"#top", "http://example.com/a.html#x", "HTTPS://example.com/",
                           "javascript:alert(1)", "JavaScript:go()", "script:open('a')"}) {
    b.SetProperty(3, kept, folder);
    EXPECT_EQ(b.GetUrl(), kept);
    EXPECT_EQ(b.GetProperty(3, false, 4096, folder).value, kept);
  }
  b.SetProperty(3, "sub/doc.svg#top", folder);
  EXPECT_EQ(b.GetUrl(), "/home/u/notes/sub/doc.svg#top");
  EXPECT_EQ(b.GetProperty(3, false, 4096, folder).value, "sub/doc.svg#top");
  b.SetProperty(3, "../other.svg", folder);
  EXPECT_EQ(b.GetUrl(), "/home/u/other.svg");
  EXPECT_EQ(b.textColour, 0xFF0000u);  // still the link colour rule
}

// The frame 92..132 x 86..107: the bands are 8 device pixels outside and 2
// inside, and a handle's score (device pixels) must stay below 17, at any
// zoom.
TEST(TextBoxUserTasks, GrabbingHandlesAtSeveralZooms) {
  Text_Box b;
  placed(b);
  // 50 %: a device pixel is two units.
  HitResult h = b.HitTest(144, 119, 50, 0);  // 6 + 6 device pixels off the corner
  EXPECT_EQ(h.code, 8);
  EXPECT_EQ(h.distance, 12);
  EXPECT_EQ(h.cursor, HitCursor_SizeDiagonalDown);
  EXPECT_EQ(b.HitTest(148, 123, 50, 0).code, 8);   // 8 + 8
  EXPECT_EQ(b.HitTest(150, 123, 50, 0).code, 0);   // 9 outside
  EXPECT_EQ(b.HitTest(80, 76, 50, 0).code, 1);     // 6 + 5 off the top-left
  EXPECT_EQ(b.HitTest(148, 96, 50, 0).code, 5);
  EXPECT_EQ(b.HitTest(150, 96, 50, 0).code, 0);
  EXPECT_EQ(b.HitTest(128, 96, 50, 0).code, 5);    // 2 inside
  EXPECT_EQ(b.HitTest(126, 96, 50, 0).code, -1);
  // 100 %.
  EXPECT_EQ(b.HitTest(140, 115, 100, 0).code, 8);
  EXPECT_EQ(b.HitTest(140, 115, 100, 0).distance, 16);
  EXPECT_EQ(b.HitTest(141, 96, 100, 0).code, 0);
  EXPECT_EQ(b.HitTest(130, 96, 100, 0).code, 5);
  EXPECT_EQ(b.HitTest(129, 96, 100, 0).code, -1);
  // 200 %: a unit is two device pixels.
  EXPECT_EQ(b.HitTest(136, 111, 200, 0).code, 8);
  EXPECT_EQ(b.HitTest(136, 111, 200, 0).distance, 16);
  EXPECT_EQ(b.HitTest(137, 96, 200, 0).code, 0);
  EXPECT_EQ(b.HitTest(131, 96, 200, 0).code, 5);
  EXPECT_EQ(b.HitTest(130, 96, 200, 0).code, -1);
  // 400 %: the inner band is half a unit, so the unit inside the edge is
  // the body.
  EXPECT_EQ(b.HitTest(134, 96, 400, 0).code, 5);
  EXPECT_EQ(b.HitTest(132, 96, 400, 0).code, 5);
  EXPECT_EQ(b.HitTest(131, 96, 400, 0).code, -1);
}

// The area of a linked box in a page image's map.
TEST(TextBoxUserTasks, ImageMapAreas) {
  Text_Box b;
  placed(b);
  std::string out = "<MAP>";
  EXPECT_FALSE(b.WriteImageMapArea(out, 16000, "/home/u/notes"));  // no link
  EXPECT_EQ(out, "<MAP>");

  b.SetUrl("/home/u/notes/sub/doc.svg#top");
  b.SetTarget("_blank");
  out.clear();
  ASSERT_TRUE(b.WriteImageMapArea(out, 16000, "/home/u/notes"));
  EXPECT_EQ(out,
            "<AREA shape=\"rect\" coords=\"92,86,133,108\" href=\"sub/doc.svg#top\""
            " target=\"_blank\"/>");

  // Without a target, a URL and characters that need escaping.
  Text_Box e;
  placed(e, 10, 20);
  e.SetUrl("http://example.com/?a=1&b=\"2\"<'");
  out = "x";
  ASSERT_TRUE(e.WriteImageMapArea(out, 16000, "/home/u/notes"));
  const std::string area =
      "<AREA shape=\"rect\" coords=\"2,6,43,28\""
      " href=\"http://example.com/?a=1&amp;b=&quot;2&quot;&lt;&apos;\"/>";
  EXPECT_EQ(out, "x" + area);

  // The area and its terminator must fit.
  out.clear();
  EXPECT_FALSE(e.WriteImageMapArea(out, area.size(), ""));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(e.WriteImageMapArea(out, area.size() + 1, ""));
  EXPECT_EQ(out, area);
}

// A snapshot with values no box can hold raises and leaves the box as it
// was; a sound one is taken whole.
TEST(TextBoxUserTasks, DamagedSnapshotsLeaveTheBoxAlone) {
  Text_Box live;
  placed(live, 40, 50);
  live.SetNumber(9);
  live.SetText("keep");
  live.SetSelected(true);
  const std::unique_ptr<CadPrim> before = live.Clone(nullptr);
  before->SetIsCopy(true);

  auto damaged = [](auto change) {
    Text_Box src;
    placed(src, 300, 300);
    src.SetText("other");
    change(src);
    return Snapshot_make(src);
  };
  const std::vector<std::vector<uint8_t>> bad = {
      damaged([](Text_Box& s) { s.lineSpacing = 0; }),
      damaged([](Text_Box& s) { s.lineSpacing = -3; }),
      damaged([](Text_Box& s) { s.frameShape = 6; }),
      damaged([](Text_Box& s) { s.fontSize = 0; }),
      damaged([](Text_Box& s) { s.alignment = 3; }),
  };
  for (const auto& snap : bad) {
    EXPECT_EQ(testing_support::CatchError([&] { Snapshot_restore(live, snap); }).code,
              Errors_Unofficial);
    EXPECT_TRUE(live.Equals(*before, 5));
    EXPECT_EQ(live.text(), "keep");
    EXPECT_EQ(live.basePoint(), (Point32{40, 50}));
    EXPECT_TRUE(live.IsSelected());
  }

  // A sound snapshot (an old layout's negative frame shape included).
  Text_Box src;
  placed(src, 300, 300);
  src.SetText("other");
  src.frameShape = -3;
  src.SetNumber(9);
  Snapshot_restore(live, Snapshot_make(src));
  EXPECT_TRUE(live.Equals(src, 5));
  EXPECT_TRUE(live.IsSelected());
  EXPECT_EQ(live.text(), "other");
}
