// Rect_Ex: handles, hit testing, moving, resizing and rotating.
#include <cmath>
#include <cstdlib>

#include "figures/base/handles.h"
#include "figures/rect/rect_ex.h"

namespace {

// The angle brought into 0-359.
int32_t normalisedAngle(int32_t a) {
  const int32_t r = a % 360;
  return r < 0 ? r + 360 : r;
}

int64_t absl(int64_t v) { return v < 0 ? -v : v; }

// The corner that stays put while handle h is dragged on a rotated box.
Point32 anchorCorner(int32_t h, int64_t x, int64_t y, int64_t w, int64_t hgt) {
  switch (h) {
    case 3: return {Figure_toInt32(x), Figure_toInt32(y + hgt)};
    case 5: case 7: case 8: return {Figure_toInt32(x), Figure_toInt32(y)};
    case 6: return {Figure_toInt32(x + w), Figure_toInt32(y)};
    default: return {Figure_toInt32(x + w), Figure_toInt32(y + hgt)};  // 1, 2, 4
  }
}

}  // namespace

Point32 Rect_Ex::GetHandlePoint(int32_t handle) const {
  if (handle < 1 || handle > 8) return {};
  return FigureHandles_boxPoints(Rect32{x, y, width, height})[static_cast<size_t>(handle - 1)];
}

void Rect_Ex::DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour, int32_t) {
  const int64_t hw = (int64_t{width} + 1) / 2, hh = (int64_t{height} + 1) / 2;
  const int64_t r = int64_t{x} + width + 1, b = int64_t{y} + height + 1;
  const int64_t pts[8][2] = {{x, y},      {x + hw, y},      {r, y},      {x, y + hh},
                             {r, y + hh}, {x, b},           {x + hw, b}, {r, b}};
  const double cx = double((int64_t{width} + (width & 1) + 1) / 2 + x);
  const double cy = double((int64_t{height} + (height & 1) + 1) / 2 + y);
  std::array<Point32, 8> page;
  for (size_t i = 0; i < 8; ++i) {
    page[i] = Rect_rotateRound(double(pts[i][0]), double(pts[i][1]), cx, cy, angle);
  }
  FigureHandles_draw(surface, ctx, page, colour, IsLocked());
}

HitResult Rect_Ex::HitTest(int32_t px, int32_t py, int32_t zoom, int32_t mode) {
  HitResult h;
  const double cx = double(x + int64_t{width / 2}), cy = double(y + int64_t{height / 2});
  const Point32 q = Rect_rotateRound(px, py, cx, cy, -angle);
  const int64_t qx = q.x, qy = q.y;
  const int64_t right = int64_t{x} + width, bottom = int64_t{y} + height;
  const bool inside = qx >= x && qx <= right && qy >= y && qy <= bottom;
  auto body = [&] {
    h.code = -1;
    h.dx = Figure_toInt32(int64_t{x} - qx);
    h.dy = Figure_toInt32(int64_t{y} - qy);
    h.cursor = HitCursor_Move;
  };
  if (IsLocked()) {
    if (inside) body();
  } else {
    const int64_t z = std::max(zoom, 1);
    const int64_t D = std::max<int64_t>(800 / z, 1), C = std::max<int64_t>(200 / z, 1);
    const int64_t rOut = qx - (right + 1), bOut = qy - (bottom + 1);
    const int64_t lIn = qx - x, tIn = qy - y;
    const int64_t mx = qx - (x + (int64_t{width} + 1) / 2);
    const int64_t my = qy - (y + (int64_t{height} + 1) / 2);
    HandleBands bands;
    bands.reach = D;
    bands.inside = C;
    for (int row = 0; row < 3; ++row) {
      bands.rOut[row] = rOut;
      bands.lIn[row] = lIn;
    }
    bands.tIn = tIn;
    bands.bOut = bOut;
    bands.mxTop = bands.mxBottom = mx;
    bands.my = my;
    HandleHit hit;
    if (width >= D || height >= D) {
      hit = FigureHandles_hit(bands);
      if (hit.handle == 0 && inside) body();
    } else {
      hit = FigureHandles_hitCorner(bands);
    }
    const int32_t best = hit.handle, cursor = hit.cursor;
    if (best > 0) {
      h.code = best;
      h.dx = Figure_toInt32(int64_t{x} - qx);
      h.dy = Figure_toInt32(int64_t{y} - qy);
      h.cursor = cursor;
    }
  }
  if (h.code == 0) {
    h.cursor = HitCursor_None;
    return h;
  }
  h.distance = h.code == -1 ? 0 : absl(h.dx) + absl(h.dy);
  if (mode == 1) h.cursor = h.code == -1 ? HitCursor_None : HitCursor_Move;
  const Point32 back = Rect_rotateRound(h.dx, h.dy, 0, 0, angle);
  h.dx = back.x;
  h.dy = back.y;
  const int32_t a = normalisedAngle(angle);
  if ((a >= 46 && a <= 135) || (a >= 226 && a <= 315)) {
    if (h.cursor == 2) h.cursor = 3;
    else if (h.cursor == 3) h.cursor = 2;
    else if (h.cursor == 4) h.cursor = 5;
    else if (h.cursor == 5) h.cursor = 4;
  }
  return h;
}

