#include "platform/surface/qt_surface.h"

#include <QSvgRenderer>

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPolygon>
#include <QTextLayout>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/strx/codepage.h"
#include "platform/text/qt_text.h"
#include "platform/text/qt_text_metrics.h"
#include "platform/surface/qt_surface_cache.h"

namespace {

void prepare(QPainter& p) { p.setRenderHint(QPainter::Antialiasing, false); }

// On/off runs of the one-pixel styled pens, in pixels.
std::span<const int> dashRuns(PenStyle s) {
  static const int dash[] = {18, 6};
  static const int dot[] = {3, 3};
  static const int dashDot[] = {9, 6, 3, 6};
  static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
  switch (s) {
    case PenStyle::Dash: return dash;
    case PenStyle::Dot: return dot;
    case PenStyle::DashDot: return dashDot;
    case PenStyle::DashDotDot: return dashDotDot;
    default: return {};
  }
}

bool isThin(const Pen& p) { return p.width <= 1; }

// `scaled`: the device has more pixels than units (a high-density screen).
// A thin pen is then one unit wide, as wide as its lines are at ratio 1;
// the zero-width pen would stay one device pixel.
QPen qpen(const Pen& p, bool scaled) {
  if (p.style == PenStyle::Null) return QPen(Qt::NoPen);
  QPen q(QtSurface_colour(p.colour));
  q.setWidth(isThin(p) ? (scaled ? 1 : 0) : p.width);
  q.setCapStyle(Qt::RoundCap);
  q.setJoinStyle(Qt::RoundJoin);
  std::span<const int> runs = dashRuns(p.style);
  if (isThin(p) && !runs.empty()) {
    QList<qreal> pattern;
    for (int r : runs) pattern.append(r);
    q.setDashPattern(pattern);
  }
  return q;
}

bool scaledDevice(const QPainter& p) {
  const QPaintDevice* device = p.device();
  return device != nullptr && device->devicePixelRatioF() > 1.0;
}

// Single pixels in units on a high-density device: each covers its whole
// unit square (a zero-width point would be one device pixel).
void fillUnitPixels(QPainter& p, const QPoint* pixels, qsizetype count, const QColor& colour) {
  for (qsizetype i = 0; i < count; ++i) p.fillRect(QRect(pixels[i], QSize(1, 1)), colour);
}

// Whether the hatch pattern sets pixel (x, y) of its 8 x 8 cell.
bool hatchBit(HatchStyle h, int x, int y) {
  switch (h) {
    case HatchStyle::Horizontal: return y == 0;
    case HatchStyle::Vertical: return x == 0;
    case HatchStyle::ForwardDiagonal: return x == y;
    case HatchStyle::BackwardDiagonal: return x + y == 7;
    case HatchStyle::Cross: return x == 0 || y == 0;
    case HatchStyle::DiagonalCross: return x == y || x + y == 7;
  }
  return false;
}

// Hatches are drawn with an 8 x 8 texture of our own (exact patterns; the
// gaps take the background colour in the opaque mode and stay clear in the
// transparent one).
QBrush qbrush(const Brush& b, const SurfaceState& st) {
  switch (b.style) {
    case BrushStyle::Null: return QBrush(Qt::NoBrush);
    case BrushStyle::Solid: return QBrush(QtSurface_colour(b.colour));
    case BrushStyle::Hatched: break;
  }
  QImage cell(8, 8, QImage::Format_ARGB32);
  const QRgb ink = QtSurface_colour(b.colour).rgb();
  const QRgb gap = st.backgroundMode == BackgroundMode::Opaque
                       ? QtSurface_colour(st.backgroundColour).rgb()
                       : qRgba(0, 0, 0, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) cell.setPixel(x, y, hatchBit(b.hatch, x, y) ? ink : gap);
  return QBrush(cell);
}

// The rectangle l..r-1 x t..b-1 normalised; false when it holds no pixel.
bool box(int l, int t, int r, int b, QRect& out) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (r - l < 1 || b - t < 1) return false;
  out = QRect(l, t, r - l, b - t);
  return true;
}

