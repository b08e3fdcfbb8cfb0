// The grab handles every kind draws the same way.  Box handles are numbered
// 1 top-left, 2 top-centre, 3 top-right, 4 middle-left, 5 middle-right,
// 6 bottom-left, 7 bottom-centre, 8 bottom-right; line points 1 and 2.
#pragma once

#include <array>
#include <span>

#include "core/surface/surface.h"
#include "figures/base/draw_context.h"
#include "figures/base/geometry.h"

// One handle at device (x, y).  A square: `rectangle(x - 3, y - 3, x + 3,
// y + 3)` with a one-pixel pen of colour ^ 0xFFFFFF and a solid brush of
// colour.  A cross (locked figures): with the same pen, a line from
// (x - 3, y - 3) to (x + 4, y + 4) and one from (x - 3, y + 3) to
// (x + 4, y - 4).  The surface's pen and brush are restored.
void FigureHandles_drawOne(Surface& surface, int x, int y, Colour colour, bool cross);

// The handles at page points: each is converted with the context; crosses
// when `locked` or the context's showLockCrosses.
void FigureHandles_draw(Surface& surface, const DrawContext& ctx,
                        std::span<const Point32> pagePoints, Colour colour, bool locked);

// The page points of the eight box handles of a rectangle, in handle order
// (centres truncate towards zero: x + w / 2).
std::array<Point32, 8> FigureHandles_boxPoints(const Rect32& box);

// --- hit testing of the eight box handles ---------------------------------

// Where a point lies against a box's edges, for scoring its handles (all in
// the units the caller tests in).  reach: how far the bands reach outside
// each edge and either side of the middles; inside: how far they reach
// inside each edge.  rOut and lIn are the point's offsets from the right and
// left edge in the top, middle and bottom row (they differ only for slanted
// sides); tIn, bOut from the top and bottom edge; mxTop, mxBottom from the
// horizontal middle of the top and bottom edge; my from the vertical middle.
struct HandleBands {
  int64_t reach = 0;
  int64_t inside = 0;
  int64_t rOut[3] = {0, 0, 0};
  int64_t lIn[3] = {0, 0, 0};
  int64_t tIn = 0, bOut = 0;
  int64_t mxTop = 0, mxBottom = 0, my = 0;
};

// The handle found, its score (the sum of the two offsets) and its cursor
// (2 for handles 4 and 5, 3 for 2 and 7, 4 for 1 and 8, 5 for 3 and 6);
// handle 0 when none.
struct HandleHit {
  int32_t handle = 0;
  int64_t score = 0;
  int32_t cursor = 0;
};

// The eight handles in the order 5, 7, 4, 2, 8, 1, 3, 6: the first lowest
// score below 17 wins (a later one only with a strictly lower score).
HandleHit FigureHandles_hit(const HandleBands& b);
// A box smaller than the reach: only handle 8, in the right and bottom
// bands, whatever its score.
HandleHit FigureHandles_hitCorner(const HandleBands& b);
