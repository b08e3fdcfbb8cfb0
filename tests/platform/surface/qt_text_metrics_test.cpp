#include "platform/text/qt_text_metrics.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt_test_app.h"

namespace {

void ensureApp() { QtTestApp_ensure(); }

FontSpec font(const char* face, int height) {
  FontSpec f;
  f.face = face;
  f.height = height;
  return f;
}

}  // namespace

TEST(QtTextMetrics, MeasuresJapaneseInTheIpaFontsDeterministically) {
  ensureApp();
  QtTextMetrics m;
  const FontSpec gothic = font("ＭＳ ゴシック", 16);
  EXPECT_EQ("IPAGothic", QtTextMetrics_font(gothic).family().toStdString());
  TextExtent e = m.textExtent(gothic, "日本語");
  EXPECT_GT(e.width, 30);
  EXPECT_LT(e.width, 60);
  EXPECT_EQ(e, m.textExtent(gothic, "日本語"));
  // A fixed-pitch Japanese font: every full-width character as wide as the
  // height, a half-width one half of it.
  EXPECT_EQ(48, e.width);
  EXPECT_EQ(8, m.textExtent(gothic, "a").width);

  FontMetrics fm = m.fontMetrics(gothic);
  EXPECT_GT(fm.ascent, 0);
  EXPECT_GT(fm.descent, 0);
  EXPECT_EQ(fm.ascent + fm.descent, fm.height);
  EXPECT_GE(fm.lineHeight, fm.height);
  EXPECT_EQ(fm.height, e.height);

  // Caret positions: trail bytes repeat the lead's, the last is the width.
  std::vector<int> pos = m.caretPositions(gothic, "aソb");
  ASSERT_EQ(5u, pos.size());
  EXPECT_EQ(0, pos[0]);
  EXPECT_EQ(8, pos[1]);
  EXPECT_EQ(8, pos[2]);
  EXPECT_EQ(24, pos[3]);
  EXPECT_EQ(m.textExtent(gothic, "aソb").width, pos[4]);

  // Proportional fonts, bigger sizes, bold: non-zero and growing.
  const FontSpec pgothic = font("ＭＳ Ｐゴシック", 16);
  EXPECT_EQ("IPAPGothic", QtTextMetrics_font(pgothic).family().toStdString());
  EXPECT_GT(m.textExtent(pgothic, "表示").width, 0);
  EXPECT_LT(m.textExtent(pgothic, "iii").width, m.textExtent(pgothic, "WWW").width);
  const FontSpec big = font("ＭＳ 明朝", 32);
  EXPECT_GT(m.textExtent(big, "明朝").width, m.textExtent(font("ＭＳ 明朝", 16), "明朝").width);
  EXPECT_EQ(0, m.textExtent(gothic, "").width);
  EXPECT_EQ(std::vector<int>{0}, m.caretPositions(gothic, ""));
}
