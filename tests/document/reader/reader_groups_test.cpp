#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "reader_harness.h"

using reader_test::Harness;
using reader_test::svgOf;

namespace {

std::string lineTag(int x1, int y1, int x2, int y2, const char* extra = "") {
  return "<line x1=\"" + std::to_string(x1) + ".5\" y1=\"" + std::to_string(y1) + ".5\" x2=\"" +
         std::to_string(x2) + ".5\" y2=\"" + std::to_string(y2) + ".5\" " + extra + "/>";
}

struct CornerCase {
  std::vector<std::array<int, 4>> lines;
  Point32 through;
  int32_t direction;
};

Line_Corner* cornerOf(Harness& h, const std::vector<std::array<int, 4>>& lines,
                      const char* lastExtra = "") {
  std::string svg = "<svg><g>";
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto& l = lines[i];
    svg += lineTag(l[0], l[1], l[2], l[3], i + 1 == lines.size() ? lastExtra : "");
  }
  h.read(svg + "</g></svg>");
  return h.only<Line_Corner>();
}

std::vector<Point32> routeOf(const Line_Corner& c) {
  const CornerRoute r = c.ComputeRoute();
  return {r.points.begin(), r.points.begin() + r.count};
}

}  // namespace

TEST(ReaderGroups, ShapeAndTextBecomeAFramedTextBox) {
  struct Case {
    const char* shape;
    int32_t frame;
  };
  const Case cases[] = {
      {"<rect x=\"10\" y=\"20\" width=\"30\" height=\"40\"", TextBoxFrame_Rectangle},
      {"<rect x=\"10\" y=\"20\" width=\"30\" height=\"40\" rx=\"10\"", TextBoxFrame_RoundRect},
      {"<ellipse cx=\"25\" cy=\"40\" rx=\"15\" ry=\"20\"", TextBoxFrame_Ellipse},
      {"<polygon points=\"25,20 40,40 25,60 10,40\"", TextBoxFrame_Diamond},
      {"<polygon points=\"20,20 50,20 30,60 0,60\"", TextBoxFrame_Parallelogram},
      {"<image x=\"10\" y=\"20\" width=\"30\" height=\"40\" xlink:href=\"a.png\"",
       TextBoxFrame_Rectangle},
  };
  for (const Case& c : cases) {
    Harness h;
    h.read(std::string("<svg><rect x=\"0\"/><g pub=\"shared\">") + c.shape +
           " style=\"fill:rgb(1,2,3);stroke:rgb(4,5,6);stroke-width:3;fill-opacity:0.4\"/>"
           "<text x=\"12\" y=\"30\">hello</text></g></svg>");
    ASSERT_EQ(h.figures.size(), 2u) << c.shape;
    // The merged box goes to the end, with a number of its own.
    auto* b = dynamic_cast<Text_Box*>(&h.figures.at(1));
    ASSERT_TRUE(b) << c.shape;
    EXPECT_EQ(b->GetNumber(), 4);
    EXPECT_EQ(b->frameShape, c.frame) << c.shape;
    const int32_t right = c.frame == TextBoxFrame_Ellipse ? 41 : 40;
    const int32_t bottom = c.frame == TextBoxFrame_Ellipse ? 61 : 60;
    EXPECT_EQ(b->bounds, (TextBoxFrameBounds{10, 20, right, bottom})) << c.shape;
    EXPECT_EQ(b->layoutFlags & TextBox_boundsValid, TextBox_boundsValid);
    EXPECT_EQ(b->marginX, -1);
    EXPECT_EQ(b->marginY, -1);
    EXPECT_EQ(b->widthExtra, right - 10);
    if (std::string(c.shape).find("image") == std::string::npos) {
      EXPECT_EQ(b->frameWidth, 3) << c.shape;
      EXPECT_EQ(b->frameColour, Colour{0x060504}) << c.shape;
      EXPECT_EQ(b->fillColour, Colour{0x030201}) << c.shape;
      EXPECT_EQ(b->opacity, 40) << c.shape;
    }
    EXPECT_EQ(b->text(), "hello");
    // The shape used the publication list up; the box takes it over.
    EXPECT_EQ(b->GetPub(), "shared");
  }
}