// Parametric angle (degrees, counter-clockwise with y up) of the ray from the
// centre of the box towards (x, y), as Qt's arcs take it.
double arcAngle(const QRectF& r, int x, int y) {
  double rx = std::max(r.width() / 2.0, 0.5), ry = std::max(r.height() / 2.0, 0.5);
  double dx = (x - r.center().x()) / rx, dy = -(y - r.center().y()) / ry;
  if (dx == 0 && dy == 0) return 0;
  return std::atan2(dy, dx) * 180.0 / std::numbers::pi;
}

}  // namespace

QColor QtSurface_colour(Colour c) {
  return QColor(Colour_red(c), Colour_green(c), Colour_blue(c));
}

QtSurface::QtSurface(QImage& target, QtSurfaceTextCache* texts)
    : ownTexts_(texts == nullptr ? std::make_unique<QtSurfaceTextCache>() : nullptr),
      texts_(texts == nullptr ? ownTexts_->impl_.get() : texts->impl_.get()),
      own_(std::in_place, &target),
      painter_(&*own_),
      image_(&target) {
  prepare(*painter_);
  ++texts_->paint;
}

QtSurface::QtSurface(QPainter& painter, QtSurfaceTextCache* texts)
    : ownTexts_(texts == nullptr ? std::make_unique<QtSurfaceTextCache>() : nullptr),
      texts_(texts == nullptr ? ownTexts_->impl_.get() : texts->impl_.get()),
      painter_(&painter) {
  prepare(*painter_);
  ++texts_->paint;
}

QtSurface::~QtSurface() = default;

void QtSurface::setQBackgroundMode(BackgroundMode mode) {
  if (applied_.common && applied_.backgroundMode == mode) return;
  painter_->setBackgroundMode(mode == BackgroundMode::Opaque ? Qt::OpaqueMode
                                                             : Qt::TransparentMode);
  applied_.backgroundMode = mode;
}

void QtSurface::applyCommon() {
  QPainter& p = *painter_;
  if (plain_) applied_ = Applied{};
  const bool known = applied_.common;
  if (!known || applied_.rasterOp != state_.rasterOp) {
    switch (state_.rasterOp) {
      case RasterOp::Copy: p.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
      case RasterOp::Xor: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
      case RasterOp::Not: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    }
    applied_.rasterOp = state_.rasterOp;
  }
  if (!known || applied_.clip != state_.clip) {
    if (state_.clip) {
      const SurfaceRect& c = *state_.clip;
      p.setClipRect(QRect(c.left, c.top, std::max(0, c.right - c.left),
                          std::max(0, c.bottom - c.top)));
    } else {
      p.setClipping(false);
    }
    applied_.clip = state_.clip;
  }
  setQBackgroundMode(state_.backgroundMode);
  if (!known || applied_.backgroundColour != state_.backgroundColour) {
    p.setBackground(QBrush(QtSurface_colour(state_.backgroundColour)));
    applied_.backgroundColour = state_.backgroundColour;
  }
  applied_.common = true;
}

void QtSurface::setQPen(PenKind kind, const Pen& pen, Colour colour) {
  if (applied_.penKind == kind &&
      (kind == PenKind::Shape ? applied_.pen == pen : applied_.penColour == colour))
    return;
  switch (kind) {
    case PenKind::Shape: painter_->setPen(qpen(pen, scaledDevice(*painter_))); break;
    case PenKind::Pixel: painter_->setPen(QPen(QtSurface_colour(colour), 0)); break;
    case PenKind::Text: painter_->setPen(QtSurface_colour(colour)); break;
    case PenKind::None: break;
  }
  applied_.penKind = kind;
  applied_.pen = pen;
  applied_.penColour = colour;
}

