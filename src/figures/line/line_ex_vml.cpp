// Line_Ex: the VML elements of the HTML export.
//
// The segment between the visible ends, the strokes of open arrows, then
// the circles, triangles and diamonds of the ends as shapes whose paths are
// scaled to their 1000 x 1000 coordinate box.  The head points are those
// the line is drawn with.
#include <algorithm>
#include <string>

#include "figures/base/vml_format.h"
#include "figures/base/vml_write_context.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_ex.h"

namespace {

void putStroke(VmlWriteContext& ctx, Colour colour, int32_t width) {
  ctx.printf(" strokecolor=\"%s\" strokeweight=\"%dpt\"", VmlFormat_rgb(colour).c_str(), width);
}

int32_t down(const VmlWriteContext& ctx, int32_t y) {
  return Figure_toInt32(int64_t{y} + ctx.verticalOffset);
}

// One end's circle, triangle or diamond; `end` is 1 or 2.
void putHead(VmlWriteContext& ctx, const LineEndGeometry& g, int32_t end, Colour colour,
             int32_t width) {
  const Colour fill = LineEndShape_isFilled(g.shape) ? colour : LineEnd_fillColour(g.shape, colour);
  if (g.shape == LineEndShape_Circle || g.shape == LineEndShape_CircleHole) {
    const int64_t r = g.radius;
    ctx.printf("<v:oval style=\"position:absolute; margin-left:%dpx; margin-top:%dpx;",
               Figure_toInt32(g.centre.x - r), down(ctx, Figure_toInt32(g.centre.y - r)));
    ctx.printf(" width:%dpx; height:%dpx;\"", Figure_toInt32(2 * r - 1),
               Figure_toInt32(2 * r - 1));
    ctx.printf(" fillcolor=\"%s\"", VmlFormat_rgb(fill).c_str());
    putStroke(ctx, colour, width);
    ctx.put("/>\r\n");
    return;
  }
  if (g.points.empty()) return;
  int32_t left = g.points[0].x, top = g.points[0].y, right = left, bottom = top;
  for (const Point32& p : g.points) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const int64_t w = int64_t{right} - left, h = int64_t{bottom} - top;
  ctx.printf("<v:shape style=\"position:absolute; margin-left:%dpx; margin-top:%dpx;", left,
             down(ctx, top));
  ctx.printf(" width:%dpx; height:%dpx\"\r\n", Figure_toInt32(w), Figure_toInt32(h));
  ctx.printf(" fillcolor=\"%s\"", VmlFormat_rgb(fill).c_str());
  putStroke(ctx, colour, width);
  const bool filledOfEnd1 = end == 1 && (g.shape == LineEndShape_Triangle ||
                                         g.shape == LineEndShape_Diamond);
  if (!filledOfEnd1) ctx.put("\r\n");
  ctx.put(" path=\"m ");
  for (size_t i = 0; i < g.points.size(); ++i) {
    if (i == 1) ctx.put(" l ");
    if (i > 1) ctx.put(", ");
    ctx.printf("%d,%d", VmlFormat_muldiv(int64_t{g.points[i].x} - left, 1000, w),
               VmlFormat_muldiv(int64_t{g.points[i].y} - top, 1000, h));
  }
  ctx.put(" x e\"/>\r\n");
}

}  // namespace

void Line_Ex::WriteVml(VmlWriteContext& ctx, int32_t) const {
  const Point32 v1 = VisibleEnd(1), v2 = VisibleEnd(2);
  ctx.printf("<v:line style=\"position:absolute;\" from=\"%d,%d\" to=\"%d,%d\"", v1.x,
             down(ctx, v1.y), v2.x, down(ctx, v2.y));
  putStroke(ctx, colour_, width_);
  if (dashed_)
    ctx.put(">\r\n    <v:stroke dashstyle=\"dash\"/>\r\n</v:line>\r\n");
  else
    ctx.put("/>\r\n");

  const LineEndGeometry g1 = LineEnd_geometry(arrow1_, v1, v2, width_);
  const LineEndGeometry g2 = LineEnd_geometry(arrow2_, v2, v1, width_);
  for (const LineEndGeometry* g : {&g1, &g2}) {
    if (g->shape != LineEndShape_Arrow || g->points.size() < 3) continue;
    for (size_t i = 1; i < 3; ++i) {
      ctx.printf("<v:line style=\"position:absolute;\" from=\"%d,%d\" to=\"%d,%d\"",
                 g->points[0].x, down(ctx, g->points[0].y), g->points[i].x,
                 down(ctx, g->points[i].y));
      putStroke(ctx, colour_, width_);
      ctx.put("/>\r\n");
    }
  }
  if (g1.shape >= 2) putHead(ctx, g1, 1, colour_, width_);
  if (g2.shape >= 2) putHead(ctx, g2, 2, colour_, width_);
}