TEST(ReaderGroups, VerticalTextTakesTheFrameHeight) {
  Harness h;
  h.read("<svg><g><rect x=\"10\" y=\"20\" width=\"30\" height=\"70\"/>"
         "<text writing-mode=\"tb\">v</text></g></svg>");
  auto* b = h.only<Text_Box>();
  ASSERT_TRUE(b);
  EXPECT_EQ(b->widthExtra, 70);
}

TEST(ReaderGroups, OtherGroupsStayAsTheyAre) {
  Harness h;
  h.read("<svg><g><text>a</text><rect x=\"0\"/></g>"
         "<g><rect x=\"0\"/><text>b</text><rect x=\"0\"/></g>"
         "<g><polygon points=\"0,0 10,0 5,8\"/><text>c</text></g>"
         "<g><rect x=\"0\"/></g><g></g></svg>");
  EXPECT_EQ(h.figures.size(), 8u);
  for (const Text_Box* b : h.all<Text_Box>()) EXPECT_EQ(b->frameShape, TextBoxFrame_None);
}

TEST(ReaderGroups, ArrowHeadsOfCurrentNotesGo) {
  Harness h;
  h.read("<svg><g>" + lineTag(0, 0, 100, 50, "zerbin-arrow2=\"1\"") + lineTag(100, 50, 90, 40) +
         lineTag(100, 50, 85, 48) + "<circle cx=\"0\" cy=\"0\" r=\"3\"/></g></svg>");
  auto* l = h.only<Line_Ex>();
  ASSERT_TRUE(l);
  EXPECT_EQ(l->arrow(2), 1);
  EXPECT_EQ(l->point2(), (Point32{100, 50}));
  // Also after a horizontal line.
  Harness h2;
  h2.read("<svg><g>" + lineTag(0, 0, 100, 0, "zerbin-arrow2=\"3\"") +
          "<polygon points=\"100,0 88,-7 88,7\"/></g></svg>");
  ASSERT_TRUE(h2.only<Line_Ex>());
}

TEST(ReaderGroups, ArrowHeadsOfOlderNotesBecomeArrowKinds) {
  struct Case {
    std::string heads;
    int32_t a1, a2;
  };
  const std::string open2 = lineTag(100, 50, 90, 40) + lineTag(100, 50, 85, 48);
  const std::string open1 = lineTag(0, 0, 10, 8) + lineTag(0, 0, 12, 2);
  const std::string disc1 = "<circle cx=\"0\" cy=\"0\" r=\"3\" style=\"fill:rgb(1,1,1);stroke:rgb(1,1,1)\"/>";
  const std::string ring2 = "<circle cx=\"100\" cy=\"50\" r=\"3\" style=\"fill:rgb(255,255,255);stroke:rgb(0,0,0)\"/>";
  const std::string tri1 = "<polygon points=\"0,0 10,3 3,10\" style=\"fill:rgb(0,0,0);stroke:rgb(0,0,0)\"/>";
  const std::string hollowTri2 = "<polygon points=\"100,50 90,45 95,40\" style=\"fill:rgb(255,255,255);stroke:rgb(0,0,0)\"/>";
  const std::string diamond2 = "<polygon points=\"100,40 105,50 100,60 95,50\" style=\"fill:rgb(0,0,0);stroke:rgb(0,0,0)\"/>";
  const std::string quad1 = "<polygon points=\"0,0 8,3 14,0 8,-3\" style=\"fill:rgb(0,0,0);stroke:rgb(9,9,9)\"/>";
  const Case cases[] = {
      {open1, 1, 0},
      // A single head at end 2 ends up there.
      {open2, 0, 1},
      {open1 + ring2, 1, 5},
      {open2 + disc1, 2, 1},
      {tri1 + hollowTri2, 3, 6},
      {diamond2 + quad1, 7, 4},
      {disc1 + open2, 2, 1},
  };
  for (const Case& c : cases) {
    Harness h;
    h.formatVersion = 200;
    h.read("<svg><g>" + lineTag(0, 0, 100, 50) + c.heads + "</g></svg>");
    auto* l = h.only<Line_Ex>();
    ASSERT_TRUE(l) << c.heads;
    EXPECT_EQ(l->arrow(1), c.a1) << c.heads;
    EXPECT_EQ(l->arrow(2), c.a2) << c.heads;
  }
  // A line that carries its ends keeps its kinds; the shapes just go.
  Harness h;
  h.formatVersion = 200;
  h.read("<svg><g>" + lineTag(0, 0, 100, 50, "p2=\"100,50,3,0\"") + open1 + disc1 +
         "<rect x=\"0\"/></g></svg>");
  ASSERT_EQ(h.figures.size(), 2u);
  auto* l = h.all<Line_Ex>().at(0);
  EXPECT_EQ(l->arrow(1), 0);
  EXPECT_EQ(l->arrow(2), 3);
  // Figures that are no head stay.
  EXPECT_EQ(h.all<Rect_Ex>().size(), 1u);
}

