#include "platform/text/qt_text_metrics.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <array>
#include <cmath>

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

namespace {

// Advances are kept in Qt's own fixed point (1/64 pixel); a text's width is
// their sum rounded as Qt rounds it (halves up).
constexpr int32_t kUnknown = -1;

int roundFixed(int64_t v) { return static_cast<int>((v + 32) >> 6); }

// Characters whose width depends on where they stand (tabs, line breaks and
// other controls): a text with one of them is measured by Qt as a whole.
bool positional(char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

std::string keyOf(const FontSpec& f) {
  // The vertical variant ("@" face) measures as its horizontal face.
  std::string key = f.face.size() > 0 && f.face[0] == '@' ? f.face.substr(1) : f.face;
  key += '\0';
  key += std::to_string(f.height > 0 ? f.height : 1);
  key += f.bold ? 'b' : '-';
  key += f.italic ? 'i' : '-';
  key += f.underline ? 'u' : '-';
  return key;
}

bool sameMeasure(const FontSpec& a, const FontSpec& b) {
  return a.face == b.face && a.height == b.height && a.bold == b.bold && a.italic == b.italic &&
         a.underline == b.underline;
}

}  // namespace

struct QtTextMetrics_Font {
  QtTextMetrics_Font(const QFont& f, const QPaintDevice* device)
      : font(f), metrics(f, device), metricsF(f, device) {
    ascent = metrics.ascent();
    descent = metrics.descent();
    leading = metrics.leading();
  }

  using Table = std::array<std::unique_ptr<std::array<int32_t, 256>>, 256>;

  // The advance of one UTF-16 unit in 1/64 pixel when it stands in a run of
  // `script`, measured once.  Qt takes the fallback font of a character
  // that the face lacks by the script of its run, and characters of no
  // script of their own (punctuation, symbols, digits) join the run they
  // stand in; `starter` is a character of that script.
  int32_t advance(char16_t c, int script, char16_t starter) {
    std::unique_ptr<Table>& table = tables[static_cast<size_t>(script)];
    if (!table) table = std::make_unique<Table>();
    std::unique_ptr<std::array<int32_t, 256>>& page = (*table)[c >> 8];
    if (!page) {
      page = std::make_unique<std::array<int32_t, 256>>();
      page->fill(kUnknown);
    }
    int32_t& a = (*page)[c & 0xFF];
    if (a == kUnknown) {
      qreal w = 0;
      if (starter == 0) {
        // Alone in its own script's run: the glyph's advance, as Qt's
        // shaping gives it with kerning off.
        w = metricsF.horizontalAdvance(QChar(c));
      } else {
        const QChar pair[2] = {QChar(starter), QChar(c)};
        w = metricsF.horizontalAdvance(QString(pair, 2)) -
            metricsF.horizontalAdvance(QString(QChar(starter)));
      }
      a = static_cast<int32_t>(std::lround(w * 64));
    }
    return a;
  }

  QFont font;
  QFontMetrics metrics;
  QFontMetricsF metricsF;
  int ascent = 0, descent = 0, leading = 0;
  std::array<std::unique_ptr<Table>, QChar::ScriptCount> tables;
};

static_assert(QChar::ScriptCount <= 256, "scripts are kept in bytes");

namespace {

// The script of the run every character stands in, as Qt's itemizer finds
// runs: characters of no script of their own (common or inherited) join
// the run before them, or at the start of the text the first run; a
// combining mark stays with its base.  `starters` gets a character of each
// script met.
void runScripts(std::u16string_view u, std::vector<uint8_t>& out,
                std::array<char16_t, QChar::ScriptCount>& starters) {
  out.assign(u.size(), QChar::Script_Common);
  int script = QChar::Script_Common;
  size_t runStart = 0;
  for (size_t i = 0; i < u.size(); ++i) {
    const QChar ch(u[i]);
    const int own = ch.script();
    if (own == script || own <= QChar::Script_Common) continue;
    if (starters[static_cast<size_t>(own)] == 0) starters[static_cast<size_t>(own)] = u[i];
    if (script <= QChar::Script_Common) {
      script = own;
      continue;
    }
    const QChar::Category cat = ch.category();
    if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining ||
        cat == QChar::Mark_Enclosing)
      continue;
    for (size_t k = runStart; k < i; ++k) out[k] = static_cast<uint8_t>(script);
    runStart = i;
    script = own;
  }
  for (size_t k = runStart; k < u.size(); ++k) out[k] = static_cast<uint8_t>(script);
}

}  // namespace

