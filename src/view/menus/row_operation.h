// Rows of the page with the right button: a right drag from empty canvas
// downwards inserts room (the figures below the start line move down),
// upwards deletes the band between the mouse and the start line (the
// figures below move up, the figures in the band may go too).  The band
// is limited left and right by the nearest layout lines that span the
// start height; layout lines crossing the start line stretch instead of
// moving.  One undo step: the canvas and every figure that changed.
#pragma once

#include <cstdint>
#include <limits>

#include "figures/base/figure_list.h"
#include "figures/base/geometry.h"

class Canvas;
class NoteDocument;
class UndoHistory;

struct RowLimits {
  int32_t left = std::numeric_limits<int32_t>::min();
  int32_t right = std::numeric_limits<int32_t>::max();
  int32_t bottom = std::numeric_limits<int32_t>::max();
};

// The band's limits for a press: one unit inside the nearest layout lines
// left and right of it that span its height; the bottom limit is the lower
// end of those lines.
RowLimits RowOperation_limits(const FigureList& page, Point32 press);
// Whether a figure belongs to the rows below `rowY`: its top at or below
// the line and its box within the limits, or its top at or below the
// bottom limit.
bool RowOperation_inRegion(const CadPrim& f, int32_t rowY, const RowLimits& limits);
// Whether a figure crosses the band between two heights (any width).
bool RowOperation_inBand(const CadPrim& f, int32_t top, int32_t bottom);

// Inserts (distance > 0) or deletes (distance < 0) rows at `rowY`.  With
// `deleteBand`, the figures crossing the deleted band are deleted first.
// Records one step when a history is given.
void RowOperation_apply(FigureList& page, Canvas& canvas, int32_t rowY, int32_t distance,
                        const RowLimits& limits, bool deleteBand, UndoHistory* history,
                        NoteDocument* doc, int32_t pageNumber);
