// The Surface of the figures over Qt: a QPainter on a QImage (RGB32), or on
// a painter someone else owns (a widget, a printer).  Antialiasing is off for
// shapes so that pixels follow the integer geometry; the conventions are
// those of core/surface/surface.h.  The painter's pen, brush, font and
// composition mode are set from the surface state at every call.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <optional>

#include "core/surface/surface.h"

class QtSurface final : public Surface {
 public:
  // Paints on `target` (Format_RGB32) for the lifetime of the surface; read
  // the image after the surface has gone.
  explicit QtSurface(QImage& target);
  // Paints with a painter that stays the caller's.
  explicit QtSurface(QPainter& painter);
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

  void drawBitmap(const Bitmap& bitmap, int x, int y) override;
  void stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                     bool smooth) override;

  QPainter& painter() { return *painter_; }

 private:
  // Composition mode and clip of the state; `pen`/`brush` select what the
  // next call strokes and fills with.
  void applyCommon();
  void applyShape(bool withBrush);
  // A one-pixel styled or solid path without its last point.
  void thinPolyline(std::span<const SurfacePoint> points);

  std::optional<QPainter> own_;
  QPainter* painter_;
  // The font of the last text output.
  struct TextFont {
    FontSpec spec;
    QFont font;
    QFontMetrics metrics;
  };
  std::optional<TextFont> textFont_;
};

// Colours between the figures' 0x00BBGGRR and Qt.
QColor QtSurface_colour(Colour c);
// A white RGB32 image to paint on.
QImage QtSurface_makeImage(int width, int height);
// The bitmap seen as a QImage (no copy: valid while the bitmap is).
QImage QtSurface_imageOf(const Bitmap& bitmap);
