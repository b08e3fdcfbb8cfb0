#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/polygon/polygon_ex.h"
#include "figures/text/text_box.h"
#include "reader_harness.h"
#include "support/test_support.h"

using reader_test::Harness;
using reader_test::metrics;
using reader_test::svgOf;
using reader_test::textBoxDiff;
using testing_support::Sjis;

namespace {

// A box "abc" at (100, 100) laid out with the fixed metrics.
std::unique_ptr<Text_Box> box(int32_t frame, std::string_view text = "abc") {
  auto b = std::make_unique<Text_Box>(&metrics());
  b->frameShape = frame;
  b->SetText(text);
  b->placeholder = false;
  b->SetBasePoint(100, 100);
  b->Layout(metrics(), DrawContext{});
  return b;
}

Text_Box* readBack(Harness& h, const Text_Box& b) {
  h.read(svgOf(b));
  return h.only<Text_Box>();
}

}  // namespace

TEST(ReaderText, FramelessBoxRoundTrip) {
  auto b = box(TextBoxFrame_None, "a\r\nb<&>\r\n\r\n\"c\" 'd'");
  b->fontFace = Sjis(u8"ＭＳ ゴシック");
  b->fontSize = 11;
  b->bold = true;
  b->italic = true;
  b->alignment = 1;
  b->textColour = 0x204060;
  b->tabOrder = 3;
  b->angle = 15;
  b->lineSpacing = 17;
  b->SetId("t1");
  b->className = "cls";
  b->condition = TextCondition_parse("mode=a");
  b->filterText = "mode=b";
  b->SetProperty(5, "pubs", {});
  b->alarmSet = true;
  b->alarmTime = 1700000000;
  Harness h;
  Text_Box* back = readBack(h, *b);
  ASSERT_TRUE(back) << svgOf(*b);
  EXPECT_TRUE(back->Equals(*b, 0)) << textBoxDiff(*back, *b) << svgOf(*b) << "\n" << svgOf(*back);
  EXPECT_EQ(back->frameShape, TextBoxFrame_None);
  EXPECT_EQ(back->layoutFlags & TextBox_spacingTaken, TextBox_spacingTaken);
  EXPECT_EQ(back->textMetrics(), &metrics());
  EXPECT_FALSE(back->placeholder);
  EXPECT_EQ(back->condition, b->condition);
}

TEST(ReaderText, VerticalAndSingleLineBoxes) {
  auto v = box(TextBoxFrame_None, "x\r\ny\r\nz");
  v->vertical = true;
  v->lineSpacing = 21;
  v->alignment = 2;
  Harness h;
  Text_Box* back = readBack(h, *v);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->Equals(*v, 0)) << textBoxDiff(*back, *v) << svgOf(*v);

  // One line has no tspan: the spacing is the size's one and a half.
  auto one = box(TextBoxFrame_None, "single");
  one->fontSize = 10;
  Harness h2;
  back = readBack(h2, *one);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->lineSpacing, 15);
  EXPECT_EQ(back->layoutFlags & TextBox_spacingTaken, 0);
  one->lineSpacing = 15;
  EXPECT_TRUE(back->Equals(*one, 0)) << textBoxDiff(*back, *one);
}

TEST(ReaderText, LinkedBoxesRoundTrip) {
  auto b = box(TextBoxFrame_None, "link");
  // A single line has no tspan to give its spacing: the size's 1.5.
  b->lineSpacing = 18;
  b->AssignUrl("http://example.com/x");
  b->SetTarget("_top");
  b->afterClick = 3;
  b->ApplyLinkColours(true);
  Harness h;
  Text_Box* back = readBack(h, *b);
  ASSERT_TRUE(back) << svgOf(*b);
  EXPECT_TRUE(back->HasAttachedFile());
  EXPECT_TRUE(back->Equals(*b, 0)) << textBoxDiff(*back, *b) << svgOf(*b);

  // A script link makes a wrapper group.
  auto s = box(TextBoxFrame_None, "run");
  s->lineSpacing = 18;
  s->AssignUrl("script:go('a/b')");
  Harness h2;
  back = readBack(h2, *s);
  ASSERT_TRUE(back) << svgOf(*s);
  EXPECT_EQ(back->GetUrl(), "script:go('a/b')");
  EXPECT_TRUE(back->Equals(*s, 0)) << textBoxDiff(*back, *s) << svgOf(*s);
}

