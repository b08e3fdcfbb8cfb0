// Line_Corner: the statements of a conversion script.
//
// Every segment of the route becomes a line shape; the end shapes go to the
// segments that touch the ends.  The statements that would group the
// segments are written as comments: their declarations are not VBScript
// (typed arrays, "0 To" bounds, undeclared names), and a live one would
// stop the whole script from compiling.  A route of one point (both ends
// on the same spot) writes nothing.
#include <algorithm>

#include "figures/base/office_figure_format.h"
#include "figures/base/office_script_writer.h"
#include "figures/corner/line_corner.h"

int32_t Line_Corner::WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                                       int32_t kind, int32_t flags) const {
  const int32_t S = OfficeFormat_scale(kind, flags);
  auto pt = [S](int64_t v) { return OfficeFormat_points(v, S); };
  const CornerRoute route = ComputeRoute();
  const int32_t k = route.count;
  lineCount = 0;
  if (k < 2) return 1;

  const char* beginHead = OfficeFormat_arrowhead(route.reversed ? arrow2_ : arrow1_);
  const char* endHead = OfficeFormat_arrowhead(route.reversed ? arrow1_ : arrow2_);
  int32_t lines = 5;
  for (int32_t i = 0; i + 1 < k; ++i) {
    const Point32 a = route.points[i], b = route.points[i + 1];
    if (i == 0) w.put("    ' Dim g() As Variant\r\n");
    w.printf(
        "    Set lin = %s.AddLine(%.2f + left_m, %.2f + top_m, %.2f + left_m, %.2f + top_m)\r\n",
        OfficeFormat_container(kind), pt(std::min(a.x, b.x)), pt(std::min(a.y, b.y)),
        pt(std::max(a.x, b.x)), pt(std::max(a.y, b.y)));
    w.put("    lin.Line.Visible = msoTrue\r\n");
    w.printf("    lin.Line.ForeColor.RGB = %s\r\n", OfficeFormat_rgb(colour_).c_str());
    w.printf("    lin.Line.Weight = %.02f\r\n", pt(width_));
    lines += 7;
    if (S == 2) {
      w.put("    lin.Line.EndArrowheadLength = msoArrowheadLong\r\n");
      ++lines;
    }
    if (i == 0 && beginHead) {
      w.printf("    lin.Line.BeginArrowheadStyle = %s\r\n", beginHead);
      w.put("    lin.Line.BeginArrowheadLength = msoArrowheadLengthMedium\r\n");
      w.put("    lin.Line.BeginArrowheadWidth = msoArrowheadWidthMedium\r\n");
      lines += 4;
    }
    if (i == k - 2 && endHead) {
      w.printf("    lin.Line.EndArrowheadStyle = %s\r\n", endHead);
      w.put("    lin.Line.EndArrowheadLength = msoArrowheadLengthMedium\r\n");
      w.put("    lin.Line.EndArrowheadWidth = msoArrowheadWidthMedium\r\n");
      lines += 4;
    }
    if (a.x >= b.x) {
      w.put("    lin.Flip msoFlipHorizontal\r\n");
      ++lines;
    }
    if (a.y >= b.y) {
      w.put("    lin.Flip msoFlipVertical\r\n");
      ++lines;
    }
    w.printf("    ' ReDim Preserve g(0 To %d) As Variant\r\n", i);
    w.printf("    ' g(%d) = lin.Name\r\n\r\n", i);
  }
  w.put("    ' Set lines = m.Shapes.Range(g).Group\r\n\r\n");
  w.printf("    ' ReDim Preserve all_g(0 To %d) As Variant\r\n", index);
  w.printf("    ' all_g(%d) = lines.Name\r\n", index);
  w.put("\r\n");
  lineCount = lines;
  return 1;
}
