// Text_Box: hit testing and dragging handles.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

int32_t normaliseDegrees(double deg) {
  int32_t a = static_cast<int32_t>(std::fmod(deg, 360.0));
  if (a < 0) a += 360;
  return a;
}

// Angles at which the box lies on its side exchange the resize cursors.
int32_t turnCursor(int32_t cursor, int32_t deg) {
  const bool sideways = (deg >= 46 && deg <= 135) || (deg >= 226 && deg <= 315);
  if (!sideways) return cursor;
  switch (cursor) {
    case HitCursor_SizeHorizontal: return HitCursor_SizeVertical;
    case HitCursor_SizeVertical: return HitCursor_SizeHorizontal;
    case HitCursor_SizeDiagonalDown: return HitCursor_SizeDiagonalUp;
    case HitCursor_SizeDiagonalUp: return HitCursor_SizeDiagonalDown;
    default: return cursor;
  }
}

}  // namespace

// The page point the box turns about: the base point, moved across the
// writing direction for vertical text.
static void pageCentre(const Text_Box& b, double& cx, double& cy) {
  cx = b.basePoint().x;
  cy = b.basePoint().y;
  if (!b.vertical) return;
  const double off = b.descent16 / 16 - b.lineHeight16 / 32 - 1;
  const double a = b.angle * Figure_twoPi / 360;
  cx += off * std::cos(a);
  cy += off * std::sin(a);
}

HitResult Text_Box::HitTest(int32_t px, int32_t py, int32_t zoom, int32_t mode) {
  HitResult h;
  if (lineHeight16 < 0 && !(layoutFlags & TextBox_boundsValid)) return h;
  const TextBoxFrameBounds b = FrameBounds();
  zoom = std::max(zoom, 1);
  const double rot = angle + (vertical ? 90.0 : 0.0);
  const int32_t deg = normaliseDegrees(rot);
  double cx = 0, cy = 0;
  pageCentre(*this, cx, cy);
  const Point32 q = TextBox_rotate(px, py, cx, cy, -static_cast<double>(deg));
  const int64_t qx = q.x, qy = q.y;
  const int32_t shape = std::abs(frameShape);
  const int64_t v = shape == TextBoxFrame_Parallelogram ? (int64_t{b.bottom} - b.top) / 4 : 0;

  auto inside = [&] {
    if (qy < b.top || qy > b.bottom) return false;
    int64_t shift = 0;  // the parallelogram's sides follow the slant
    if (v != 0 && b.bottom > b.top)
      shift = v - 2 * v * (qy - b.top) / (int64_t{b.bottom} - b.top);
    return qx >= b.left + shift && qx <= b.right + shift;
  };
  auto body = [&] {
    h.code = -1;
    h.dx = Figure_toInt32(int64_t{baseX_} - px);
    h.dy = Figure_toInt32(int64_t{baseY_} - py);
    h.distance = 0;
    h.cursor = mode == 1 ? HitCursor_None : HitCursor_Move;
    return h;
  };
  if (IsLocked()) {
    if (!inside()) return h;
    body();
    h.cursor = HitCursor_Move;
    return h;
  }
  const int64_t D = std::max(800 / zoom, 1), C = std::max(200 / zoom, 1);
  const int64_t midX = (int64_t{b.left} + b.right) / 2, midY = (int64_t{b.top} + b.bottom) / 2;
  // Bands per row of handles: top (shift +v), middle, bottom (shift -v).
  auto rOut = [&](int64_t s) { return qx - (b.right + s); };
  auto lIn = [&](int64_t s) { return qx - (b.left + s); };
  const int64_t bOut = qy - b.bottom, tIn = qy - b.top, my = qy - midY;
  auto rBand = [&](int64_t s) { return rOut(s) >= -C && rOut(s) <= D; };
  auto lBand = [&](int64_t s) { return lIn(s) >= -D && lIn(s) <= C; };
  const bool bBand = bOut >= -C && bOut <= D, tBand = tIn >= -D && tIn <= C;
  int32_t found = 0, cursor = 0;
  int64_t best = 17;
  auto consider = [&](bool hit, int64_t score, int32_t handle, int32_t cur) {
    if (hit && score < best) {
      best = score;
      found = handle;
      cursor = cur;
    }
  };
  const bool large = int64_t{b.right} - b.left >= D || int64_t{b.bottom} - b.top >= D;
  if (large && (shape != TextBoxFrame_None || mode == 1)) {
    consider(rBand(0) && std::llabs(my) <= D, std::llabs(rOut(0)) + std::llabs(my), 5, 2);
    consider(bBand && std::llabs(qx - (midX - v)) <= D, std::llabs(bOut) + std::llabs(qx - (midX - v)), 7, 3);
    consider(lBand(0) && std::llabs(my) <= D, std::llabs(my) + std::llabs(lIn(0)), 4, 2);
    consider(tBand && std::llabs(qx - (midX + v)) <= D, std::llabs(qx - (midX + v)) + std::llabs(tIn), 2, 3);
    consider(rBand(-v) && bBand, std::llabs(bOut) + std::llabs(rOut(-v)), 8, 4);
    consider(lBand(v) && tBand, std::llabs(tIn) + std::llabs(lIn(v)), 1, 4);
    consider(rBand(v) && tBand, std::llabs(rOut(v)) + std::llabs(tIn), 3, 5);
    consider(lBand(-v) && bBand, std::llabs(bOut) + std::llabs(lIn(-v)), 6, 5);
  } else if (!large) {
    consider(rBand(-v) && bBand, std::llabs(bOut) + std::llabs(rOut(-v)), 8, 4);
  }
  if (found) {
    h.code = found;
    h.dx = Figure_toInt32(int64_t{baseX_} - px);
    h.dy = Figure_toInt32(int64_t{baseY_} - py);
    h.distance = best;
    h.cursor = mode == 1 ? (shape == TextBoxFrame_Ellipse ? HitCursor_Forbidden : HitCursor_Move)
                         : turnCursor(cursor, deg);
    return h;
  }
  if (inside()) return body();
  return h;
}

