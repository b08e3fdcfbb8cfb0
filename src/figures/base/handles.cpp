#include "figures/base/handles.h"

#include <cstdlib>

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

namespace {

constexpr int Top = 0, Middle = 1, Bottom = 2;

bool rightBand(const HandleBands& b, int row) {
  return b.rOut[row] >= -b.inside && b.rOut[row] <= b.reach;
}
bool leftBand(const HandleBands& b, int row) {
  return b.lIn[row] >= -b.reach && b.lIn[row] <= b.inside;
}
bool topBand(const HandleBands& b) { return b.tIn >= -b.reach && b.tIn <= b.inside; }
bool bottomBand(const HandleBands& b) { return b.bOut >= -b.inside && b.bOut <= b.reach; }

}  // namespace

HandleHit FigureHandles_hit(const HandleBands& b) {
  HandleHit best;
  best.score = 17;
  auto offer = [&](bool ok, int64_t score, int32_t handle, int32_t cursor) {
    if (ok && score < best.score) best = {handle, score, cursor};
  };
  const bool tb = topBand(b), bb = bottomBand(b);
  offer(rightBand(b, Middle) && std::llabs(b.my) <= b.reach,
        std::llabs(b.rOut[Middle]) + std::llabs(b.my), 5, 2);
  offer(bb && std::llabs(b.mxBottom) <= b.reach, std::llabs(b.bOut) + std::llabs(b.mxBottom), 7, 3);
  offer(leftBand(b, Middle) && std::llabs(b.my) <= b.reach,
        std::llabs(b.my) + std::llabs(b.lIn[Middle]), 4, 2);
  offer(tb && std::llabs(b.mxTop) <= b.reach, std::llabs(b.mxTop) + std::llabs(b.tIn), 2, 3);
  offer(rightBand(b, Bottom) && bb, std::llabs(b.bOut) + std::llabs(b.rOut[Bottom]), 8, 4);
  offer(leftBand(b, Top) && tb, std::llabs(b.tIn) + std::llabs(b.lIn[Top]), 1, 4);
  offer(rightBand(b, Top) && tb, std::llabs(b.rOut[Top]) + std::llabs(b.tIn), 3, 5);
  offer(leftBand(b, Bottom) && bb, std::llabs(b.bOut) + std::llabs(b.lIn[Bottom]), 6, 5);
  if (best.handle == 0) best.score = 0;
  return best;
}

HandleHit FigureHandles_hitCorner(const HandleBands& b) {
  if (!rightBand(b, Bottom) || !bottomBand(b)) return {};
  return {8, std::llabs(b.bOut) + std::llabs(b.rOut[Bottom]), 4};
}
