// The end shapes of straight and cornered lines (arrow heads, dots,
// triangles, diamonds; filled or hollow): their property choices, their
// geometry in page units and their drawing.
//
// Geometry.  With the tip T (the visible end point), the other end E of the
// segment the shape sits on, and the head size S = width * 4 + 8, the
// direction is u = (E - T) * S / len, len being the integer part of the
// Euclidean length of E - T; when len is 0, u = (S, 0) (the head points
// along +x).  rot(u, a) turns u by a.  Everything is computed in doubles
// in page units and only the final coordinates are truncated towards zero,
// so the drawn head and the head written to a file are the same points.
//   1 open arrow   strokes T -> T + rot(u, +a) and T -> T + rot(u, -a)
//   3, 6 triangle  polygon T, T + rot(u, +b), T + rot(u, -b)
//   4, 7 diamond   polygon T, T + rot(u, +a), T + 2 u cos a, T + rot(u, -a)
//   2, 5 circle    centre T, radius width + 2
// with a = 20 and b = 30 degrees, taken with pi as 3.14.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/surface/surface.h"
#include "figures/base/draw_context.h"
#include "figures/base/geometry.h"
#include "figures/base/property_row.h"

enum LineEndShape : int32_t {
  LineEndShape_None = 0,
  LineEndShape_Arrow = 1,
  LineEndShape_Circle = 2,
  LineEndShape_Triangle = 3,
  LineEndShape_Diamond = 4,
  LineEndShape_CircleHole = 5,
  LineEndShape_TriangleHole = 6,
  LineEndShape_DiamondHole = 7,
};
inline constexpr int32_t LineEndShape_count = 8;

// The angles of the heads (20 and 30 degrees with pi as 3.14).
inline constexpr double LineEnd_arrowAngle = 0.3488888888888889;
inline constexpr double LineEnd_triangleAngle = 0.5233333333333333;

constexpr bool LineEndShape_isValid(int32_t shape) { return shape >= 0 && shape < 8; }
// Circle, triangle, diamond filled with the line colour (2, 3, 4).
constexpr bool LineEndShape_isFilled(int32_t shape) { return shape >= 2 && shape <= 4; }
// The hollow circle, triangle, diamond (5, 6, 7).
constexpr bool LineEndShape_isHollow(int32_t shape) { return shape >= 5 && shape <= 7; }

// The property choices "矢印なし" ... "◇ ひし形抜き" / "No Arrow" ...
// "   Diamond(Hole)" (CP932, the English ones with their leading blanks).
std::vector<std::string> LineEnd_choices(bool japanese);
// The choice row of end 1 or 2: "頂点１の形状" / "Shape of Point1",
// "頂点２の形状" / "Shape of Point2", with the choices above.
PropertyRow LineEnd_shapeRow(bool japanese, int32_t end, int32_t shape);

// Head size S = width * 4 + 8 (64-bit safe, clamped to int32).
int32_t LineEnd_headSize(int32_t width);

// The page-unit geometry of one end shape.
struct LineEndGeometry {
  int32_t shape = LineEndShape_None;
  // Arrow: {T, left stroke end, right stroke end} (two strokes from T);
  // triangle: its 3 corners; diamond: its 4 corners; circle and none: empty.
  std::vector<Point32> points;
  Point32 centre;      // circles: the tip
  int32_t radius = 0;  // circles: width + 2
};

// The geometry of `shape` with its tip at `tip`, the segment leaving
// towards `other`.  Shape 0 and invalid shapes give an empty geometry.
LineEndGeometry LineEnd_geometry(int32_t shape, Point32 tip, Point32 other, int32_t width);

// The brush colour of a shape: the line colour for filled shapes; white for
// hollow ones, or black when the line colour's red and green components
// are both above 208 (a yellow line).
Colour LineEnd_fillColour(int32_t shape, Colour lineColour);

// Draws one end shape: with a solid pen of width * zoomX / 100 in the line
// colour (window text under system colours when 0); filled and hollow
// shapes with a solid brush of LineEnd_fillColour.  Points are converted
// with the context.  The surface state is left as it was.
void LineEnd_draw(Surface& surface, const DrawContext& ctx, int32_t shape, Point32 tip,
                  Point32 other, int32_t width, Colour lineColour);
