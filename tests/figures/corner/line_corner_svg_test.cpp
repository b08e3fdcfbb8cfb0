#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/figure_list.h"
#include "figures/base/svg_write_context.h"
#include "figures/corner/line_corner.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

std::string write(const Line_Corner& c) {
  SvgWriteContext ctx;
  c.WriteSvg(ctx);
  return ctx.out;
}

std::string segment(int x1, int y1, int x2, int y2, const char* style = nullptr) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "\t<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\"\n", x1,
                y1, x2, y2);
  return std::string(buf) +
         (style ? style
                : "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1;stroke-linecap:round\"");
}

// Two "abc" boxes (frames 92..132 x 86..107 and 292..332 x 186..207) and a
// connector from inside the first to inside the second, both ends attached.
// Its route: (110, 95) -> (310, 95) -> (310, 195).
struct Page {
  FigureList list;
  Text_Box* a = nullptr;
  Text_Box* b = nullptr;
  Line_Corner* c = nullptr;

  Page() {
    a = addBox(1, 100, 100);
    b = addBox(2, 300, 200);
    auto line = std::make_unique<Line_Corner>();
    line->SetNumber(3);
    line->setEnd(1, 110, 95);
    line->setEnd(2, 310, 195);
    line->setThrough(210, 145);
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

TEST(LineCornerSvg, AttachedRouteWithArrows) {
  Page p;
  ASSERT_EQ(p.c->ComputeRoute().count, 3);
  // Without arrows the attached ends still carry their p attributes.
  EXPECT_EQ(write(*p.c), "\t<g>\n" + segment(110, 95, 310, 95) + "\n\t\tp1=\"110,95,0,1\"/>\n" +
                             segment(310, 95, 310, 195) + "\n\t\tp2=\"310,195,0,1\"/>\n\t</g>\n");

  // An open arrow at end 1 (on the frame's right side) and a filled circle
  // at end 2 (on the second box's top): the circle comes twice, thin first.
  p.c->setArrow(1, 1);
  p.c->setArrow(2, 2);
  const char* thin =
      "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1;stroke-linecap:round\"";
  EXPECT_EQ(write(*p.c), "\t<g>\n\t<g>\n" + segment(110, 95, 310, 95) +
                             "\n\t\tp1=\"110,95,1,1\"/>\n" + segment(132, 95, 143, 99, thin) +
                             "/>\n" + segment(132, 95, 143, 90, thin) + "/>\n\t</g>\n\t<g>\n" +
                             segment(310, 95, 310, 195) +
                             "\n\t\tp2=\"310,195,2,1\"/>\n"
                             "\t<circle cx=\"310.5\" cy=\"186.5\" r=\"4\"\n"
                             "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                             "\t<circle cx=\"310.5\" cy=\"186.5\" r=\"4\"\n"
                             "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                             "\t</g>\n\t</g>\n");

  // Wider, coloured and dashed: the second circle takes the line width.
  p.c->setWidth(2);
  p.c->setColour(Colour_rgb(9, 8, 7));
  p.c->setDashed(true);
  p.c->setArrow(1, 0);
  const char* dashed =
      "\t\tstyle=\"fill:none;stroke:rgb(9,8,7);stroke-width:2;stroke-dasharray:4,4;"
      "stroke-linecap:round\"";
  EXPECT_EQ(write(*p.c), "\t<g>\n" + segment(110, 95, 310, 95, dashed) +
                             "\n\t\tp1=\"110,95,0,1\"/>\n" + "\t<g>\n" +
                             segment(310, 95, 310, 195, dashed) +
                             "\n\t\tp2=\"310,195,2,1\"/>\n"
                             "\t<circle cx=\"310.5\" cy=\"186.5\" r=\"4\"\n"
                             "\t\tstyle=\"fill:rgb(9,8,7);stroke:rgb(9,8,7);stroke-width:1\"/>\n"
                             "\t<circle cx=\"310.5\" cy=\"186.5\" r=\"4\"\n"
                             "\t\tstyle=\"fill:rgb(9,8,7);stroke:rgb(9,8,7);stroke-width:2\"/>\n"
                             "\t</g>\n\t</g>\n");
}

TEST(LineCornerSvg, ReversedRoute) {
  // End 1 on the right: the route runs from end 2, so end 2 sits on the
  // first segment at its first point and end 1 on the last at its second.
  Line_Corner c;
  c.setEnd(1, 300, 50);
  c.setEnd(2, 100, 150);
  c.setDirection(LineCorner_directionZ);
  c.setThrough(200, 100);
  c.setArrow(1, 6);
  c.setArrow(2, 3);
  const CornerRoute r = c.ComputeRoute();
  ASSERT_TRUE(r.reversed);
  ASSERT_EQ(r.count, 4);
  ASSERT_EQ(r.points[1], (Point32{200, 150}));
  ASSERT_EQ(r.points[2], (Point32{200, 50}));
  const char* filled = "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:1\"/>\n";
  const char* hollow = "\t\tstyle=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"/>\n";
  EXPECT_EQ(write(c), "\t<g>\n\t<g>\n" + segment(100, 150, 200, 150) +
                          "\n\t\tp1=\"100,150,3,0\"/>\n"
                          "\t<polygon points=\"100.5,150.5 110.5,155.5 110.5,144.5\"\n" +
                          filled + "\t</g>\n" + segment(200, 150, 200, 50) + "/>\n\t<g>\n" +
                          segment(200, 50, 300, 50) +
                          "\n\t\tp2=\"300,50,6,0\"/>\n"
                          "\t<polygon points=\"300.5,50.5 289.5,44.5 289.5,55.5\"\n" +
                          hollow + "\t</g>\n\t</g>\n");
}

TEST(LineCornerSvg, ShortRoutesCarryBothEnds) {
  // Two points: one segment carries end 1 at its start and end 2 at its end.
  Line_Corner c;
  c.setEnd(1, 0, 0);
  c.setEnd(2, 100, 0);
  c.setThrough(50, 0);
  c.setArrow(2, 7);
  ASSERT_EQ(c.ComputeRoute().count, 2);
  EXPECT_EQ(write(c), "\t<g>\n\t<g>\n" + segment(0, 0, 100, 0) +
                          "\n\t\tp2=\"100,0,7,0\"/>\n"
                          "\t<polygon points=\"100.5,0.5 88.5,-4.5 77.5,0.5 88.5,4.5\"\n"
                          "\t\tstyle=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                          "\t</g>\n\t</g>\n");
  // Everything in one point: still one (empty) segment with both ends; the
  // tie in x makes the route reversed, so end 1 is its second point.
  c.setEnd(2, 0, 0);
  c.setThrough(0, 0);
  c.setArrow(1, 5);
  c.setArrow(2, 0);
  ASSERT_EQ(c.ComputeRoute().count, 1);
  EXPECT_EQ(write(c), "\t<g>\n\t<g>\n" + segment(0, 0, 0, 0) +
                          "\n\t\tp2=\"0,0,5,0\"/>\n"
                          "\t<circle cx=\"0.5\" cy=\"0.5\" r=\"4\"\n"
                          "\t\tstyle=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                          "\t</g>\n\t</g>\n");
}
