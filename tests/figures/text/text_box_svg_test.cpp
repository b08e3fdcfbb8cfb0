#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "figures/base/svg_write_context.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "text_box_fixture.h"

using namespace text_box_test;
using testing_support::Sjis;

namespace {

std::string write(const Text_Box& b, SvgWriteContext& ctx) {
  ctx.out.clear();
  b.WriteSvg(ctx);
  return ctx.out;
}

std::string write(const Text_Box& b) {
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  return write(b, ctx);
}

// An unframed box "abc" at (100, 100), laid out.
std::unique_ptr<Text_Box> plainBox(std::string_view text = "abc") {
  auto b = std::make_unique<Text_Box>();
  b->frameShape = TextBoxFrame_None;
  b->SetText(text);
  placed(*b);
  return b;
}

// A box with the frame bounds given directly (never measured).
std::unique_ptr<Text_Box> framedBox(int32_t shape, TextBoxFrameBounds f) {
  auto b = std::make_unique<Text_Box>();
  b->frameShape = shape;
  b->SetBasePoint(100, 100);
  b->bounds = f;
  b->layoutFlags |= TextBox_boundsValid;
  return b;
}

constexpr const char* kTextTag =
    "\t<text x=\"100.5px\" y=\"100.5px\" style=\"fill:rgb(0,0,0);font-family:MS-PGothic,"
    "sans-serif;font-size:12pt;text-anchor:start\" xml:space=\"preserve\">";
constexpr const char* kFrameStyle =
    "\t\tstyle=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"/>\n";

}  // namespace

TEST(TextBoxSvg, ThreeLinesWithoutFrame) {
  auto b = plainBox("a\nb\r\nc");
  ASSERT_EQ(b->lineSpacing, 14);
  EXPECT_EQ(write(*b), std::string(kTextTag) +
                           "a<tspan x=\"100.5px\" y=\"114.5px\" xml:space=\"preserve\">b</tspan>"
                           "\n\t<tspan x=\"100.5px\" y=\"128.5px\" xml:space=\"preserve\">c</tspan>"
                           "</text>\n");
  // One line: no tspan; text is escaped for text content.
  auto c = plainBox("x<y>&\"z\"");
  EXPECT_EQ(write(*c), std::string(kTextTag) + "x&lt;y&gt;&amp;\"z\"</text>\n");
  // Empty lines stay as empty tspans.
  auto d = plainBox("\n");
  EXPECT_EQ(write(*d), std::string(kTextTag) +
                           "<tspan x=\"100.5px\" y=\"114.5px\" xml:space=\"preserve\"></tspan>"
                           "</text>\n");
}

TEST(TextBoxSvg, FrameShapes) {
  const TextBoxFrameBounds f{92, 86, 132, 107};
  const std::string text = std::string(kTextTag) + "abc</text>\n\t</g>\n";
  EXPECT_EQ(write(*framedBox(TextBoxFrame_Rectangle, f)),
            std::string("\t<g>\n\t<rect x=\"92.5\" y=\"86.5\" width=\"40\" height=\"21\"\n") +
                kFrameStyle + text);
  EXPECT_EQ(write(*framedBox(TextBoxFrame_RoundRect, f)),
            std::string("\t<g>\n\t<rect x=\"92.5\" y=\"86.5\" width=\"40\" height=\"21\" "
                        "rx=\"10\" ry=\"10\"\n") +
                kFrameStyle + text);
  EXPECT_EQ(write(*framedBox(TextBoxFrame_Ellipse, f)),
            std::string("\t<g>\n\t<ellipse cx=\"112.5\" cy=\"96.5\" rx=\"20\" ry=\"10\"\n") +
                kFrameStyle + text);
  EXPECT_EQ(
      write(*framedBox(TextBoxFrame_Ellipse, {90, 80, 130, 120})),
      std::string("\t<g>\n\t<circle cx=\"110.5\" cy=\"100.5\" r=\"20\"\n") + kFrameStyle + text);
  // Even sums: the plain midpoints.
  EXPECT_EQ(
      write(*framedBox(TextBoxFrame_Diamond, {92, 86, 132, 108})),
      std::string("\t<g>\n\t<polygon points=\"112.5,86.5 132.5,97.5 112.5,108.5 92.5,97.5\"\n") +
          kFrameStyle + text);
  // Odd sums move the centre and the right and bottom corners by one.
  EXPECT_EQ(
      write(*framedBox(TextBoxFrame_Diamond, {92, 86, 133, 107})),
      std::string("\t<g>\n\t<polygon points=\"113.5,86.5 134.5,97.5 113.5,108.5 92.5,97.5\"\n") +
          kFrameStyle + text);
  // Negative odd sums: the remainders are negative.
  EXPECT_EQ(
      write(*framedBox(TextBoxFrame_Diamond, {-11, -20, 0, -1})),
      std::string("\t<g>\n\t<polygon points=\"-6.5,-20.5 -1.5,-11.5 -6.5,-2.5 -11.5,-11.5\"\n") +
          kFrameStyle + text);
  EXPECT_EQ(
      write(*framedBox(TextBoxFrame_Parallelogram, f)),
      std::string("\t<g>\n\t<polygon points=\"97.5,86.5 137.5,86.5 127.5,107.5 87.5,107.5\"\n") +
          kFrameStyle + text);

  // The frame's colours, width and opacity.
  auto b = framedBox(TextBoxFrame_Rectangle, f);
  b->fillColour = Colour_rgb(1, 2, 3);
  b->frameColour = Colour_rgb(4, 5, 6);
  b->frameWidth = 3;
  b->opacity = 40;
  EXPECT_EQ(write(*b),
            "\t<g>\n\t<rect x=\"92.5\" y=\"86.5\" width=\"40\" height=\"21\"\n"
            "\t\tstyle=\"fill:rgb(1,2,3);stroke:rgb(4,5,6);stroke-width:3;"
            "fill-opacity:0.40\"/>\n" +
                text);
}