void Rect_Ex::MoveBy(int32_t dx, int32_t dy) {
  x = Figure_clampCoord(int64_t{x} + dx);
  y = Figure_clampCoord(int64_t{y} + dy);
}

// The box rule: moves the dragged edges to (qx, qy); a moved left or top
// edge keeps the opposite edge; a size never falls below 1.
void Rect_Ex::applyBoxRule(int32_t h, int64_t qx, int64_t qy, bool square) {
  int64_t l = x, t = y, w = width, hg = height;
  const int64_t oldRight = l + w, oldBottom = t + hg, oldW = w, oldH = hg;
  auto moveLeft = [&](int64_t v) {
    w = oldRight - v;
    l = v;
    if (w < 1) { w = 1; l = oldRight - 1; }
  };
  auto moveTop = [&](int64_t v) {
    hg = oldBottom - v;
    t = v;
    if (hg < 1) { hg = 1; t = oldBottom - 1; }
  };
  auto atLeast1 = [](int64_t v) { return v < 1 ? int64_t{1} : v; };
  if (h == -1) {
    l = qx;
    t = qy;
  } else if (!square) {
    if (h == 1 || h == 4 || h == 6) moveLeft(qx);
    if (h == 1 || h == 2 || h == 3) moveTop(qy);
    if (h == 3 || h == 5 || h == 8) w = atLeast1(qx - l);
    if (h == 6 || h == 7 || h == 8) hg = atLeast1(qy - t);
  } else {
    switch (h) {
      case 1: moveLeft(qx); hg = w; t = oldBottom - hg; break;
      case 2: moveTop(qy); w = hg; l += oldW / 2 - w / 2; break;
      case 3: w = atLeast1(qx - l + 1); hg = w; t = oldBottom - hg; break;
      case 4: moveLeft(qx); hg = w; t += oldH / 2 - hg / 2; break;
      case 5: w = atLeast1(qx - l + 1); hg = w; t += oldH / 2 - hg / 2; break;
      case 6: moveLeft(qx); hg = w; break;
      case 7: hg = atLeast1(qy - t + 1); w = hg; l += oldW / 2 - w / 2; break;
      case 8: w = atLeast1(qx - l + 1); hg = w; break;
      default: break;
    }
  }
  x = Figure_clampCoord(l);
  y = Figure_clampCoord(t);
  width = Figure_clampSize(w);
  height = Figure_clampSize(hg);
}

void Rect_Ex::DragHandleTo(int32_t h, int32_t px, int32_t py, bool constrain, int32_t, bool rotate) {
  const double cx = double(x + int64_t{width / 2}), cy = double(y + int64_t{height / 2});
  if (rotate) {
    const Point32 hp = GetHandlePoint(h >= 1 && h <= 8 ? h : 8);
    angle = Figure_dragAngle(px, py, cx, cy, hp, !constrain);
    return;
  }
  if (h == 0) return;
  const bool rotated = angle != 0;
  int64_t qx = px, qy = py;
  Point32 anchorBefore{};
  if (rotated && h >= 1) {
    const Point32 a = anchorCorner(h, x, y, width, height);
    anchorBefore = Rect_rotateRound(a.x, a.y, cx, cy, angle);
    const Point32 q = Rect_rotateRound(px, py, cx, cy, -angle);
    qx = q.x;
    qy = q.y;
  } else if (rotated && h == -1) {
    const RectPointF c = Rect_rotate(px + double(width / 2), py + double(height / 2), px, py, angle);
    const Point32 q = Rect_rotateRound(px, py, c.x, c.y, -angle);
    qx = q.x;
    qy = q.y;
  }
  const bool image = shape == RectShape_Image;
  applyBoxRule(h, qx, qy, constrain && !image);
  if (image) {
    const int64_t nw = std::max(naturalWidth, 1), nh = std::max(naturalHeight, 1);
    if (!constrain && h == 8) height = Figure_clampSize(nh * width / nw);
    if (std::abs(int64_t{width} - naturalWidth) <= 4) width = Figure_clampSize(naturalWidth);
    if (std::abs(int64_t{height} - naturalHeight) <= 4) height = Figure_clampSize(naturalHeight);
  }
  if (rotated && h >= 1) {
    const double ncx = double(x + int64_t{width / 2}), ncy = double(y + int64_t{height / 2});
    const Point32 a = anchorCorner(h, x, y, width, height);
    const Point32 now = Rect_rotateRound(a.x, a.y, ncx, ncy, angle);
    x = Figure_clampCoord(int64_t{x} + anchorBefore.x - now.x);
    y = Figure_clampCoord(int64_t{y} + anchorBefore.y - now.y);
  }
  naturalSizeLock = false;
}
