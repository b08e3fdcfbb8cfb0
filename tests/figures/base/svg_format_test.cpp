#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"
#include "support/test_support.h"

using testing_support::Sjis;

namespace {

// A note at /notes/a.svg whose "%work%" is its work folder below it.
SvgWriteContext noteContext(bool lowerPath = false) {
  SvgWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  ctx.lowerPath = lowerPath;
  ctx.variables = [](std::string_view name, std::string& value) {
    if (name != "work") return false;
    value = "/notes/work";
    return true;
  };
  return ctx;
}

}  // namespace

TEST(SvgFormat, Escaping) {
  EXPECT_EQ(SvgFormat_escapeAttr("a&b<c>d\"e'f"), "a&amp;b&lt;c>d&quot;e&apos;f");
  EXPECT_EQ(SvgFormat_escapeText("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d\"e'f");
  // A trail byte that looks like a quote or backslash is left alone.
  const std::string so = Sjis(u8"ソ\"");  // 83 5C then a quote
  EXPECT_EQ(SvgFormat_escapeAttr(so), Sjis(u8"ソ") + "&quot;");
  EXPECT_EQ(SvgFormat_escapeText(""), "");
}

TEST(SvgFormat, LinkTailAndScripts) {
  EXPECT_EQ(SvgFormat_linkTail("a/b\\c.svg#x"), "c.svg#x");
  EXPECT_EQ(SvgFormat_linkTail("#intro"), "#intro");
  EXPECT_EQ(SvgFormat_linkTail("dir/"), "");
  // A double-byte character ending in 5C is no separator.
  EXPECT_EQ(SvgFormat_linkTail(Sjis(u8"表x")), Sjis(u8"表x"));
  EXPECT_TRUE(SvgFormat_isScript("SCRIPT:go()"));
  EXPECT_TRUE(SvgFormat_isScript("script:"));
  EXPECT_FALSE(SvgFormat_isScript("scrip:x"));
  EXPECT_EQ(SvgFormat_scriptBody("Script:open('a/b')"), "open('a/b')");
  EXPECT_EQ(SvgFormat_scriptBody("sc"), "");
}

TEST(SvgFormat, HrefOfLocalPaths) {
  SvgWriteContext ctx = noteContext();
  SvgHref h = SvgFormat_linkHref("/notes/sub/B.svg#Part", ctx);
  EXPECT_EQ(h.href, "sub/B.svg#Part");
  EXPECT_FALSE(h.changed);
  EXPECT_EQ(SvgFormat_linkHref("/other/x.txt", ctx).href, "../other/x.txt");
  // A target inside the note itself keeps only its fragment.
  EXPECT_EQ(SvgFormat_linkHref("/notes/a.svg#intro", ctx).href, "#intro");
  // Relative links, fragments, schemes and URLs stay as they are.
  EXPECT_EQ(SvgFormat_linkHref("sub/c.svg", ctx).href, "sub/c.svg");
  EXPECT_EQ(SvgFormat_linkHref("#intro", ctx).href, "#intro");
  EXPECT_EQ(SvgFormat_linkHref("script:/x/y()", ctx).href, "script:/x/y()");
  EXPECT_EQ(SvgFormat_linkHref("mailto:/a@b", ctx).href, "mailto:/a@b");
  EXPECT_EQ(SvgFormat_linkHref("http://h/notes/a.svg", ctx).href, "http://h/notes/a.svg");
  // A variable nobody knows stays, and so does the path around it.
  EXPECT_EQ(SvgFormat_linkHref("/notes/%zerbin_nobody_knows_this%/q", ctx).href,
            "/notes/%zerbin_nobody_knows_this%/q");
  // Without a note path nothing is made relative.
  SvgWriteContext bare;
  EXPECT_EQ(SvgFormat_linkHref("/notes/sub/B.svg", bare).href, "/notes/sub/B.svg");
}

TEST(SvgFormat, HrefOfVariablesEscapingAndBlanks) {
  SvgWriteContext ctx = noteContext();
  SvgHref h = SvgFormat_linkHref("%work%/Img.png", ctx);
  EXPECT_EQ(h.href, "work/Img.png");
  EXPECT_TRUE(h.changed);
  // "%%" is a percent sign: the text changed.
  h = SvgFormat_linkHref("100%%.html", ctx);
  EXPECT_EQ(h.href, "100%.html");
  EXPECT_TRUE(h.changed);
  // The environment is asked after the note's variables.
  ::setenv("ZERBIN_SVG_TEST_ROOT", "/notes/env", 1);
  EXPECT_EQ(SvgFormat_linkHref("%ZERBIN_SVG_TEST_ROOT%/e.svg", ctx).href, "env/e.svg");
  ::unsetenv("ZERBIN_SVG_TEST_ROOT");
  // Escaped for the attribute, blanks stripped after escaping.
  h = SvgFormat_linkHref("  a&b\"c'd<e>f.html ", ctx);
  EXPECT_EQ(h.href, "a&amp;b&quot;c&apos;d&lt;e>f.html");
  EXPECT_FALSE(h.changed);
}

TEST(SvgFormat, HrefLowerCase) {
  SvgWriteContext ctx = noteContext(true);
  EXPECT_EQ(SvgFormat_linkHref("/notes/Sub/B.SVG#Part", ctx).href, "sub/b.svg#part");
  EXPECT_EQ(SvgFormat_linkHref("#Intro", ctx).href, "#intro");
  // Double-byte characters are untouched (trail byte 0x41 'A' of 0x8341).
  const std::string a = Sjis(u8"アB.svg");
  EXPECT_EQ(SvgFormat_linkHref(a, ctx).href, Sjis(u8"ア") + "b.svg");
  // URLs and scripts keep their case.
  EXPECT_EQ(SvgFormat_linkHref("HTTP://Host/Page", ctx).href, "HTTP://Host/Page");
  EXPECT_EQ(SvgFormat_linkHref("script:nextPage( evt, 1 )", ctx).href, "script:nextPage( evt, 1 )");
  // A variable that expands to a URL is a URL too.
  ctx.variables = [](std::string_view, std::string& v) {
    v = "http://Site";
    return true;
  };
  EXPECT_EQ(SvgFormat_linkHref("%site%/Page", ctx).href, "http://Site/Page");
}

TEST(SvgFormat, RelativePath) {
  SvgWriteContext ctx = noteContext();
  EXPECT_EQ(SvgFormat_relativePath("/notes/pics/P.png", ctx), "pics/P.png");
  EXPECT_EQ(SvgFormat_relativePath("/elsewhere/P.png", ctx), "../elsewhere/P.png");
  EXPECT_EQ(SvgFormat_relativePath("", ctx), "");
  ctx.lowerPath = true;
  EXPECT_EQ(SvgFormat_relativePath("/notes/pics/P.png", ctx), "pics/p.png");
}

TEST(SvgFormat, AfterClickColoursOpacityRotation) {
  EXPECT_EQ(SvgFormat_afterClickAttributes(0), "");
  EXPECT_EQ(SvgFormat_afterClickAttributes(1),
            " onclick=\"parent.window.opener='a'; parent.window.close();\"");
  EXPECT_EQ(SvgFormat_afterClickAttributes(2), " zerbin-onclick=\"NewView\"");
  EXPECT_EQ(SvgFormat_afterClickAttributes(3),
            " onclick=\"parent.window.opener='a'; parent.window.close();\" "
            "zerbin-onclick=\"NewView\"");
  EXPECT_EQ(SvgFormat_rgb(Colour_rgb(1, 22, 255)), "rgb(1,22,255)");
  EXPECT_EQ(SvgFormat_rgb(0xFFFFFFFFu), "rgb(255,255,255)");
  EXPECT_EQ(SvgFormat_opacitySuffix(100), "");
  EXPECT_EQ(SvgFormat_opacitySuffix(5), ";fill-opacity:0.05");
  EXPECT_EQ(SvgFormat_opacitySuffix(0), ";fill-opacity:0.00");
  EXPECT_EQ(SvgFormat_opacitySuffix(57), ";fill-opacity:0.57");
  EXPECT_EQ(SvgFormat_rotation(0, 5, 6), "");
  EXPECT_EQ(SvgFormat_rotation(-30, 5, 6), " transform=\"rotate(-30,5,6)\"");
}

TEST(SvgFormat, FontFamiliesBothWays) {
  const std::string gothic = Sjis(u8"ＭＳ ゴシック"), pgothic = Sjis(u8"ＭＳ Ｐゴシック");
  const std::string mincho = Sjis(u8"ＭＳ 明朝"), pmincho = Sjis(u8"ＭＳ Ｐ明朝");
  EXPECT_EQ(SvgFormat_fontFamilyForFile(gothic), "MS-Gothic,monospace");
  EXPECT_EQ(SvgFormat_fontFamilyForFile(pgothic), "MS-PGothic,sans-serif");
  EXPECT_EQ(SvgFormat_fontFamilyForFile(mincho), "MS-Mincho,monospace");
  EXPECT_EQ(SvgFormat_fontFamilyForFile(pmincho), "MS-PMincho,serif");
  EXPECT_EQ(SvgFormat_fontFamilyForFile("Arial"), "Arial");
  EXPECT_EQ(SvgFormat_fontFamilyForFile(""), "");

  for (const char* f : {"MS-Gothic", "MS-Gothic,monospace", "monospace"})
    EXPECT_EQ(SvgFormat_fontFaceFromFile(f), gothic) << f;
  for (const char* f : {"MS-PGothic", "MS-PGothic,sans-serif", "sans-serif"})
    EXPECT_EQ(SvgFormat_fontFaceFromFile(f), pgothic) << f;
  for (const char* f : {"MS-Mincho", "MS-Mincho,monospace"})
    EXPECT_EQ(SvgFormat_fontFaceFromFile(f), mincho) << f;
  for (const char* f : {"MS-PMincho", "MS-PMincho,serif", "serif"})
    EXPECT_EQ(SvgFormat_fontFaceFromFile(f), pmincho) << f;
  EXPECT_EQ(SvgFormat_fontFaceFromFile("Arial"), "Arial");
  EXPECT_EQ(SvgFormat_fontFaceFromFile("ms-gothic"), "ms-gothic");
  // Every written name reads back as its face.
  for (const std::string& face : {gothic, pgothic, mincho, pmincho, std::string("Courier")})
    EXPECT_EQ(SvgFormat_fontFaceFromFile(SvgFormat_fontFamilyForFile(face)), face);
}

TEST(SvgFormat, AlarmTextIsLocalTime) {
  std::tm tm{};
  tm.tm_year = 2021 - 1900;
  tm.tm_mon = 2;
  tm.tm_mday = 4;
  tm.tm_hour = 5;
  tm.tm_min = 6;
  tm.tm_sec = 7;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  EXPECT_EQ(SvgFormat_alarmText(static_cast<int64_t>(t)), "2021/03/04-05:06:07");
}

TEST(SvgFormatAlarm, TextRoundTripsAndBadTextsAreRefused) {
  std::tm tm{};
  tm.tm_year = 2026 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 9;
  tm.tm_hour = 7;
  tm.tm_min = 5;
  tm.tm_sec = 3;
  tm.tm_isdst = -1;
  const int64_t t = static_cast<int64_t>(std::mktime(&tm));
  EXPECT_EQ(SvgFormat_alarmText(t), "2026/12/09-07:05:03");
  int64_t back = 0;
  ASSERT_TRUE(SvgFormat_parseAlarmText(SvgFormat_alarmText(t), back, 6));
  EXPECT_EQ(back, t);
  // A date alone is enough where three fields are asked for.
  int64_t day = 0;
  EXPECT_TRUE(SvgFormat_parseAlarmText("2026/12/09", day, 3));
  EXPECT_FALSE(SvgFormat_parseAlarmText("2026/12/09", day, 6));
  for (const char* bad : {"", "x", "2026/13/01-00:00:00", "2026/12/32-00:00:00",
                          "2026/12/09-24:00:00", "2026/12/09-10:60:00", "2026/12"}) {
    int64_t v = 42;
    EXPECT_FALSE(SvgFormat_parseAlarmText(bad, v, 3)) << bad;
    EXPECT_EQ(v, 42);
  }
}