TEST(TextBoxSvg, LaidOutFrameComesFromTheLayout) {
  auto b = std::make_unique<Text_Box>();
  placed(*b);  // a rectangle 92..132 x 86..107
  EXPECT_EQ(write(*b),
            std::string("\t<g>\n\t<rect x=\"92.5\" y=\"86.5\" width=\"40\" height=\"21\"\n") +
                kFrameStyle + kTextTag + "abc</text>\n\t</g>\n");
}

TEST(TextBoxSvg, IdentityOnWrapperOrText) {
  auto b = plainBox();
  b->SetId("t1");
  b->className = "note";
  b->SetFrameShape(TextBoxFrame_None);
  b->condition.text = "lang=ja";
  b->filterText = "lang=ja";
  const std::string attrs =
      " id=\"t1\" class=\"note\" zerbin_formula=\"lang=ja\" zerbin_variables=\"lang=ja\"";
  // No wrapper: on the text element, before x and y.
  EXPECT_EQ(write(*b), "\t<text" + attrs + std::string(kTextTag).substr(6) + "abc</text>\n");
  // With a frame: on the wrapper.
  b->frameShape = TextBoxFrame_Rectangle;
  const std::string out = write(*b);
  EXPECT_EQ(out.substr(0, out.find('\n') + 1), "\t<g" + attrs + ">\n");
  EXPECT_NE(out.find(kTextTag), std::string::npos);
}

TEST(TextBoxSvg, FontsStylesOrderAndAlarm) {
  auto b = plainBox();
  b->fontFace = Sjis(u8"ＭＳ 明朝");
  b->fontSize = 9;
  b->bold = true;
  b->italic = true;
  b->alignment = 1;
  b->textColour = Colour_rgb(255, 0, 0);
  b->tabOrder = 3;
  EXPECT_EQ(write(*b),
            "\t<text x=\"100.5px\" y=\"100.5px\" style=\"fill:rgb(255,0,0);font-family:MS-Mincho,"
            "monospace;font-size:9pt;font-weight:bold;font-style:italic;text-anchor:middle\" "
            "zerbin-tab-order=\"3\" xml:space=\"preserve\">abc</text>\n");
  b->fontFace = "Arial";
  b->bold = false;
  b->alignment = 2;
  b->tabOrder = 0;
  std::tm tm{};
  tm.tm_year = 2022 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 31;
  tm.tm_hour = 23;
  tm.tm_min = 59;
  tm.tm_sec = 58;
  tm.tm_isdst = -1;
  b->alarmTime = static_cast<int64_t>(std::mktime(&tm));
  b->alarmSet = true;
  EXPECT_EQ(write(*b),
            "\t<text zerbin-alarm=\"2022/12/31-23:59:58\" x=\"100.5px\" y=\"100.5px\" "
            "style=\"fill:rgb(255,0,0);font-family:Arial;font-size:9pt;font-style:italic;"
            "text-anchor:end\" xml:space=\"preserve\">abc</text>\n");
  // The other faces of the table.
  b->alarmSet = false;
  b->fontFace = Sjis(u8"ＭＳ ゴシック");
  EXPECT_NE(write(*b).find("font-family:MS-Gothic,monospace;"), std::string::npos);
  b->fontFace = Sjis(u8"ＭＳ Ｐ明朝");
  EXPECT_NE(write(*b).find("font-family:MS-PMincho,serif;"), std::string::npos);
}

