#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/svg_write_context.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"

using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr const char* kStyle =
    "\t\tstyle=\"fill:rgb(204,204,255);stroke:rgb(0,0,0);stroke-width:1\"";

std::unique_ptr<Rect_Ex> box(int32_t shape, int32_t x = 10, int32_t y = 20, int32_t w = 30,
                             int32_t h = 40) {
  auto r = std::make_unique<Rect_Ex>();
  r->shape = shape;
  r->x = x;
  r->y = y;
  r->width = w;
  r->height = h;
  r->fillColour = Colour_rgb(204, 204, 255);
  return r;
}

std::string write(const std::unique_ptr<Rect_Ex>& r, SvgWriteContext& ctx) {
  ctx.out.clear();
  r->WriteSvg(ctx);
  return ctx.out;
}

std::string write(const std::unique_ptr<Rect_Ex>& r) {
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  return write(r, ctx);
}

}  // namespace

TEST(RectExSvg, Shapes) {
  EXPECT_EQ(
      write(box(RectShape_Rectangle)),
      std::string("\t<rect x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\"\n") + kStyle + "/>\n");
  EXPECT_EQ(write(box(RectShape_RoundRect)),
            std::string("\t<rect x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\" rx=\"10\" "
                        "ry=\"10\"\n") +
                kStyle + "/>\n");
  // An even circle: r is half the width.
  EXPECT_EQ(write(box(RectShape_Ellipse, 10, 20, 40, 40)),
            std::string("\t<circle cx=\"30.5\" cy=\"40.5\" r=\"20\"\n") + kStyle + "/>\n");
  EXPECT_EQ(write(box(RectShape_Ellipse, 10, 20, 41, 41)),
            std::string("\t<circle cx=\"30.5\" cy=\"40.5\" r=\"20\"\n") + kStyle + "/>\n");
  EXPECT_EQ(
      write(box(RectShape_Ellipse, 10, 20, 40, 31)),
      std::string("\t<ellipse cx=\"30.5\" cy=\"35.5\" rx=\"20\" ry=\"15\"\n") + kStyle + "/>\n");
  // A diamond of width 31 is written 32 wide (and an odd height grows too).
  EXPECT_EQ(write(box(RectShape_Diamond, 10, 20, 31, 20)),
            std::string("\t<polygon points=\"26.5,20.5 42.5,30.5 26.5,40.5 10.5,30.5\"\n") +
                kStyle + "/>\n");
  EXPECT_EQ(write(box(RectShape_Diamond, 10, 20, 30, 21)),
            std::string("\t<polygon points=\"25.5,20.5 40.5,31.5 25.5,42.5 10.5,31.5\"\n") +
                kStyle + "/>\n");
  // A parallelogram slants by a quarter of its height.
  EXPECT_EQ(write(box(RectShape_Parallelogram, 10, 20, 60, 22)),
            std::string("\t<polygon points=\"15.5,20.5 75.5,20.5 65.5,42.5 5.5,42.5\"\n") + kStyle +
                "/>\n");
}

TEST(RectExSvg, StyleOpacityRotationAndId) {
  auto r = box(RectShape_Rectangle);
  r->id = "box1";
  r->strokeColour = Colour_rgb(1, 2, 3);
  r->fillColour = Colour_rgb(250, 251, 252);
  r->strokeWidth = 0;
  r->opacity = 5;
  r->angle = 45;
  EXPECT_EQ(write(r),
            "\t<rect id=\"box1\" x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\"\n"
            "\t\tstyle=\"fill:rgb(250,251,252);stroke:rgb(1,2,3);stroke-width:0;"
            "fill-opacity:0.05\" transform=\"rotate(45,25,40)\"/>\n");
  r->opacity = 100;
  r->angle = -90;
  r->shape = RectShape_Ellipse;
  r->width = 31;  // the centre truncates: 10 + 15
  EXPECT_EQ(write(r),
            "\t<ellipse id=\"box1\" cx=\"25.5\" cy=\"40.5\" rx=\"15\" ry=\"20\"\n"
            "\t\tstyle=\"fill:rgb(250,251,252);stroke:rgb(1,2,3);stroke-width:0\""
            " transform=\"rotate(-90,25,40)\"/>\n");
}

