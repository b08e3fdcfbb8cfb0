// The Surface of the figures over Qt: a QPainter on a QImage (RGB32), or on
// a painter someone else owns (a widget, a printer).  Antialiasing is off for
// shapes so that pixels follow the integer geometry; the conventions are
// those of core/surface/surface.h.  The painter's pen, brush, font, clip and
// composition mode follow the surface state: each is handed to the painter
// only when it differs from what the painter was last given, and the shaped
// glyphs of a text are kept (per font) so that a text drawn again is not
// shaped again: for the surface's life, or, when the caller hands it a
// QtSurfaceTextCache, for the cache's life over many surfaces.  A caller that changes the painter itself
// between calls goes through painter(), which makes the surface set
// everything anew.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <memory>
#include <optional>

#include "core/surface/surface.h"

// The shaped texts of text output, by font and text, and the stamps of
// texts and shapes painted again and again (qt_surface_cache.h), bounded in
// size: past kMaxFonts fonts, or kMaxTexts texts or kMaxBytes bytes of
// shaped texts and stamps, what it holds is dropped and made anew.  A caller that paints again and
// again (a view) keeps one and hands it to each surface; it must go before
// the application object does.
class QtSurfaceTextCache {
 public:
  static constexpr size_t kMaxFonts = 64;
  static constexpr size_t kMaxTexts = 16384;
  static constexpr size_t kMaxBytes = size_t{8} << 20;

  QtSurfaceTextCache();
  ~QtSurfaceTextCache();
  QtSurfaceTextCache(const QtSurfaceTextCache&) = delete;
  QtSurfaceTextCache& operator=(const QtSurfaceTextCache&) = delete;

  // Texts held and their approximate bytes.
  size_t texts() const;
  size_t bytes() const;
  void clear();

 private:
  friend class QtSurface;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class QtSurface final : public Surface {
 public:
  // Paints on `target` (Format_RGB32) for the lifetime of the surface; read
  // the image after the surface has gone.  Shaped texts go to `texts` when
  // given (it must outlive the surface), else to a cache of the surface.
  explicit QtSurface(QImage& target, QtSurfaceTextCache* texts = nullptr);
  // Paints with a painter that stays the caller's.
  explicit QtSurface(QPainter& painter, QtSurfaceTextCache* texts = nullptr);
  ~QtSurface() override;
  QtSurface(const QtSurface&) = delete;
  QtSurface& operator=(const QtSurface&) = delete;

  void rectangle(int left, int top, int right, int bottom) override;
  void roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                 int ellipseHeight) override;
  void ellipse(int left, int top, int right, int bottom) override;
  void polygon(std::span<const SurfacePoint> points) override;
  void polyline(std::span<const SurfacePoint> points) override;
  void arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
           int yEnd) override;
  void setPixel(int x, int y, Colour colour) override;
  void textOut(int x, int y, std::string_view cp932) override;
  // Parsed once by Qt's SVG renderer and kept in `cache`.
  void svgDocument(std::string_view utf8, const SurfaceAffine& toDevice,
                   std::shared_ptr<SurfaceCache>& cache) override;

  void drawBitmap(const Bitmap& bitmap, int x, int y) override;
  void stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                     bool smooth) override;

  // The painter; the surface gives it its whole state again at the next call.
  QPainter& painter() {
    applied_ = Applied{};
    return *painter_;
  }

  // Plain painting: every call sets the painter's whole state and text is
  // shaped and drawn by QPainter::drawText.  The same pixels, only slower;
  // tests compare the two.
  void setPlain(bool plain) {
    plain_ = plain;
    applied_ = Applied{};
  }

 private:
  // Composition mode and clip of the state; `pen`/`brush` select what the
  // next call strokes and fills with.
  void applyCommon();
  void applyShape(bool withBrush);
  // A one-pixel styled or solid path without its last point.
  void thinPolyline(std::span<const SurfacePoint> points);

  // What the painter was last given (unknown until set).
  enum class PenKind : uint8_t { None, Shape, Pixel, Text };
  struct Applied {
    bool common = false;
    RasterOp rasterOp = RasterOp::Copy;
    std::optional<SurfaceRect> clip;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    Colour backgroundColour = 0;
    PenKind penKind = PenKind::None;
    Pen pen;          // PenKind::Shape
    Colour penColour = 0;  // PenKind::Pixel and PenKind::Text
    bool brush = false;
    Brush brushValue;  // NoBrush when brushNone
    bool brushNone = true;
    BackgroundMode hatchMode = BackgroundMode::Opaque;
    Colour hatchBackground = 0;
  };
  void setQPen(PenKind kind, const Pen& pen, Colour colour);
  void setQBrush(bool withBrush);
  void setQBackgroundMode(BackgroundMode mode);
  // Sets the pixels in the pen colour straight in the image, when that
  // gives what the painter would (copy mode, no transformation); false
  // when it does not.
  bool setPixelsDirect(const QPoint* pixels, qsizetype count, Colour colour);
  // Whether the own image can take pixels straight from the surface: what
  // the painter would give is then plainly the colour within the clip.
  bool directPixels() const;
  // The same straight in the image for a filled rectangle in one colour.
  void fillDirect(const QRect& r, Colour colour);
  // fillRect in an opaque colour, straight when it can be.
  void fillColour(const QRect& r, Colour colour);
  // The image's area within the state's clip.
  QRect clipArea() const;
  // Sets the stamp of a text in an opaque cell, or of an ellipse (kind 0)
  // or rounded rectangle (kind 1) in the box `r`, straight in the image;
  // false when the painter is to draw it (qt_surface_cache.h).
  bool stampText(int x, int y, std::string_view cp932);
  bool stampShape(uint8_t kind, const QRect& r, int cornerWidth, int cornerHeight);
  // The text of textOut drawn by drawText (vertical faces, underlines, other
  // devices than images, plain painting).
  void textOutPlain(int x, int y, std::string_view cp932, const QFont& font,
                    const QFontMetrics& fm);

  // The fonts of text output and their shaped texts: the caller's or ownTexts_'s.
  std::unique_ptr<QtSurfaceTextCache> ownTexts_;
  QtSurfaceTextCache::Impl* texts_;

  std::optional<QPainter> own_;
  QPainter* painter_;
  QImage* image_ = nullptr;  // the target of an own painter
  Applied applied_;
  bool plain_ = false;
  bool stamps_ = true;  // off in the scratch surfaces that make stamps
};

// Colours between the figures' 0x00BBGGRR and Qt.
QColor QtSurface_colour(Colour c);
// A white RGB32 image to paint on.
QImage QtSurface_makeImage(int width, int height);
// The bitmap seen as a QImage (no copy: valid while the bitmap is).
QImage QtSurface_imageOf(const Bitmap& bitmap);
