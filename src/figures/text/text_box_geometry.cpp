#include "figures/base/rotation.h"
#include "figures/text/text_box_geometry.h"

#include <cmath>
#include <cstdlib>

std::vector<Point32> TextBox_outline(int64_t l, int64_t t, int64_t r, int64_t b, int32_t shape,
                                     int64_t chamfer) {
  auto P = [](int64_t x, int64_t y) { return Point32{Figure_toInt32(x), Figure_toInt32(y)}; };
  const int64_t cx = (l + r) / 2, cy = (t + b) / 2;
  switch (std::abs(shape)) {
    case TextBoxFrame_RoundRect: {
      const int64_t c = chamfer;
      return {P(l, t + c), P(l + c, t), P(r - c, t), P(r, t + c),
              P(r, b - c), P(r - c, b), P(l + c, b), P(l, b - c)};
    }
    case TextBoxFrame_Ellipse: {
      std::vector<Point32> pts;
      const double rx = static_cast<double>((r - l) / 2), ry = static_cast<double>((b - t) / 2);
      for (int k = 0; k < 72; ++k) {
        const double a = k * 5 * Figure_twoPi / 360;
        pts.push_back({Figure_toInt32(static_cast<int64_t>(cx + rx * std::cos(a))),
                       Figure_toInt32(static_cast<int64_t>(cy + ry * std::sin(a)))});
      }
      return pts;
    }
    case TextBoxFrame_Diamond:
      return {P(cx, t), P(r, cy), P(cx, b), P(l, cy)};
    case TextBoxFrame_Parallelogram: {
      const int64_t v = (b - t) / 4;
      return {P(l + v, t), P(r + v, t), P(r - v, b), P(l - v, b)};
    }
    default:
      return {P(l, t), P(r, t), P(r, b), P(l, b)};
  }
}

Point32 TextBox_rotate(double x, double y, double cx, double cy, double degrees) {
  const FigurePointF p = Figure_rotate(x, y, cx, cy, degrees);
  return {Figure_roundHalf(p.x), Figure_roundHalf(p.y)};
}
