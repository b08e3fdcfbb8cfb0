// Turning figures: points rotated about a centre, and the angle a dragged
// rotation handle gives.  Angles are degrees, clockwise on the screen
// (y grows downwards); radians take 2 pi as 6.283184 (Figure_twoPi).
#pragma once

#include <cstdint>

#include "figures/base/geometry.h"

struct FigurePointF {
  double x = 0;
  double y = 0;
};

// (x, y) turned by `degrees` about (cx, cy); 0 degrees gives it unchanged.
FigurePointF Figure_rotate(double x, double y, double cx, double cy, double degrees);

// The angle a rotation handle dragged to (px, py) turns a figure by: the
// angle at the centre (cx, cy) from the handle's unturned point to (px, py),
// in whole degrees (truncated).  With snap, an angle within 8 degrees of a
// right angle becomes that right angle (the remainder r modulo 90, taken
// into 0-89: r < 8 subtracts r, r > 82 adds 90 - r).
int32_t Figure_dragAngle(double px, double py, double cx, double cy, Point32 handle, bool snap);
// The snap of Figure_dragAngle alone.
int32_t Figure_snapAngle(int32_t degrees);
