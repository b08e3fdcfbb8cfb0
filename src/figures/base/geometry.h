// Small value types and integer helpers shared by the figure kinds: page
// points and rectangles, hit-test results, rounding, clamping and the
// model's coordinate range.  Sums and products of coordinates are formed in
// 64 bits so that no int32 overflows.
#pragma once

#include <algorithm>
#include <cstdint>

struct Point32 {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point32&, const Point32&) = default;
};

// {x, y, width, height} in page units.
struct Rect32 {
  int32_t x = 0;
  int32_t y = 0;
  int32_t w = 0;
  int32_t h = 0;
  friend bool operator==(const Rect32&, const Rect32&) = default;
};

// Cursor shapes a hit test reports (the view maps them to real cursors).
enum HitCursor : int32_t {
  HitCursor_None = 0,
  HitCursor_Move = 1,
  HitCursor_SizeHorizontal = 2,  // left-right
  HitCursor_SizeVertical = 3,    // up-down
  HitCursor_SizeDiagonalDown = 4,  // top-left to bottom-right
  HitCursor_SizeDiagonalUp = 5,    // top-right to bottom-left
  HitCursor_LinePoint = 6,
  HitCursor_Forbidden = 7,
};

// What `HitTest` reports.  code: 0 miss, -1 body, > 0 the handle number.
// (dx, dy) = the figure's reference point minus the tested point; distance
// ranks several hits (smaller wins), 64 bits for squared distances.
struct HitResult {
  int32_t code = 0;
  int32_t dx = 0;
  int32_t dy = 0;
  int64_t distance = 0;
  int32_t cursor = HitCursor_None;
};

// The model's coordinate range: setters and the reader clamp to it.
inline constexpr int32_t Figure_coordMax = 99999;
inline constexpr int32_t Figure_sizeMax = 199998;
// 2 pi and pi as the figures compute angles with.
inline constexpr double Figure_twoPi = 6.283184;
inline constexpr double Figure_pi = 3.14;

constexpr int32_t Figure_clampCoord(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -Figure_coordMax, Figure_coordMax));
}
// A box size: 1 ... Figure_sizeMax.
constexpr int32_t Figure_clampSize(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, 1, Figure_sizeMax));
}
// Any 64-bit value into the int32 range.
constexpr int32_t Figure_toInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}
// (int)(v + 0.5): halves round up, then the cast truncates towards zero, so
// -2.7 gives -2 (not lround's -3).
constexpr int32_t Figure_roundHalf(double v) { return static_cast<int32_t>(v + 0.5); }

// Right and bottom edges of a rectangle, exclusive and in 64 bits.
constexpr int64_t Rect32_right(const Rect32& r) { return int64_t{r.x} + r.w; }
constexpr int64_t Rect32_bottom(const Rect32& r) { return int64_t{r.y} + r.h; }
// Whether a and b overlap by at least one unit in both directions.
constexpr bool Rect32_overlaps(const Rect32& a, const Rect32& b) {
  return a.x < Rect32_right(b) && b.x < Rect32_right(a) && a.y < Rect32_bottom(b) &&
         b.y < Rect32_bottom(a);
}
