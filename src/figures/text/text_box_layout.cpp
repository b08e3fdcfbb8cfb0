// Text_Box: measuring the lines, the frame bounds, the frame geometry, the
// edges and extents, and moving.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

// The lines of a text, split at "\r\n" or "\n".
std::vector<std::string_view> splitLines(std::string_view s) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\n') continue;
    size_t end = i;
    if (end > start && s[end - 1] == '\r') --end;
    out.push_back(s.substr(start, end - start));
    start = i + 1;
  }
  out.push_back(s.substr(start));
  return out;
}

// Which bytes are trail bytes of a double-byte character.
std::vector<bool> trailBytes(std::string_view s) {
  std::vector<bool> trail(s.size() + 1, false);
  for (size_t i = 0; i < s.size();) {
    const size_t n = Cp932_charLen(s, i);
    if (n == 2) trail[i + 1] = true;
    i += n;
  }
  return trail;
}

// The x where the character at each byte starts, in pixels, measured in
// 1/16 pixel with the 16-times font in chunks of 20 bytes.  Tabs are left
// out of the measured text and add 32 pixels each.
std::vector<int32_t> measurePositions(const TextMetrics& m, const FontSpec& f16,
                                      std::string_view line) {
  const size_t n = line.size();
  const std::vector<bool> trail = trailBytes(line);
  std::vector<int32_t> pos(n + 1, 0);
  size_t c = 0;
  while (c < n) {
    size_t e = std::min(c + 20, n);
    if (e < n && trail[e]) --e;  // a double-byte character would straddle
    std::string stripped;
    std::vector<size_t> strippedAt(e - c + 1), tabsAt(e - c + 1);
    size_t tabs = 0;
    for (size_t i = c; i <= e; ++i) {
      strippedAt[i - c] = stripped.size();
      tabsAt[i - c] = tabs;
      if (i == e) break;
      if (line[i] == '\t')
        ++tabs;
      else
        stripped += line[i];
    }
    const std::vector<int> caret = m.caretPositions(f16, stripped);
    for (size_t i = c + 1; i <= e; ++i) {
      if (i < n && trail[i]) {
        pos[i] = pos[i - 1];
        continue;
      }
      const int64_t extent = caret[std::min(strippedAt[i - c], caret.size() - 1)];
      const int r = i < n && (line[i] == 'i' || line[i] == 'l') ? 5 : 8;
      pos[i] = Figure_toInt32((extent + r) / 16 + 32 * static_cast<int64_t>(tabsAt[i - c]) +
                              pos[c]);
    }
    c = e;
  }
  return pos;
}

}  // namespace

// --- the fonts ---

FontSpec TextBox_screenFont(const Text_Box& b) {
  FontSpec f;
  f.face = b.vertical ? "@" + b.fontFace : b.fontFace;
  f.height = std::max(1, Figure_toInt32(int64_t{b.fontSize} * 96 / 72));
  f.bold = b.bold;
  f.italic = b.italic;
  return f;
}

FontSpec TextBox_measureFont(const Text_Box& b) {
  FontSpec f = TextBox_screenFont(b);
  f.height = std::max(1, Figure_toInt32(int64_t{b.fontSize} * 16 * 96 / 72));
  return f;
}

std::vector<std::string_view> TextBox_splitLines(std::string_view text) {
  return splitLines(text);
}

// --- measuring and layout ---

void Text_Box::measure(const TextMetrics& m, std::string_view shown) {
  const std::vector<std::string_view> parts = splitLines(shown);
  lineCount = static_cast<int32_t>(parts.size());
  if (fontFace != measuredFace_ || fontSize != measuredSize_ || bold != measuredBold_ ||
      vertical != measuredVertical_) {
    lines_.clear();
    measuredText_.clear();
    measuredFace_ = fontFace;
    measuredSize_ = fontSize;
    measuredBold_ = bold;
    measuredVertical_ = vertical;
  } else if (shown == measuredText_ && lineHeight16 >= 0 && !lines_.empty()) {
    return;
  }
  const FontSpec screen = TextBox_screenFont(*this);
  const FontSpec f16 = TextBox_measureFont(*this);
  exactWidth = 0;
  for (std::string_view p : parts)
    exactWidth = std::max(exactWidth, m.textExtent(screen, p).width);
  // Unchanged lines keep their measurement.
  std::vector<TextBoxLine> next;
  next.reserve(parts.size());
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k < lines_.size() && lines_[k].text == parts[k]) {
      next.push_back(std::move(lines_[k]));
      continue;
    }
    TextBoxLine l;
    l.text = std::string(parts[k]);
    l.positions = measurePositions(m, f16, l.text);
    l.width = l.positions.back();
    l.height16 = m.textExtent(f16, l.text).height;
    if (l.height16 == 0) l.height16 = m.textExtent(f16, "X").height;
    next.push_back(std::move(l));
  }
  lines_ = std::move(next);
  textWidth = 0;
  for (const TextBoxLine& l : lines_) textWidth = std::max(textWidth, l.width);
  lineHeight16 = lines_.front().height16;
  descent16 = m.fontMetrics(f16).descent;
  textHeight16 = Figure_toInt32((int64_t{lineCount} * 16 - 16) * lineSpacing + lineHeight16);
  measuredText_ = std::string(shown);
  if (layoutFlags & TextBox_marginsValid) invalidateBounds();
}

