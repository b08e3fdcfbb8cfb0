// Vertical text: the vertical variant of a face ("@" + face) measures and
// draws with the face's substitute, its full-width characters upright along
// the line and its half-width characters lying along it.
#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>

#include "figures/base/draw_context.h"
#include "figures/text/text_box.h"
#include "platform/qt_test_app.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/font_substitution.h"
#include "platform/text/qt_text_metrics.h"

namespace {

// The box around the pixels that are not white.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

Ink inkOf(const QImage& im) {
  Ink ink;
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x)
      if (qGray(im.pixel(x, y)) < 128) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
      }
  return ink;
}

// One text drawn from (100, 40) with the face at 32 pixels, written
// downwards (escapement 2700) as a vertical text box draws its lines.
Ink drawDown(const char* face, const char* text) {
  QImage im = QtSurface_makeImage(200, 240);
  {
    QtSurface s(im);
    FontSpec f;
    f.face = face;
    f.height = 32;
    f.escapement = 2700;
    s.setFont(f);
    s.setTextColour(0);
    s.setBackgroundMode(BackgroundMode::Transparent);
    s.setTextAlign(TextHAlign::Left, TextVAlign::Baseline);
    s.textOut(100, 40, text);
  }
  return inkOf(im);
}

}  // namespace

TEST(QtVerticalText, TheVerticalVariantUsesTheFacesSubstitute) {
  QtTestApp_ensure();
  EXPECT_EQ(QStringLiteral("IPAGothic"), FontSubstitution_family("@ＭＳ ゴシック"));
  EXPECT_EQ(QStringLiteral("IPAPMincho"), FontSubstitution_family("@ＭＳ Ｐ明朝"));
  EXPECT_EQ(QStringLiteral("Liberation Sans"), FontSubstitution_family("@Arial"));
  FontSpec f;
  f.face = "@ＭＳ ゴシック";
  EXPECT_EQ("IPAGothic", QtTextMetrics_font(f).family().toStdString());
  EXPECT_EQ("IPAGothic", QFontInfo(QtTextMetrics_font(f)).family().toStdString());
}

TEST(QtVerticalText, AVerticalBoxMeasuresAsTheSameBoxWrittenAcross) {
  QtTestApp_ensure();
  for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐ明朝", "Arial"}) {
    SCOPED_TRACE(face);
    // Each with metrics of its own, so that no font is shared.
    QtTextMetrics acrossMetrics, downMetrics;
    Text_Box across(&acrossMetrics), down(&downMetrics);
    for (Text_Box* b : {&across, &down}) {
      b->SetText("縦書きの見出し abc 123\r\nｶﾀｶﾅ（全角）と Wide");
      b->fontFace = face;
      b->fontSize = 14;
      b->SetBasePoint(100, 100);
    }
    down.vertical = true;
    across.Layout(acrossMetrics, DrawContext{});
    down.Layout(downMetrics, DrawContext{});
    EXPECT_EQ(across.textWidth, down.textWidth);
    EXPECT_EQ(across.exactWidth, down.exactWidth);
    EXPECT_EQ(across.lineHeight16, down.lineHeight16);
    EXPECT_EQ(across.descent16, down.descent16);
    EXPECT_EQ(across.textHeight16, down.textHeight16);
    ASSERT_EQ(across.lines().size(), down.lines().size());
    for (size_t i = 0; i < across.lines().size(); ++i)
      EXPECT_EQ(across.lines()[i].positions, down.lines()[i].positions);
  }
}

TEST(QtVerticalText, FullWidthCharactersStandUprightHalfWidthOnesLieAlong) {
  QtTestApp_ensure();
  // "一" is a level stroke: upright it is wider than high.
  const Ink upright = drawDown("@ＭＳ ゴシック", "一");
  EXPECT_GT(upright.width(), 2 * upright.height());
  // The face without its vertical variant turns every glyph with the line.
  const Ink turned = drawDown("ＭＳ ゴシック", "一");
  EXPECT_GT(turned.height(), 2 * turned.width());
  // A half-width hyphen lies along the line in both.
  const Ink hyphen = drawDown("@ＭＳ ゴシック", "-");
  EXPECT_GT(hyphen.height(), hyphen.width());
  // The long vowel mark and brackets follow the line too.
  const Ink longMark = drawDown("@ＭＳ ゴシック", "ー");
  EXPECT_GT(longMark.height(), 2 * longMark.width());
  const Ink bracket = drawDown("@ＭＳ ゴシック", "（");
  EXPECT_GT(bracket.width(), bracket.height());
  // The line runs downwards from its start; the characters follow one
  // another down the page.
  const Ink three = drawDown("@ＭＳ ゴシック", "一一一");
  EXPECT_GE(three.top, 40);
  EXPECT_GT(three.height(), 2 * 32);
  EXPECT_LT(three.width(), 40);
  // Ascent to the right of the line, as the line is turned clockwise.
  EXPECT_GT(three.left, 100 - 32);
  EXPECT_LT(three.right, 100 + 40);

  // A vertical text box draws its text with the upright glyphs.
  QtTextMetrics metrics;
  Text_Box box(&metrics);
  box.SetText("一");
  box.fontFace = "ＭＳ ゴシック";
  box.fontSize = 24;
  box.vertical = true;
  box.SetFrameShape(TextBoxFrame_None);
  box.SetBasePoint(100, 60);
  DrawContext ctx;
  ctx.clientWidth = 200;
  ctx.clientHeight = 240;
  box.Layout(metrics, ctx);
  QImage im = QtSurface_makeImage(200, 240);
  {
    QtSurface s(im);
    box.Draw(s, ctx);
  }
  const Ink drawn = inkOf(im);
  ASSERT_GE(drawn.right, 0);
  EXPECT_GT(drawn.width(), 2 * drawn.height());
}
