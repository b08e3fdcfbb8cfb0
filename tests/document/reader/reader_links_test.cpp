#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "reader_harness.h"

using reader_test::Harness;
using reader_test::metrics;

namespace {

// The element text of a page's figures, laid out as the writer does.
std::string pageOf(FigureList& list) {
  SvgWriteContext w;
  w.notePath = "/notes/a.svg";
  for (const auto& f : list) {
    if (auto* b = dynamic_cast<Text_Box*>(f.get())) b->Layout(metrics(), DrawContext{});
  }
  for (const auto& f : list) f->WriteSvg(w);
  return "<svg>\n" + w.out + "</svg>\n";
}

std::unique_ptr<Text_Box> node(const char* id, int32_t x, int32_t y) {
  auto b = std::make_unique<Text_Box>(&metrics());
  b->SetText("node");
  b->SetId(id);
  b->SetBasePoint(x, y);
  b->Layout(metrics(), DrawContext{});
  return b;
}

// "<text>" of a box "node" with base (x, y): with the fixed metrics its
// frame is x - 8 ... x + 40 by y - 14 ... y + 7, centre (x + 16, y - 3).
std::string textTag(const char* id, int x, int y) {
  return "<g id=\"" + std::string(id) + "\"><rect x=\"" + std::to_string(x - 8) + "\" y=\"" +
         std::to_string(y - 14) + "\" width=\"48\" height=\"21\"/><text x=\"" + std::to_string(x) +
         "\" y=\"" + std::to_string(y) + "\" style=\"font-size:12pt\">node</text></g>";
}

}  // namespace

TEST(ReaderLinks, LineEndsFindTheirBoxesById) {
  Harness h;
  h.read("<svg>" + textTag("Box1", 100, 100) +
         "<line x1=\"0\" y1=\"0\" x2=\"300\" y2=\"300\" zerbin-lnk1=\"#box1\" zerbin-lnk2=\"#nobody\"/>"
         "</svg>");
  auto* box = h.all<Text_Box>().at(0);
  auto* line = h.all<Line_Ex>().at(0);
  ASSERT_EQ(line->RawEndTargetNumber(1), -2);
  ReaderElements_connectLoadedLinks(h.figures, 300);
  EXPECT_EQ(line->GetEndTarget(1), box);
  EXPECT_EQ(line->RawEndTargetNumber(1), box->GetNumber());
  EXPECT_EQ(line->PendingTargetId(1), "");
  ASSERT_EQ(box->GetAttachmentCount(), 1);
  EXPECT_EQ(box->GetAttachment(1)->lineEnd, 1);
  // An id that names nothing leaves the end free.
  EXPECT_EQ(line->GetEndTarget(2), nullptr);
  EXPECT_EQ(line->RawEndTargetNumber(2), 0);
  EXPECT_EQ(line->PendingTargetId(2), "");
}

TEST(ReaderLinks, OnlyTextBoxesTakeLineEnds) {
  Harness h;
  h.read("<svg><rect id=\"n\" x=\"0\"/>" + textTag("N", 100, 100) +
         "<line x1=\"0\" y1=\"0\" x2=\"300\" y2=\"300\" zerbin-lnk2=\"#n\"/></svg>");
  ReaderElements_connectLoadedLinks(h.figures, 300);
  EXPECT_EQ(h.all<Line_Ex>().at(0)->GetEndTarget(2), h.all<Text_Box>().at(0));
}

TEST(ReaderLinks, BoxesThatCannotBeMeasuredKeepTheIdPending) {
  Harness h;
  h.withMetrics = false;
  h.read("<svg><text id=\"b\" x=\"10\" y=\"10\">t</text>"
         "<line x1=\"0\" y1=\"0\" x2=\"300\" y2=\"300\" zerbin-lnk1=\"#b\"/></svg>");
  ReaderElements_connectLoadedLinks(h.figures, 300);
  auto* line = h.all<Line_Ex>().at(0);
  EXPECT_EQ(line->RawEndTargetNumber(1), -2);
  EXPECT_EQ(line->PendingTargetId(1), "b");
}

TEST(ReaderLinks, UnframedBoxesAreMeasuredToTakeEnds) {
  Harness h;
  h.read("<svg><text id=\"b\" x=\"10\" y=\"10\" style=\"font-size:12pt\">t</text>"
         "<line x1=\"0\" y1=\"0\" x2=\"300\" y2=\"300\" zerbin-lnk1=\"#b\"/></svg>");
  ReaderElements_connectLoadedLinks(h.figures, 300);
  auto* box = h.all<Text_Box>().at(0);
  EXPECT_TRUE(box->HasLayout());
  EXPECT_EQ(h.all<Line_Ex>().at(0)->GetEndTarget(1), box);
}

