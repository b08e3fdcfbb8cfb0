// Drawing one page of the view onto any Surface: the back buffer of the
// window, and later page images and print-outs.  No Qt here.
//
// The order is fixed (later steps paint over earlier ones):
//   1. the clip: the page's part of the client area, unless figures stick
//      out of the canvas (or no clip is asked for);
//   2. the page's Canvas (background), unless no background is asked for;
//   3. the back page's figures in list order, then its ink, when the page
//      shows a back page;
//   4. the page's figures in list order (the first is the bottom-most); the
//      text box being edited in place is left to the editor;
//   5. the page's ink, then the ink selection marks, then the in-place
//      editor over them;
//   6. the selection marks, in the highlight colour, when handles are shown,
//      not for printing and not while a text box is edited;
//   7. the grid dots of the Canvas, unless no grid is asked for;
//   8. the row guide while a row is inserted or deleted.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/surface/surface.h"
#include "figures/base/draw_context.h"
#include "view/geometry/view_geometry.h"

class CadPrim;
class Canvas;
class FigureList;

// Step 6: what the selection layer paints over the figures (the handles of
// the held figures, the rubber band).  The view holds one and calls it from
// RenderPage; none = nothing to paint.
class ViewSelectionMarks {
 public:
  virtual ~ViewSelectionMarks() = default;
  virtual void DrawSelectionMarks(Surface& surface, const DrawContext& ctx, Colour highlight) = 0;
};

// Steps 3 and 5: the pen ink of a page (none until the ink engine exists).
class ViewInkPainter {
 public:
  virtual ~ViewInkPainter() = default;
  virtual void DrawInk(Surface& surface, const DrawContext& ctx, int32_t pageNumber) = 0;
  virtual void DrawInkSelection(Surface& surface, const DrawContext& ctx) = 0;
};

// The page to draw: its figures (the Canvas first) and its Canvas, and the
// back page's figures when the page shows one.
struct ViewPageSource {
  const FigureList* figures = nullptr;
  Canvas* canvas = nullptr;
  const FigureList* backFigures = nullptr;  // null: no back page shown
  int32_t backPageNumber = 0;
  int32_t pageNumber = 1;
  const CadPrim* editedText = nullptr;  // the box of the in-place editor
};

struct ViewRenderOptions {
  bool clipToPage = true;
  bool useScroll = true;      // false: the surface starts at the page origin
  bool forPrint = false;
  bool noGrid = false;
  bool noBackground = false;
  bool useSystemColours = false;
  bool showLockCrosses = false;  // viewer mode
  int32_t defaultLineSpacing = 15;
  // Only this part of the client area is drawn (right and bottom
  // exclusive); the rest of the surface is left as it is.  The context's
  // clip box and the surface clip both shrink to it, so figures outside it
  // skip themselves.  None: the whole page.
  std::optional<SurfaceRect> area;
  // A context of the caller's (a printer's sheet), drawn with as it is
  // instead of one filled from the geometry; the Canvas still gives the
  // filter variables.
  const DrawContext* context = nullptr;
};

struct ViewRenderHooks {
  ViewSelectionMarks* selection = nullptr;
  ViewInkPainter* ink = nullptr;
  // Step 8, while a row insertion or deletion is in progress.
  std::function<void(Surface&, const DrawContext&)> rowGuide;
  // After step 5, while a text box is edited in place: the editor in place
  // of the box (page.editedText).
  std::function<void(Surface&, const DrawContext&)> editor;
};

// RenderPage.  Answers the context it drew with.
DrawContext View_renderPage(Surface& surface, const ViewGeometry& geometry,
                            const ViewPageSource& page, const ViewRenderOptions& options,
                            const ViewRenderHooks& hooks = {});

// DrawOutside: the workspace around the page, its shadow and corner handle,
// up to the client size.
void View_drawOutside(Surface& surface, const ViewGeometry& geometry, const Canvas& canvas);

// The grid commands on the page's Canvas.  Catch flips snapping and sets
// the display to the same new value; display flips the display alone; the
// standard grid turns both on with spacings of 19.
void View_toggleGridCatch(Canvas& canvas);
void View_toggleGridDisplay(Canvas& canvas);
void View_standardGrid(Canvas& canvas);
bool View_gridDisplayed(const Canvas& canvas);
