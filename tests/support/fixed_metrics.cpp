#include "support/fixed_metrics.h"

#include "core/strx/codepage.h"

namespace {

int heightOf(const FontSpec& f) { return f.height > 0 ? f.height : 1; }

}  // namespace

int FixedMetrics::narrowWidth(const FontSpec& f) {
  int w = heightOf(f) / 2;
  return w > 0 ? w : 1;
}

int FixedMetrics::wideWidth(const FontSpec& f) { return heightOf(f); }

FontMetrics FixedMetrics::fontMetrics(const FontSpec& font) const {
  int h = heightOf(font);
  return {h - h / 4, h / 4, h, h};
}

TextExtent FixedMetrics::textExtent(const FontSpec& font, std::string_view s) const {
  return {caretPositions(font, s).back(), heightOf(font)};
}

std::vector<int> FixedMetrics::caretPositions(const FontSpec& font, std::string_view s) const {
  std::vector<int> pos(s.size() + 1, 0);
  int x = 0;
  size_t i = 0;
  while (i < s.size()) {
    size_t n = Cp932_charLen(s, i);
    for (size_t k = 0; k < n; ++k) pos[i + k] = x;
    x += n == 2 ? wideWidth(font) : narrowWidth(font);
    i += n;
  }
  pos[s.size()] = x;
  return pos;
}
