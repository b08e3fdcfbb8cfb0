#include <gtest/gtest.h>

#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/line/line_ex.h"

// A line with one arrowhead, flipped each way and both ways, for Word,
// Excel and the enlarged PowerPoint form.
TEST(LineOffice, ArrowheadsAndFlips) {
  const std::string vis = "  lin.Line.Visible = msoTrue\r\n  lin.Line.ForeColor.RGB = RGB(255, 0, 0)\r\n";
  const std::string rev = "  lin.AlternativeText = \"reverse\"\r\n";
  struct Case {
    Point32 p1, p2;
    int32_t arrow1, arrow2, width, kind, flags;
    std::string expected;
    int32_t lines;
  } cases[] = {
      {{100, 0}, {0, 50}, 3, 0, 2, 0, 0,
       "  Set lin = canvas.AddLine( 0.00 + left_m, 0.00 + top_m, 75.00 + left_m, 37.50 + top_m )\r\n"
       "  lin.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n" + vis +
           "  lin.Line.Weight = 1.50\r\n" + rev +
           "  lin.Line.BeginArrowheadStyle = msoArrowheadTriangle\r\n"
           "  lin.Line.BeginArrowheadLength = msoArrowheadLengthMedium\r\n"
           "  lin.Line.BeginArrowheadWidth = msoArrowheadWidthMedium\r\n"
           "  lin.Flip msoFlipHorizontal\r\n  m.AddGroup  lin.Name\r\n",
       13},
      {{0, 50}, {100, 0}, 0, 5, 1, 1, 1,
       "  Set lin = s.Shapes.AddLine( 0.00 + left_m, 0.00 + top_m, 75.00 + left_m, 37.50 + top_m )\r\n" +
           vis + "  lin.Line.Weight = 0.75\r\n" + rev +
           "  lin.Line.EndArrowheadStyle = msoArrowheadOval\r\n"
           "  lin.Line.EndArrowheadLength = msoArrowheadLengthMedium\r\n"
           "  lin.Line.EndArrowheadWidth = msoArrowheadWidthMedium\r\n"
           "  lin.Flip msoFlipVertical\r\n  m.AddGroup  lin.Name\r\n",
       12},
      {{100, 50}, {0, 0}, 0, 1, 1, 2, 1,
       "  Set lin = s.Shapes.AddLine( 0.00 + left_m, 0.00 + top_m, 150.00 + left_m, 75.00 + top_m )\r\n" +
           vis + "  lin.Line.Weight = 1.50\r\n  lin.Line.EndArrowheadLength = msoArrowheadLong\r\n" +
           rev + "  lin.Line.EndArrowheadStyle = msoArrowheadOpen\r\n"
           "  lin.Line.EndArrowheadLength = msoArrowheadLengthMedium\r\n"
           "  lin.Line.EndArrowheadWidth = msoArrowheadWidthMedium\r\n"
           "  lin.Flip msoFlipHorizontal\r\n  lin.Flip msoFlipVertical\r\n  m.AddGroup  lin.Name\r\n",
       14},
  };
  OfficeScriptWriter w;
  for (const Case& c : cases) {
    Line_Ex line;
    line.SetPoints(c.p1, c.p2);
    line.SetArrow(1, c.arrow1);
    line.SetArrow(2, c.arrow2);
    line.SetWidth(c.width);
    line.SetColour(Colour_rgb(255, 0, 0));
    w.out.clear();
    int32_t lines = 0;
    EXPECT_EQ(line.WriteOfficeScript(w, 4, lines, c.kind, c.flags), 1);
    EXPECT_EQ(w.out, c.expected) << c.kind;
    EXPECT_EQ(lines, c.lines) << c.kind;
  }
}
