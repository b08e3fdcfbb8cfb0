#include "view/selection/selection_marks.h"

#include <algorithm>

#include "view/selection/view_selection.h"

void RenderSelectionMarks(Surface& surface, const DrawContext& ctx,
                          const ViewSelection& selection) {
  if (!ctx.showHandles || ctx.directOutput) return;
  CadPrim* held = selection.HoldPrim();
  const auto& sel = selection.Selection();
  for (auto it = sel.rbegin(); it != sel.rend(); ++it) {
    if (*it != held) (*it)->DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFFu, 0);
  }
  if (held && held->GetKind() != FigureKind_Canvas) {
    held->DrawHandles(surface, ctx, SystemColour_highlight, 0);
  }
}

void RenderRubberBand(Surface& surface, const DrawContext& ctx, const Rect32& band,
                      std::optional<SurfaceRect> pageClip) {
  const SurfaceState saved = surface.state();
  if (pageClip) surface.setClipRect(pageClip);
  surface.setBackgroundMode(BackgroundMode::Transparent);
  surface.setPen(Pen{PenStyle::DashDot, 1, SystemColour_highlight});
  surface.setBrush(Brush::hatched(HatchStyle::ForwardDiagonal, SystemColour_highlight));
  surface.setRasterOp(RasterOp::Copy);
  const int l = DrawContext_deviceX(ctx, band.x), t = DrawContext_deviceY(ctx, band.y);
  const int r = DrawContext_deviceX(ctx, Rect32_right(band));
  const int b = DrawContext_deviceY(ctx, Rect32_bottom(band));
  surface.rectangle(l, t, std::max(r, l + 1), std::max(b, t + 1));
  surface.setState(saved);
}
