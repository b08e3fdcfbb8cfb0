// Snapping of mouse positions while figures are created, moved and resized:
// the axis lock (Shift), line ends and cornered-line segments of other
// figures within 7 units, the alignment of a text box moved as a whole with
// its neighbouring text boxes, and the canvas grid.  Plain C++ over the
// page's figures.
#pragma once

#include <cstdint>

#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"
#include "figures/base/geometry.h"

class Canvas;

struct EditSnapInput {
  Point32 point;          // the position to snap
  Point32 press;          // the press point (the axis lock keeps one of its coordinates)
  bool figures = false;   // snap to line ends and segments of other figures
  bool axisLock = false;  // Shift: keep the coordinate that moved less
  // The text box moved as a whole (modes -1 and -2), else null: it aligns
  // with other text boxes instead of snapping to line ends.
  const CadPrim* movedText = nullptr;
  const CadPrim* held = nullptr;  // never a snap target itself
  // How far the moved text box goes when the point is applied unsnapped.
  Point32 pending;
};

// How far each snap target may lie (units).
inline constexpr int32_t EditSnap_tolerance = 7;
// The gap a text box is placed at from the neighbour it aligns with.
inline constexpr int32_t EditSnap_textGap = 6;

// The offset (dx, dy) to add to `in.point`.  Figures whose move mark is set
// (the moving ones) are never targets.  With grid catch on, use
// EditSnap_grid instead.
Point32 EditSnap_offset(const FigureList& page, const EditSnapInput& in);

// The canvas grid snap of a point (the offset to the nearest grid point;
// (0, 0) with grid catch off).
Point32 EditSnap_grid(const Canvas& canvas, Point32 p);

// The text-box alignment alone: the offset that aligns `moving` (whose
// frame is moved by `shift` already) with the nearest non-moving text box
// above, below or beside it.
Point32 EditSnap_alignText(const FigureList& page, const CadPrim& moving, Point32 shift);