TEST(TextBoxSvg, RotationAndVerticalText) {
  auto b = std::make_unique<Text_Box>();
  b->SetText("ab\ncd");
  placed(*b);
  const TextBoxFrameBounds f = b->FrameBounds();
  ASSERT_EQ(f, (TextBoxFrameBounds{92, 86, 124, 121}));
  b->angle = 30;
  const std::string rect =
      "\t<rect x=\"92.5\" y=\"86.5\" width=\"32\" height=\"35\"\n"
      "\t\tstyle=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"";
  const std::string style =
      " style=\"fill:rgb(0,0,0);font-family:MS-PGothic,sans-serif;font-size:12pt;"
      "text-anchor:start\"";
  EXPECT_EQ(write(*b), "\t<g>\n\t<g transform=\"rotate(30,100,100)\">\n" + rect +
                           "/>\n\t</g>\n\t<text x=\"100.5px\" y=\"100.5px\"" + style +
                           " transform=\"rotate(30,100,100)\" xml:space=\"preserve\">ab"
                           "<tspan x=\"100.5px\" y=\"114.5px\" xml:space=\"preserve\">cd</tspan>"
                           "</text>\n\t</g>\n");

  // Vertical text: the frame turns by 90 more and moves by the line's
  // half height less the descent (256 / 32 - 64 / 16 = 4); later lines go
  // to the left.
  b->vertical = true;
  b->angle = 0;
  placed(*b);
  ASSERT_EQ(b->lineHeight16, 256);
  ASSERT_EQ(b->descent16, 64);
  EXPECT_EQ(write(*b), "\t<g>\n\t<g transform=\"rotate(90,100,100)\">\n" + rect +
                           " transform=\"translate(2,4)\"/>\n\t</g>\n\t<text x=\"100.5px\" "
                           "y=\"100.5px\"" +
                           style +
                           " writing-mode=\"tb\" xml:space=\"preserve\">ab"
                           "<tspan x=\"86.5px\" y=\"100.5px\" xml:space=\"preserve\">cd</tspan>"
                           "</text>\n\t</g>\n");
  // Turned by -90, vertical text has an upright frame.
  b->angle = -90;
  const std::string out = write(*b);
  EXPECT_EQ(out.find("\t<g transform"), std::string::npos);
  EXPECT_NE(out.find(rect + " transform=\"translate(2,4)\"/>\n\t<text"), std::string::npos);
  EXPECT_NE(out.find(" transform=\"rotate(-90,100,100)\" writing-mode=\"tb\""), std::string::npos);
}

TEST(TextBoxSvg, PageNumberBox) {
  auto b = plainBox("x\ny");
  b->SetId("pagenum");
  SvgWriteContext ctx;
  ctx.pageNumber = 7;
  const std::string out = write(*b, ctx);
  EXPECT_NE(out.find("xml:space=\"preserve\">7<tspan x=\"100.5px\" y=\"114.5px\" "
                     "xml:space=\"preserve\">y</tspan></text>\n"),
            std::string::npos);
  const std::string head = "\t<text id=\"pagenum\" x=";
  EXPECT_EQ(out.substr(0, head.size()), head);
  ctx.pageNumber = 0;  // the back page
  EXPECT_NE(write(*b, ctx).find("\">0<tspan"), std::string::npos);
  // The id is compared exactly.
  b->SetId("PageNum");
  EXPECT_NE(write(*b, ctx).find("\">x<tspan"), std::string::npos);
}

