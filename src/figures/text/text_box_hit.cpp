// Text_Box: hit testing and dragging handles.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "figures/base/rotation.h"
#include "figures/base/handles.h"
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

// The test runs in device units: the point, the base point and the frame
// are scaled by zoom / 100 and the point is turned back about the scaled
// base point; the handle bands (8 outside, 2 inside, 8 either side of the
// middles) and the score limit 17 are device pixels at any zoom.
HitResult Text_Box::HitTest(int32_t px, int32_t py, int32_t zoom, int32_t mode) {
  HitResult h;
  if (lineHeight16 < 0 && !(layoutFlags & TextBox_boundsValid)) return h;
  const TextBoxFrameBounds page = FrameBounds();
  const int64_t z = std::max(zoom, 1);
  auto S = [z](int64_t v) { return v * z / 100; };
  const int64_t left = S(page.left), right = S(page.right);
  const int64_t top = S(page.top), bottom = S(page.bottom);
  const double rot = angle + (vertical ? 90.0 : 0.0);
  const int32_t deg = normaliseDegrees(rot);
  double cx = 0, cy = 0;
  pageCentre(*this, cx, cy);
  const Point32 q = TextBox_rotate(static_cast<double>(S(px)), static_cast<double>(S(py)),
                                   cx * z / 100, cy * z / 100, -static_cast<double>(deg));
  const int64_t qx = q.x, qy = q.y;
  const int32_t shape = std::abs(frameShape);
  const int64_t v = shape == TextBoxFrame_Parallelogram ? (bottom - top) / 4 : 0;

  auto inside = [&] {
    if (qy < top || qy > bottom) return false;
    int64_t shift = 0;  // the parallelogram's sides follow the slant
    if (v != 0 && bottom > top) shift = v - 2 * v * (qy - top) / (bottom - top);
    return qx >= left + shift && qx <= right + shift;
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
  // Rows of handles: top (the slant shifts the sides by +v), middle,
  // bottom (-v).
  HandleBands bands;
  bands.reach = 8;
  bands.inside = 2;
  const int64_t shifts[3] = {v, 0, -v};
  for (int row = 0; row < 3; ++row) {
    bands.rOut[row] = qx - (right + shifts[row]);
    bands.lIn[row] = qx - (left + shifts[row]);
  }
  const int64_t midX = (left + right) / 2;
  bands.tIn = qy - top;
  bands.bOut = qy - bottom;
  bands.mxTop = qx - (midX + v);
  bands.mxBottom = qx - (midX - v);
  bands.my = qy - (top + bottom) / 2;
  HandleHit hit;
  const bool large = right - left >= 8 || bottom - top >= 8;
  if (large && (shape != TextBoxFrame_None || mode == 1))
    hit = FigureHandles_hit(bands);
  else if (!large)
    hit = FigureHandles_hitCorner(bands);
  if (hit.handle != 0) {
    h.code = hit.handle;
    h.dx = Figure_toInt32(int64_t{baseX_} - px);
    h.dy = Figure_toInt32(int64_t{baseY_} - py);
    h.distance = hit.score;
    h.cursor = mode == 1 ? (shape == TextBoxFrame_Ellipse ? HitCursor_Forbidden : HitCursor_Move)
                         : turnCursor(hit.cursor, deg);
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
    int32_t a = Figure_dragAngle(x, y, cx, cy, hp, false);
    // Vertical text is drawn a quarter further round than its angle says.
    if (vertical) a -= 90;
    if (!modifierA) a = Figure_snapAngle(a);
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
  // The text keeps its size and place; attached lines are not touched (their
  // visible ends meet the new frame when drawn).
}
