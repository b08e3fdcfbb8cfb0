// What the program puts on the clipboard and into a drag: one QMimeData
// with the figure block (application/x-zerbin), the ink box
// (application/x-zerbin2), the texts (text/plain), and, made only when a
// program asks for them, the picture of the figures (image/png) and the
// figures as a small standard SVG (image/svg+xml).
#pragma once

#include <QMimeData>

#include <functional>

class ZerbinMimeData : public QMimeData {
 public:
  // The lazily made forms (empty: not offered).
  std::function<QByteArray()> png;
  std::function<QByteArray()> svg;

  QStringList formats() const override;
  bool hasFormat(const QString& mimeType) const override;

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

 private:
  mutable QByteArray pngBytes_, svgBytes_;
  mutable bool pngMade_ = false, svgMade_ = false;
};
