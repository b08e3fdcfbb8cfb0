#include "view/render/render_page.h"

#include <algorithm>

#include "figures/base/cad_prim.h"
#include "figures/base/figure_kind.h"
#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"

namespace {

void drawFigures(Surface& surface, const DrawContext& ctx, const FigureList& list,
                 const CadPrim* skip) {
  for (const auto& f : list) {
    if (f->GetKind() == FigureKind_Canvas || f.get() == skip) continue;
    f->Draw(surface, ctx);
  }
}

}  // namespace

DrawContext View_renderPage(Surface& surface, const ViewGeometry& geometry,
                            const ViewPageSource& page, const ViewRenderOptions& options,
                            const ViewRenderHooks& hooks) {
  ViewGeometry g = geometry;
  if (!options.useScroll) g.scroll = g.origin;
  DrawContext ctx;
  ViewGeometry_fillDrawContext(g, ctx, options.clipToPage, page.canvas, options.showLockCrosses,
                               options.defaultLineSpacing);
  ctx.pageNumber = page.pageNumber;
  ctx.useSystemColours = options.useSystemColours;
  ctx.showHandles = !options.forPrint && page.editedText == nullptr;
  ctx.directOutput = options.forPrint;
  if (options.context != nullptr) {
    FilterVariables variables = std::move(ctx.filterVariables);
    ctx = *options.context;
    if (page.canvas != nullptr) ctx.filterVariables = std::move(variables);
  }

  SurfaceSaver saver(surface);
  // 1. The clip (given before the scroll offset in the context).
  std::optional<SurfaceRect> clip;
  if (options.clipToPage && !g.outsideFigures) {
    clip = SurfaceRect{ctx.clipLeft - ctx.scrollX, ctx.clipTop - ctx.scrollY,
                       ctx.clipRight - ctx.scrollX, ctx.clipBottom - ctx.scrollY};
  }
  if (options.area) {
    // Only the part asked for: the context's clip box and the surface clip.
    const SurfaceRect& a = *options.area;
    ctx.clipLeft = std::max(ctx.clipLeft, Figure_toInt32(int64_t{a.left} + ctx.scrollX));
    ctx.clipTop = std::max(ctx.clipTop, Figure_toInt32(int64_t{a.top} + ctx.scrollY));
    ctx.clipRight =
        std::min(ctx.clipRight, Figure_toInt32(int64_t{a.right} + ctx.scrollX));
    ctx.clipBottom =
        std::min(ctx.clipBottom, Figure_toInt32(int64_t{a.bottom} + ctx.scrollY));
    clip = clip ? SurfaceRect{std::max(clip->left, a.left), std::max(clip->top, a.top),
                              std::min(clip->right, a.right), std::min(clip->bottom, a.bottom)}
                : a;
    if (clip->right <= clip->left || clip->bottom <= clip->top) return ctx;
  }
  if (clip) surface.setClipRect(clip);
  // 2. The canvas.
  if (page.canvas != nullptr && !options.noBackground) page.canvas->Draw(surface, ctx);
  // 3. The back page and its ink.
  if (page.backFigures != nullptr) {
    drawFigures(surface, ctx, *page.backFigures, nullptr);
    if (hooks.ink != nullptr) hooks.ink->DrawInk(surface, ctx, page.backPageNumber);
  }
  // 4. The figures.
  if (page.figures != nullptr) drawFigures(surface, ctx, *page.figures, page.editedText);
  // 5. Ink, then its selection marks.
  if (hooks.ink != nullptr) {
    hooks.ink->DrawInk(surface, ctx, page.pageNumber);
    hooks.ink->DrawInkSelection(surface, ctx);
  }
  if (hooks.editor && page.editedText != nullptr) hooks.editor(surface, ctx);
  // 6. Selection marks.
  if (hooks.selection != nullptr && ctx.showHandles) {
    hooks.selection->DrawSelectionMarks(surface, ctx, SystemColour_highlight);
  }
  // 7. Grid.
  if (page.canvas != nullptr && !options.noGrid) page.canvas->DrawGrid(surface, ctx);
  // 8. Row guide.
  if (hooks.rowGuide) hooks.rowGuide(surface, ctx);
  return ctx;
}

void View_drawOutside(Surface& surface, const ViewGeometry& geometry, const Canvas& canvas) {
  DrawContext ctx;
  ViewGeometry_fillDrawContext(geometry, ctx, false, nullptr);
  canvas.DrawPageSurround(surface, ctx, geometry.clientWidth, geometry.clientHeight);
}

bool View_gridDisplayed(const Canvas& canvas) { return canvas.gridMode() == 1; }

void View_toggleGridCatch(Canvas& canvas) {
  const bool on = !canvas.snapToGrid();
  canvas.setSnapToGrid(on);
  canvas.setGridMode(on ? 1 : 0);
}

void View_toggleGridDisplay(Canvas& canvas) {
  canvas.setGridMode(View_gridDisplayed(canvas) ? 0 : 1);
}

void View_standardGrid(Canvas& canvas) {
  canvas.setSnapToGrid(true);
  canvas.setGridMode(1);
  canvas.setGrid(19, 19);
}
