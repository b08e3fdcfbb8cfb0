// The fonts, shaped texts and stamps of the Qt surface (qt_surface_cache.h).
#include "platform/surface/qt_surface_cache.h"

#include <QTextLayout>

#include <algorithm>
#include <cstring>

#include "platform/text/qt_text.h"
#include "platform/text/qt_text_metrics.h"

namespace {

// The two colours a scratch image starts in: a pixel outside a stamp that
// keeps both was left alone.
constexpr QRgb kScratchColours[2] = {0xFF000000u, 0xFFFFFFFFu};

// Where the pen and the brush of a shape go in its scratch image.
constexpr Colour kScratchPen = Colour_rgb(255, 0, 0);
constexpr Colour kScratchBrush = Colour_rgb(0, 255, 0);

}  // namespace

QtSurfaceTextCache::QtSurfaceTextCache() : impl_(std::make_unique<Impl>()) {}
QtSurfaceTextCache::~QtSurfaceTextCache() = default;
size_t QtSurfaceTextCache::texts() const { return impl_->texts; }
size_t QtSurfaceTextCache::bytes() const { return impl_->bytes + impl_->stampBytes; }
void QtSurfaceTextCache::clear() { impl_->clear(); }

// Fonts stay where they are until fontOf drops them all.
QtSurfaceTextCache::Impl::Font& QtSurfaceTextCache::Impl::fontOf(const FontSpec& wanted) {
  if (last != nullptr && last->wanted == wanted) return *last;
  for (auto& f : fonts)
    if (f->wanted == wanted) return *(last = f.get());
  if (fonts.size() >= kMaxFonts) clear();
  QFont font = QtTextMetrics_font(wanted);
  const QFontMetrics metrics(font);
  fonts.push_back(std::make_unique<Font>(
      Font{wanted, font, metrics, metrics.ascent(), metrics.descent(), {}, {}}));
  return *(last = fonts.back().get());
}

void QtSurfaceTextCache::Impl::clear() {
  last = nullptr;
  fonts.clear();
  shapes.clear();
  texts = 0;
  bytes = 0;
  stampBytes = 0;
}

void QtSurfaceTextCache::Impl::clearTexts() {
  for (auto& f : fonts) f->texts.clear();
  texts = 0;
  bytes = 0;
}

bool QtSurfaceTextCache::Impl::stampRoom(size_t more) {
  if (stampBytes + more > kMaxStampBytes && evictedIn != paint) {
    evictedIn = paint;
    stampBytes = 0;
    for (auto& f : fonts) {
      std::erase_if(f->stamps, [this](const auto& e) { return e.second.used != paint; });
      for (const auto& [k, s] : f->stamps) stampBytes += bytesOf(k, s);
    }
    std::erase_if(shapes, [this](const auto& e) { return e.second.used != paint; });
    for (const auto& [k, s] : shapes) stampBytes += bytesOf(s);
  }
  if (stampBytes + more > kMaxStampBytes) return false;
  stampBytes += more;
  return true;
}

std::string_view QtSurfaceTextCache::Impl::stampKey(Colour text, Colour background,
                                                    std::string_view cp932) {
  key.resize(2 * sizeof(Colour));
  std::memcpy(key.data(), &text, sizeof text);
  std::memcpy(key.data() + sizeof text, &background, sizeof background);
  key.append(cp932);
  return key;
}