void QtSurface::setQBrush(bool withBrush) {
  const bool none = !withBrush || state_.brush.style == BrushStyle::Null;
  const bool hatched = !none && state_.brush.style == BrushStyle::Hatched;
  if (applied_.brush && applied_.brushNone == none &&
      (none || (applied_.brushValue == state_.brush &&
                (!hatched || (applied_.hatchMode == state_.backgroundMode &&
                              applied_.hatchBackground == state_.backgroundColour)))))
    return;
  painter_->setBrush(withBrush ? qbrush(state_.brush, state_) : QBrush(Qt::NoBrush));
  applied_.brush = true;
  applied_.brushNone = none;
  applied_.brushValue = state_.brush;
  applied_.hatchMode = state_.backgroundMode;
  applied_.hatchBackground = state_.backgroundColour;
}

void QtSurface::applyShape(bool withBrush) {
  applyCommon();
  setQPen(PenKind::Shape, state_.pen, 0);
  setQBrush(withBrush);
}

bool QtSurface::directPixels() const {
  if (image_ == nullptr || !image_->isDetached() || plain_ || state_.rasterOp != RasterOp::Copy ||
      painter_->transform().type() != QTransform::TxNone || image_->devicePixelRatioF() > 1.0)
    return false;
  const QImage::Format format = image_->format();
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

namespace {

// The image's area within the state's clip (the painter's clip once
// applyCommon has run).
QRect imageClipArea(const QImage& image, const std::optional<SurfaceRect>& clip) {
  int l = 0, t = 0, r = image.width(), b = image.height();
  if (clip) {
    l = std::max(l, clip->left);
    t = std::max(t, clip->top);
    r = std::min(r, clip->right);
    b = std::min(b, clip->bottom);
  }
  return QRect(l, t, std::max(0, r - l), std::max(0, b - t));
}

}  // namespace

QRect QtSurface::clipArea() const { return ::imageClipArea(*image_, state_.clip); }

bool QtSurface::setPixelsDirect(const QPoint* pixels, qsizetype count, Colour colour) {
  if (!directPixels()) return false;
  const QRect area = imageClipArea(*image_, state_.clip);
  const QRgb ink = Colour_toArgb(colour);
  uchar* bits = image_->bits();  // the painter paints into the same memory
  const qsizetype stride = image_->bytesPerLine();
  for (qsizetype i = 0; i < count; ++i) {
    const QPoint& p = pixels[i];
    if (!area.contains(p)) continue;
    reinterpret_cast<QRgb*>(bits + p.y() * stride)[p.x()] = ink;
  }
  return true;
}

void QtSurface::fillDirect(const QRect& r, Colour colour) {
  const QRect area = r & imageClipArea(*image_, state_.clip);
  if (area.isEmpty()) return;
  const QRgb ink = Colour_toArgb(colour);
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  for (int y = area.top(); y <= area.bottom(); ++y)
    std::fill_n(reinterpret_cast<QRgb*>(bits + y * stride) + area.left(), area.width(), ink);
}

void QtSurface::fillColour(const QRect& r, Colour colour) {
  if (directPixels())
    fillDirect(r, colour);
  else
    painter_->fillRect(r, QtSurface_colour(colour));
}

void QtSurface::rectangle(int left, int top, int right, int bottom) {
  QRect r;
  if (!box(left, top, right, bottom, r)) return;
  applyShape(true);
  if (state_.pen.style == PenStyle::Null) {
    // Without a pen the filled area loses its last column and row.
    if (r.width() > 1 && r.height() > 1 && state_.brush.style == BrushStyle::Solid)
      fillColour(r.adjusted(0, 0, -1, -1), state_.brush.colour);
    else if (r.width() > 1 && r.height() > 1 && state_.brush.style != BrushStyle::Null)
      painter_->fillRect(r.adjusted(0, 0, -1, -1), qbrush(state_.brush, state_));
    return;
  }
  if (!plain_ && state_.rasterOp == RasterOp::Copy && state_.pen.style == PenStyle::Solid &&
      isThin(state_.pen) && state_.brush.style != BrushStyle::Hatched && r.width() >= 3 &&
      r.height() >= 3 && painter_->transform().type() == QTransform::TxNone) {
    // What drawRect gives, in plain fills: the inside in the brush colour,
    // the outermost pixels in the pen colour.
    applyCommon();
    if (state_.brush.style == BrushStyle::Solid)
      fillColour(r.adjusted(1, 1, -1, -1), state_.brush.colour);
    const Colour ink = state_.pen.colour;
    fillColour(QRect(r.left(), r.top(), r.width(), 1), ink);
    fillColour(QRect(r.left(), r.bottom(), r.width(), 1), ink);
    fillColour(QRect(r.left(), r.top() + 1, 1, r.height() - 2), ink);
    fillColour(QRect(r.right(), r.top() + 1, 1, r.height() - 2), ink);
    return;
  }
  // Qt's non-antialiased outline covers width + 1 pixels.
  painter_->drawRect(r.adjusted(0, 0, -1, -1));
}

void QtSurface::roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                          int ellipseHeight) {
  QRect r;
  if (!box(left, top, right, bottom, r)) return;
  if (stampShape(1, r, ellipseWidth, ellipseHeight)) return;
  applyShape(true);
  painter_->drawRoundedRect(QRectF(r.adjusted(0, 0, -1, -1)), ellipseWidth / 2.0,
                            ellipseHeight / 2.0, Qt::AbsoluteSize);
}