void Text_Box::DragHandleTo(int32_t handle, int32_t x, int32_t y, bool modifierA, int32_t,
                            bool rotate) {
  const bool laidOut = lineHeight16 >= 0 || (layoutFlags & TextBox_boundsValid);
  if (handle == -1) {
    // Snap the frame's centre to the far ends of attached lines.
    if (!modifierA && angle == 0 && laidOut) {
      const TextBoxFrameBounds b = FrameBounds();
      const int64_t ox = (int64_t{b.left} + b.right) / 2 - baseX_;
      const int64_t oy = (int64_t{b.top} + b.bottom) / 2 - baseY_;
      bool snappedX = false, snappedY = false;
      for (const Attachment& a : nodes_.records()) {
        if (!a.line || !FigureKind_hasEnds(a.line->GetKind())) continue;
        const Point32 e = a.line->GetHandlePoint(a.lineEnd == 1 ? 2 : 1);
        if (!snappedX && std::llabs(x + ox - e.x) <= 5) {
          x = Figure_toInt32(e.x - ox);
          snappedX = true;
        }
        if (!snappedY && std::llabs(y + oy - e.y) <= 5) {
          y = Figure_toInt32(e.y - oy);
          snappedY = true;
        }
      }
    }
    MoveBy(Figure_toInt32(int64_t{x} - baseX_), Figure_toInt32(int64_t{y} - baseY_));
    return;
  }
  if (handle < 1 || handle > 8 || !laidOut) return;
  const TextBoxFrameBounds b = FrameBounds();
  if (std::abs(frameShape) == TextBoxFrame_Parallelogram) {
    const int32_t v = (b.bottom - b.top) / 4;
    if (handle <= 3) x -= v;
    if (handle >= 6) x += v;
  }
  double cx = 0, cy = 0;
  pageCentre(*this, cx, cy);
  if (rotate) {
    const Point32 hp = GetHandlePoint(handle);
    int32_t a = static_cast<int32_t>((std::atan2(y - cy, x - cx) - std::atan2(hp.y - cy, hp.x - cx)) *
                                     360 / Figure_twoPi);
    if (!modifierA) {
      const int32_t r = ((a % 90) + 90) % 90;
      if (r < 8) a -= r;
      if (r > 82) a += 90 - r;
    }
    angle = a;
    invalidateBounds();
    return;
  }
  const Point32 q = TextBox_rotate(x, y, cx, cy, -(angle + (vertical ? 90.0 : 0.0)));
  const TextBoxGeometry g = TextBox_geometry(*this);
  if (handle == 1 || handle == 4 || handle == 6) marginX = Figure_toInt32(int64_t{g.textLeft} - q.x);
  if (handle == 3 || handle == 5 || handle == 8) marginX = Figure_toInt32(int64_t{q.x} - g.textRight);
  if (handle <= 3) marginY = Figure_toInt32(int64_t{g.firstLineTop} - 1 - q.y);
  if (handle >= 6) marginY = Figure_toInt32(int64_t{q.y} - (int64_t{g.lineBottom} + g.span + 1));
  marginX = std::max(marginX, 0);
  marginY = std::max(marginY, 0);
  invalidateBounds();
  layoutFlags |= TextBox_marginsValid;
  followResize();
}