TEST(ReaderText, FramedBoxesRoundTrip) {
  for (int32_t frame = TextBoxFrame_Rectangle; frame <= TextBoxFrame_Parallelogram; ++frame) {
    for (int variant = 0; variant < 3; ++variant) {
      auto b = box(frame, "abc\r\nde");
      // An odd width keeps an ellipse frame's size (even ones grow by one);
      // an even left + right keeps a diamond's.
      if (frame == TextBoxFrame_Ellipse) b->SetProperty(13, "1", {});
      b->frameWidth = 2;
      b->frameColour = 0x0000FF;
      b->fillColour = 0x00FF00;
      b->opacity = 58;
      b->SetId("f1");
      b->SetProperty(5, "pubs", {});
      b->className = "c";
      if (variant == 1) b->SetProperty(16, "30", {});
      if (variant == 2) b->vertical = true;
      b->Layout(metrics(), DrawContext{});
      const TextBoxFrameBounds written = b->FrameBounds();
      Harness h;
      h.counters.raiseFigureNumberAbove(100);
      h.read(svgOf(*b));
      Text_Box* back = h.only<Text_Box>();
      ASSERT_TRUE(back) << frame << svgOf(*b);
      EXPECT_EQ(back->frameShape, frame);
      EXPECT_EQ(back->layoutFlags & TextBox_boundsValid, TextBox_boundsValid);
      EXPECT_EQ(back->bounds, written) << frame << " " << variant << svgOf(*b);
      EXPECT_EQ(back->marginX, -1);
      EXPECT_EQ(back->marginY, -1);
      // The frame shape, the text box and the merged box each got a number.
      EXPECT_EQ(back->GetNumber(), 103);
      EXPECT_EQ(back->GetPub(), "pubs");
      EXPECT_EQ(back->GetId(), "f1");
      // Laid out, the margins follow from the frame read.
      back->Layout(metrics(), DrawContext{});
      EXPECT_TRUE(back->Equals(*b, 0)) << textBoxDiff(*back, *b) << frame << " " << variant << svgOf(*b) << "\n"
                                       << svgOf(*back);
    }
  }
}

TEST(ReaderText, ReadingRulesAndDefaults) {
  Harness h;
  h.read("<svg><text>t</text><text x=\"10.5px\" y=\"-20.5px\" style=\"font-size:10pt;"
         "font-weight:700;font-style:italic;text-anchor:end\" writing-mode=\"tb\" "
         "zerbin-tab-order=\"-4\" transform=\"rotate(-30,10,20)\">u</text>"
         "<text style=\"font-weight:400;font-style:oblique;text-anchor:middle\">v</text>"
         "<text style=\"font-weight:bold;text-anchor:start\" writing-mode=\"lr\" "
         "zerbin-tab-order=\"2\" zerbin-alarm=\"2024/13/01-00:00:00\">w</text></svg>");
  auto bs = h.all<Text_Box>();
  ASSERT_EQ(bs.size(), 4u);
  const Text_Box& d = *bs[0];
  EXPECT_EQ(d.text(), "t");
  EXPECT_EQ(d.basePoint(), (Point32{250, 150}));
  EXPECT_EQ(d.fontFace, Sjis(u8"ＭＳ Ｐゴシック"));
  EXPECT_EQ(d.fontSize, 8);
  EXPECT_EQ(d.lineSpacing, 12);
  EXPECT_FALSE(d.bold);
  EXPECT_FALSE(d.italic);
  EXPECT_EQ(d.alignment, 0);
  EXPECT_FALSE(d.vertical);
  EXPECT_EQ(d.frameShape, TextBoxFrame_None);
  EXPECT_EQ(d.textColour, Colour{0});
  EXPECT_EQ(d.tabOrder, 0);
  EXPECT_FALSE(d.alarmSet);
  const Text_Box& e = *bs[1];
  EXPECT_EQ(e.basePoint(), (Point32{10, -20}));
  EXPECT_EQ(e.fontSize, 10);
  EXPECT_EQ(e.lineSpacing, 15);
  EXPECT_TRUE(e.bold);
  EXPECT_TRUE(e.italic);
  EXPECT_EQ(e.alignment, 2);
  EXPECT_TRUE(e.vertical);
  EXPECT_EQ(e.angle, -30);
  EXPECT_EQ(e.tabOrder, 0);
  EXPECT_FALSE(bs[2]->bold);
  EXPECT_FALSE(bs[2]->italic);
  EXPECT_EQ(bs[2]->alignment, 1);
  EXPECT_TRUE(bs[3]->bold);
  EXPECT_FALSE(bs[3]->vertical);
  EXPECT_EQ(bs[3]->tabOrder, 2);
  EXPECT_FALSE(bs[3]->alarmSet);

  Harness english;
  english.japanese = false;
  english.read("<svg><text>t</text></svg>");
  ASSERT_TRUE(english.only<Text_Box>());
  EXPECT_EQ(english.only<Text_Box>()->fontFace, "Arial");
}

TEST(ReaderText, FontFamilies) {
  const std::string long45(45, 'F');
  const std::string cut38 = std::string(38, 'G') + Sjis(u8"あ");
  Harness h;
  h.read("<svg><text style=\"font-family:MS-Gothic\">1</text>"
         "<text style=\"font-family:monospace\">2</text>"
         "<text style=\"font-family:MS-Mincho,monospace\">3</text>"
         "<text style=\"font-family:serif\">4</text>"
         "<text style=\"font-family:sans-serif\">5</text>"
         "<text style=\"font-family:IPAGothic\">6</text>"
         "<text style=\"font-family:" + long45 + "\">7</text>"
         "<text style=\"font-family:" + cut38 + "\">8</text></svg>");
  auto bs = h.all<Text_Box>();
  ASSERT_EQ(bs.size(), 8u);
  EXPECT_EQ(bs[0]->fontFace, Sjis(u8"ＭＳ ゴシック"));
  EXPECT_EQ(bs[1]->fontFace, Sjis(u8"ＭＳ ゴシック"));
  EXPECT_EQ(bs[2]->fontFace, Sjis(u8"ＭＳ 明朝"));
  EXPECT_EQ(bs[3]->fontFace, Sjis(u8"ＭＳ Ｐ明朝"));
  EXPECT_EQ(bs[4]->fontFace, Sjis(u8"ＭＳ Ｐゴシック"));
  EXPECT_EQ(bs[5]->fontFace, "IPAGothic");
  // Long names are cut (never a half character), not refused.
  EXPECT_EQ(bs[6]->fontFace, std::string(39, 'F'));
  EXPECT_EQ(bs[7]->fontFace, std::string(38, 'G'));
}