TEST(ReaderGroups, OneLineInAGroupBecomesACorneredLine) {
  Harness h;
  h.read("<svg><g>" +
         lineTag(10, 20, 90, 60,
                 "style=\"stroke:rgb(1,2,3);stroke-width:3;stroke-dasharray:4,4\" p1=\"10,20,2,1\" "
                 "p2=\"90,60,6,0\"") +
         "</g></svg>");
  auto* c = h.only<Line_Corner>();
  ASSERT_TRUE(c);
  EXPECT_EQ(c->end(1), (Point32{10, 20}));
  EXPECT_EQ(c->end(2), (Point32{90, 60}));
  EXPECT_EQ(c->through(), (Point32{50, 40}));
  EXPECT_EQ(c->direction(), LineCorner_directionN);
  EXPECT_FALSE(c->autoCentre());
  EXPECT_EQ(c->width(), 3);
  EXPECT_EQ(c->colour(), Colour{0x030201});
  EXPECT_TRUE(c->dashed());
  EXPECT_EQ(c->arrow(1), 2);
  EXPECT_EQ(c->arrow(2), 6);
  EXPECT_EQ(c->rawEndTargetNumber(1), -1);
  EXPECT_EQ(c->rawEndTargetNumber(2), 0);
}

TEST(ReaderGroups, AxisLinesBecomeACorneredLine) {
  const CornerCase cases[] = {
      // The first segment runs to the left.
      {{{100, 10, 50, 10}, {50, 10, 50, 80}}, {50, 45}, LineCorner_directionN},
      {{{100, 10, 50, 10}, {50, 10, 50, 80}, {50, 80, 20, 80}, {20, 80, 20, 95}},
       {50, 80},
       LineCorner_directionN},
      // The first segment is vertical.
      {{{10, 10, 10, 50}, {10, 50, 90, 50}}, {50, 50}, LineCorner_directionN},
      {{{10, 10, 10, 50}, {10, 50, 90, 50}, {90, 50, 90, 70}, {90, 70, 60, 70}},
       {90, 50},
       LineCorner_directionN},
      // The first segment runs to the right.
      {{{10, 10, 50, 10}, {50, 10, 50, 80}, {50, 80, 90, 80}}, {50, 45}, LineCorner_directionZ},
      {{{10, 10, 50, 10}, {50, 10, 50, 80}}, {50, 10}, LineCorner_directionZ},
      {{{10, 10, 50, 10}, {50, 10, 50, 80}, {50, 80, 30, 80}}, {50, 45}, LineCorner_directionZ},
      {{{10, 10, 50, 10}, {50, 10, 50, 80}, {50, 80, 30, 80}, {30, 80, 30, 60}},
       {50, 80},
       LineCorner_directionZ},
  };
  for (const CornerCase& c : cases) {
    Harness h;
    Line_Corner* corner = cornerOf(h, c.lines, "style=\"stroke:rgb(9,8,7);stroke-width:2\"");
    ASSERT_TRUE(corner);
    const auto& first = c.lines.front();
    const auto& last = c.lines.back();
    EXPECT_EQ(corner->end(1), (Point32{first[0], first[1]}));
    EXPECT_EQ(corner->end(2), (Point32{last[2], last[3]}));
    EXPECT_EQ(corner->through(), c.through) << first[0] << "," << first[1] << " " << c.lines.size();
    EXPECT_EQ(corner->direction(), c.direction);
    EXPECT_FALSE(corner->autoCentre());
    EXPECT_EQ(corner->width(), 2);
    EXPECT_EQ(corner->colour(), Colour{0x070809});
    EXPECT_EQ(corner->arrow(1), 0);
  }
}