QtTextMetrics::QtTextMetrics() : device_(1, 1, QImage::Format_RGB32) {
  // 96 dpi = 3779.53 dots per metre; Qt rounds the logical dpi from it.
  device_.setDotsPerMeterX(3780);
  device_.setDotsPerMeterY(3780);
}

QtTextMetrics::~QtTextMetrics() = default;

QtTextMetrics_Font& QtTextMetrics::fontOf(const FontSpec& wanted) const {
  if (last_ && sameMeasure(wanted, lastWanted_)) return *last_;
  const std::string key = keyOf(wanted);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    if (fonts_.size() >= kMaxFonts) {
      fonts_.clear();
      last_ = nullptr;
    }
    it = fonts_.emplace(key, std::make_unique<QtTextMetrics_Font>(QtTextMetrics_font(wanted), &device_)).first;
  }
  last_ = it->second.get();
  lastWanted_ = wanted;
  return *last_;
}

FontMetrics QtTextMetrics::fontMetrics(const FontSpec& font) const {
  const QtTextMetrics_Font& f = fontOf(font);
  FontMetrics m;
  m.ascent = f.ascent;
  m.descent = f.descent;
  m.height = m.ascent + m.descent;
  m.lineHeight = m.height + (f.leading > 0 ? f.leading : 0);
  return m;
}

namespace {

// The width of the UTF-16 text in 1/64 pixel, and with `at` the width
// before each unit (at[i]) and of the whole (at[size]).
int64_t advances(QtTextMetrics_Font& f, std::u16string_view u, std::vector<int64_t>* at) {
  std::vector<uint8_t> scripts;
  std::array<char16_t, QChar::ScriptCount> starters{};
  runScripts(u, scripts, starters);
  int64_t sum = 0;
  if (at) at->assign(u.size() + 1, 0);
  for (size_t i = 0; i < u.size(); ++i) {
    if (at) (*at)[i] = sum;
    const int script = scripts[i];
    const bool own = QChar(u[i]).script() == script;
    sum += f.advance(u[i], script, own ? 0 : starters[static_cast<size_t>(script)]);
  }
  if (at) (*at)[u.size()] = sum;
  return sum;
}

}  // namespace

TextExtent QtTextMetrics::textExtent(const FontSpec& font, std::string_view cp932) const {
  QtTextMetrics_Font& f = fontOf(font);
  const int height = f.ascent + f.descent;
  const std::u16string u = Cp932_toUtf16(cp932);
  for (char16_t c : u)
    if (positional(c)) return {f.metrics.horizontalAdvance(QtText_fromCp932(cp932)), height};
  return {roundFixed(advances(f, u, nullptr)), height};
}

std::vector<int> QtTextMetrics::caretPositions(const FontSpec& font,
                                               std::string_view cp932) const {
  QtTextMetrics_Font& f = fontOf(font);
  std::vector<int> pos(cp932.size() + 1, 0);
  // The text as the characters' own conversions put together, and where
  // each character's units begin.
  std::u16string u;
  u.reserve(cp932.size());
  std::vector<size_t> unitAt(cp932.size() + 1, 0);
  bool controls = false;
  for (size_t i = 0; i < cp932.size();) {
    const size_t n = Cp932_charLen(cp932, i);
    unitAt[i] = u.size();
    const unsigned char b = static_cast<unsigned char>(cp932[i]);
    if (n == 1 && b < 0x80)
      u += static_cast<char16_t>(b);
    else
      u += Cp932_toUtf16(cp932.substr(i, n));
    i += n;
  }
  unitAt[cp932.size()] = u.size();
  for (char16_t c : u) controls = controls || positional(c);
  if (controls) {
    // Controls: every prefix measured by Qt.
    QString prefix;
    size_t i = 0;
    while (i < cp932.size()) {
      const size_t n = Cp932_charLen(cp932, i);
      const int x = f.metrics.horizontalAdvance(prefix);
      for (size_t k = 0; k < n; ++k) pos[i + k] = x;
      prefix += QtText_fromCp932(cp932.substr(i, n));
      i += n;
    }
    pos[cp932.size()] = f.metrics.horizontalAdvance(prefix);
    return pos;
  }
  std::vector<int64_t> at;
  advances(f, u, &at);
  for (size_t i = 0; i < cp932.size();) {
    const size_t n = Cp932_charLen(cp932, i);
    const int x = roundFixed(at[unitAt[i]]);
    for (size_t k = 0; k < n; ++k) pos[i + k] = x;
    i += n;
  }
  pos[cp932.size()] = roundFixed(at[u.size()]);
  return pos;
}
