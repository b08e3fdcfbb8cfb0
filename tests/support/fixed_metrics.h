// Deterministic TextMetrics for tests: with h the font height (at least 1),
// a single-byte character is h / 2 pixels wide (at least 1), a double-byte
// character h; ascent h - h / 4, descent h / 4, cell and line height h.
// Bold, italic and the face change nothing.
#pragma once

#include "core/surface/text_metrics.h"

class FixedMetrics final : public TextMetrics {
 public:
  FontMetrics fontMetrics(const FontSpec& font) const override;
  TextExtent textExtent(const FontSpec& font, std::string_view cp932) const override;
  std::vector<int> caretPositions(const FontSpec& font, std::string_view cp932) const override;

  static int narrowWidth(const FontSpec& font);
  static int wideWidth(const FontSpec& font);
};
