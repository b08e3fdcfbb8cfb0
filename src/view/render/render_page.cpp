#include "view/render/render_page.h"

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

  SurfaceSaver saver(surface);
  // 1. The clip (given before the scroll offset in the context).
  if (options.clipToPage && !g.outsideFigures) {
    surface.setClipRect(SurfaceRect{ctx.clipLeft - ctx.scrollX, ctx.clipTop - ctx.scrollY,
                                    ctx.clipRight - ctx.scrollX, ctx.clipBottom - ctx.scrollY});
  }
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
