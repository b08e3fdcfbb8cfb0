// What the view tells a figure when it draws (`DrawContext`), the page-to-
// device conversions every kind uses, the filter-variable table the context
// carries, and the fixed system colours.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/surface/surface.h"
#include "figures/base/geometry.h"

// The note's filter variables: ten name/value pairs (each at most 79 bytes);
// an entry with an empty name is free.  Parsing, formatting and lookup are
// the canvas's (figures/canvas).
struct FilterVariable {
  std::string name;
  std::string value;
  friend bool operator==(const FilterVariable&, const FilterVariable&) = default;
};
inline constexpr size_t FilterVariables_count = 10;
inline constexpr size_t FilterVariables_textMax = 79;
struct FilterVariables {
  std::array<FilterVariable, FilterVariables_count> entries;
  friend bool operator==(const FilterVariables&, const FilterVariables&) = default;
};

// System colours, fixed so that no output depends on a desktop theme.
inline constexpr Colour SystemColour_windowText = 0x000000;
inline constexpr Colour SystemColour_window = 0xFFFFFF;
inline constexpr Colour SystemColour_buttonFace = 0xF0F0F0;
inline constexpr Colour SystemColour_highlight = Colour_rgb(51, 153, 255);
inline constexpr Colour SystemColour_highlightText = 0xFFFFFF;
inline constexpr Colour SystemColour_appWorkspace = 0xABABAB;

struct DrawContext {
  int32_t textZoom = 100;  // percent, for font sizes
  int32_t zoomX = 100;     // percent
  int32_t zoomY = 100;
  int32_t scrollX = 0;     // device x = page x * zoomX / 100 - scrollX
  int32_t scrollY = 0;
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  // The device area being repainted, before the scroll offset is applied
  // (left, top, right, bottom); a figure wholly outside it is not drawn.
  int32_t clipLeft = INT32_MIN;
  int32_t clipTop = INT32_MIN;
  int32_t clipRight = INT32_MAX;
  int32_t clipBottom = INT32_MAX;
  bool useSystemColours = false;  // black strokes/text and white fills from the system
  bool showHandles = true;        // selected figures draw their handles
  bool directOutput = false;      // not the screen: printing, page images
  bool showLockCrosses = false;   // every figure's handles as crosses
  int32_t pageNumber = 1;
  int32_t defaultLineSpacing = 14;
  FilterVariables filterVariables;
};

// value * zoom / 100 in 64 bits, truncating towards zero, clamped to int32.
constexpr int32_t Figure_scale(int64_t value, int32_t zoom) {
  return Figure_toInt32(value * zoom / 100);
}
// Page to device: page x * zoomX / 100 - scrollX (truncating towards zero).
constexpr int32_t DrawContext_deviceX(const DrawContext& c, int64_t pageX) {
  return Figure_toInt32(pageX * c.zoomX / 100 - c.scrollX);
}
constexpr int32_t DrawContext_deviceY(const DrawContext& c, int64_t pageY) {
  return Figure_toInt32(pageY * c.zoomY / 100 - c.scrollY);
}
constexpr Point32 DrawContext_device(const DrawContext& c, Point32 page) {
  return {DrawContext_deviceX(c, page.x), DrawContext_deviceY(c, page.y)};
}
// A pen width at the context's zoom (zoomX); 0 is drawn one pixel wide.
constexpr int32_t DrawContext_penWidth(const DrawContext& c, int32_t width) {
  return Figure_scale(width, c.zoomX);
}
// Stroke and text colours: black becomes the window-text colour when the
// context uses system colours.
constexpr Colour DrawContext_strokeColour(const DrawContext& c, Colour colour) {
  return c.useSystemColours && colour == 0 ? SystemColour_windowText : colour;
}
// Fill colours: white becomes the window colour when the context uses
// system colours.
constexpr Colour DrawContext_fillColour(const DrawContext& c, Colour colour) {
  return c.useSystemColours && colour == 0xFFFFFF ? SystemColour_window : colour;
}
// Whether a device rectangle (l, t, r, b, scrolled) lies wholly outside the
// repaint area (which is given before scrolling).
constexpr bool DrawContext_outsideClip(const DrawContext& c, int64_t l, int64_t t, int64_t r,
                                       int64_t b) {
  const int64_t cl = int64_t{c.clipLeft} - c.scrollX, cr = int64_t{c.clipRight} - c.scrollX;
  const int64_t ct = int64_t{c.clipTop} - c.scrollY, cb = int64_t{c.clipBottom} - c.scrollY;
  return r < cl || l > cr || b < ct || t > cb;
}
