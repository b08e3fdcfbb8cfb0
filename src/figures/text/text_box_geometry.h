// Helpers the Text_Box source files share: the layout numbers of the text
// block, the fonts the box measures and draws with, the frame outlines and
// rotation about the base point.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/surface/surface.h"
#include "figures/base/geometry.h"
#include "figures/text/text_box.h"

// The text block of a box (page units): the first line's top, the first
// line's bottom, the distance from the first to the last baseline, and the
// left and right of the text (width plus widthExtra) as the alignment puts
// them.
struct TextBoxGeometry {
  int32_t firstLineTop = 0;
  int32_t lineBottom = 0;
  int32_t span = 0;
  int32_t textLeft = 0;
  int32_t textRight = 0;
};
TextBoxGeometry TextBox_geometry(const Text_Box& b);

// The screen font (fontSize x 96 / 72 pixels, "@" before the face for
// vertical text) and the 16-times font the positions are measured with.
FontSpec TextBox_screenFont(const Text_Box& b);
FontSpec TextBox_measureFont(const Text_Box& b);
std::vector<std::string_view> TextBox_splitLines(std::string_view text);

// The outline of a frame shape over the box l..r x t..b: corners of a
// rectangle (shapes 0 and 1), the eight-point outline of a rounded
// rectangle cut by `chamfer` at each corner, 72 points of an ellipse, the
// side midpoints of a diamond, or a parallelogram slanted by (b - t) / 4.
std::vector<Point32> TextBox_outline(int64_t l, int64_t t, int64_t r, int64_t b, int32_t shape,
                                     int64_t chamfer);
inline std::vector<Point32> TextBox_outline(const TextBoxFrameBounds& f, int32_t shape,
                                            int64_t chamfer = 6) {
  return TextBox_outline(f.left, f.top, f.right, f.bottom, shape, chamfer);
}

// (x, y) turned by `degrees` about (cx, cy), clockwise on the screen, with
// halves rounded up.
Point32 TextBox_rotate(double x, double y, double cx, double cy, double degrees);
