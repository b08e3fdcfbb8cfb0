// Line_Ex: the statements of a conversion script.
//
// One line shape over the box of the two stored points, flipped back into
// the line's direction, with an Office arrowhead for each end shape; the
// dash is not written.
#include <algorithm>

#include "figures/base/office_figure_format.h"
#include "figures/base/office_script_writer.h"
#include "figures/line/line_ex.h"

int32_t Line_Ex::WriteOfficeScript(OfficeScriptWriter& w, int32_t /*index*/, int32_t& lineCount,
                                   int32_t kind, int32_t flags) const {
  const bool word = kind == static_cast<int32_t>(OfficeTarget::Word);
  const int32_t S = OfficeFormat_scale(kind, flags);
  auto pt = [S](int64_t v) { return OfficeFormat_points(v, S); };
  const bool flipX = x2_ < x1_, flipY = y2_ < y1_;
  int32_t lines = 6;

  w.printf("  Set lin = %s.AddLine( %.2f + left_m, %.2f + top_m, %.2f + left_m, %.2f + top_m )\r\n",
           OfficeFormat_container(kind), pt(std::min(x1_, x2_)), pt(std::min(y1_, y2_)),
           pt(std::max(x1_, x2_)), pt(std::max(y1_, y2_)));
  if (word) {
    w.put("  lin.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n");
    ++lines;
  }
  w.put("  lin.Line.Visible = msoTrue\r\n");
  w.printf("  lin.Line.ForeColor.RGB = %s\r\n", OfficeFormat_rgb(colour_).c_str());
  w.printf("  lin.Line.Weight = %.02f\r\n", pt(width_));
  if (S == 2) {
    w.put("  lin.Line.EndArrowheadLength = msoArrowheadLong\r\n");
    ++lines;
  }
  if (flipX || flipY) {
    w.put("  lin.AlternativeText = \"reverse\"\r\n");
    ++lines;
  }
  if (const char* head = OfficeFormat_arrowhead(arrow1_)) {
    w.printf("  lin.Line.BeginArrowheadStyle = %s\r\n", head);
    w.put("  lin.Line.BeginArrowheadLength = msoArrowheadLengthMedium\r\n");
    w.put("  lin.Line.BeginArrowheadWidth = msoArrowheadWidthMedium\r\n");
    lines += 4;
  }
  if (const char* head = OfficeFormat_arrowhead(arrow2_)) {
    w.printf("  lin.Line.EndArrowheadStyle = %s\r\n", head);
    w.put("  lin.Line.EndArrowheadLength = msoArrowheadLengthMedium\r\n");
    w.put("  lin.Line.EndArrowheadWidth = msoArrowheadWidthMedium\r\n");
    lines += 4;
  }
  if (flipX) {
    w.put("  lin.Flip msoFlipHorizontal\r\n");
    ++lines;
  }
  if (flipY) {
    w.put("  lin.Flip msoFlipVertical\r\n");
    ++lines;
  }
  w.put("  m.AddGroup  lin.Name\r\n");
  lineCount = lines;
  return 1;
}
