// The cached measurement of QtTextMetrics against Qt's own measurement of
// the same texts, over every kind of character notes hold and every
// substituted font.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include <string>
#include <vector>

#include "core/strx/codepage.h"
#include "platform/qt_test_app.h"
#include "platform/text/qt_text.h"
#include "platform/text/qt_text_metrics.h"

namespace {

// Qt measuring a text directly, as the metrics did before they kept fonts.
class DirectQt {
 public:
  DirectQt() : device_(1, 1, QImage::Format_RGB32) {
    device_.setDotsPerMeterX(3780);
    device_.setDotsPerMeterY(3780);
  }
  int width(const FontSpec& f, std::string_view cp932) const {
    return QFontMetrics(QtTextMetrics_font(f), &device_).horizontalAdvance(QtText_fromCp932(cp932));
  }
  std::vector<int> carets(const FontSpec& f, std::string_view cp932) const {
    QFontMetrics fm(QtTextMetrics_font(f), &device_);
    std::vector<int> pos(cp932.size() + 1, 0);
    QString prefix;
    size_t i = 0;
    while (i < cp932.size()) {
      const size_t n = Cp932_charLen(cp932, i);
      for (size_t k = 0; k < n; ++k) pos[i + k] = fm.horizontalAdvance(prefix);
      prefix += QtText_fromCp932(cp932.substr(i, n));
      i += n;
    }
    pos[cp932.size()] = fm.horizontalAdvance(prefix);
    return pos;
  }
  FontMetrics metrics(const FontSpec& f) const {
    QFontMetrics fm(QtTextMetrics_font(f), &device_);
    FontMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.height = m.ascent + m.descent;
    m.lineHeight = m.height + (fm.leading() > 0 ? fm.leading() : 0);
    return m;
  }

 private:
  QImage device_;
};

void addDouble(std::string& s, unsigned lead, unsigned trail) {
  s += static_cast<char>(lead);
  s += static_cast<char>(trail);
}

// Every valid double-byte character of the lead bytes, every `step`-th.
std::string doubleRow(unsigned leadFrom, unsigned leadTo, unsigned step = 1) {
  std::string s;
  unsigned k = 0;
  for (unsigned lead = leadFrom; lead <= leadTo; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string c;
      addDouble(c, lead, trail);
      const std::u16string u = Cp932_toUtf16(c);
      if (u.size() != 1 || u[0] == 0xFFFD) continue;  // not a character
      if (k++ % step == 0) s += c;
    }
  return s;
}

struct CharClass {
  const char* name;
  std::string text;
};

std::vector<CharClass> charClasses() {
  std::string ascii, kana;
  for (unsigned c = 0x20; c < 0x7F; ++c) ascii += static_cast<char>(c);
  for (unsigned c = 0xA1; c <= 0xDF; ++c) kana += static_cast<char>(c);
  return {
      {"ASCII", ascii},
      {"half-width kana", kana},
      {"full-width symbols", doubleRow(0x81, 0x81)},
      {"kana, Latin, Greek, Cyrillic", doubleRow(0x82, 0x84)},
      {"NEC row 13", doubleRow(0x87, 0x87)},
      {"kanji level 1", doubleRow(0x88, 0x98, 3)},
      {"kanji level 2", doubleRow(0x99, 0xEA, 5)},
      {"NEC-selected IBM", doubleRow(0xED, 0xEE)},
      {"IBM extensions", doubleRow(0xFA, 0xFC)},
  };
}

// Pieces of up to 20 bytes (as the text box measures), never cutting a
// character.
std::vector<std::string> pieces(const std::string& s, size_t bytes) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    size_t e = i;
    while (e < s.size() && e - i + Cp932_charLen(s, e) <= bytes) e += Cp932_charLen(s, e);
    out.push_back(s.substr(i, e - i));
    i = e;
  }
  return out;
}

// Mixed texts: a character of every class in turn, so that each stands
// beside characters of other scripts.
std::string interleave(const std::vector<CharClass>& classes, size_t count) {
  std::string s;
  std::vector<size_t> at(classes.size(), 0);
  for (size_t n = 0; n < count; ++n) {
    const CharClass& c = classes[n % classes.size()];
    size_t& i = at[n % classes.size()];
    if (i >= c.text.size()) i = 0;
    const size_t len = Cp932_charLen(c.text, i);
    s += c.text.substr(i, len);
    i += len;
  }
  return s;
}

}  // namespace

