// Pen ink as the page holds it: strokes of points in ink units (HIMETRIC,
// 2540 to the inch; one pixel at 96 dots an inch is 26.458 units) with
// their drawing attributes, the attributes of the pen tools, what makes a
// stroke ink rather than a click, how much of a stroke a lasso or a
// rectangle holds, and the ink layer groups a note file carries for other
// viewers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/surface/surface.h"
#include "figures/base/geometry.h"

// Raster operations of ink: drawn over (13), multiplied like a marker
// (9), not drawn (11, the lasso).
inline constexpr int32_t InkRop_copyPen = 13;
inline constexpr int32_t InkRop_maskPen = 9;
inline constexpr int32_t InkRop_noOperation = 11;

// The largest pressure a point carries (0: the device gives none).
inline constexpr int32_t InkPoint_pressureMax = 1023;

struct InkPoint {
  int32_t x = 0, y = 0;  // ink units
  int32_t pressure = 0;  // 0 ... InkPoint_pressureMax
  friend bool operator==(const InkPoint&, const InkPoint&) = default;
};

struct InkAttributes {
  Colour colour = 0;
  int32_t width = 38;  // ink units
  int32_t height = 38;
  bool ignorePressure = false;
  int32_t rasterOp = InkRop_copyPen;
  friend bool operator==(const InkAttributes&, const InkAttributes&) = default;
};

struct InkStroke {
  std::vector<InkPoint> points;
  InkAttributes attributes;
  friend bool operator==(const InkStroke&, const InkStroke&) = default;
};

// The width (ink units) of the line from a point: the pen's, scaled by the
// point's pressure when the stroke uses it.
int32_t InkStroke_widthAt(const InkAttributes& attributes, const InkPoint& point);

// Ink units per page unit (pixel at 96 dots an inch).
inline constexpr double Ink_unitsPerPixel = 2540.0 / 96.0;

// A rectangle of ink units as the page units that cover it (a unit and
// more around it), and a rectangle of page units in ink units.
Rect32 Ink_toPageRect(const Rect32& inkRect);
Rect32 Ink_fromPageRect(const Rect32& pageRect);

// The attributes of the pen tools 25-31 (the eraser draws with 25's);
// other tools give the black pen's.
InkAttributes InkTool_attributes(int32_t tool);

// Whether a finished stroke is ink: always when it follows the previous
// stroke within 700 ms or the tool was just chosen (`keepNext`); else when
// it is long enough: with d = |dx| + |dy| between its ends in ink units and
// n its points, (d > 59 or n > 16) and (d > 149 or n > 11).  A stroke
// that is no ink acts as a click or a short drag.
bool InkStroke_isInk(int64_t msSincePrevious, bool keepNext, const InkStroke& stroke);

// The share (0-1) of a stroke's points inside a closed outline (even-odd
// rule) or a rectangle (edges included); 0 for a stroke without points.
double InkStroke_shareInside(const InkStroke& stroke, std::span<const InkPoint> outline);
double InkStroke_shareInside(const InkStroke& stroke, const Rect32& inkRect);

// The box of the strokes' points (left, top, width, height in ink units);
// all zero without a point.
Rect32 InkStrokes_bounds(std::span<const InkStroke> strokes);
// The share of a stroke's points within `tolerance` ink units of (x, y) on
// both axes: a stroke is under a press when at least 1 % of it is.
double InkStroke_shareNear(const InkStroke& stroke, int32_t x, int32_t y, int32_t tolerance = 260);
// Moves every point.
void InkStrokes_moveBy(std::span<InkStroke> strokes, int32_t dx, int32_t dy);
// Maps the strokes' box onto `target` (at least 100 ink units each way,
// growing from its left and top edges), every point in proportion.
void InkStrokes_scaleToRectangle(std::span<InkStroke> strokes, Rect32 target);

// The ink layer group of a note file for the strokes of one layer
// (InkLayer_back: the markers, InkLayer_front: the rest): one stroke group
// per stroke with one <line> per pair of consecutive points, in page units
// (tenths in the front layer), and in the front layer the raw ink data
// (Base64, broken into lines of 73 characters) when there is any.
std::string InkLayer_groupText(std::span<const InkStroke> strokes, int32_t layer,
                               std::string_view rawBase64);

// The strokes an ink layer group shows other viewers (the inverse of
// InkLayer_groupText, to a tenth of a page unit): each stroke group's line
// segments joined end to start, its colour, its first segment's width and,
// in the back layer, marker attributes.  What is no such group or line is
// passed over.
std::vector<InkStroke> InkLayer_strokesOfGroup(std::string_view groupText);
