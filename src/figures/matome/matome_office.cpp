// Matome: the statements of a conversion script.
//
// The brace becomes Office's left or right brace shape; a horizontal brace
// is the upright shape turned by 90 degrees about its centre.  Neither the
// colour nor the width is written.
#include <algorithm>
#include <cstdlib>

#include "figures/base/office_figure_format.h"
#include "figures/base/office_script_writer.h"
#include "figures/matome/matome.h"

int32_t Matome::WriteOfficeScript(OfficeScriptWriter& w, int32_t /*index*/, int32_t& lineCount,
                                  int32_t kind, int32_t flags) const {
  const bool word = kind == static_cast<int32_t>(OfficeTarget::Word);
  const int64_t S = OfficeFormat_scale(kind, flags);
  const int64_t W = std::llabs(S * (int64_t{x2_} - x1_));
  const int64_t H = std::llabs(S * (int64_t{y2_} - y1_));
  const char* C = OfficeFormat_container(kind);
  int32_t lines = 0;

  if (H < W) {
    w.printf("  Set mat = %s.AddShape( %s, _\r\n", C,
             y1_ < y2_ ? "msoShapeLeftBrace" : "msoShapeRightBrace");
    const int64_t left = S * (int64_t{x1_} + x2_) / 2 - H / 2;
    const int64_t top = S * (int64_t{y1_} + y2_) / 2 - W / 2;
    w.printf("     %.02f + left_m, %.02f + top_m, %.02f, %.02f )\r\n", left * 0.75, top * 0.75,
             H * 0.75, W * 0.75);
    w.put("  mat.Rotation = 90\r\n");
    lines += 3;
    if (word) {
      w.put("  mat.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n");
      ++lines;
    }
  } else {
    w.printf("  Set mat = %s.AddShape( %s, _\r\n", C,
             x1_ < x2_ ? "msoShapeLeftBrace" : "msoShapeRightBrace");
    w.printf("     %.02f + left_m, %.02f + top_m, %.02f, %.02f )\r\n",
             S * std::min(x1_, x2_) * 0.75, S * std::min(y1_, y2_) * 0.75, W * 0.75, H * 0.75);
    lines += 2;
  }
  w.put("  m.AddGroup  mat.Name\r\n");
  lineCount = lines + 1;
  return 1;
}
