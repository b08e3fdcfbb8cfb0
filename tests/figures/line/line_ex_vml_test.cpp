#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/vml_write_context.h"
#include "figures/line/line_ex.h"

namespace {

std::string vml(Point32 a, Point32 b, int32_t arrow1, int32_t arrow2, Colour colour,
                bool dashed = false) {
  Line_Ex l;
  l.SetPoints(a, b);
  l.SetArrow(1, arrow1);
  l.SetArrow(2, arrow2);
  l.SetColour(colour);
  l.SetWidth(1);
  l.SetDashed(dashed);
  VmlWriteContext ctx;
  ctx.verticalOffset = 1000;
  l.WriteVml(ctx, 1);
  return ctx.out;
}

}  // namespace

// The segment (solid and dashed), open arrows as strokes, and the circle,
// triangle and diamond ends with their fills and scaled paths.
TEST(LineExVml, SegmentsAndEndShapes) {
  const std::string yellow = " strokecolor=\"#DCDC00\" strokeweight=\"1pt\"";
  const std::string orange = " strokecolor=\"#DC6400\" strokeweight=\"1pt\"";
  struct Case {
    const char* name;
    Point32 a, b;
    int32_t arrow1, arrow2;
    Colour colour;
    bool dashed;
    std::string expected;
  } cases[] = {
      {"solid", {10, 20}, {110, 20}, 0, 0, Colour_rgb(220, 100, 0), false,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"110,1020\"" + orange +
           "/>\r\n"},
      {"dashed", {10, 20}, {110, 20}, 0, 0, Colour_rgb(220, 100, 0), true,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"110,1020\"" + orange +
           ">\r\n    <v:stroke dashstyle=\"dash\"/>\r\n</v:line>\r\n"},
      // Hollow circle: black fill on a yellow line, white on an orange one.
      {"hollow circle yellow", {10, 20}, {110, 20}, 0, 5, Colour_rgb(220, 220, 0), false,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"110,1020\"" + yellow +
           "/>\r\n<v:oval style=\"position:absolute; margin-left:107px; margin-top:1017px; "
           "width:5px; height:5px;\" fillcolor=\"#000000\"" +
           yellow + "/>\r\n"},
      {"hollow circle orange", {10, 20}, {110, 20}, 5, 0, Colour_rgb(220, 100, 0), false,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"110,1020\"" + orange +
           "/>\r\n<v:oval style=\"position:absolute; margin-left:7px; margin-top:1017px; "
           "width:5px; height:5px;\" fillcolor=\"#FFFFFF\"" +
           orange + "/>\r\n"},
      {"arrow", {10, 20}, {110, 20}, 1, 0, Colour_rgb(220, 100, 0), false,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"110,1020\"" + orange + "/>\r\n" +
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"21,1024\"" + orange +
           "/>\r\n<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"21,1015\"" +
           orange + "/>\r\n"},
      // The filled shape of end 1 has its path on the same line.
      {"triangles", {10, 20}, {110, 20}, 3, 6, Colour_rgb(220, 100, 0), false,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"110,1020\"" + orange + "/>\r\n" +
       "<v:shape style=\"position:absolute; margin-left:10px; margin-top:1014px; width:10px; "
       "height:11px\"\r\n fillcolor=\"#DC6400\"" + orange +
           " path=\"m 0,545 l 1000,1000, 1000,0 x e\"/>\r\n<v:shape style=\"position:absolute; "
           "margin-left:99px; margin-top:1014px; width:11px; height:11px\"\r\n "
           "fillcolor=\"#FFFFFF\"" +
           orange + "\r\n path=\"m 1000,545 l 0,0, 0,1000 x e\"/>\r\n"},
      {"diamonds", {10, 20}, {10, 120}, 4, 7, Colour_rgb(220, 100, 0), false,
       "<v:line style=\"position:absolute;\" from=\"10,1020\" to=\"10,1120\"" + orange +
           "/>\r\n<v:shape style=\"position:absolute; margin-left:5px; margin-top:1020px; "
           "width:9px; height:22px\"\r\n fillcolor=\"#DC6400\"" +
           orange +
           " path=\"m 555,0 l 0,500, 555,1000, 1000,500 x e\"/>\r\n<v:shape "
           "style=\"position:absolute; margin-left:5px; margin-top:1097px; width:9px; "
           "height:23px\"\r\n fillcolor=\"#FFFFFF\"" +
           orange + "\r\n path=\"m 555,1000 l 1000,478, 555,0, 0,478 x e\"/>\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(vml(c.a, c.b, c.arrow1, c.arrow2, c.colour, c.dashed), c.expected) << c.name;
}