TEST(RectExSvg, HashLinkWrapperAndPage) {
  auto r = box(RectShape_Rectangle);
  r->id = "a";
  r->url = "#intro";
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  ctx.linkedPage = 2;
  const std::string body =
      std::string("\t<rect x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\"\n") + kStyle + "/>\n";
  EXPECT_EQ(write(r, ctx),
            std::string("\t<g id=\"a\" href=\"#intro\" onclick=\"chgPage( evt, 2 )\">\n<a>\n") +
                body + "\t</a>\n\t</g>\n");
  // No page of that name: no onclick.
  ctx.linkedPage = -1;
  EXPECT_EQ(write(r, ctx),
            std::string("\t<g id=\"a\" href=\"#intro\">\n<a>\n") + body + "\t</a>\n\t</g>\n");
  // A published figure without a link: the wrapper only.
  r->url.clear();
  r->pub = "web,print-2";
  EXPECT_EQ(write(r, ctx), std::string("\t<g id=\"a\" pub=\"web,print-2\">\n") + body + "\t</g>\n");
}

TEST(RectExSvg, ScriptLinks) {
  auto r = box(RectShape_Rectangle);
  const std::string body =
      std::string("\t<rect x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\"\n") + kStyle + "/>\n";
  r->url = "Script:nextPage( evt, 1 )";
  EXPECT_EQ(write(r),
            std::string("\t<g onclick=\"nextPage( evt, 1 )\">\n<a>\n") + body + "\t</a>\n\t</g>\n");
  // A script holding a slash keeps its wrapper and its whole text.
  r->url = "script:open('a/b.html')";
  r->pub = "web";
  EXPECT_EQ(write(r),
            std::string("\t<g pub=\"web\" onclick=\"open(&apos;a/b.html&apos;)\">\n<a>\n") + body +
                "\t</a>\n\t</g>\n");
}

TEST(RectExSvg, PlainLinksVariablesAndAfterClick) {
  auto r = box(RectShape_RoundRect);
  r->id = "r";
  r->url = "%work%/Page.html";
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  ctx.variables = [](std::string_view name, std::string& value) {
    if (name != "work") return false;
    value = "/notes/work";
    return true;
  };
  const std::string body =
      std::string(
          "\t<rect id=\"r\" x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\" rx=\"10\" "
          "ry=\"10\"\n") +
      kStyle + "/>\n";
  EXPECT_EQ(write(r, ctx),
            std::string("\t<a xlink:href=\"work/Page.html\" zerbin_vhref=\"%work%/Page.html\" "
                        "target=\"_blank\">\n") +
                body + "\t</a>\n");
  ctx.lowerPath = true;
  r->url = "/notes/Sub/X&Y.svg";
  r->target.clear();
  r->afterClick = 3;
  EXPECT_EQ(write(r, ctx),
            std::string("\t<a xlink:href=\"sub/x&amp;y.svg\" onclick=\"parent.window.opener='a'; "
                        "parent.window.close();\" zerbin-onclick=\"NewView\">\n") +
                body + "\t</a>\n");
  r->afterClick = 1;
  r->target = "main";
  r->url = "http://Example.com/P?a=1&b=2";
  EXPECT_EQ(write(r, ctx),
            std::string("\t<a xlink:href=\"http://Example.com/P?a=1&amp;b=2\" target=\"main\" "
                        "onclick=\"parent.window.opener='a'; parent.window.close();\">\n") +
                body + "\t</a>\n");
  // A loaded "path#x" link is a plain link (no wrapper), even with a page.
  r->afterClick = 2;
  r->url = "/notes/a.svg#intro";
  ctx.linkedPage = 3;
  EXPECT_EQ(
      write(r, ctx),
      std::string("\t<a xlink:href=\"#intro\" target=\"main\" zerbin-onclick=\"NewView\">\n") +
          body + "\t</a>\n");
}

