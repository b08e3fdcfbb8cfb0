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