void QtSurface::ellipse(int left, int top, int right, int bottom) {
  QRect r;
  if (!box(left, top, right, bottom, r)) return;
  if (stampShape(0, r, 0, 0)) return;
  applyShape(true);
  painter_->drawEllipse(r.adjusted(0, 0, -1, -1));
}

void QtSurface::polygon(std::span<const SurfacePoint> points) {
  if (points.size() < 2) return;
  QPolygon poly;
  for (const SurfacePoint& pt : points) poly << QPoint(pt.x, pt.y);
  applyShape(true);
  painter_->drawPolygon(poly, Qt::OddEvenFill);
}

void QtSurface::thinPolyline(std::span<const SurfacePoint> points) {
  std::span<const int> runs = dashRuns(state_.pen.style);
  applyCommon();
  // Straight into the image when it can be, else the pixels are gathered
  // for the painter.
  const bool direct = directPixels();
  const QRect area = direct ? clipArea() : QRect();
  const QRgb ink = Colour_toArgb(state_.pen.colour);
  uchar* const bits = direct ? image_->bits() : nullptr;
  const qsizetype stride = direct ? image_->bytesPerLine() : 0;
  QList<QPoint> pixels;
  size_t run = 0;
  int left = runs.empty() ? 0 : runs[0];
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    // Bresenham from points[i] towards points[i + 1], the end left out.
    int x = points[i].x, y = points[i].y;
    const int x1 = points[i + 1].x, y1 = points[i + 1].y;
    // A solid segment wholly beside the area sets nothing.
    if (direct && runs.empty() &&
        (std::max(x, x1) < area.left() || std::min(x, x1) > area.right() ||
         std::max(y, y1) < area.top() || std::min(y, y1) > area.bottom()))
      continue;
    const int dx = std::abs(x1 - x), sx = x < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y), sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
      if (runs.empty() || run % 2 == 0) {
        if (!direct)
          pixels.append(QPoint(x, y));
        else if (x >= area.left() && x <= area.right() && y >= area.top() && y <= area.bottom())
          reinterpret_cast<QRgb*>(bits + y * stride)[x] = ink;
      }
      if (!runs.empty() && --left == 0) {
        run = (run + 1) % runs.size();
        left = runs[run];
      }
      int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y += sy;
      }
    }
  }
  if (direct || pixels.isEmpty()) return;
  if (scaledDevice(*painter_)) {
    fillUnitPixels(*painter_, pixels.data(), pixels.size(), QtSurface_colour(state_.pen.colour));
    return;
  }
  setQPen(PenKind::Pixel, {}, state_.pen.colour);
  painter_->drawPoints(pixels.data(), static_cast<int>(pixels.size()));
}

void QtSurface::polyline(std::span<const SurfacePoint> points) {
  if (points.size() < 2 || state_.pen.style == PenStyle::Null) return;
  if (isThin(state_.pen)) {
    thinPolyline(points);
    return;
  }
  QPolygon poly;
  for (const SurfacePoint& pt : points) poly << QPoint(pt.x, pt.y);
  applyShape(false);
  painter_->drawPolyline(poly);
}

