// Line_Corner: the SVG elements of the note file.
//
// The route is written as its segments inside one group.  The segment an
// end sits on (end 1 on the first, end 2 on the last; the other way round
// for a reversed route) carries that end's point, arrow kind and attached
// state in a p1 or p2 attribute, and its end shapes follow it as plain SVG
// shapes, drawn at the visible ends as the connector draws them.
#include <array>

#include "figures/base/svg_write_context.h"
#include "figures/corner/line_corner.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_svg.h"

void Line_Corner::WriteSvg(SvgWriteContext& ctx) const {
  const CornerRoute r = ComputeRoute();
  // A route of one point (both ends and the through point together) is
  // still written as one segment, so that the ends are kept.
  const int32_t segments = r.count >= 2 ? r.count - 1 : 1;
  auto point = [&](int32_t i) {
    if (r.count == 0) return p1_;
    return r.points[static_cast<size_t>(i < r.count ? i : r.count - 1)];
  };
  const int32_t last = segments - 1;
  const std::array<int32_t, 2> segmentOf = {r.reversed ? last : 0, r.reversed ? 0 : last};
  // The p number of an end: 1 at the segment's first point, 2 at its second.
  const std::array<int32_t, 2> pNumber = {r.reversed ? 2 : 1, r.reversed ? 1 : 2};

  ctx.put("\t<g>\n");
  for (int32_t i = 0; i < segments; ++i) {
    bool carries[2] = {segmentOf[0] == i, segmentOf[1] == i};
    const bool group = (carries[0] && arrow1_ != 0) || (carries[1] && arrow2_ != 0);
    if (group) ctx.put("\t<g>\n");
    LineSvg_putSegment(ctx, point(i), point(i + 1), colour_, width_, dashed_);
    for (int32_t e = 1; e <= 2; ++e) {
      const size_t k = static_cast<size_t>(e - 1);
      const bool attached = link(e).target() != nullptr;
      if (!carries[k] || (arrow(e) == 0 && !attached)) continue;
      const Point32 p = end(e);
      ctx.printf("\n\t\tp%d=\"%d,%d,%d,%d\"", pNumber[k], p.x, p.y, arrow(e), attached ? 1 : 0);
    }
    ctx.put("/>\n");
    if (!group) continue;

    std::array<LineEndGeometry, 2> g;
    for (int32_t e = 1; e <= 2; ++e) {
      const size_t k = static_cast<size_t>(e - 1);
      if (!carries[k] || arrow(e) == 0) continue;
      const CornerVisibleEnd v = VisibleEnd(e);
      g[k] = LineEnd_geometry(arrow(e), v.point, v.neighbour, width_);
    }
    for (const LineEndGeometry& h : g)
      if (h.shape == LineEndShape_Arrow) LineSvg_putOpenArrow(ctx, h, colour_, width_);
    // A filled circle gets a thin circle first, then the circle with the
    // line width among the filled shapes.
    for (const LineEndGeometry& h : g) {
      if (h.shape != LineEndShape_Circle) continue;
      LineSvg_putHeadShape(ctx, h, kCircleRadius);
      LineSvg_putHeadStyle(ctx, colour_, colour_, 1);
    }
    for (const LineEndGeometry& h : g) {
      if (!LineEndShape_isFilled(h.shape)) continue;
      LineSvg_putHeadShape(ctx, h, kCircleRadius);
      LineSvg_putHeadStyle(ctx, colour_, colour_, width_);
    }
    for (const LineEndGeometry& h : g) {
      if (!LineEndShape_isHollow(h.shape)) continue;
      LineSvg_putHeadShape(ctx, h, kCircleRadius);
      LineSvg_putHeadStyle(ctx, LineEnd_fillColour(h.shape, colour_), colour_, width_);
    }
    ctx.put("\t</g>\n");
  }
  ctx.put("\t</g>\n");
}
