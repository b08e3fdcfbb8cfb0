// The Surface of the figures over Qt: a QPainter on a QImage (RGB32), or on
// a painter someone else owns (a widget, a printer).  Antialiasing is off so
// that pixels follow the integer geometry.
#pragma once

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

  void drawBitmap(const Bitmap& bitmap, int x, int y) override;
  void stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                     bool smooth) override;

  QPainter& painter() { return *painter_; }

 private:
  std::optional<QPainter> own_;
  QPainter* painter_;
};

// A white RGB32 image to paint on.
QImage QtSurface_makeImage(int width, int height);
// The bitmap seen as a QImage (no copy: valid while the bitmap is).
QImage QtSurface_imageOf(const Bitmap& bitmap);
