#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/figure_list.h"
#include "figures/base/svg_write_context.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

std::string write(const std::unique_ptr<Line_Ex>& l) {
  SvgWriteContext ctx;
  l->WriteSvg(ctx);
  return ctx.out;
}

std::string write(const Line_Ex& l) {
  SvgWriteContext ctx;
  l.WriteSvg(ctx);
  return ctx.out;
}

std::unique_ptr<Line_Ex> line(Point32 a, Point32 b, int32_t arrow1 = 0, int32_t arrow2 = 0) {
  auto l = std::make_unique<Line_Ex>();
  l->SetPoints(a, b);
  l->SetArrow(1, arrow1);
  l->SetArrow(2, arrow2);
  return l;
}

constexpr const char* kBlack =
    "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1;stroke-linecap:round\"";

}  // namespace

TEST(LineExSvg, PlainDashedAndLayoutLines) {
  auto l = line({10, 20}, {110, 20});
  EXPECT_EQ(write(l), std::string("\t<line x1=\"10.5\" y1=\"20.5\" x2=\"110.5\" y2=\"20.5\"\n") +
                          kBlack + "/>\n");
  l->SetDashed(true);
  l->SetWidth(3);
  l->SetColour(Colour_rgb(10, 20, 30));
  EXPECT_EQ(write(l),
            "\t<line x1=\"10.5\" y1=\"20.5\" x2=\"110.5\" y2=\"20.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(10,20,30);stroke-width:3;"
            "stroke-dasharray:4,4;stroke-linecap:round\"/>\n");
  auto m = line({-5, 0}, {-5, 300});
  m->SetLayoutLine(true);
  EXPECT_EQ(write(m), std::string("\t<line x1=\"-5.5\" y1=\"0.5\" x2=\"-5.5\" y2=\"300.5\"\n") +
                          kBlack + "\n\t\t zerbin-layout-line=\"1\"/>\n");
}

