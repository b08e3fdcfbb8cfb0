// Matome: the SVG element of the note file, one path of four quarter arcs
// and two straight pieces.  The first arc is written without commas after
// its radius and sweep flag, the later ones with them; readers take the
// numbers in order and rely on that exact text.
#include <cstdlib>

#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"
#include "figures/matome/matome.h"

void Matome::WriteSvg(SvgWriteContext& ctx) const {
  const int64_t x1 = x1_, y1 = y1_, x2 = x2_, y2 = y2_;
  const int64_t sx = std::llabs(x2 - x1), sy = std::llabs(y2 - y1);
  const int32_t m = Figure_toInt32((x1 + x2) / 2), l = Figure_toInt32((y1 + y2) / 2);
  const int32_t f = (x1 < x2) != (y1 < y2) ? 1 : 0, g = 1 - f;
  auto I = [](int64_t v) { return Figure_toInt32(v); };

  ctx.put("\t<path subtype=\"matome\" ");
  if (sy < sx) {
    const int32_t r = I(sy / 2);
    const int64_t e = x1 < x2 ? sy / 2 : -(sy / 2);
    ctx.printf("d=\"M%d.5,%d.5 A%d,%d 0 0,%d %d.5,%d.5 ", x1_, y2_, r, r, g, I(x1 + e), l);
    ctx.printf("L%d.5,%d.5 A%d,%d, 0 0,%d, %d.5,%d.5 ", I(m - e), l, r, r, f, m, y1_);
    ctx.printf("A%d,%d, 0 0,%d, %d.5,%d.5 ", r, r, f, I(m + e), l);
    ctx.printf("L%d.5,%d.5 A%d,%d, 0 0,%d, %d.5,%d.5\"\n", I(x2 - e), l, r, r, g, x2_, y2_);
  } else {
    const int32_t r = I(sx / 2);
    const int64_t e = y1 < y2 ? sx / 2 : -(sx / 2);
    ctx.printf("d=\"M%d.5,%d.5 A%d,%d 0 0,%d %d.5,%d.5 ", x2_, y1_, r, r, f, m, I(y1 + e));
    ctx.printf("L%d.5,%d.5 A%d,%d, 0 0,%d, %d.5,%d.5 ", m, I(l - e), r, r, g, x1_, l);
    ctx.printf("A%d,%d, 0 0,%d, %d.5,%d.5 ", r, r, g, m, I(l + e));
    ctx.printf("L%d.5,%d.5 A%d,%d, 0 0,%d, %d.5,%d.5\"\n", m, I(y2 - e), r, r, f, x2_, y2_);
  }
  ctx.printf("\t\tstyle=\"fill:none;stroke:%s;stroke-width:%d\"/>\n",
             SvgFormat_rgb(colour_).c_str(), width_);
}
