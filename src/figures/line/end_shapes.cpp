#include "figures/line/end_shapes.h"

#include <cmath>

namespace {

struct Vec {
  double x = 0;
  double y = 0;
};

Vec rotate(Vec u, double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {u.x * c - u.y * s, u.x * s + u.y * c};
}

// T + v, truncated towards zero and kept within int32.
Point32 offsetPoint(Point32 t, Vec v) {
  return {Figure_toInt32(static_cast<int64_t>(t.x + v.x)),
          Figure_toInt32(static_cast<int64_t>(t.y + v.y))};
}

// u = (E - T) * S / len, or (S, 0) for a zero-length segment.
Vec headDirection(Point32 tip, Point32 other, int32_t width) {
  const double s = LineEnd_headSize(width);
  const double ex = static_cast<double>(int64_t{other.x} - tip.x);
  const double ey = static_cast<double>(int64_t{other.y} - tip.y);
  const double len = std::floor(std::sqrt(ex * ex + ey * ey));
  if (len < 1) return {s, 0};
  return {ex * s / len, ey * s / len};
}

}  // namespace

std::vector<std::string> LineEnd_choices(bool japanese) {
  if (japanese) {
    return {"矢印なし", "→ 矢印", "● 丸", "▲ 三角", "◆ ひし形", "○ 丸抜き", "△ 三角抜き",
            "◇ ひし形抜き"};
  }
  return {"No Arrow",   "-> Arrow",        "   Circle",         "   Triangle",
          "   Diamond", "O  Circle(Hole)", "   Triangle(Hole)", "   Diamond(Hole)"};
}

PropertyRow LineEnd_shapeRow(bool japanese, int32_t end, int32_t shape) {
  const char* name = end == 2 ? PropertyRow_name(japanese, "頂点２の形状", "Shape of Point2")
                              : PropertyRow_name(japanese, "頂点１の形状", "Shape of Point1");
  return PropertyRow_choice(name, shape, LineEnd_choices(japanese));
}

int32_t LineEnd_headSize(int32_t width) { return Figure_toInt32(int64_t{width} * 4 + 8); }

LineEndGeometry LineEnd_geometry(int32_t shape, Point32 tip, Point32 other, int32_t width) {
  LineEndGeometry g;
  if (!LineEndShape_isValid(shape) || shape == LineEndShape_None) return g;
  g.shape = shape;
  const Vec u = headDirection(tip, other, width);
  switch (shape) {
    case LineEndShape_Arrow:
      g.points = {tip, offsetPoint(tip, rotate(u, LineEnd_arrowAngle)),
                  offsetPoint(tip, rotate(u, -LineEnd_arrowAngle))};
      break;
    case LineEndShape_Triangle:
    case LineEndShape_TriangleHole:
      g.points = {tip, offsetPoint(tip, rotate(u, LineEnd_triangleAngle)),
                  offsetPoint(tip, rotate(u, -LineEnd_triangleAngle))};
      break;
    case LineEndShape_Diamond:
    case LineEndShape_DiamondHole: {
      const double k = 2 * std::cos(LineEnd_arrowAngle);
      g.points = {tip, offsetPoint(tip, rotate(u, LineEnd_arrowAngle)),
                  offsetPoint(tip, {u.x * k, u.y * k}),
                  offsetPoint(tip, rotate(u, -LineEnd_arrowAngle))};
      break;
    }
    default:  // circles
      g.centre = tip;
      g.radius = Figure_toInt32(int64_t{width} + 2);
      break;
  }
  return g;
}

Colour LineEnd_fillColour(int32_t shape, Colour lineColour) {
  if (!LineEndShape_isHollow(shape)) return lineColour;
  const uint32_t red = lineColour & 0xFF, green = (lineColour >> 8) & 0xFF;
  return red > 208 && green > 208 ? Colour{0x000000} : Colour{0xFFFFFF};
}

void LineEnd_draw(Surface& surface, const DrawContext& ctx, int32_t shape, Point32 tip,
                  Point32 other, int32_t width, Colour lineColour) {
  const LineEndGeometry g = LineEnd_geometry(shape, tip, other, width);
  if (g.shape == LineEndShape_None) return;
  const Colour stroke = DrawContext_strokeColour(ctx, lineColour);
  SurfaceSaver saver(surface);  // pen, brush and the current position
  surface.setPen(Pen::solid(stroke, DrawContext_penWidth(ctx, width)));
  if (g.shape == LineEndShape_Arrow) {
    const Point32 t = DrawContext_device(ctx, g.points[0]);
    for (size_t i = 1; i < 3; ++i) {
      const Point32 p = DrawContext_device(ctx, g.points[i]);
      surface.moveTo(t.x, t.y);
      surface.lineTo(p.x, p.y);
    }
    return;
  }
  Colour fill = LineEnd_fillColour(g.shape, stroke);
  if (LineEndShape_isHollow(g.shape)) fill = DrawContext_fillColour(ctx, fill);
  surface.setBrush(Brush::solid(fill));
  if (g.points.empty()) {
    const int64_t r = g.radius;
    surface.ellipse(DrawContext_deviceX(ctx, g.centre.x - r), DrawContext_deviceY(ctx, g.centre.y - r),
                    DrawContext_deviceX(ctx, g.centre.x + r), DrawContext_deviceY(ctx, g.centre.y + r));
    return;
  }
  std::vector<SurfacePoint> dev;
  dev.reserve(g.points.size());
  for (const Point32& p : g.points) {
    const Point32 d = DrawContext_device(ctx, p);
    dev.push_back({d.x, d.y});
  }
  surface.polygon(dev);
}