TEST(LineExSvg, FilledTriangleAtEndTwo) {
  // u = (-12, 0) turned by +-30 degrees: (-10.39, -6.00) and (-10.39, 6.00).
  EXPECT_EQ(write(line({10, 20}, {110, 20}, 0, 3)),
            std::string("\t<g>\n\t<line x1=\"10.5\" y1=\"20.5\" x2=\"110.5\" y2=\"20.5\"\n") +
                kBlack +
                "\n\t\t zerbin-arrow2=\"3\"/>\n"
                "\t<polygon points=\"110.5,20.5 99.5,14.5 99.5,25.5\"\n"
                "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                "\t</g>\n");
}

TEST(LineExSvg, HollowHeadsOnYellowAndDarkerLines) {
  auto l = line({10, 20}, {110, 20}, 6, 0);
  l->SetColour(Colour_rgb(255, 255, 0));
  const std::string yellow = write(l);
  EXPECT_EQ(yellow,
            "\t<g>\n\t<line x1=\"10.5\" y1=\"20.5\" x2=\"110.5\" y2=\"20.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(255,255,0);stroke-width:1;stroke-linecap:round\"\n"
            "\t\t zerbin-arrow1=\"6\"/>\n"
            "\t<polygon points=\"10.5,20.5 20.5,25.5 20.5,14.5\"\n"
            "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(255,255,0);stroke-width:1\"/>\n"
            "\t</g>\n");
  l->SetColour(Colour_rgb(209, 209, 255));
  EXPECT_NE(write(l).find("style=\"fill:rgb(0,0,0);stroke:rgb(209,209,255)"), std::string::npos);
  // Red 208 is not above 208: a white head.
  l->SetColour(Colour_rgb(208, 255, 0));
  EXPECT_NE(write(l).find("style=\"fill:rgb(255,255,255);stroke:rgb(208,255,0)"),
            std::string::npos);
  l->SetColour(Colour_rgb(255, 208, 0));
  EXPECT_NE(write(l).find("style=\"fill:rgb(255,255,255);stroke:rgb(255,208,0)"),
            std::string::npos);
}

TEST(LineExSvg, OpenArrowsAndTheOrderOfHeads) {
  // Width 2: S = 16, u = (16, 0) at end 1, turned by +-20 degrees.
  auto l = line({0, 0}, {200, 0}, 1, 1);
  l->SetWidth(2);
  const char* style =
      "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:2;stroke-linecap:round\"";
  EXPECT_EQ(write(l),
            std::string("\t<g>\n\t<line x1=\"0.5\" y1=\"0.5\" x2=\"200.5\" y2=\"0.5\"\n") + style +
                "\n\t\t zerbin-arrow1=\"1\" zerbin-arrow2=\"1\"/>\n" +
                "\t<line x1=\"0.5\" y1=\"0.5\" x2=\"15.5\" y2=\"5.5\"\n" + style + "/>\n" +
                "\t<line x1=\"0.5\" y1=\"0.5\" x2=\"15.5\" y2=\"-5.5\"\n" + style + "/>\n" +
                "\t<line x1=\"200.5\" y1=\"0.5\" x2=\"184.5\" y2=\"-5.5\"\n" + style + "/>\n" +
                "\t<line x1=\"200.5\" y1=\"0.5\" x2=\"184.5\" y2=\"5.5\"\n" + style + "/>\n" +
                "\t</g>\n");

  // A hollow circle at end 1 comes after the filled diamond of end 2.
  auto m = line({0, 0}, {0, 100}, 5, 4);
  EXPECT_EQ(write(m),
            std::string("\t<g>\n\t<line x1=\"0.5\" y1=\"0.5\" x2=\"0.5\" y2=\"100.5\"\n") + kBlack +
                "\n\t\t zerbin-arrow1=\"5\" zerbin-arrow2=\"4\"/>\n"
                "\t<polygon points=\"0.5,100.5 4.5,88.5 0.5,77.5 -4.5,88.5\"\n"
                "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                "\t<circle cx=\"0.5\" cy=\"0.5\" r=\"3\"\n"
                "\t\tstyle=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                "\t</g>\n");

  // A filled circle has the radius width + 2.
  auto c = line({0, 0}, {0, 100}, 2, 0);
  c->SetWidth(4);
  EXPECT_NE(write(c).find("\t<circle cx=\"0.5\" cy=\"0.5\" r=\"6\"\n"
                          "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:4\"/>\n"),
            std::string::npos);
}

TEST(LineExSvg, AttachedAndPendingEnds) {
  FigureList list;
  auto box = std::make_unique<Text_Box>(&metrics());
  box->SetNumber(1);
  box->SetId("t1");
  box->SetBasePoint(100, 100);  // "abc": the frame is 92..132 x 86..107
  box->Layout(metrics(), DrawContext{});
  Text_Box& b = static_cast<Text_Box&>(list.append(std::move(box)));
  auto ln = std::make_unique<Line_Ex>();
  ln->SetNumber(2);
  ln->SetPoints({300, 96}, {112, 96});
  ln->SetArrow(2, 3);
  Line_Ex& l = static_cast<Line_Ex&>(list.append(std::move(ln)));
  b.AttachEnd(0, l, 2);
  ASSERT_EQ(l.GetEndTarget(2), &b);
  l.SetPendingTargetId(1, "later");

  // The segment ends on the frame, where its head is drawn.
  EXPECT_EQ(write(l),
            std::string("\t<g>\n\t<line x1=\"300.5\" y1=\"96.5\" x2=\"132.5\" y2=\"96.5\"\n") +
                kBlack +
                "\n\t\t zerbin-arrow2=\"3\" zerbin-lnk1=\"#later\" zerbin-lnk2=\"#t1\"/>\n"
                "\t<polygon points=\"132.5,96.5 142.5,101.5 142.5,90.5\"\n"
                "\t\tstyle=\"fill:rgb(0,0,0);stroke:rgb(0,0,0);stroke-width:1\"/>\n"
                "\t</g>\n");

  // Without arrows an attachment alone opens the extra attribute line.
  l.SetArrow(2, 0);
  l.ReleasePendingTargetId(1);
  EXPECT_EQ(write(l), std::string("\t<line x1=\"300.5\" y1=\"96.5\" x2=\"132.5\" y2=\"96.5\"\n") +
                          kBlack + "\n\t\t zerbin-lnk2=\"#t1\"/>\n");

  // The ids are escaped like every name in an attribute.
  b.SetId("t\"&<");
  l.SetPendingTargetId(1, "p'\"");
  EXPECT_EQ(write(l), std::string("\t<line x1=\"300.5\" y1=\"96.5\" x2=\"132.5\" y2=\"96.5\"\n") +
                          kBlack +
                          "\n\t\t zerbin-lnk1=\"#p&apos;&quot;\" zerbin-lnk2=\"#t&quot;&amp;&lt;\"/>\n");
  l.ReleasePendingTargetId(1);

  // A target without an id cannot be named: nothing is written for it.
  b.SetId("");
  EXPECT_EQ(write(l), std::string("\t<line x1=\"300.5\" y1=\"96.5\" x2=\"132.5\" y2=\"96.5\"\n") +
                          kBlack + "/>\n");
}
