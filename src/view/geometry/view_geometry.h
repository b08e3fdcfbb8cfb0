// The geometry of the editing view without its window: zoom and its modes,
// the origin shift of the whole-page mode, scrolling, and the conversions
// between client pixels and canvas units.  All arithmetic is integer with
// truncating division; products are taken in 64 bits and results are
// clamped to 32 bits, so a 99999 x 99999 page at 6400 % or a figure at
// -2,000,000,000 never overflows.  No Qt here: the window (CChildView)
// owns one ViewGeometry and feeds it its client size.
#pragma once

#include <cstdint>

#include "figures/base/draw_context.h"
#include "figures/base/geometry.h"

class Canvas;
class FigureList;

// Zoom modes.
enum ViewZoomMode : int32_t {
  ViewZoom_Fixed = 1,      // a fixed percentage
  ViewZoom_FitPage = 2,    // the whole page (and every figure) in the window
  ViewZoom_FitWidth = 3,   // the page width in the window
};

inline constexpr int32_t ViewZoom_min = 1;
inline constexpr int32_t ViewZoom_max = 10000;  // the zoom rate dialog's bound
// Space left around the page in the scrolled content and in the fit modes.
inline constexpr int32_t ViewGeometry_margin = 6;

// One step up / down the zoom ladder 1, 3, 6, 12, 25, 50, 100 ... 6400,
// from the zoom last asked for.
int32_t ViewZoom_stepIn(int32_t target);
int32_t ViewZoom_stepOut(int32_t target);

// What SetZoom did.
enum class ViewSetZoomResult {
  Zoomed,        // the zoom changed (or was set again); mode 1
  ZoomPick,      // the page would be much larger than the window: the
                 // view waits for a click on the point to zoom around
};

struct ViewGeometry {
  int32_t zoom = 100;        // m_Zoom
  int32_t targetZoom = 100;  // m_TargetZoom
  int32_t zoomMode = ViewZoom_Fixed;
  Point32 origin;             // m_Origin, pixels
  bool outsideFigures = false;
  Point32 scroll;             // scroll position, pixels
  int32_t clientWidth = 10;
  int32_t clientHeight = 10;
  int32_t pageWidth = 100;    // the canvas's W and H
  int32_t pageHeight = 100;
  // Total scroll sizes; 0 = no scroll bar in that direction.
  int32_t scrollTotalX = 0;
  int32_t scrollTotalY = 0;

  // The second state of the zoom-swap command.
  int32_t swapZoom = 100;
  int32_t swapZoomMode = ViewZoom_Fixed;
  Point32 swapScroll;
  int32_t swapPage = 1;
};

// Client pixel -> canvas unit: (c + S - O) * 100 / Z.
Point32 ViewGeometry_clientToCanvas(const ViewGeometry& g, Point32 client);
// Canvas unit -> client pixel: Z * x / 100 + O - S.
Point32 ViewGeometry_canvasToClient(const ViewGeometry& g, Point32 canvas);
// A canvas length in pixels: Z * length / 100.
int32_t ViewGeometry_length(const ViewGeometry& g, int64_t length);

// The union of the canvas rectangle (0, 0, W, H) and the bounds of every
// figure of the list (the canvas entry itself is skipped), as left, top,
// right, bottom in 64 bits; `outside` tells whether a figure sticks out.
struct ViewExtent {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool outside = false;
};
ViewExtent ViewGeometry_pageExtent(const FigureList* figures, int32_t width, int32_t height);

// Recomputes zoom and origin for modes 2 and 3 (mode 1 clears the origin).
// Answers true when figures newly stick out of the canvas in mode 2 (the
// window is to be invalidated once).
bool ViewGeometry_updateZoomForMode(ViewGeometry& g, const ViewExtent& extent);
// UpdateZoomForMode, then the scroll totals of the mode; the scroll
// position is clamped to them.  Answers what updateZoomForMode answered.
bool ViewGeometry_updateScrollSizes(ViewGeometry& g, const ViewExtent& extent);
// The largest scroll position in each direction (0 without a scroll bar).
Point32 ViewGeometry_maxScroll(const ViewGeometry& g);
// Sets the scroll position, clamped to 0 ... maxScroll; answers whether
// it changed.
bool ViewGeometry_scrollTo(ViewGeometry& g, Point32 position);

// SetZoom(zoom, how, centre) without the window: zoom is clamped to
// 1 ... 10000.  how = 1 centres the window on `centre` (canvas units);
// how = 0 with a zoom that would make the page more than 5/4 of the window
// answers ZoomPick and only sets targetZoom.
ViewSetZoomResult ViewGeometry_setZoom(ViewGeometry& g, int32_t zoom, int how, Point32 centre,
                                       const ViewExtent& extent);
// The click of zoom-pick mode: the target zoom becomes the zoom (mode 1)
// and the clicked canvas point comes to the middle of the window.
void ViewGeometry_zoomAround(ViewGeometry& g, Point32 canvasPoint, const ViewExtent& extent);
// Sets the zoom mode (2 or 3: the fit commands), scrolled to the top left.
void ViewGeometry_setMode(ViewGeometry& g, int32_t mode, const ViewExtent& extent);

// Swaps zoom, mode, scroll position and page number with the saved second
// state; answers the page number that was saved (the caller goes there).
// The geometry gets the saved zoom and mode; the saved scroll position is
// applied by ViewGeometry_finishSwap once the page is shown.
int32_t ViewGeometry_swapZoom(ViewGeometry& g, int32_t currentPage, Point32& scrollToRestore);

// Scrolls so that the canvas rectangle is visible: right/bottom 8 pixels
// inside, left/top 32 pixels inside (the left and top rules win).  Answers
// whether it scrolled.
bool ViewGeometry_ensureVisible(ViewGeometry& g, const Rect32& canvasRect);
// Page down (+1) / up (-1): scrolls by the client height - 32; answers
// whether it scrolled.
bool ViewGeometry_scrollPage(ViewGeometry& g, int direction);
// The wheel: scrolls vertically by -delta / 2 pixels; answers whether the
// position changed (false without a vertical scroll bar).
bool ViewGeometry_wheel(ViewGeometry& g, int32_t delta);

// Fills the context as the view draws: zoom, scroll, client size, clip box
// ((0, 0, min(client, page * Z / 100)) when clipping to the page, else the
// client area; given as the context takes it, before the scroll offset),
// page number -1, no system colours, handles off, no direct output.  The
// context's scroll is the scroll position less the origin, so that figures
// land where the conversions above put them.  `filter` is refilled from
// the canvas's filter-variable text when a canvas is given.
void ViewGeometry_fillDrawContext(const ViewGeometry& g, DrawContext& ctx, bool clipToPage,
                                  const Canvas* canvas, bool showLockCrosses = false,
                                  int32_t defaultLineSpacing = 15);

// Frame pacing without sleeping: a render that began at `start` and took
// `elapsed` ms lets the next one begin `16 - elapsed` ms after it ended
// when elapsed < 15, else 1 ms after.  Answers that delay.
int32_t ViewFrame_delayAfter(int32_t elapsedMs);
inline constexpr int32_t ViewFrame_period = 16;
