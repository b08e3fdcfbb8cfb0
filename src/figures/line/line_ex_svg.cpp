// Line_Ex: the SVG elements of the note file.
//
// The segment runs between the visible ends (on the frame of a laid-out
// box an end hangs on), as the line is drawn, and carries the arrow kinds
// and the ids of the boxes its ends hang on; the end shapes follow as plain
// SVG shapes so that any viewer shows them.
#include <string>

#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_ex.h"
#include "figures/line/line_svg.h"

namespace {

// The id the end's link is written with: the target's id, or the id a
// reader left pending for an end it could not resolve; "" when the end
// hangs on nothing that can be named.
std::string endTargetId(const Line_Ex& line, int32_t end) {
  if (const CadPrim* t = line.GetEndTarget(end)) return t->GetId();
  if (line.RawEndTargetNumber(end) == -2) return line.PendingTargetId(end);
  return "";
}

}  // namespace

void Line_Ex::WriteSvg(SvgWriteContext& ctx) const {
  const bool heads = arrow1_ != 0 || arrow2_ != 0;
  const Point32 v1 = VisibleEnd(1), v2 = VisibleEnd(2);
  const std::string id1 = endTargetId(*this, 1), id2 = endTargetId(*this, 2);

  if (heads) ctx.put("\t<g>\n");
  LineSvg_putSegment(ctx, v1, v2, colour_, width_, dashed_);
  if (layoutLine_ || heads || !id1.empty() || !id2.empty()) {
    ctx.put("\n\t\t");
    if (layoutLine_) ctx.put(" zerbin-layout-line=\"1\"");
    if (arrow1_ > 0) ctx.printf(" zerbin-arrow1=\"%d\"", arrow1_);
    if (arrow2_ > 0) ctx.printf(" zerbin-arrow2=\"%d\"", arrow2_);
    if (!id1.empty()) ctx.printf(" zerbin-lnk1=\"#%s\"", SvgFormat_escapeAttr(id1).c_str());
    if (!id2.empty()) ctx.printf(" zerbin-lnk2=\"#%s\"", SvgFormat_escapeAttr(id2).c_str());
  }
  ctx.put("/>\n");
  if (!heads) return;

  const LineEndGeometry g1 = LineEnd_geometry(arrow1_, v1, v2, width_);
  const LineEndGeometry g2 = LineEnd_geometry(arrow2_, v2, v1, width_);
  // Open arrows, then the filled shapes, then the hollow ones; end 1 first
  // in each group.
  for (const LineEndGeometry* g : {&g1, &g2})
    if (g->shape == LineEndShape_Arrow) LineSvg_putOpenArrow(ctx, *g, colour_, width_);
  for (const LineEndGeometry* g : {&g1, &g2}) {
    if (!LineEndShape_isFilled(g->shape)) continue;
    LineSvg_putHeadShape(ctx, *g, g->radius);
    LineSvg_putHeadStyle(ctx, colour_, colour_, width_);
  }
  for (const LineEndGeometry* g : {&g1, &g2}) {
    if (!LineEndShape_isHollow(g->shape)) continue;
    LineSvg_putHeadShape(ctx, *g, g->radius);
    LineSvg_putHeadStyle(ctx, LineEnd_fillColour(g->shape, colour_), colour_, width_);
  }
  ctx.put("\t</g>\n");
}
