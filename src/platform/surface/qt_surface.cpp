#include "platform/surface/qt_surface.h"

#include <QRect>

namespace {

void prepare(QPainter& p) { p.setRenderHint(QPainter::Antialiasing, false); }

}  // namespace

QtSurface::QtSurface(QImage& target) : own_(std::in_place, &target), painter_(&*own_) {
  prepare(*painter_);
}

QtSurface::QtSurface(QPainter& painter) : painter_(&painter) { prepare(*painter_); }

void QtSurface::drawBitmap(const Bitmap& bitmap, int x, int y) {
  if (bitmap.empty()) return;
  painter_->drawImage(QPoint(x, y), QtSurface_imageOf(bitmap));
}

void QtSurface::stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                              bool smooth) {
  if (bitmap.empty() || width <= 0 || height <= 0) return;
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