void QtSurface::arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                    int yEnd) {
  QRect r;
  if (!box(left, top, right, bottom, r) || state_.pen.style == PenStyle::Null) return;
  QRectF rf(r.adjusted(0, 0, -1, -1));
  double a0 = arcAngle(rf, xStart, yStart), a1 = arcAngle(rf, xEnd, yEnd);
  double span = a1 - a0;
  while (span <= 0) span += 360;  // the same rays: the whole ellipse
  applyShape(false);
  painter_->drawArc(rf, static_cast<int>(std::lround(a0 * 16)),
                    static_cast<int>(std::lround(span * 16)));
}

void QtSurface::setPixel(int x, int y, Colour colour) {
  applyCommon();
  const QPoint at(x, y);
  if (setPixelsDirect(&at, 1, colour)) return;
  if (scaledDevice(*painter_)) {
    fillUnitPixels(*painter_, &at, 1, QtSurface_colour(colour));
    return;
  }
  setQPen(PenKind::Pixel, {}, colour);
  painter_->drawPoint(x, y);
}

namespace {

// Full-width characters that a vertical line turns with it: brackets, the
// long vowel mark, dashes, the wave dash and the ellipses.
bool followsVerticalLine(char16_t c) {
  static constexpr char16_t kAlong[] = u"（）［］｛｝「」『』【】〔〕〈〉《》＜＞ー―‐－～…‥";
  for (char16_t a : kAlong)
    if (a != 0 && a == c) return true;
  return false;
}

}  // namespace

