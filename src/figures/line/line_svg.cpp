#include "figures/line/line_svg.h"

#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"

void LineSvg_putSegment(SvgWriteContext& ctx, Point32 a, Point32 b, Colour colour, int32_t width,
                        bool dashed) {
  ctx.printf("\t<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\"\n", a.x, a.y, b.x, b.y);
  ctx.printf("\t\tstyle=\"fill:none;stroke:%s;stroke-width:%d%s;stroke-linecap:round\"",
             SvgFormat_rgb(colour).c_str(), width, dashed ? ";stroke-dasharray:4,4" : "");
}

void LineSvg_putOpenArrow(SvgWriteContext& ctx, const LineEndGeometry& g, Colour colour,
                          int32_t width) {
  if (g.points.size() < 3) return;
  const std::string rgb = SvgFormat_rgb(colour);
  for (size_t i = 1; i < 3; ++i) {
    ctx.printf("\t<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\"\n", g.points[0].x,
               g.points[0].y, g.points[i].x, g.points[i].y);
    ctx.printf("\t\tstyle=\"fill:none;stroke:%s;stroke-width:%d;stroke-linecap:round\"/>\n",
               rgb.c_str(), width);
  }
}

void LineSvg_putHeadShape(SvgWriteContext& ctx, const LineEndGeometry& g, int32_t radius) {
  if (g.points.empty()) {
    ctx.printf("\t<circle cx=\"%d.5\" cy=\"%d.5\" r=\"%d\"\n", g.centre.x, g.centre.y, radius);
    return;
  }
  ctx.put("\t<polygon points=\"");
  for (size_t i = 0; i < g.points.size(); ++i)
    ctx.printf(i == 0 ? "%d.5,%d.5" : " %d.5,%d.5", g.points[i].x, g.points[i].y);
  ctx.put("\"\n");
}

void LineSvg_putHeadStyle(SvgWriteContext& ctx, Colour fill, Colour stroke, int32_t width) {
  ctx.printf("\t\tstyle=\"fill:%s;stroke:%s;stroke-width:%d\"/>\n", SvgFormat_rgb(fill).c_str(),
             SvgFormat_rgb(stroke).c_str(), width);
}
