#include <gtest/gtest.h>

#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/line/line_ex.h"

namespace {

std::string head(const std::string& end, const char* name) {
  return "  lin.Line." + end + "ArrowheadStyle = " + name + "\r\n  lin.Line." + end +
         "ArrowheadLength = msoArrowheadLengthMedium\r\n  lin.Line." + end +
         "ArrowheadWidth = msoArrowheadWidthMedium\r\n";
}

}  // namespace

// A line with one arrowhead, flipped each way and both ways, for Word,
// Excel and the enlarged PowerPoint form.
TEST(LineOffice, ArrowheadsAndFlips) {
  const std::string box = "( 0.00 + left_m, 0.00 + top_m, 75.00 + left_m, 37.50 + top_m )\r\n";
  const std::string red =
      "  lin.Line.Visible = msoTrue\r\n  lin.Line.ForeColor.RGB = RGB(255, 0, 0)\r\n";
  const std::string rev = "  lin.AlternativeText = \"reverse\"\r\n";
  const std::string h = "  lin.Flip msoFlipHorizontal\r\n", v = "  lin.Flip msoFlipVertical\r\n";
  const std::string group = "  m.AddGroup  lin.Name\r\n";
  struct Case {
    Point32 p1, p2;
    int32_t arrow1, arrow2, width, kind, flags;
    std::string expected;
    int32_t lines;
  } cases[] = {
      {{100, 0}, {0, 50}, 3, 0, 2, 0, 0,
       "  Set lin = canvas.AddLine" + box +
           "  lin.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n" + red +
           "  lin.Line.Weight = 1.50\r\n" + rev + head("Begin", "msoArrowheadTriangle") + h + group,
       13},
      {{0, 50}, {100, 0}, 0, 5, 1, 1, 1,
       "  Set lin = s.Shapes.AddLine" + box + red + "  lin.Line.Weight = 0.75\r\n" + rev +
           head("End", "msoArrowheadOval") + v + group, 12},
      {{100, 50}, {0, 0}, 0, 1, 1, 2, 1,
       "  Set lin = s.Shapes.AddLine( 0.00 + left_m, 0.00 + top_m, 150.00 + left_m, 75.00 + "
       "top_m )\r\n" + red + "  lin.Line.Weight = 1.50\r\n"
       "  lin.Line.EndArrowheadLength = msoArrowheadLong\r\n" + rev +
           head("End", "msoArrowheadOpen") + h + v + group, 14},
  };
  OfficeScriptWriter w;
  for (const Case& c : cases) {
    Line_Ex line;
    line.SetPoints(c.p1, c.p2);
    line.SetArrow(1, c.arrow1), line.SetArrow(2, c.arrow2);
    line.SetWidth(c.width), line.SetColour(Colour_rgb(255, 0, 0));
    w.out.clear();
    int32_t lines = 0;
    EXPECT_EQ(line.WriteOfficeScript(w, 4, lines, c.kind, c.flags), 1);
    EXPECT_EQ(w.out, c.expected) << c.kind;
    EXPECT_EQ(lines, c.lines) << c.kind;
  }
}