TextBoxGeometry TextBox_geometry(const Text_Box& b) {
  TextBoxGeometry g;
  const int64_t y16 = int64_t{b.descent16} + int64_t{b.basePoint().y} * 16 + 8;
  g.lineBottom = Figure_toInt32(y16 >> 4);
  g.firstLineTop = Figure_toInt32(int64_t{g.lineBottom} - (b.lineHeight16 - 8) / 16);
  g.span = Figure_toInt32(int64_t{b.lineSpacing} * (b.lineCount - 1));
  const int64_t w = int64_t{b.textWidth} + b.widthExtra;
  const int64_t bx = b.basePoint().x;
  g.textLeft = Figure_toInt32(b.alignment == 1 ? bx - w / 2 : b.alignment == 2 ? bx - w : bx);
  g.textRight = Figure_toInt32(g.textLeft + w);
  return g;
}

TextBoxFrameBounds Text_Box::computeBounds() const {
  if (lineHeight16 < 0) Errors_RAISE(Zerbin_Err_NotSetDrawParam, "%s", "");
  const TextBoxGeometry g = TextBox_geometry(*this);
  TextBoxFrameBounds b;
  const int64_t w = int64_t{textWidth} + widthExtra;
  if (alignment == 1) {
    b.left = Figure_toInt32(baseX_ - w / 2 - marginX);
    b.right = Figure_toInt32(b.left + w + 2 * int64_t{marginX});
  } else if (alignment == 2) {
    b.left = Figure_toInt32(baseX_ - w - marginX);
    b.right = Figure_toInt32(int64_t{baseX_} + marginX);
  } else {
    b.left = Figure_toInt32(int64_t{baseX_} - marginX);
    b.right = Figure_toInt32(baseX_ + w + marginX);
  }
  b.top = Figure_toInt32(int64_t{g.firstLineTop} - marginY - 1);
  b.bottom = Figure_toInt32(int64_t{g.lineBottom} + g.span + marginY + 1);
  if (std::abs(frameShape) == TextBoxFrame_Diamond)
    b.bottom += static_cast<int32_t>((int64_t{b.top} + b.bottom) % 2);
  return b;
}

void Text_Box::layout(const DrawContext& ctx) {
  // The first time the text holds several lines it takes the view's
  // spacing (before the bounds, so that they use it).
  if (!(layoutFlags & TextBox_spacingTaken) && text_.find('\n') != std::string::npos) {
    lineSpacing = std::max(1, ctx.defaultLineSpacing);
    layoutFlags |= TextBox_spacingTaken;
  }
  const TextBoxGeometry g = TextBox_geometry(*this);
  firstLineTop = g.firstLineTop;
  textHeight16 = Figure_toInt32(int64_t{lineHeight16} + int64_t{g.span} * 16);
  if (frameShape == 0 && (layoutFlags == 0 || layoutFlags == TextBox_spacingTaken)) {
    marginX = 8;
    marginY = 2;
    layoutFlags |= TextBox_marginsValid;
  }
  // An old file's negative shape: its margins come from its bounds.
  if (frameShape < 0) {
    frameShape = -frameShape;
    if (layoutFlags & TextBox_boundsValid) layoutFlags &= ~TextBox_marginsValid;
  }
  if (!(layoutFlags & TextBox_boundsValid)) {
    bounds = computeBounds();
    layoutFlags |= TextBox_boundsValid;
  }
  if (!(layoutFlags & TextBox_marginsValid)) {
    if (alignment == 1) {
      widthExtra = 0;
      marginX = (bounds.right - bounds.left - textWidth) / 2;
    } else if (alignment == 2) {
      marginX = bounds.right - baseX_;
      widthExtra = baseX_ - marginX - bounds.left - textWidth;
    } else {
      marginX = baseX_ - bounds.left;
      widthExtra = bounds.right - marginX - baseX_ - textWidth;
    }
    marginY = g.firstLineTop - bounds.top - 1;
    layoutFlags |= TextBox_marginsValid;
  }
}

