#include "platform/text/qt_text_metrics.h"

#include <QFontMetrics>

#include "core/strx/codepage.h"
#include "platform/text/font_substitution.h"
#include "platform/text/qt_text.h"

QFont QtTextMetrics_font(const FontSpec& font) {
  QFont f(FontSubstitution_family(font.face));
  f.setPixelSize(font.height > 0 ? font.height : 1);
  f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QtTextMetrics::QtTextMetrics() : device_(1, 1, QImage::Format_RGB32) {
  // 96 dpi = 3779.53 dots per metre; Qt rounds the logical dpi from it.
  device_.setDotsPerMeterX(3780);
  device_.setDotsPerMeterY(3780);
}

FontMetrics QtTextMetrics::fontMetrics(const FontSpec& font) const {
  QFontMetrics fm(QtTextMetrics_font(font), &device_);
  FontMetrics m;
  m.ascent = fm.ascent();
  m.descent = fm.descent();
  m.height = m.ascent + m.descent;
  m.lineHeight = m.height + (fm.leading() > 0 ? fm.leading() : 0);
  return m;
}

TextExtent QtTextMetrics::textExtent(const FontSpec& font, std::string_view cp932) const {
  QFontMetrics fm(QtTextMetrics_font(font), &device_);
  return {fm.horizontalAdvance(QtText_fromCp932(cp932)), fm.ascent() + fm.descent()};
}

std::vector<int> QtTextMetrics::caretPositions(const FontSpec& font,
                                               std::string_view cp932) const {
  QFontMetrics fm(QtTextMetrics_font(font), &device_);
  std::vector<int> pos(cp932.size() + 1, 0);
  QString prefix;
  size_t i = 0;
  while (i < cp932.size()) {
    size_t n = Cp932_charLen(cp932, i);
    int x = fm.horizontalAdvance(prefix);
    for (size_t k = 0; k < n; ++k) pos[i + k] = x;
    prefix += QtText_fromCp932(cp932.substr(i, n));
    i += n;
  }
  pos[cp932.size()] = fm.horizontalAdvance(prefix);
  return pos;
}