TEST(ReaderLinks, OlderNotesAttachByPosition) {
  // Centre of the box at (100, 100): (116, 97).
  Harness h;
  h.formatVersion = 200;
  h.read("<svg>" + textTag("a", 100, 100) + textTag("b", 300, 100) +
         "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\" p1=\"0,0,0,1\" p2=\"120,95,1,1\"/>"
         "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\" p1=\"310,95,0,1\" p2=\"500,500,0,0\"/></svg>");
  auto boxes = h.all<Text_Box>();
  auto lines = h.all<Line_Ex>();
  ASSERT_EQ(boxes.size(), 2u);
  ASSERT_EQ(lines.size(), 2u);
  ReaderElements_connectLoadedLinks(h.figures, 200);
  // Near the centre (within 5): attached; elsewhere the end becomes free.
  EXPECT_EQ(lines[0]->GetEndTarget(1), nullptr);
  EXPECT_EQ(lines[0]->RawEndTargetNumber(1), 0);
  EXPECT_EQ(lines[0]->GetEndTarget(2), boxes[0]);
  // Inside the frame but off its centre: an older note does not attach.
  EXPECT_EQ(lines[1]->GetEndTarget(1), nullptr);
  EXPECT_EQ(lines[1]->RawEndTargetNumber(1), 0);
  EXPECT_EQ(lines[1]->GetEndTarget(2), nullptr);
}

TEST(ReaderLinks, CorneredLinesKeepTheirAttachments) {
  FigureList page;
  auto* a = static_cast<Text_Box*>(&page.append(node("a", 100, 100)));
  auto* b = static_cast<Text_Box*>(&page.append(node("b", 300, 200)));
  auto corner = std::make_unique<Line_Corner>();
  corner->setEnd(1, 110, 95);
  corner->setEnd(2, 320, 190);
  corner->setThrough(200, 150);
  corner->setAutoCentre(false);
  corner->setArrow(2, 3);
  auto* c = static_cast<Line_Corner*>(&page.append(std::move(corner)));
  a->AttachEnd(0, *c, 1);
  b->AttachEnd(0, *c, 2);
  ASSERT_EQ(c->GetEndTarget(1), a);
  const std::string svg = pageOf(page);
  ASSERT_NE(svg.find("p1=\"110,95,0,1\""), std::string::npos) << svg;

  Harness h;
  h.read(svg);
  auto boxes = h.all<Text_Box>();
  auto corners = h.all<Line_Corner>();
  ASSERT_EQ(boxes.size(), 2u);
  ASSERT_EQ(corners.size(), 1u);
  EXPECT_EQ(corners[0]->rawEndTargetNumber(1), -1);
  EXPECT_EQ(corners[0]->rawEndTargetNumber(2), -1);
  EXPECT_EQ(corners[0]->arrow(2), 3);
  ReaderElements_connectLoadedLinks(h.figures, 300);
  // End 2 is off its box's centre: a current note attaches it to the box
  // whose frame holds it.
  EXPECT_EQ(corners[0]->GetEndTarget(1), boxes[0]);
  EXPECT_EQ(corners[0]->GetEndTarget(2), boxes[1]);
  EXPECT_EQ(boxes[0]->GetAttachmentCount(), 1);
  EXPECT_EQ(boxes[1]->GetAttachmentCount(), 1);
}

TEST(ReaderLinks, StraightLinesKeepTheirAttachments) {
  FigureList page;
  auto* a = static_cast<Text_Box*>(&page.append(node("First", 100, 100)));
  auto line = std::make_unique<Line_Ex>();
  line->SetPoints({116, 97}, {400, 300});
  auto* l = static_cast<Line_Ex*>(&page.append(std::move(line)));
  a->AttachEnd(0, *l, 1);
  const std::string svg = pageOf(page);
  ASSERT_NE(svg.find("zerbin-lnk1=\"#First\""), std::string::npos) << svg;
  Harness h;
  h.read(svg);
  ReaderElements_connectLoadedLinks(h.figures, 300);
  auto* back = h.all<Line_Ex>().at(0);
  EXPECT_EQ(back->GetEndTarget(1), h.all<Text_Box>().at(0));
  EXPECT_EQ(back->GetEndTarget(2), nullptr);
}

TEST(ReaderLinks, FiguresAreKeptInThePageRange) {
  Harness h;
  h.read("<svg><rect x=\"99990\" y=\"-99999\" width=\"100\" height=\"5\"/>"
         "<rect x=\"-99999\" y=\"99990\" width=\"5\" height=\"10\"/>"
         "<line x1=\"0\" y1=\"99999\" x2=\"10\" y2=\"99990\"/>"
         "<text x=\"0\" y=\"99999\" style=\"font-size:12pt\">t</text></svg>");
  ReaderElements_connectLoadedLinks(h.figures, 300);
  auto rs = h.all<Rect_Ex>();
  EXPECT_EQ(rs[0]->x, 99899);
  EXPECT_EQ(rs[0]->y, -99999);
  EXPECT_EQ(rs[1]->x, -99999);
  EXPECT_EQ(rs[1]->y, 99981);
  auto* l = h.all<Line_Ex>().at(0);
  EXPECT_EQ(l->point1(), (Point32{0, 99991}));
  EXPECT_EQ(l->point2(), (Point32{10, 99982}));
  auto* t = h.all<Text_Box>().at(0);
  EXPECT_EQ(t->GetEdge(3), 99991);
}
