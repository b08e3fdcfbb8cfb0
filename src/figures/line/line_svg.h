// SVG pieces the straight and cornered lines share: a segment with its
// line style, and end shapes written as plain SVG shapes.
#pragma once

#include <cstdint>

#include "core/surface/surface.h"
#include "figures/base/geometry.h"
#include "figures/line/end_shapes.h"

struct SvgWriteContext;

// "\t<line x1=... y2=...\"\n" and "\t\tstyle=\"fill:none;stroke:...;
// stroke-width:W[;stroke-dasharray:4,4];stroke-linecap:round\"", without
// the closing "/>" (the caller may add attributes first).
void LineSvg_putSegment(SvgWriteContext& ctx, Point32 a, Point32 b, Colour colour, int32_t width,
                        bool dashed);

// The two strokes of an open arrow, each a complete line element from the
// tip outwards with the solid line style.
void LineSvg_putOpenArrow(SvgWriteContext& ctx, const LineEndGeometry& g, Colour colour,
                          int32_t width);

// The element start of a closed end shape: "\t<circle cx cy r\n" for a
// circle (with `radius`), "\t<polygon points=...\"\n" for a triangle or a
// diamond.
void LineSvg_putHeadShape(SvgWriteContext& ctx, const LineEndGeometry& g, int32_t radius);

// "\t\tstyle=\"fill:F;stroke:S;stroke-width:W\"/>\n".
void LineSvg_putHeadStyle(SvgWriteContext& ctx, Colour fill, Colour stroke, int32_t width);