std::string Text_Box::shownText(const DrawContext& ctx) const {
  if (id_ == "pagenum" && !IsEditCopy()) return std::to_string(ctx.pageNumber);
  return text_;
}

void Text_Box::Layout(const TextMetrics& metrics, const DrawContext& ctx) {
  measure(metrics, shownText(ctx));
  layout(ctx);
}

TextBoxFrameBounds Text_Box::FrameBounds() const {
  if (layoutFlags & TextBox_boundsValid) return bounds;
  return computeBounds();
}

// --- setters that change the layout ---

void Text_Box::SetText(std::string_view text) {
  text_ = text;
  invalidateBounds();
}

void Text_Box::SetBasePoint(int32_t x, int32_t y) {
  baseX_ = Figure_clampCoord(x);
  baseY_ = Figure_clampCoord(y);
  invalidateBounds();
}

// Margins change by the shapes' allowances so that the text keeps its room.
void Text_Box::SetFrameShape(int32_t s) {
  static constexpr int32_t allowX[6] = {-2, 0, 0, 2, 20, 2};
  static constexpr int32_t allowY[6] = {-4, 0, 0, 2, 2, 0};
  s = std::clamp(s, 0, 5);
  if (s == 0) {
    marginX = 8;
    marginY = 2;
  } else if (frameWidth > 0) {
    const int32_t old = std::clamp(std::abs(frameShape), 0, 5);
    marginX += allowX[s] - allowX[old];
    marginY += allowY[s] - allowY[old];
  } else {
    marginX += allowX[s] + 2;
    marginY += allowY[s] + 4;
  }
  marginX = std::max(marginX, 0);
  marginY = std::max(marginY, 0);
  frameShape = s;
  if (frameWidth == 0) frameWidth = 1;
  invalidateBounds();
}

// The base point moves so that the text stays where it is.
void Text_Box::SetAlignment(int32_t a) {
  a = std::clamp(a, 0, 2);
  const int32_t d = a - alignment;
  int64_t move = 0;
  if (std::abs(d) == 1 && std::min(a, alignment) == 0)
    move = int64_t{d} * (textWidth + 1) / 2;
  else if (std::abs(d) == 1)
    move = int64_t{d} * textWidth / 2;
  else if (std::abs(d) == 2)
    move = int64_t{d / 2} * textWidth;
  if (vertical)
    baseY_ = Figure_clampCoord(baseY_ + move);
  else
    baseX_ = Figure_clampCoord(baseX_ + move);
  alignment = a;
  invalidateBounds();
}

// --- edges, extents, points ---

int32_t Text_Box::GetEdge(int32_t which) const {
  Figure_checkGetEdge(which);
  if (which == 6) return baseX_;
  if (which == 7) return baseY_;
  const TextBoxFrameBounds b = FrameBounds();
  switch (which) {
    case 0: return b.left;
    case 1: return b.right;
    case 2: return b.top;
    case 3: return b.bottom;
    case 4: return Figure_toInt32((int64_t{b.left} + b.right) / 2);
    default: return Figure_toInt32((int64_t{b.top} + b.bottom) / 2);
  }
}

void Text_Box::SetEdge(int32_t which, int32_t value) {
  Figure_checkSetEdge(which);
  const int32_t d = Figure_toInt32(int64_t{value} - GetEdge(which));
  if (which == 0 || which == 1 || which == 4)
    MoveBy(d, 0);
  else
    MoveBy(0, d);
}

int32_t Text_Box::GetExtent(bool verticalExtent) const {
  const TextBoxFrameBounds b = FrameBounds();
  return Figure_toInt32(verticalExtent ? int64_t{b.bottom} - b.top + 1
                                       : int64_t{b.right} - b.left + 1);
}

// The margin on that axis changes by half the difference; the frame is
// recomputed at once.  Attached lines are left as they are: their visible
// ends meet the new frame when they are drawn, and a connector keeps the
// bend the user placed.
void Text_Box::SetExtent(bool verticalExtent, int32_t value) {
  const int32_t d = Figure_toInt32((int64_t{value} - GetExtent(verticalExtent)) / 2);
  int32_t& margin = verticalExtent ? marginY : marginX;
  margin = std::max(0, Figure_toInt32(int64_t{margin} + d));
  bounds = computeBounds();
  layoutFlags |= TextBox_boundsValid | TextBox_marginsValid;
}