const QtSurfaceTextCache::Impl::Shaped& QtSurfaceTextCache::Impl::shaped(Font& f,
                                                                        std::string_view cp932) {
  auto it = f.texts.find(cp932);
  if (it != f.texts.end()) return it->second;
  Shaped s;
  const QString text = QtText_fromCp932(cp932);
  s.width = f.metrics.horizontalAdvance(text);
  QTextLayout layout(text, f.font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (line.isValid()) {
    const qreal ascent = line.ascent();
    for (QGlyphRun& run : line.glyphRuns()) {
      QList<QPointF> positions = run.positions();
      for (QPointF& p : positions) p.ry() -= ascent;
      run.setPositions(positions);
      s.runs.append(run);
    }
  }
  size_t size = sizeof(s) + 2 * cp932.size() + 64;
  for (const QGlyphRun& run : s.runs)
    size += 64 + static_cast<size_t>(run.glyphIndexes().size()) * (sizeof(quint32) + sizeof(QPointF));
  if (texts + 1 > kMaxTexts || bytes + size > kMaxBytes) clearTexts();
  ++texts;
  bytes += size;
  return f.texts.emplace(std::string(cp932), std::move(s)).first->second;
}

// --- stamps -----------------------------------------------------------------------

bool QtSurface::stampText(int x, int y, std::string_view cp932) {
  if (!stamps_ || state_.backgroundMode != BackgroundMode::Opaque || !directPixels()) return false;
  using Impl = QtSurfaceTextCache::Impl;
  Impl& cache = *texts_;
  Impl::Font& f = cache.fontOf(state_.font);
  const int height = f.ascent + f.descent;
  if (height <= 0 || height > Impl::kMaxCellHeight) return false;
  const std::string_view key = cache.stampKey(state_.textColour, state_.backgroundColour, cp932);
  auto it = f.stamps.find(key);
  if (it == f.stamps.end()) {
    // The first time: the painter draws it.
    Impl::TextStamp seen;
    seen.used = cache.paint;
    if (cache.stampRoom(Impl::bytesOf(cache.key, seen))) f.stamps.emplace(cache.key, seen);
    return false;
  }
  Impl::TextStamp& stamp = it->second;
  if (stamp.refused) return false;
  // A text stamp is made in a later paint than the one that first drew
  // it: a paint of its own (a page image, a print) makes none.
  if (stamp.pixels.empty() && stamp.used == cache.paint) return false;
  stamp.used = cache.paint;
  if (stamp.pixels.empty()) {
    // Seen before: the stamp is what a surface of its own draws into
    // a scratch image, over two colours that the text must leave alone.
    const int width = cache.shaped(f, cp932).width;
    if (width <= 0 || int64_t{width} * height > Impl::kMaxCellPixels ||
        !cache.stampRoom(static_cast<size_t>(width) * height * sizeof(QRgb))) {
      stamp.refused = width <= 0 || int64_t{width} * height > Impl::kMaxCellPixels;
      return false;
    }
    const int margin = height + 8;
    QImage scratch(width + 2 * margin, height + 2 * margin, QImage::Format_RGB32);
    const QRect cell(margin, margin, width, height);
    std::vector<QRgb> pixels;
    for (QRgb around : kScratchColours) {
      scratch.fill(around);
      {
        QtSurface s(scratch);
        s.texts_ = texts_;  // the fonts and shaped texts it has
        s.stamps_ = false;
        s.setFont(state_.font);
        s.setTextAlign(TextHAlign::Left, TextVAlign::Baseline);
        s.setTextColour(state_.textColour);
        s.setBackgroundMode(BackgroundMode::Opaque);
        s.setBackgroundColour(state_.backgroundColour);
        s.textOut(margin, margin + f.ascent, cp932);
      }
      for (int sy = 0; sy < scratch.height() && !stamp.refused; ++sy) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(sy));
        for (int sx = 0; sx < scratch.width(); ++sx) {
          if (row[sx] != around && !cell.contains(sx, sy)) {
            stamp.refused = true;  // a glyph reaches out of the cell
            break;
          }
        }
      }
      std::vector<QRgb> inside(static_cast<size_t>(width) * height);
      for (int sy = 0; sy < height; ++sy)
        std::memcpy(inside.data() + static_cast<size_t>(sy) * width,
                    scratch.constScanLine(margin + sy) + margin * sizeof(QRgb),
                    width * sizeof(QRgb));
      if (!pixels.empty() && pixels != inside) stamp.refused = true;
      pixels = std::move(inside);
      if (stamp.refused) return false;
    }
    stamp.width = width;
    stamp.pixels = std::move(pixels);
  }
  int dx = 0;
  if (state_.textHAlign == TextHAlign::Centre) dx = -stamp.width / 2;
  if (state_.textHAlign == TextHAlign::Right) dx = -stamp.width;
  int baseline = 0;
  if (state_.textVAlign == TextVAlign::Top) baseline = f.ascent;
  if (state_.textVAlign == TextVAlign::Bottom) baseline = -f.descent;
  const QRect cell(x + dx, y + baseline - f.ascent, stamp.width, height);
  const QRect area = cell & clipArea();
  if (area.isEmpty()) return true;
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  for (int row = area.top(); row <= area.bottom(); ++row)
    std::memcpy(reinterpret_cast<QRgb*>(bits + row * stride) + area.left(),
                stamp.pixels.data() + static_cast<size_t>(row - cell.top()) * stamp.width +
                    (area.left() - cell.left()),
                static_cast<size_t>(area.width()) * sizeof(QRgb));
  return true;
}

