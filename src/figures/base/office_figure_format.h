// Pieces the figure kinds share when they write the statements of a
// conversion script (office_script_writer.h): the scale, the shape
// container, lengths in points, colours and arrowhead names (string
// literals: office_strings.h).
#pragma once

#include <cstdint>
#include <string>

#include "core/surface/surface.h"

// S: 2 for an enlarged PowerPoint conversion (flag bit 0), else 1.
int32_t OfficeFormat_scale(int32_t kind, int32_t flags);
// The collection shapes are added to: "canvas" (Word) or "s.Shapes".
const char* OfficeFormat_container(int32_t kind);
// A length in page units as points: length x S x 3 x 0.25.
inline double OfficeFormat_points(int64_t length, int32_t scale) {
  return static_cast<double>(length) * scale * 3 * 0.25;
}
// "RGB(r, g, b)" of a colour.
std::string OfficeFormat_rgb(Colour c);
// The Office name of a line's end shape 1-7 ("msoArrowheadOpen", ...);
// null for 0 and unknown shapes.  Hollow heads become filled ones.
const char* OfficeFormat_arrowhead(int32_t shape);
