// TextMetrics over Qt: QFontMetrics at a fixed 96 dpi, with the face names
// mapped through the font substitution table.  Needs a QGuiApplication
// (the offscreen platform in batch runs and tests).
#pragma once

#include <QFont>
#include <QImage>

#include "core/surface/text_metrics.h"

// The Qt font that stands for a font of the figures (substituted family,
// pixel size, weight 700 or 400, italic, underline; kerning off so that
// widths add up character by character).
QFont QtTextMetrics_font(const FontSpec& font);

class QtTextMetrics final : public TextMetrics {
 public:
  QtTextMetrics();

  FontMetrics fontMetrics(const FontSpec& font) const override;
  TextExtent textExtent(const FontSpec& font, std::string_view cp932) const override;
  std::vector<int> caretPositions(const FontSpec& font, std::string_view cp932) const override;

 private:
  QImage device_;  // a 96 dpi paint device for the metrics
};