TEST(RectExSvg, ImageByPath) {
  auto r = box(RectShape_Image);
  r->id = "pic";
  r->embedImage = false;
  r->imagePath = "/notes/pics/Photo.PNG";
  r->angle = 10;
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  EXPECT_EQ(write(r, ctx),
            "\t<image id=\"pic\" x=\"10\" y=\"20\" width=\"30\" height=\"40\" "
            "xlink:href=\"pics/Photo.PNG\" transform=\"rotate(10,25,40)\"/>\n");
  ctx.lowerPath = true;
  r->angle = 0;
  EXPECT_EQ(write(r, ctx),
            "\t<image id=\"pic\" x=\"10\" y=\"20\" width=\"30\" height=\"40\" "
            "xlink:href=\"pics/photo.png\"/>\n");
  // Embedding with neither the file nor its working copy: the path.
  r->embedImage = true;
  r->imagePath = "/nonexistent/zerbin/Gone.png";
  r->workImagePath = "/nonexistent/zerbin/work.png";
  EXPECT_EQ(write(r, ctx),
            "\t<image id=\"pic\" x=\"10\" y=\"20\" width=\"30\" height=\"40\" "
            "xlink:href=\"../nonexistent/zerbin/gone.png\"/>\n");
}

TEST(RectExSvg, ImageEmbedded) {
  TempDir dir;
  auto r = box(RectShape_Image);
  r->imagePath = dir.file("p.png");
  r->workImagePath = dir.file("w.png");
  SvgWriteContext ctx;
  ctx.notePath = dir.file("note.svg");
  const std::string head =
      "\t<image x=\"10\" y=\"20\" width=\"30\" height=\"40\" xlink:href=\"data:;base64,\n";

  // A short file: one short line, the quote right after it.
  WriteFileBytes(r->imagePath, "hello");
  WriteFileBytes(r->workImagePath, "work!");
  EXPECT_EQ(write(r, ctx), head + "aGVsbG8=\"/>\n");

  // 60 bytes: a full line of 76 characters with its line break, then the
  // rest and the quote.
  const std::string quads19 = [] {
    std::string s;
    for (int i = 0; i < 19; ++i) s += "QUFB";
    return s;
  }();
  WriteFileBytes(r->imagePath, std::string(60, 'A'));
  r->angle = 90;
  EXPECT_EQ(write(r, ctx), head + quads19 + "\nQUFB\" transform=\"rotate(90,25,40)\"/>\n");
  r->angle = 0;

  // Exactly 57 bytes: every line is full and ends with its line break.
  WriteFileBytes(r->imagePath, std::string(57, 'A'));
  EXPECT_EQ(write(r, ctx), head + quads19 + "\n\"/>\n");

  // The picture itself gone: its working copy is embedded.
  r->imagePath = dir.file("missing.png");
  EXPECT_EQ(write(r, ctx), head + "d29yayE=\"/>\n");
}

TEST(RectExSvg, MultibyteImagePath) {
  auto r = box(RectShape_Image);
  EXPECT_FALSE(r->HasMultibyteText());
  r->imagePath = "/notes/" + Sjis(u8"写真.png");
  EXPECT_TRUE(r->HasMultibyteText());
  // The link alone does not count.
  auto s = box(RectShape_Rectangle);
  s->url = Sjis(u8"/notes/表.svg");
  EXPECT_FALSE(s->HasMultibyteText());
}

// Ids, publication lists and targets are escaped like links: a double
// quote in an id once ended the attribute.
TEST(RectExSvg, NamesAreEscaped) {
  const std::string body =
      std::string(" x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\"\n") + kStyle + "/>\n";
  auto r = box(RectShape_Rectangle);
  r->id = "a\"&<'>";
  EXPECT_EQ(write(r), "\t<rect id=\"a&quot;&amp;&lt;&apos;>\"" + body);
  r->pub = "w\"b";
  EXPECT_EQ(write(r), "\t<g id=\"a&quot;&amp;&lt;&apos;>\" pub=\"w&quot;b\">\n\t<rect" + body +
                          "\t</g>\n");
  r->pub.clear();
  r->url = "http://x/";
  r->target = "f\"&";
  r->afterClick = 0;
  EXPECT_EQ(write(r), "\t<a xlink:href=\"http://x/\" target=\"f&quot;&amp;\">\n"
                      "\t<rect id=\"a&quot;&amp;&lt;&apos;>\"" +
                          body + "\t</a>\n");
}
