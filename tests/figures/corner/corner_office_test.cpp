#include <gtest/gtest.h>

#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/corner/line_corner.h"

namespace {

std::string segment(const char* box, const std::string& head, const char* flip, int i) {
  const std::string n = std::to_string(i);
  return std::string("    Set lin = canvas.AddLine(") + box +
         ")\r\n    lin.Line.Visible = msoTrue\r\n    lin.Line.ForeColor.RGB = RGB(0, 0, 255)\r\n"
         "    lin.Line.Weight = 0.75\r\n" + head + "    lin.Flip msoFlip" + flip +
         "\r\n    ' ReDim Preserve g(0 To " + n + ") As Variant\r\n    ' g(" + n +
         ") = lin.Name\r\n\r\n";
}

}  // namespace

// A Z-shaped connector of three segments drawn from its end 2 (the end with
// the smaller x): end 1's arrowhead lands on the last segment, each segment
// is flipped as its direction says, and the grouping stays inert.  A
// connector of no length writes nothing.
TEST(CornerOffice, ThreeSegmentsAndNoLength) {
  Line_Corner c;
  c.setEnd(1, 100, 60), c.setEnd(2, 0, 0), c.setThrough(50, 30);
  c.setDirection(LineCorner_directionZ);
  c.setArrow(1, 3), c.setColour(Colour_rgb(0, 0, 255));
  OfficeScriptWriter w;
  int32_t lines = 0;
  EXPECT_EQ(c.WriteOfficeScript(w, 5, lines, 0, 0), 1);
  const std::string end = "    lin.Line.EndArrowheadStyle = msoArrowheadTriangle\r\n"
                          "    lin.Line.EndArrowheadLength = msoArrowheadLengthMedium\r\n"
                          "    lin.Line.EndArrowheadWidth = msoArrowheadWidthMedium\r\n";
  EXPECT_EQ(w.out, "    ' Dim g() As Variant\r\n" +
                       segment("0.00 + left_m, 0.00 + top_m, 37.50 + left_m, 0.00 + top_m", "",
                               "Vertical", 0) +
                       segment("37.50 + left_m, 0.00 + top_m, 37.50 + left_m, 45.00 + top_m", "",
                               "Horizontal", 1) +
                       segment("37.50 + left_m, 45.00 + top_m, 75.00 + left_m, 45.00 + top_m",
                               end, "Vertical", 2) +
                       "    ' Set lines = m.Shapes.Range(g).Group\r\n\r\n"
                       "    ' ReDim Preserve all_g(0 To 5) As Variant\r\n"
                       "    ' all_g(5) = lines.Name\r\n\r\n");
  EXPECT_EQ(lines, 33);

  c.setEnd(1, 0, 0), c.setThrough(0, 0);
  w.out.clear();
  EXPECT_EQ(c.WriteOfficeScript(w, 1, lines, 1, 1), 1);
  EXPECT_EQ(w.out + std::to_string(lines), "0");
}
