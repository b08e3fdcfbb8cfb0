#include "figures/base/handles.h"

void FigureHandles_drawOne(Surface& s, int x, int y, Colour colour, bool cross) {
  ScopedPen pen(s, Pen::solid(colour ^ 0xFFFFFFu, 1));
  if (cross) {
    s.moveTo(x - 3, y - 3);
    s.lineTo(x + 4, y + 4);
    s.moveTo(x - 3, y + 3);
    s.lineTo(x + 4, y - 4);
    return;
  }
  ScopedBrush brush(s, Brush::solid(colour));
  s.rectangle(x - 3, y - 3, x + 3, y + 3);
}

void FigureHandles_draw(Surface& s, const DrawContext& ctx, std::span<const Point32> pagePoints,
                        Colour colour, bool locked) {
  const bool cross = locked || ctx.showLockCrosses;
  for (const Point32& p : pagePoints) {
    const Point32 d = DrawContext_device(ctx, p);
    FigureHandles_drawOne(s, d.x, d.y, colour, cross);
  }
}

std::array<Point32, 8> FigureHandles_boxPoints(const Rect32& b) {
  const int32_t l = b.x, t = b.y;
  const int32_t r = Figure_toInt32(Rect32_right(b)), bo = Figure_toInt32(Rect32_bottom(b));
  const int32_t cx = Figure_toInt32(int64_t{b.x} + b.w / 2);
  const int32_t cy = Figure_toInt32(int64_t{b.y} + b.h / 2);
  return {{{l, t}, {cx, t}, {r, t}, {l, cy}, {r, cy}, {l, bo}, {cx, bo}, {r, bo}}};
}
