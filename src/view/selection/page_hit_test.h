// The page hit test of the editing view: which figure of the shown page a
// page point hits, and how (body, handle, line point).  Plain C++ over the
// figures' own HitTest; the widget and the selection call it.
#pragma once

#include <cstdint>

#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"
#include "figures/base/geometry.h"

// What the page hit test found.  figure null: nothing was hit; then
// hit.code is 0, hit.dx = hit.dy = 9999 and hit.cursor 0.
struct PageHit {
  CadPrim* figure = nullptr;
  HitResult hit;
};

inline constexpr int32_t PageHit_noGrab = 9999;

// The hit test of one page, in page units.
//   - Every figure of `page` but `skip` (and but the page's canvas, which
//     never takes a press) is asked HitTest(x, y, zoom, mode) from the first
//     (bottom-most) to the last; a hit whose distance is at most the best so
//     far replaces it, so of equal distances the upper figure wins.
//   - When `preferred` is given and hit as well, it keeps the point unless
//     the figure found lies wholly inside its bounding box (both counted
//     inclusive); then the smaller figure is returned.
//   - When `preferred` wins, `reportAs` (when given) is returned in its
//     place: the in-place text editor is tested, the edited box reported.
// mode: 1 while the rotate tool is active, else 0.  A figure that raises
// (a text box never laid out: 9231) passes the error on.
PageHit PageHit_test(const FigureList& page, int32_t x, int32_t y, int32_t zoom, int32_t mode,
                     CadPrim* preferred, const CadPrim* skip, CadPrim* reportAs = nullptr);

// Whether `inner`'s box lies wholly inside `outer`'s box (GetEdge 0-3,
// inclusive edges).
bool PageHit_boxInside(const CadPrim& inner, const CadPrim& outer);

// The page's canvas (the figure of kind FigureKind_Canvas), null when the
// list has none.
CadPrim* PageHit_canvas(const FigureList& page);