TEST(ReaderGroups, CorneredLinesRoundTrip) {
  struct Case {
    Point32 e1, e2, through;
    int32_t direction;
  };
  const Case cases[] = {
      {{10, 10}, {200, 120}, {100, 60}, LineCorner_directionZ},
      {{10, 10}, {200, 120}, {100, 60}, LineCorner_directionN},
      {{10, 10}, {200, 120}, {150, 30}, LineCorner_directionZ},
      {{10, 10}, {200, 120}, {10, 200}, LineCorner_directionN},
      {{10, 10}, {200, 120}, {300, 60}, LineCorner_directionN},
      {{10, 10}, {200, 10}, {100, 10}, LineCorner_directionZ},
      {{10, 10}, {10, 200}, {10, 100}, LineCorner_directionN},
      {{200, 120}, {10, 10}, {100, 60}, LineCorner_directionZ},
      {{200, 10}, {10, 120}, {100, 60}, LineCorner_directionN},
  };
  for (const Case& k : cases) {
    for (int32_t a1 : {0, 1, 2, 6}) {
      Line_Corner c;
      c.setEnd(1, k.e1.x, k.e1.y);
      c.setEnd(2, k.e2.x, k.e2.y);
      c.setThrough(k.through.x, k.through.y);
      c.setDirection(k.direction);
      c.setAutoCentre(false);
      c.setWidth(2);
      c.setColour(0x445566);
      c.setDashed(a1 == 6);
      c.setArrow(1, a1);
      c.setArrow(2, 3);
      const std::vector<Point32> route = routeOf(c);
      Harness h;
      h.read(svgOf(c));
      auto* back = h.only<Line_Corner>();
      ASSERT_TRUE(back) << svgOf(c);
      // The same path; with both ends on one vertical the reader's ends
      // list it the other way round.
      std::vector<Point32> backRoute = routeOf(*back);
      if (k.e1.x == k.e2.x) std::reverse(backRoute.begin(), backRoute.end());
      EXPECT_EQ(backRoute, route) << svgOf(c);
      EXPECT_EQ(back->width(), 2);
      EXPECT_EQ(back->colour(), Colour{0x445566});
      EXPECT_EQ(back->dashed(), a1 == 6);
      EXPECT_FALSE(back->autoCentre());
      // The reader's end 1 is the route's left end.
      const bool reversed = c.ComputeRoute().reversed && route.size() > 1;
      EXPECT_EQ(back->end(1), reversed ? c.end(2) : c.end(1)) << svgOf(c);
      EXPECT_EQ(back->arrow(1), reversed ? 3 : a1) << svgOf(c);
      EXPECT_EQ(back->arrow(2), reversed ? a1 : 3) << svgOf(c);
    }
  }
}

TEST(ReaderGroups, NestedGroupsResolveTheirOwnFigures) {
  // The inner group's line is a group of its own; the outer group's first
  // figure is a rectangle, so nothing else happens.
  Harness h;
  h.read("<svg><g><rect x=\"0\"/>" + lineTag(0, 0, 50, 0) + "<g>" + lineTag(0, 10, 50, 10) +
         "</g></g></svg>");
  EXPECT_EQ(h.all<Line_Ex>().size(), 1u);
  EXPECT_EQ(h.all<Line_Corner>().size(), 1u);
  EXPECT_EQ(h.all<Rect_Ex>().size(), 1u);
}
