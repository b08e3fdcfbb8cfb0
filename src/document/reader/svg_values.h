// The values of SVG drawn by other programs: numbers, lengths with units,
// transform lists, view boxes, colours (names, #rgb, rgb() with numbers or
// percentages) and the extent of shapes and paths.  Texts are code page
// 932 (ASCII for everything read here).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/surface/surface.h"
#include "figures/foreign/foreign_figure.h"
#include "figures/foreign/svg_affine.h"

// A number at `pos` (blanks and one comma before it skipped): sign,
// digits, fraction, exponent.  `pos` moves behind it; none (pos kept) when
// there is no number.
std::optional<double> SvgValue_number(std::string_view s, size_t& pos);

// A length in user units (px): the units px, pt, pc, mm, cm, in, em (the
// font size given), ex (half of it) and % (of `percentOf`).  None for text
// that is no number; an unknown unit counts as px.
std::optional<double> SvgValue_length(std::string_view s, double percentOf = 0,
                                      double fontSize = 16);

// A transform list (matrix, translate, scale, rotate with an optional
// centre, skewX, skewY), applied left to right as SVG does.  None when the
// text is no transform list (SVG then ignores the attribute).
std::optional<SvgAffine> SvgValue_transform(std::string_view s);

// The map of a viewport of width x height onto which a view box ("x y w
// h") is fitted as preserveAspectRatio says ("none", the nine alignments,
// "meet" or "slice").  None when the view box is missing or empty.
std::optional<SvgAffine> SvgValue_viewBoxMap(std::string_view viewBox,
                                             std::string_view preserveAspectRatio, double width,
                                             double height);
// The width and height of a view box, none when it has none.
std::optional<std::pair<double, double>> SvgValue_viewBoxSize(std::string_view viewBox);

// A colour: a CSS colour name, "#rgb", "#rrggbb", "rgb(r, g, b)" with
// numbers or percentages; "currentColor" is `current`.  None for anything
// else ("none", "url(...)", unknown names).
std::optional<Colour> SvgValue_colour(std::string_view s, Colour current = 0);

// Widens `box` to hold (x, y); the first point (any false) makes it.
void SvgValue_extendBox(ForeignBox& box, bool& any, double x, double y);

// The extent of the points of a `d` path (control points included, so it
// may be a little larger than the curve); none without a point.
std::optional<ForeignBox> SvgValue_pathBox(std::string_view d);
// The extent of a `points` list; none without a point.
std::optional<ForeignBox> SvgValue_pointsBox(std::string_view points);
// The points of a `points` list (x, y pairs; an odd last number dropped).
std::vector<std::pair<double, double>> SvgValue_points(std::string_view points);
