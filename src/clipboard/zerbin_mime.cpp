#include "clipboard/zerbin_mime.h"

#include <QImage>

namespace {
const QString kPng = QStringLiteral("image/png");
const QString kSvg = QStringLiteral("image/svg+xml");
}  // namespace

QStringList ZerbinMimeData::formats() const {
  QStringList f = QMimeData::formats();
  if (png && !f.contains(kPng)) f << kPng;
  if (svg && !f.contains(kSvg)) f << kSvg;
  return f;
}

bool ZerbinMimeData::hasFormat(const QString& mimeType) const {
  return (png && mimeType == kPng) || (svg && mimeType == kSvg) || QMimeData::hasFormat(mimeType);
}

QVariant ZerbinMimeData::retrieveData(const QString& mimeType, QMetaType type) const {
  if (png && (mimeType == kPng || mimeType == QStringLiteral("application/x-qt-image"))) {
    if (!pngMade_) {
      pngMade_ = true;
      pngBytes_ = png();
    }
    if (type.id() == QMetaType::QImage) return QImage::fromData(pngBytes_, "PNG");
    return pngBytes_;
  }
  if (svg && mimeType == kSvg) {
    if (!svgMade_) {
      svgMade_ = true;
      svgBytes_ = svg();
    }
    return svgBytes_;
  }
  return QMimeData::retrieveData(mimeType, type);
}
