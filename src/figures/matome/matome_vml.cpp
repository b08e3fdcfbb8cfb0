// Matome: the VML element of the HTML export.
//
// The brace is one path in a 1000 x 1000 coordinate box stretched over the
// figure's two points: four quarter arcs ("ar") and the two straight
// pieces between them, opening towards the side of the first point.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "figures/base/vml_format.h"
#include "figures/base/vml_write_context.h"
#include "figures/matome/matome.h"

void Matome::WriteVml(VmlWriteContext& ctx, int32_t) const {
  const int64_t W = std::llabs(int64_t{x2_} - x1_), H = std::llabs(int64_t{y2_} - y1_);
  ctx.printf("<v:shape style=\"position:absolute; margin-left:%dpx; margin-top:%dpx;",
             std::min(x1_, x2_), Figure_toInt32(int64_t{std::min(y1_, y2_)} + ctx.verticalOffset));
  ctx.printf(" width:%dpx; height:%dpx;\"", Figure_toInt32(W), Figure_toInt32(H));
  ctx.printf(" strokecolor=\"%s\" strokeweight=\"%dpt\" filled=\"false\">\r\n",
             VmlFormat_rgb(colour_).c_str(), width_);
  ctx.put("<v:path v=\"");
  if (H < W) {
    const int32_t r = VmlFormat_muldiv(H, 500, W);
    const bool F = y1_ >= y2_;
    ctx.printf(F ? "ar %d,-500 1000,500 %d,500 1000,0 e " : "ar %d,500 1000,1500 1000,1000 %d,500 e ",
               1000 - 2 * r, 1000 - r);
    ctx.printf("m %d,500 l %d,500 e ", 1000 - r, r + 500);
    ctx.printf(F ? "ar 500,500 %d,1500 %d,500 500,1000 e " : "ar 500,-500 %d,500 500,0 %d,500 e ",
               2 * r + 500, r + 500);
    ctx.printf(F ? "ar %d,500 500,1500 500,1000 %d,500 e " : "ar %d,-500 500,500 %d,500 500,0 e ",
               500 - 2 * r, 500 - r);
    ctx.printf("m %d,500 l %d,500 e ", r, 500 - r);
    ctx.printf(F ? "ar 0,-500 %d,500 0,0 %d,500" : "ar 0,500 %d,1500 %d,500 0,1000", 2 * r, r);
  } else {
    const int32_t w = VmlFormat_muldiv(W, 500, H);
    const bool F = x1_ >= x2_;
    const int32_t r = 500 - w;
    ctx.printf(F ? "ar -500,0 500,%d 500,%d 0,0 e " : "ar 500,0 1500,%d 1000,0 500,%d e ", 2 * w,
               w);
    ctx.printf("m 500,%d l 500,%d e ", w, r);
    ctx.printf(F ? "ar 500,%d 1500,500 500,%d 1000,500 e " : "ar -500,%d 500,500 0,500 500,%d e ",
               500 - 2 * w, r);
    ctx.printf(F ? "ar 500,500 1500,%d 1000,500 500,%d e " : "ar -500,500 500,%d 500,%d 0,500 e ",
               2 * w + 500, w + 500);
    ctx.printf("m 500,%d l 500,%d e ", w + 500, 1000 - w);
    ctx.printf(F ? "ar -500,%d 500,1000 0,1000 500,%d" : "ar 500,%d 1500,1000 500,%d 1000,1000",
               2 * r, 1000 - w);
  }
  ctx.put(" e\"/>\r\n</v:shape>\r\n");
}