namespace {

// Texts that drawText lays out by position (tabs and other controls).
bool hasControls(std::string_view cp932) {
  for (size_t i = 0; i < cp932.size(); i += Cp932_charLen(cp932, i)) {
    const unsigned char c = static_cast<unsigned char>(cp932[i]);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

void QtSurface::textOut(int x, int y, std::string_view cp932) {
  if (cp932.empty()) return;
  // Lines and characters come one after another in the same font.
  QtSurfaceTextCache::Impl::Font& f = texts_->fontOf(state_.font);
  const QPaintDevice* device = painter_->device();
  const bool shapedOnce = !plain_ && state_.font.escapement == 0 && !state_.font.underline &&
                          (state_.font.face.empty() || state_.font.face[0] != '@') &&
                          device != nullptr && device->devType() == QInternal::Image &&
                          painter_->transform().type() == QTransform::TxNone &&
                          !hasControls(cp932);
  if (!shapedOnce) {
    applyCommon();
    textOutPlain(x, y, cp932, f.font, f.metrics);
    return;
  }
  if (stampText(x, y, cp932)) return;
  // The glyphs drawText would draw, shaped the first time the text comes.
  const QtSurfaceTextCache::Impl::Shaped& shaped = texts_->shaped(f, cp932);
  const int ascent = f.ascent, descent = f.descent;
  int dx = 0;
  if (state_.textHAlign == TextHAlign::Centre) dx = -shaped.width / 2;
  if (state_.textHAlign == TextHAlign::Right) dx = -shaped.width;
  int baseline = 0;
  if (state_.textVAlign == TextVAlign::Top) baseline = ascent;
  if (state_.textVAlign == TextVAlign::Bottom) baseline = -descent;

  applyCommon();
  QPainter& p = *painter_;
  if (state_.backgroundMode == BackgroundMode::Opaque)
    fillColour(QRect(x + dx, y + baseline - ascent, shaped.width, ascent + descent),
               state_.backgroundColour);
  setQPen(PenKind::Text, {}, state_.textColour);
  setQBackgroundMode(BackgroundMode::Transparent);
  const QPointF origin(x + dx, y + baseline);
  for (const QGlyphRun& run : shaped.runs) p.drawGlyphRun(origin, run);
}

void QtSurface::textOutPlain(int x, int y, std::string_view cp932, const QFont& font,
                             const QFontMetrics& fm) {
  QString text = QtText_fromCp932(cp932);
  const int width = fm.horizontalAdvance(text);
  const int ascent = fm.ascent(), descent = fm.descent();
  int dx = 0;
  if (state_.textHAlign == TextHAlign::Centre) dx = -width / 2;
  if (state_.textHAlign == TextHAlign::Right) dx = -width;
  int baseline = 0;
  if (state_.textVAlign == TextVAlign::Top) baseline = ascent;
  if (state_.textVAlign == TextVAlign::Bottom) baseline = -descent;

  applyCommon();
  QPainter& p = *painter_;
  p.save();
  p.translate(x, y);
  if (state_.font.escapement != 0) p.rotate(-state_.font.escapement / 10.0);
  if (state_.backgroundMode == BackgroundMode::Opaque)
    p.fillRect(QRect(dx, baseline - ascent, width, ascent + descent),
               QtSurface_colour(state_.backgroundColour));
  p.setFont(font);
  p.setPen(QtSurface_colour(state_.textColour));
  p.setBackgroundMode(Qt::TransparentMode);
  if (state_.font.face.empty() || state_.font.face[0] != '@') {
    p.drawText(QPoint(dx, baseline), text);
  } else {
    // The vertical variant of a face: along the turned line, double-byte
    // (full-width) characters stand upright, turned back by a quarter about
    // the middle of their cell; single-byte characters, and the brackets,
    // dashes and long marks that follow the line, lie along it.
    int x = dx;
    const double middle = baseline + (descent - ascent) / 2.0;
    for (size_t i = 0; i < cp932.size();) {
      const size_t n = Cp932_charLen(cp932, i);
      const QString ch = QtText_fromCp932(cp932.substr(i, n));
      const int advance = fm.horizontalAdvance(ch);
      if (n == 2 && !(ch.size() == 1 && followsVerticalLine(ch[0].unicode()))) {
        p.save();
        p.translate(x + advance / 2.0, middle);
        p.rotate(-90);
        p.drawText(QPointF(-advance / 2.0, (ascent - descent) / 2.0), ch);
        p.restore();
      } else {
        p.drawText(QPoint(x, baseline), ch);
      }
      x += advance;
      i += n;
    }
  }
  p.restore();
}

void QtSurface::drawBitmap(const Bitmap& bitmap, int x, int y) {
  if (bitmap.empty()) return;
  applyCommon();
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  applied_.rasterOp = RasterOp::Copy;
  painter_->drawImage(QPoint(x, y), QtSurface_imageOf(bitmap));
}

void QtSurface::stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                              bool smooth) {
  if (bitmap.empty() || width <= 0 || height <= 0) return;
  applyCommon();
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  applied_.rasterOp = RasterOp::Copy;
  bool was = painter_->testRenderHint(QPainter::SmoothPixmapTransform);
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
  painter_->drawImage(QRect(x, y, width, height), QtSurface_imageOf(bitmap));
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, was);
}

QImage QtSurface_makeImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

QImage QtSurface_imageOf(const Bitmap& bitmap) {
  return QImage(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                static_cast<qsizetype>(bitmap.width) * 4, QImage::Format_ARGB32);
}

namespace {

// A parsed SVG document, kept by the owner of the drawing.
class QtSvgCache final : public SurfaceCache {
 public:
  explicit QtSvgCache(std::string_view utf8)
      : renderer(QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size()))) {}
  QSvgRenderer renderer;
};

}  // namespace

void QtSurface::svgDocument(std::string_view utf8, const SurfaceAffine& m,
                            std::shared_ptr<SurfaceCache>& cache) {
  auto* held = dynamic_cast<QtSvgCache*>(cache.get());
  if (held == nullptr) {
    auto made = std::make_shared<QtSvgCache>(utf8);
    held = made.get();
    cache = std::move(made);
  }
  if (!held->renderer.isValid()) return;
  QPainter& p = painter();
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setTransform(QTransform(m.a, m.b, m.c, m.d, m.e, m.f), true);
  // The document's view box is its user space: drawn into the same
  // rectangle, user units stay user units.
  held->renderer.render(&p, held->renderer.viewBoxF());
  p.restore();
}
