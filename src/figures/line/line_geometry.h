// Integer geometry of straight segments shared by the line kinds: the
// squared distance from a point to a segment, the 6-unit axis snap of a
// dragged end point, and whether a segment meets a rectangle.
#pragma once

#include <cstdint>

#include "figures/base/geometry.h"

// The squared distance from p to the segment a-b, in integer arithmetic:
// with g = b.x - a.x, h = a.y - b.y, L = g² + h², m = g (p.y - a.y) +
// h (p.x - a.x), the perpendicular distance squared is m² / L when the foot
// (p.x - h m / L, p.y - g m / L) lies within the segment's bounding box
// (inclusive); otherwise, and for a = b, the smaller of |p - a|² and
// |p - b|².  Computed in 128 bits without scaling; saturates at INT64_MAX.
int64_t LineGeom_distanceSquared(Point32 p, Point32 a, Point32 b);

// The axis snap of an end point dragged to (x, y) with the other end o:
// within 6 in x only, x takes o.x (vertical line); within 6 in y only, y
// takes o.y (horizontal); both or neither within 6: no change.
Point32 LineGeom_snapEnd(Point32 moved, Point32 other);

// Whether the segment a-b meets the rectangle {x, y, w, h} (edges x, x + w,
// y, y + h inclusive): an end inside, or a crossing of an edge.
bool LineGeom_segmentMeetsRect(Point32 a, Point32 b, const Rect32& r);

// The offsets of the parallel one-pixel lines a dashed stroke of `width`
// is drawn with at zoomX: from -((width - 1) × zoomX / 200) to
// width × zoomX / 200, but never more than LineGeom_maxDashOffset to either
// side, so that a huge width read from a file cannot hold the paint up.
inline constexpr int64_t LineGeom_maxDashOffset = 4096;
struct LineDashOffsets {
  int64_t from = 0;
  int64_t to = 0;
};
LineDashOffsets LineGeom_dashOffsets(int32_t width, int32_t zoomX);

// The device segment a-b moved k pixels across its main direction: down
// when it is more horizontal than vertical, else to the right (saturated).
struct LineSegment {
  Point32 a;
  Point32 b;
};
LineSegment LineGeom_dashShift(Point32 a, Point32 b, int64_t k);
