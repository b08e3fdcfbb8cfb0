#include "figures/base/rotation.h"

#include <cmath>

FigurePointF Figure_rotate(double x, double y, double cx, double cy, double degrees) {
  if (degrees == 0) return {x, y};
  const double a = degrees * Figure_twoPi / 360.0;
  const double c = std::cos(a), s = std::sin(a);
  const double dx = x - cx, dy = y - cy;
  return {cx + dx * c - dy * s, cy + dx * s + dy * c};
}

int32_t Figure_dragAngle(double px, double py, double cx, double cy, Point32 handle, bool snap) {
  const double a =
      (std::atan2(py - cy, px - cx) - std::atan2(handle.y - cy, handle.x - cx)) * 360.0 /
      Figure_twoPi;
  const int32_t deg = static_cast<int32_t>(a);
  return snap ? Figure_snapAngle(deg) : deg;
}

int32_t Figure_snapAngle(int32_t deg) {
  const int32_t r = ((deg % 90) + 90) % 90;
  if (r < 8) return deg - r;
  if (r > 82) return deg + 90 - r;
  return deg;
}
