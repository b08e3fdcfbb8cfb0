#include "platform/text/font_substitution.h"

#include "platform/text/qt_text.h"

namespace {

struct Substitute {
  const char* face;  // CP932
  const char16_t* family;
};

const Substitute kSubstitutes[] = {
    {"ＭＳ ゴシック", u"IPAGothic"},
    {"ＭＳ Ｐゴシック", u"IPAPGothic"},
    {"ＭＳ 明朝", u"IPAMincho"},
    {"ＭＳ Ｐ明朝", u"IPAPMincho"},
    {"Arial", u"Liberation Sans"},
    {"Times New Roman", u"Liberation Serif"},
    {"Courier New", u"Liberation Mono"},
};

}  // namespace

QString FontSubstitution_family(std::string_view faceName) {
  // The vertical variant of a face ("@" in front) draws with the face's own
  // glyphs; the surface turns them for vertical lines.
  if (!faceName.empty() && faceName[0] == '@') faceName.remove_prefix(1);
  for (const Substitute& s : kSubstitutes)
    if (faceName == s.face) return QString::fromUtf16(s.family);
  return QtText_fromCp932(faceName);
}

QFont FontSubstitution_font(std::string_view faceName, double points) {
  QFont f(FontSubstitution_family(faceName));
  f.setPointSizeF(points);
  return f;
}
