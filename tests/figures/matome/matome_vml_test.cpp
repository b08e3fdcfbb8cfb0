#include <gtest/gtest.h>

#include <string>

#include "figures/base/vml_write_context.h"
#include "figures/matome/matome.h"

namespace {

std::string vml(Point32 p1, Point32 p2) {
  Matome m;
  m.SetPoints(p1, p2);
  m.SetColour(Colour_rgb(200, 0, 7));
  m.SetWidth(2);
  VmlWriteContext ctx;
  ctx.verticalOffset = 500;
  m.WriteVml(ctx, 1);
  return ctx.out;
}

}  // namespace

// The brace path, horizontal and vertical, in both directions; a brace of
// no size writes without dividing by zero.
TEST(MatomeVml, BracePaths) {
  const std::string tail = " e\"/>\r\n</v:shape>\r\n";
  auto head = [](int x, int y, int w, int h) {
    return "<v:shape style=\"position:absolute; margin-left:" + std::to_string(x) +
           "px; margin-top:" + std::to_string(y) + "px; width:" + std::to_string(w) +
           "px; height:" + std::to_string(h) +
           "px;\" strokecolor=\"#C80007\" strokeweight=\"2pt\" filled=\"false\">\r\n<v:path v=\"";
  };
  struct Case {
    const char* name;
    Point32 p1, p2;
    std::string expected;
  } cases[] = {
      // r = 20 * 500 / 100 = 100.
      {"horizontal, left-top to right-bottom", {10, 20}, {110, 40},
       head(10, 520, 100, 20) +
           "ar 800,500 1000,1500 1000,1000 900,500 e m 900,500 l 600,500 e "
           "ar 500,-500 700,500 500,0 600,500 e ar 300,-500 500,500 400,500 500,0 e "
           "m 100,500 l 400,500 e ar 0,500 200,1500 100,500 0,1000" + tail},
      // Drawn from right-bottom to left-top: the upward (F) forms.
      {"horizontal, right-bottom to left-top", {110, 40}, {10, 20},
       head(10, 520, 100, 20) +
           "ar 800,-500 1000,500 900,500 1000,0 e m 900,500 l 600,500 e "
           "ar 500,500 700,1500 600,500 500,1000 e ar 300,500 500,1500 500,1000 400,500 e "
           "m 100,500 l 400,500 e ar 0,-500 200,500 0,0 100,500" + tail},
      // w = 25 * 500 / 250 = 50, r = 450.
      {"vertical, opening right", {10, 20}, {35, 270},
       head(10, 520, 25, 250) +
           "ar 500,0 1500,100 1000,0 500,50 e m 500,50 l 500,450 e "
           "ar -500,400 500,500 0,500 500,450 e ar -500,500 500,600 500,550 0,500 e "
           "m 500,550 l 500,950 e ar 500,900 1500,1000 500,950 1000,1000" + tail},
      {"vertical, opening left", {35, 20}, {10, 270},
       head(10, 520, 25, 250) +
           "ar -500,0 500,100 500,50 0,0 e m 500,50 l 500,450 e "
           "ar 500,400 1500,500 500,450 1000,500 e ar 500,500 1500,600 1000,500 500,550 e "
           "m 500,550 l 500,950 e ar -500,900 500,1000 0,1000 500,950" + tail},
      {"no size", {10, 20}, {10, 20},
       head(10, 520, 0, 0) +
           "ar -500,0 500,0 500,0 0,0 e m 500,0 l 500,500 e ar 500,500 1500,500 500,500 "
           "1000,500 e ar 500,500 1500,500 1000,500 500,500 e m 500,500 l 500,1000 e "
           "ar -500,1000 500,1000 0,1000 500,1000" + tail},
  };
  for (const Case& c : cases) EXPECT_EQ(vml(c.p1, c.p2), c.expected) << c.name;
}
