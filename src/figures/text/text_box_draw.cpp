// Text_Box: drawing the frame, the text and the handles.
#include <algorithm>
#include <cmath>

#include "core/strx/codepage.h"
#include "figures/base/handles.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

constexpr Colour kConditionGrey = 0xC0C0C0;

bool isRotated(double degrees) { return std::fmod(degrees, 360.0) != 0; }

// Tabs become six blanks for whole-line output.
std::string expandTabs(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\t')
      out += "      ";
    else
      out += c;
  }
  return out;
}

}  // namespace

double Text_Box::rotationDegrees() const { return angle + (vertical ? 90.0 : 0.0); }

// The centre the frame and the text turn about, in unscrolled device
// units: the scaled base point; vertical text moves it by the line's half
// height across the writing direction.
static void rotationCentre(const Text_Box& b, const DrawContext& ctx, double& cx, double& cy) {
  cx = Figure_scale(b.basePoint().x, ctx.zoomX);
  cy = Figure_scale(b.basePoint().y, ctx.zoomY);
  if (!b.vertical) return;
  const double off =
      Figure_scale(b.descent16 / 16 - b.lineHeight16 / 32 - 1, ctx.zoomX);
  const double a = b.angle * Figure_twoPi / 360;
  cx += off * std::cos(a);
  cy += off * std::sin(a);
}

void Text_Box::Draw(Surface& s, const DrawContext& ctx) {
  SurfaceSaver saver(s);
  const std::string shown = shownText(ctx);
  if (metrics_) {
    measure(*metrics_, shown);
    layout(ctx);
  }
  if (lineHeight16 < 0 && !(layoutFlags & TextBox_boundsValid)) return;  // never laid out
  if (!(layoutFlags & TextBox_boundsValid)) {
    bounds = computeBounds();
    layoutFlags |= TextBox_boundsValid;
  }
  const TextBoxFrameBounds& b = bounds;
  if (!isRotated(rotationDegrees()) &&
      DrawContext_outsideClip(ctx, DrawContext_deviceX(ctx, b.left), DrawContext_deviceY(ctx, b.top),
                              DrawContext_deviceX(ctx, b.right),
                              DrawContext_deviceY(ctx, b.bottom)))
    return;
  if (!IsEditCopy()) drawFrame(s, ctx, b);
  drawText(s, ctx, shown);
  if (IsSelected() && ctx.showHandles) DrawHandles(s, ctx, SystemColour_highlight ^ 0xFFFFFFu, 0);
}

void Text_Box::drawFrame(Surface& s, const DrawContext& ctx, const TextBoxFrameBounds& b) const {
  const Pen pen = frameWidth > 0 ? Pen::solid(DrawContext_strokeColour(ctx, frameColour),
                                              DrawContext_penWidth(ctx, frameWidth))
                                 : Pen::null();
  Brush brush = Brush::null();
  if (opacity >= 100) {
    brush = Brush::solid(DrawContext_fillColour(ctx, fillColour));
  } else if (opacity > 0) {
    s.setBackgroundMode(BackgroundMode::Transparent);
    brush = Brush::hatched(HatchStyle::Vertical, fillColour);
  }
  const int32_t shape = std::abs(frameShape);
  if (shape == TextBoxFrame_None) return;
  ScopedPen sp(s, pen);
  ScopedBrush sb(s, brush);
  const int64_t L = Figure_scale(b.left, ctx.zoomX), R = Figure_scale(b.right, ctx.zoomX);
  const int64_t T = Figure_scale(b.top, ctx.zoomY), B = Figure_scale(b.bottom, ctx.zoomY);
  const int sx = ctx.scrollX, sy = ctx.scrollY;
  const double deg = rotationDegrees();
  std::vector<SurfacePoint> pts;
  if (!isRotated(deg)) {
    const int l = static_cast<int>(L - sx), t = static_cast<int>(T - sy);
    const int r = static_cast<int>(R - sx + 1), bo = static_cast<int>(B - sy + 1);
    if (shape == TextBoxFrame_Rectangle) return s.rectangle(l, t, r, bo);
    if (shape == TextBoxFrame_RoundRect)
      return s.roundRect(l, t, r, bo, Figure_scale(20, ctx.zoomX), Figure_scale(20, ctx.zoomY));
    if (shape == TextBoxFrame_Ellipse) return s.ellipse(l, t, r, bo);
    for (const Point32& p : TextBox_outline(L, T, R, B, shape, 6))
      pts.push_back({p.x - sx, p.y - sy});
    return s.polygon(pts);
  }
  double cx = 0, cy = 0;
  rotationCentre(*this, ctx, cx, cy);
  for (const Point32& p : TextBox_outline(L, T, R, B, shape, Figure_scale(6, ctx.zoomX))) {
    const Point32 q = TextBox_rotate(p.x, p.y, cx, cy, deg);
    pts.push_back({q.x - sx, q.y - sy});
  }
  s.polygon(pts);
}