TEST(ReaderText, IdentityFromGroupsIsUsedUp) {
  Harness h;
  h.read("<svg><g id=\"gid\" class=\"c\" pub=\"p\" zerbin_formula=\"m=a\" zerbin_variables=\"v\">"
         "<text>1</text><text>2</text></g>"
         "<g class=\"c2\"><text class=\"own\" id=\"mine\" pub=\"q\">3</text><text>4</text></g></svg>");
  auto bs = h.all<Text_Box>();
  ASSERT_EQ(bs.size(), 4u);
  EXPECT_EQ(bs[0]->GetId(), "gid");
  EXPECT_EQ(bs[0]->className, "c");
  EXPECT_EQ(bs[0]->GetPub(), "p");
  EXPECT_EQ(bs[0]->condition.text, "m=a");
  EXPECT_EQ(bs[0]->condition.op, TextCondition_opEqual);
  EXPECT_EQ(bs[0]->filterText, "v");
  // The id stays for the group's other figures; the rest was used up.
  EXPECT_EQ(bs[1]->GetId(), "gid");
  EXPECT_EQ(bs[1]->className, "");
  EXPECT_EQ(bs[1]->GetPub(), "");
  EXPECT_EQ(bs[1]->condition.text, "");
  EXPECT_EQ(bs[1]->filterText, "");
  // A tag's own value leaves the group's for the next figure.
  EXPECT_EQ(bs[2]->className, "own");
  EXPECT_EQ(bs[2]->GetId(), "mine");
  EXPECT_EQ(bs[2]->GetPub(), "q");
  EXPECT_EQ(bs[3]->className, "c2");
  EXPECT_EQ(bs[3]->GetId(), "");
}

TEST(ReaderText, TspansMakeLines) {
  Harness h;
  h.read("<svg><text x=\"10\" y=\"100\" xml:space=\"preserve\">a &amp; b"
         "<tspan x=\"10\" y=\"117\" xml:space=\"preserve\"></tspan>\n\t"
         "<tspan x=\"10\" y=\"200\" xml:space=\"preserve\">&#x3042;&lt;</tspan></text>"
         "<text x=\"100\" y=\"10\" writing-mode=\"tb\"><tspan x=\"80\" y=\"10\">b</tspan>"
         "<tspan x=\"0\" y=\"0\">c</tspan></text></svg>");
  auto bs = h.all<Text_Box>();
  ASSERT_EQ(bs.size(), 2u);
  EXPECT_EQ(bs[0]->text(), "a & b\r\n\r\n" + Sjis(u8"\u3042") + "<");
  // The first tspan gives the spacing.
  EXPECT_EQ(bs[0]->lineSpacing, 17);
  EXPECT_EQ(bs[0]->layoutFlags, TextBox_spacingTaken);
  EXPECT_EQ(bs[1]->text(), "\r\nb\r\nc");
  EXPECT_EQ(bs[1]->lineSpacing, 20);
}

TEST(ReaderText, TextFillIsTheLineColour) {
  Harness h;
  h.read("<svg><text style=\"fill:rgb(1,2,3)\">a</text><text>b</text>"
         "<polygon points=\"0,0 10,0 5,8\"/><text style=\"fill:none\">c</text></svg>");
  auto bs = h.all<Text_Box>();
  ASSERT_EQ(bs.size(), 3u);
  EXPECT_EQ(bs[0]->textColour, Colour{0x030201});
  EXPECT_EQ(bs[1]->textColour, Colour{0x030201});
  EXPECT_EQ(bs[2]->textColour, Colour{0x030201});
  EXPECT_EQ(h.all<Polygon_Ex>().at(0)->colour(), Colour{0x030201});
  // The fill variable is not touched by texts.
  EXPECT_EQ(h.colours.fill, Colour{0xF0F0F0});
}

TEST(ReaderText, PageNumberBoxKeepsItsNumber) {
  auto b = box(TextBoxFrame_None, "x");
  b->SetId("pagenum");
  SvgWriteContext w;
  w.pageNumber = 4;
  b->WriteSvg(w);
  Harness h;
  h.read("<svg>" + w.out + "</svg>");
  ASSERT_TRUE(h.only<Text_Box>());
  EXPECT_EQ(h.only<Text_Box>()->text(), "4");
}
