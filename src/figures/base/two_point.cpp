#include "figures/base/two_point.h"

#include <algorithm>
#include <cstdlib>

#include "core/strx/strx_numbers.h"
#include "figures/base/cad_prim.h"

namespace {

int64_t absDiff(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

}  // namespace

int32_t TwoPoint_getEdge(Point32 p1, Point32 p2, int32_t which) {
  Figure_checkGetEdge(which);
  switch (which) {
    case 0: case 6: return std::min(p1.x, p2.x);
    case 1: return std::max(p1.x, p2.x);
    case 2: case 7: return std::min(p1.y, p2.y);
    case 3: return std::max(p1.y, p2.y);
    case 4: return static_cast<int32_t>((int64_t{p1.x} + p2.x) / 2);
    default: return static_cast<int32_t>((int64_t{p1.y} + p2.y) / 2);
  }
}

void TwoPoint_setEdge(TwoPointRefs p, int32_t which, int32_t value) {
  Figure_checkSetEdge(which);
  const int64_t d = int64_t{value} - TwoPoint_getEdge({p.x1, p.y1}, {p.x2, p.y2}, which);
  const bool horizontal = which == 0 || which == 1 || which == 4;
  int32_t& a = horizontal ? p.x1 : p.y1;
  int32_t& b = horizontal ? p.x2 : p.y2;
  a = Figure_clampCoord(a + d);
  b = Figure_clampCoord(b + d);
}

int32_t TwoPoint_getExtent(Point32 p1, Point32 p2, bool vertical) {
  return Figure_toInt32((vertical ? absDiff(p2.y, p1.y) : absDiff(p2.x, p1.x)) + 1);
}

void TwoPoint_setExtentKeepingFirst(TwoPointRefs p, bool vertical, int32_t value) {
  const int64_t v = Figure_clampSize(value);
  const int32_t a = vertical ? p.y1 : p.x1;
  int32_t& b = vertical ? p.y2 : p.x2;
  b = Figure_clampCoord(a < b ? a + v - 1 : a - v + 1);
}

bool TwoPoint_ensureMinimumSize(TwoPointRefs p, int32_t near, int32_t dx, int32_t dy) {
  if (absDiff(p.x1, p.x2) > near || absDiff(p.y1, p.y2) > near) return false;
  p.x2 = Figure_clampCoord(int64_t{p.x1} + dx);
  p.y2 = Figure_clampCoord(int64_t{p.y1} + dy);
  return true;
}

PropertyRow TwoPoint_pointRow(int32_t row, Point32 p1, Point32 p2) {
  switch (row) {
    case 0: return PropertyRow_integer("x1", p1.x, INT32_MIN);
    case 1: return PropertyRow_integer("y1", p1.y, INT32_MIN);
    case 2: return PropertyRow_integer("x2", p2.x, INT32_MIN);
    case 3: return PropertyRow_integer("y2", p2.y, INT32_MIN);
    default: return PropertyRow_pastEnd();
  }
}

void TwoPoint_setPointRow(TwoPointRefs p, int32_t row, int32_t value) {
  switch (row) {
    case 0: p.x1 = Figure_clampCoord(value); break;
    case 1: p.y1 = Figure_clampCoord(value); break;
    case 2: p.x2 = Figure_clampCoord(value); break;
    case 3: p.y2 = Figure_clampCoord(value); break;
    default: break;
  }
}

PropertyRow Stroke_widthRow(bool japanese, int32_t width) {
  return PropertyRow_integer(PropertyRow_name(japanese, "線幅", "Line Width"), width, 1);
}

PropertyRow Stroke_colourRow(bool japanese, Colour colour) {
  return PropertyRow_colour(PropertyRow_name(japanese, "色", "Color"), colour);
}

PropertyRow Stroke_dashedRow(bool japanese, bool dashed) {
  return PropertyRow_onOff(PropertyRow_name(japanese, "破線", "Dashed Line"), dashed);
}

bool Stroke_readColour(std::string_view value, Colour& colour) {
  uint32_t c = colour;
  if (!StrX_readColor(value, c)) return false;
  colour = c & 0xFFFFFF;
  return true;
}