void Text_Box::drawText(Surface& s, const DrawContext& ctx, std::string_view shown) const {
  FontSpec font = TextBox_screenFont(*this);
  font.height = Font_pixelsFromTenthPoints(
      std::max(1, Figure_toInt32(int64_t{fontSize} * ctx.textZoom / 10)));
  font.escapement = (vertical ? 2700 : 0) - angle * 10;
  ScopedFont sf(s, font);
  const Colour colour = TextCondition_fails(condition, ctx.filterVariables)
                            ? kConditionGrey
                            : DrawContext_strokeColour(ctx, textColour);
  s.setBackgroundMode(BackgroundMode::Opaque);
  s.setBackgroundColour(DrawContext_fillColour(ctx, fillColour));
  s.setTextColour(colour);

  const double deg = rotationDegrees();
  const bool rotated = isRotated(deg);
  double cx = 0, cy = 0;
  rotationCentre(*this, ctx, cx, cy);
  const double bx = Figure_scale(baseX_, ctx.zoomX), by = Figure_scale(baseY_, ctx.zoomY);
  const int sx = ctx.scrollX, sy = ctx.scrollY;
  const int64_t lineH = Figure_scale(lineHeight16 / 16 + 1, ctx.zoomY);
  const std::vector<std::string_view> parts = TextBox_splitLines(shown);
  // Byte offset of each line in the text (for the editing selection).
  size_t offset = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const size_t lineStart = offset;
    offset = static_cast<size_t>(parts[i].data() - shown.data()) + parts[i].size();
    if (offset < shown.size() && shown[offset] == '\r') ++offset;
    if (offset < shown.size() && shown[offset] == '\n') ++offset;
    const double ly = by + static_cast<double>(int64_t{ctx.zoomY} * static_cast<int64_t>(i) *
                                               lineSpacing / 100) +
                      (rotated ? 0 : 1);
    if (!rotated && DrawContext_outsideClip(ctx, INT32_MIN, static_cast<int64_t>(ly) - lineH - sy,
                                            INT32_MAX, static_cast<int64_t>(ly) + lineH - sy))
      continue;
    const std::string_view line = parts[i];
    const TextBoxLine* measured =
        i < lines_.size() && lines_[i].text == line ? &lines_[i] : nullptr;
    if (ctx.directOutput || !measured) {
      s.setTextAlign(alignment == 1   ? TextHAlign::Centre
                     : alignment == 2 ? TextHAlign::Right
                                      : TextHAlign::Left,
                     TextVAlign::Baseline);
      const Point32 p = TextBox_rotate(bx, ly, cx, cy, rotated ? deg : 0);
      s.textOut(p.x - sx, p.y - sy, expandTabs(line));
      continue;
    }
    s.setTextAlign(TextHAlign::Left, TextVAlign::Baseline);
    const int64_t width = Figure_scale(measured->width, ctx.zoomX);
    const int64_t shift = alignment == 1 ? width / 2 : alignment == 2 ? width : 0;
    for (size_t k = 0; k < line.size();) {
      const size_t n = Cp932_charLen(line, k);
      if (line[k] != '\t') {
        const size_t at = lineStart + k;
        // A selection kept after editing is no highlight.
        const bool chosen = IsEditCopy() && selectionStart < selectionEnd &&
                            at >= static_cast<size_t>(std::max(0, selectionStart)) &&
                            at < static_cast<size_t>(selectionEnd);
        s.setTextColour(chosen ? SystemColour_highlightText : colour);
        s.setBackgroundColour(chosen ? SystemColour_highlight
                                     : DrawContext_fillColour(ctx, fillColour));
        const double x = bx - static_cast<double>(shift) +
                         Figure_scale(measured->positions[k], ctx.zoomX);
        const Point32 p = TextBox_rotate(x, ly, cx, cy, rotated ? deg : 0);
        s.textOut(p.x - sx, p.y - sy, line.substr(k, n));
      }
      k += n;
    }
  }
}

void Text_Box::DrawHandles(Surface& s, const DrawContext& ctx, Colour colour, int32_t) {
  if (lineHeight16 < 0 && !(layoutFlags & TextBox_boundsValid)) return;
  std::vector<Point32> pts;
  const double deg = rotationDegrees();
  double cx = baseX_, cy = baseY_;
  if (vertical) {
    const double off = descent16 / 16 - lineHeight16 / 32 - 1;
    const double a = angle * Figure_twoPi / 360;
    cx += off * std::cos(a);
    cy += off * std::sin(a);
  }
  for (int32_t h = 1; h <= 8; ++h) {
    const Point32 p = GetHandlePoint(h);
    pts.push_back(isRotated(deg) ? TextBox_rotate(p.x, p.y, cx, cy, deg) : p);
  }
  FigureHandles_draw(s, ctx, pts, colour, IsLocked());
}
