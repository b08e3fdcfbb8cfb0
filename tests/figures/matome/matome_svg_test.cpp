#include <gtest/gtest.h>

#include <string>

#include "figures/base/svg_write_context.h"
#include "figures/matome/matome.h"

namespace {

std::string write(Point32 p1, Point32 p2, Colour colour = 0, int32_t width = 1) {
  Matome m;
  m.SetPoints(p1, p2);
  m.SetColour(colour);
  m.SetWidth(width);
  SvgWriteContext ctx;
  m.WriteSvg(ctx);
  return ctx.out;
}

}  // namespace

TEST(MatomeSvg, HorizontalBrace) {
  EXPECT_EQ(write({10, 20}, {110, 40}),
            "\t<path subtype=\"matome\" d=\"M10.5,40.5 A10,10 0 0,1 20.5,30.5 "
            "L50.5,30.5 A10,10, 0 0,0, 60.5,20.5 A10,10, 0 0,0, 70.5,30.5 "
            "L100.5,30.5 A10,10, 0 0,1, 110.5,40.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1\"/>\n");
  // Drawn from right to left: the offsets and both flags turn round.
  EXPECT_EQ(write({110, 20}, {10, 40}, Colour_rgb(200, 0, 7), 3),
            "\t<path subtype=\"matome\" d=\"M110.5,40.5 A10,10 0 0,0 100.5,30.5 "
            "L70.5,30.5 A10,10, 0 0,1, 60.5,20.5 A10,10, 0 0,1, 50.5,30.5 "
            "L20.5,30.5 A10,10, 0 0,0, 10.5,40.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(200,0,7);stroke-width:3\"/>\n");
  // An odd height: the radius and the middle truncate.
  EXPECT_EQ(write({0, 0}, {100, 21}),
            "\t<path subtype=\"matome\" d=\"M0.5,21.5 A10,10 0 0,1 10.5,10.5 "
            "L40.5,10.5 A10,10, 0 0,0, 50.5,0.5 A10,10, 0 0,0, 60.5,10.5 "
            "L90.5,10.5 A10,10, 0 0,1, 100.5,21.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1\"/>\n");
}

TEST(MatomeSvg, VerticalBrace) {
  EXPECT_EQ(write({20, 10}, {40, 110}),
            "\t<path subtype=\"matome\" d=\"M40.5,10.5 A10,10 0 0,0 30.5,20.5 "
            "L30.5,50.5 A10,10, 0 0,1, 20.5,60.5 A10,10, 0 0,1, 30.5,70.5 "
            "L30.5,100.5 A10,10, 0 0,0, 40.5,110.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1\"/>\n");
  // Upwards: negative offsets, flags swapped.
  EXPECT_EQ(write({20, 110}, {40, 10}),
            "\t<path subtype=\"matome\" d=\"M40.5,110.5 A10,10 0 0,1 30.5,100.5 "
            "L30.5,70.5 A10,10, 0 0,0, 20.5,60.5 A10,10, 0 0,0, 30.5,50.5 "
            "L30.5,20.5 A10,10, 0 0,1, 40.5,10.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1\"/>\n");
  // A square extent counts as vertical.
  EXPECT_EQ(write({0, 0}, {40, 40}),
            "\t<path subtype=\"matome\" d=\"M40.5,0.5 A20,20 0 0,0 20.5,20.5 "
            "L20.5,0.5 A20,20, 0 0,1, 0.5,20.5 A20,20, 0 0,1, 20.5,40.5 "
            "L20.5,20.5 A20,20, 0 0,0, 40.5,40.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1\"/>\n");
}