int32_t Text_Box::textLeft() const { return TextBox_geometry(*this).textLeft; }

Point32 Text_Box::GetHandlePoint(int32_t h) const {
  if (h < 1 || h > 8) return {baseX_, baseY_};
  const TextBoxFrameBounds b = FrameBounds();
  const int32_t cx = Figure_toInt32((int64_t{b.left} + b.right) / 2);
  const int32_t cy = Figure_toInt32((int64_t{b.top} + b.bottom) / 2);
  const Point32 pts[8] = {{b.left, b.top},    {cx, b.top},        {b.right, b.top},
                          {b.left, cy},       {b.right, cy},      {b.left, b.bottom},
                          {cx, b.bottom},     {b.right, b.bottom}};
  return pts[h - 1];
}

bool Text_Box::IntersectsRect(const Rect32& r) const {
  Rect32 box{baseX_, baseY_, 1, 1};
  if ((layoutFlags & TextBox_boundsValid) || lineHeight16 >= 0) {
    const TextBoxFrameBounds b = FrameBounds();
    box = {b.left, b.top, Figure_toInt32(int64_t{b.right} - b.left + 1),
           Figure_toInt32(int64_t{b.bottom} - b.top + 1)};
  }
  return Rect32_overlaps(box, r);
}

bool Text_Box::IsNearCentre(int32_t x, int32_t y, int32_t t) const {
  const TextBoxFrameBounds b = FrameBounds();
  const int64_t cx = (int64_t{b.left} + b.right) / 2, cy = (int64_t{b.top} + b.bottom) / 2;
  return std::llabs(x - cx) <= t && std::llabs(y - cy) <= t;
}

bool Text_Box::ContainsPoint(int32_t x, int32_t y) const {
  const TextBoxFrameBounds b = FrameBounds();
  return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
}

void Text_Box::MoveBy(int32_t dx, int32_t dy) {
  baseX_ = Figure_clampCoord(int64_t{baseX_} + dx);
  baseY_ = Figure_clampCoord(int64_t{baseY_} + dy);
  bounds.left = Figure_toInt32(int64_t{bounds.left} + dx);
  bounds.right = Figure_toInt32(int64_t{bounds.right} + dx);
  bounds.top = Figure_toInt32(int64_t{bounds.top} + dy);
  bounds.bottom = Figure_toInt32(int64_t{bounds.bottom} + dy);
  firstLineTop = Figure_toInt32(int64_t{firstLineTop} + dy);
  nodes_.followMove(dx, dy);
}

std::vector<Point32> Text_Box::OutlinePoints() const {
  return TextBox_outline(FrameBounds(), frameShape, 6);
}

// The segment from q to p meets the top edge (q above p), the side towards
// q, or the bottom edge (q below p); the first crossing on the frame is the
// visible end.  On a parallelogram the side crossings are shifted by the
// slant.
Point32 Text_Box::OutlinePoint(Point32 p, Point32 q) const {
  const TextBoxFrameBounds b = FrameBounds();
  const double px = p.x, py = p.y, qx = q.x, qy = q.y;
  auto atY = [&](double y, Point32& out) {
    if (qy == py) return false;
    const double t = (y - py) / (qy - py);
    if (t < 0 || t > 1) return false;
    const double x = px + (qx - px) * t;
    if (x < b.left || x > b.right) return false;
    out = {Figure_roundHalf(x), static_cast<int32_t>(y)};
    return true;
  };
  auto atX = [&](double x, Point32& out) {
    if (qx == px) return false;
    const double t = (x - px) / (qx - px);
    if (t < 0 || t > 1) return false;
    const double y = py + (qy - py) * t;
    if (y < b.top || y > b.bottom) return false;
    double sx = x;
    if (std::abs(frameShape) == TextBoxFrame_Parallelogram)
      sx -= (y - (int64_t{b.top} + b.bottom) / 2) / 2;
    out = {Figure_roundHalf(sx), Figure_roundHalf(y)};
    return true;
  };
  Point32 out = p;
  if (qy < py && atY(b.top, out)) return out;
  if (qx < px && atX(b.left, out)) return out;
  if (qx > px && atX(b.right, out)) return out;
  if (qy > py && atY(b.bottom, out)) return out;
  return p;
}