bool QtSurface::stampShape(uint8_t kind, const QRect& r, int cornerWidth, int cornerHeight) {
  using Impl = QtSurfaceTextCache::Impl;
  const Pen& pen = state_.pen;
  const Brush& brush = state_.brush;
  if (!stamps_ || (pen.style != PenStyle::Solid && pen.style != PenStyle::Null) ||
      pen.width > 127 || brush.style == BrushStyle::Hatched || r.width() > Impl::kMaxShape ||
      r.height() > Impl::kMaxShape || !directPixels())
    return false;
  // Only where the whole shape and a margin lie inside the image and the
  // clip: the painter then clips nothing away.
  const int margin = (pen.style == PenStyle::Null ? 0 : std::max(1, pen.width)) + 3;
  if (!clipArea().contains(r.adjusted(-margin, -margin, margin, margin))) return false;
  const Impl::ShapeKey key{static_cast<Impl::ShapeKind>(kind),
                           brush.style == BrushStyle::Solid,
                           state_.backgroundMode == BackgroundMode::Opaque,
                           static_cast<int8_t>(pen.style == PenStyle::Null ? -1
                                               : pen.width <= 1        ? 0
                                                                       : pen.width),
                           r.width(),
                           r.height(),
                           cornerWidth,
                           cornerHeight};
  Impl& cache = *texts_;
  auto it = cache.shapes.find(key);
  if (it == cache.shapes.end()) {
    Impl::ShapeStamp seen;
    seen.used = cache.paint;
    if (cache.stampRoom(Impl::bytesOf(seen))) cache.shapes.emplace(key, seen);
    return false;
  }
  Impl::ShapeStamp& stamp = it->second;
  if (stamp.refused) return false;
  stamp.used = cache.paint;
  if (!stamp.made) {
    // What a surface of its own draws in two colours of its own, on black.
    QImage scratch(r.width() + 2 * margin, r.height() + 2 * margin, QImage::Format_RGB32);
    scratch.fill(kScratchColours[0]);
    {
      QtSurface s(scratch);
      s.stamps_ = false;
      s.setBackgroundMode(state_.backgroundMode);
      s.setBackgroundColour(state_.backgroundColour);
      s.setPen({pen.style, pen.width, kScratchPen});
      s.setBrush(brush.style == BrushStyle::Solid ? Brush::solid(kScratchBrush) : Brush::null());
      const int l = margin, t = margin, right = margin + r.width(), bottom = margin + r.height();
      if (key.kind == Impl::ShapeKind::Ellipse)
        s.ellipse(l, t, right, bottom);
      else
        s.roundRect(l, t, right, bottom, cornerWidth, cornerHeight);
    }
    std::vector<Impl::ShapeRun> runs;
    const QRgb penPixel = Colour_toArgb(kScratchPen), brushPixel = Colour_toArgb(kScratchBrush);
    for (int sy = 0; sy < scratch.height() && !stamp.refused; ++sy) {
      const QRgb* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(sy));
      const bool edge = sy == 0 || sy == scratch.height() - 1;
      for (int sx = 0; sx < scratch.width();) {
        const QRgb p = row[sx];
        if (p == kScratchColours[0]) {
          ++sx;
          continue;
        }
        if ((p != penPixel && p != brushPixel) || edge || sx == 0 ||
            sx == scratch.width() - 1) {
          stamp.refused = true;  // not its two colours, or out to the scratch's edge
          break;
        }
        int end = sx + 1;
        while (end < scratch.width() && row[end] == p) ++end;
        runs.push_back({sy - margin, sx - margin, end - margin, p == penPixel});
        sx = end;
      }
    }
    if (stamp.refused || !cache.stampRoom(runs.size() * sizeof(Impl::ShapeRun))) return false;
    stamp.made = true;
    stamp.runs = std::move(runs);
  }
  const QRgb penPixel = Colour_toArgb(pen.colour), brushPixel = Colour_toArgb(brush.colour);
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  for (const Impl::ShapeRun& run : stamp.runs) {
    QRgb* line = reinterpret_cast<QRgb*>(bits + (r.top() + run.y) * stride) + r.left();
    std::fill(line + run.left, line + run.right, run.pen ? penPixel : brushPixel);
  }
  return true;
}
