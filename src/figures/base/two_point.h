// What the kinds spanned by two points share (straight lines, braces and
// cornered connectors): the edges and extents of the box of the two
// points, the minimum size after a single click, and the property rows of
// the points and of the stroke.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/surface/surface.h"
#include "figures/base/geometry.h"
#include "figures/base/property_row.h"

// The two points of a figure, as references to its fields.
struct TwoPointRefs {
  int32_t& x1;
  int32_t& y1;
  int32_t& x2;
  int32_t& y2;
};

// GetEdge: 0 and 6 the smaller x, 1 the larger x, 2 and 7 the smaller y,
// 3 the larger y, 4 and 5 the midpoint ((x1 + x2) / 2, (y1 + y2) / 2);
// other selectors raise 102 (Figure_checkGetEdge).
int32_t TwoPoint_getEdge(Point32 p1, Point32 p2, int32_t which);
// SetEdge: both points move by the same amount so that edge 0-5 takes the
// value (along x for 0, 1 and 4, along y otherwise), clamped to the model's
// range; other selectors raise 102.
void TwoPoint_setEdge(TwoPointRefs p, int32_t which, int32_t value);
// GetExtent: |y2 - y1| + 1 or |x2 - x1| + 1.
int32_t TwoPoint_getExtent(Point32 p1, Point32 p2, bool vertical);
// SetExtent of a line: point 1 stays and point 2 moves along the axis so
// that the extent becomes the value (1 ... Figure_sizeMax), keeping the
// direction.
void TwoPoint_setExtentKeepingFirst(TwoPointRefs p, bool vertical, int32_t value);
// EnsureMinimumSize: when the points lie within `near` of each other on
// both axes, point 2 := point 1 + (dx, dy).  True when it moved.
bool TwoPoint_ensureMinimumSize(TwoPointRefs p, int32_t near, int32_t dx, int32_t dy);

// Property rows "x1", "y1", "x2", "y2" (0-3, both languages; integers with
// the smallest int32 as minimum) and their SetProperty (clamped).  Rows
// outside 0-3 give PropertyRow_pastEnd() and set nothing.
PropertyRow TwoPoint_pointRow(int32_t row, Point32 p1, Point32 p2);
void TwoPoint_setPointRow(TwoPointRefs p, int32_t row, int32_t value);

// The stroke rows: "線幅" / "Line Width" (minimum 1), "色" / "Color" and
// "破線" / "Dashed Line".
PropertyRow Stroke_widthRow(bool japanese, int32_t width);
PropertyRow Stroke_colourRow(bool japanese, Colour colour);
PropertyRow Stroke_dashedRow(bool japanese, bool dashed);
// A colour row's text "rgb(r,g,b)" into `colour` (24 bits); false, and no
// change, when it does not read.
bool Stroke_readColour(std::string_view value, Colour& colour);