TEST(TextBoxSvg, LinksPagesTargetsAndFiles) {
  auto b = plainBox();
  b->AssignUrl("#sec");
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  ctx.linkedPage = 2;
  // A "#" link: the wrapper (no frame needed) and a full link element.
  EXPECT_EQ(write(*b, ctx), "\t<g>\n\t<a xlink:href=\"#sec\" onclick=\"chgPage( evt, 2 )\">\n" +
                                std::string(kTextTag) + "abc</text>\n\t</a>\n\t</g>\n");

  // A plain link: no wrapper; target, after-click and the attached-file mark.
  b->AssignUrl("%work%/Doc.pdf");
  b->SetTarget("_blank");
  b->afterClick = 3;
  b->ApplyLinkColours(true);
  ctx.linkedPage = -1;
  ctx.lowerPath = true;
  ctx.variables = [](std::string_view name, std::string& value) {
    if (name != "work") return false;
    value = "/notes/Work";
    return true;
  };
  EXPECT_EQ(write(*b, ctx),
            "\t<a xlink:href=\"work/doc.pdf\" zerbin_vhref=\"%work%/Doc.pdf\" target=\"_blank\" "
            "onclick=\"parent.window.opener='a'; parent.window.close();\" "
            "zerbin-onclick=\"NewView\" zerbin-file=\"1\">\n"
            "\t<text x=\"100.5px\" y=\"100.5px\" style=\"fill:rgb(0,0,255);font-family:"
            "MS-PGothic,sans-serif;font-size:12pt;text-anchor:start\" xml:space=\"preserve\">"
            "abc</text>\n\t</a>\n");

  // A script: the wrapper's onclick, and the link keeps the script as href.
  auto s = plainBox();
  s->AssignUrl("SCRIPT:go('a/b')");
  EXPECT_EQ(write(*s, ctx),
            "\t<g onclick=\"go(&apos;a/b&apos;)\">\n"
            "\t<a xlink:href=\"SCRIPT:go(&apos;a/b&apos;)\">\n" +
                std::string(kTextTag) + "abc</text>\n\t</a>\n\t</g>\n");
}

TEST(TextBoxSvg, LinkTableGoesThroughRewriteLink) {
  auto b = plainBox("Top\nline");
  b->AssignUrl("%work%/P.svg#x");
  b->SetTarget("main");
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  ctx.linkedPage = 4;
  ctx.linkTable = std::vector<SvgLinkPair>{{"a", "b"}};
  int answer = 1;
  std::vector<std::string> seen;
  ctx.rewriteLink = [&](std::string& href, std::string_view link, std::string_view text,
                        SvgWriteContext&) {
    seen.push_back(std::string(link) + "|" + std::string(text));
    href = " pub/p.html#x&y ";
    return answer;
  };
  std::string out = write(*b, ctx);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "%work%/P.svg#x|Top\nline");
  // Neither zerbin_vhref nor chgPage; the href escaped and trimmed.
  EXPECT_EQ(out.substr(0, out.find('\n') + 1),
            "\t<a xlink:href=\"pub/p.html#x&amp;y\" target=\"main\">\n");
  answer = 0;
  out = write(*b, ctx);
  EXPECT_EQ(out.substr(0, out.find('\n') + 1), "\t<a target=\"main\">\n");
  answer = 2;
  b->SetTarget("");
  out = write(*b, ctx);
  EXPECT_EQ(out.substr(0, out.find('\n') + 1), "\t<a>\n");
  const std::string tail = "</text>\n\t</a>\n";
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST(TextBoxSvg, WithoutLayoutNothingBreaks) {
  Text_Box b;  // never measured, no metrics
  b.SetBasePoint(10, 20);
  b.vertical = true;
  const std::string out = write(b);
  EXPECT_FALSE(b.HasLayout());
  const std::string head = "\t<g>\n\t<g transform=\"rotate(90,10,20)\">\n\t<rect x=\"0.5\" ";
  EXPECT_EQ(out.substr(0, head.size()), head);
  EXPECT_NE(out.find(" transform=\"translate(2,0)\"/>\n"), std::string::npos);
  EXPECT_NE(out.find(">abc</text>\n\t</g>\n"), std::string::npos);
}

TEST(TextBoxSvg, MultibyteTextOrLink) {
  auto b = plainBox();
  EXPECT_FALSE(b->HasMultibyteText());
  b->SetText(Sjis(u8"あ"));
  EXPECT_TRUE(b->HasMultibyteText());
  b->SetText("abc");
  b->AssignUrl(Sjis(u8"/notes/表.svg"));
  EXPECT_TRUE(b->HasMultibyteText());
  b->AssignUrl("x.svg");
  b->SetId(Sjis(u8"見出し"));  // ids are not looked at
  EXPECT_FALSE(b->HasMultibyteText());
}

// Every name in the element's attributes is escaped, the font name in the
// style too: a double quote there would end the attribute.
TEST(TextBoxSvg, NamesAndFontAreEscaped) {
  auto b = plainBox("t");
  b->SetId("i\"<&'>");
  b->className = "c\"";
  b->fontFace = "F\"&";
  b->AssignUrl("http://x/");
  b->SetTarget("w\"");
  const std::string svg = write(*b);
  EXPECT_NE(svg.find(" target=\"w&quot;\">"), std::string::npos) << svg;
  EXPECT_NE(svg.find("<text id=\"i&quot;&lt;&amp;&apos;>\" class=\"c&quot;\""), std::string::npos)
      << svg;
  EXPECT_NE(svg.find("font-family:F&quot;&amp;;"), std::string::npos) << svg;
}