TEST(QtTextMetricsCache, EqualsQtOverEveryCharacterClassFontAndStyle) {
  QtTestApp_ensure();
  const char* faces[] = {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝",  "ＭＳ Ｐ明朝",
                         "Arial",          "Times New Roman", "Courier New"};
  const int heights[] = {13, 16, 256};
  const std::vector<CharClass> classes = charClasses();
  const std::string mixed = interleave(classes, 400) + "fi fl ffi AV To Wa 1,000.5 \"quoted\"";
  DirectQt qt;
  QtTextMetrics cached;
  size_t compared = 0;
  for (const char* face : faces)
    for (int height : heights)
      for (int style = 0; style < 4; ++style) {
        FontSpec f;
        f.face = face;
        f.height = height;
        f.bold = style & 1;
        f.italic = style & 2;
        // Only the sizes the text box uses most get every style.
        if (height != 16 && style != 0 && style != 3) continue;
        SCOPED_TRACE(std::string(Cp932_toUtf8(face)) + " " + std::to_string(height) + "px style " +
                     std::to_string(style));
        const FontMetrics want = qt.metrics(f), got = cached.fontMetrics(f);
        EXPECT_EQ(want.ascent, got.ascent);
        EXPECT_EQ(want.descent, got.descent);
        EXPECT_EQ(want.lineHeight, got.lineHeight);
        std::vector<std::string> texts;
        for (const CharClass& c : classes)
          for (std::string& p : pieces(c.text, 20)) texts.push_back(std::move(p));
        for (std::string& p : pieces(mixed, 20)) texts.push_back(std::move(p));
        texts.push_back(mixed);
        for (const std::string& t : texts) {
          const int want = qt.width(f, t);
          ASSERT_EQ(want, cached.textExtent(f, t).width) << Cp932_toUtf8(t);
          ASSERT_EQ(want + 0, cached.caretPositions(f, t).back()) << Cp932_toUtf8(t);
          ++compared;
        }
        // Every caret of the mixed pieces and of one piece of each class.
        for (const std::string& t : pieces(mixed, 20))
          ASSERT_EQ(qt.carets(f, t), cached.caretPositions(f, t)) << Cp932_toUtf8(t);
        for (const CharClass& c : classes) {
          const std::string t = pieces(c.text, 20).front();
          ASSERT_EQ(qt.carets(f, t), cached.caretPositions(f, t)) << c.name;
        }
      }
  EXPECT_GT(compared, 10000u);
  // One Qt font per font description: 7 faces, 4 styles at 16 px, 2 at 13 and 256 px.
  EXPECT_EQ(7u * 8, cached.cachedFontCount());
  EXPECT_LE(cached.cachedFontCount(), QtTextMetrics::kMaxFonts);
}

TEST(QtTextMetricsCache, TextsWithControlsAndBrokenBytesMeasureAsQtDoes) {
  QtTestApp_ensure();
  DirectQt qt;
  QtTextMetrics cached;
  FontSpec f;
  f.face = "ＭＳ Ｐゴシック";
  f.height = 256;
  // Tabs go to tab stops, so they depend on where they stand; a lead byte
  // without its trail byte.  (Bytes without a character, such as 0x80 and
  // 0xFD, are left out: which fallback font Qt gives them depends on what
  // the font object measured before, so no two measurements need agree.)
  for (std::string t : {std::string("a\tb\tc"), std::string("\x88\x9f\tx\t\x88"),
                        std::string("ab\x81"), std::string("\x81\x7f\x82\xa0")}) {
    EXPECT_EQ(qt.width(f, t), cached.textExtent(f, t).width) << Cp932_toUtf8(t);
    EXPECT_EQ(qt.carets(f, t), cached.caretPositions(f, t)) << Cp932_toUtf8(t);
  }
  // The bound on fonts: more font descriptions than it holds empties the cache, results stay.
  for (int h = 1; h <= static_cast<int>(QtTextMetrics::kMaxFonts) + 5; ++h) {
    f.height = h;
    EXPECT_EQ(qt.width(f, "abc日本"), cached.textExtent(f, "abc日本").width);
    EXPECT_LE(cached.cachedFontCount(), QtTextMetrics::kMaxFonts);
  }
}
