#include "core/strx/strx_fields.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

TEST(StrXFields, LinesWithEveryKindOfBreak) {
  EXPECT_EQ(StrX_lineCount(""), 1);
  EXPECT_EQ(StrX_lineCount("a"), 1);
  EXPECT_EQ(StrX_lineCount("a\n"), 2);
  // CR LF, LF CR, CR, LF: one break each.
  std::string t = "one\r\ntwo\n\rthree\rfour\nfive";
  EXPECT_EQ(StrX_lineCount(t), 5);
  EXPECT_EQ(StrX_lineCount("a\r\n\r\nb"), 3);
  EXPECT_EQ(StrX_lineStart(t, 1), 0u);
  EXPECT_EQ(StrX_lineStart(t, 2), 5u);
  EXPECT_EQ(StrX_lineStart(t, 3), 10u);
  EXPECT_EQ(StrX_lineStart(t, 5), 21u);
  EXPECT_EQ(StrX_lineStart(t, 6), StrX_npos);
  EXPECT_EQ(StrX_lineStart(t, 0), StrX_npos);
  EXPECT_EQ(StrX_lineNumberAt(t, 0), 1);
  EXPECT_EQ(StrX_lineNumberAt(t, 4), 1);  // the LF of the first break
  EXPECT_EQ(StrX_lineNumberAt(t, 5), 2);
  EXPECT_EQ(StrX_lineNumberAt(t, t.size()), 5);
  EXPECT_EQ(StrX_lineLength(t, 3), 5u);
  EXPECT_EQ(StrX_lineLength(t, 9), 0u);

  std::string dst;
  EXPECT_TRUE(StrX_copyLine(dst, t, 4, 100));
  EXPECT_EQ(dst, "four");
  EXPECT_FALSE(StrX_copyLine(dst, t, 6, 100));
  EXPECT_EQ(dst, "");
  EXPECT_EQ(CatchError([&] { StrX_copyLine(dst, t, 3, 4); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "thr");
}

TEST(StrXFields, CsvQuote) {
  EXPECT_EQ(StrX_csvQuote("plain"), "plain");
  EXPECT_EQ(StrX_csvQuote("a,b"), "\"a,b\"");
  EXPECT_EQ(StrX_csvQuote("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(StrX_csvQuote("l1\r\nl2"), "\"l1\nl2\"");
  EXPECT_EQ(StrX_csvQuote(" x"), "\" x\"");
  EXPECT_EQ(StrX_csvQuote("x "), "\"x \"");
  EXPECT_EQ(StrX_csvQuote(""), "");
  EXPECT_EQ(StrX_csvQuote("ソ表"), "ソ表");
  EXPECT_EQ(StrX_csvQuote("-1", '\''), "'-1");
  EXPECT_EQ(StrX_csvQuote("=A1", '\''), "'=A1");
  EXPECT_EQ(StrX_csvQuote("12,5", '\''), "\"'12,5\"");
  EXPECT_EQ(StrX_csvQuote("a1", '\''), "a1");
  EXPECT_EQ(StrX_csvQuote("+", '\0'), "+");
}

TEST(StrXFields, CsvFieldReading) {
  StrX_Field f = StrX_csvField("  x  ,y");
  EXPECT_EQ(f.text, "x");
  EXPECT_EQ(f.next, 6u);
  f = StrX_csvField("  x  ,y", f.next);
  EXPECT_EQ(f.text, "y");
  EXPECT_EQ(f.next, StrX_npos);

  f = StrX_csvField(" \"a,\"\"b\"\" c\" junk,next");
  EXPECT_EQ(f.text, "a,\"b\" c");
  EXPECT_EQ(f.next, 18u);
  f = StrX_csvField("\"multi\nline\",z");
  EXPECT_EQ(f.text, "multi\nline");
  EXPECT_EQ(f.next, 13u);
  f = StrX_csvField("last\r\nnext,line");
  EXPECT_EQ(f.text, "last");
  EXPECT_EQ(f.next, StrX_npos);
  f = StrX_csvField("a,");
  f = StrX_csvField("a,", f.next);
  EXPECT_EQ(f.text, "");
  EXPECT_EQ(f.next, StrX_npos);
  EXPECT_EQ(StrX_csvField("\"open").text, "open");

  EXPECT_EQ(StrX_csvFieldN("a, \"b,c\" ,d", 2), "b,c");
  EXPECT_EQ(StrX_csvFieldN("a,b,d", 3), "d");
  EXPECT_EQ(StrX_csvFieldN("a,b", 3), std::nullopt);
  EXPECT_EQ(StrX_csvFieldN("a,b", 0), std::nullopt);
  // Round trip of a written field.
  EXPECT_EQ(StrX_csvField(StrX_csvQuote("q\"ソ, ")).text, "q\"ソ, ");
}

TEST(StrXFields, Tokens) {
  StrX_Field t = StrX_token("  one \"two words\"  three ");
  EXPECT_EQ(t.text, "one");
  EXPECT_EQ(t.next, 6u);
  t = StrX_token("  one \"two words\"  three ", t.next);
  EXPECT_EQ(t.text, "two words");
  EXPECT_EQ(t.next, 19u);
  t = StrX_token("  one \"two words\"  three ", t.next);
  EXPECT_EQ(t.text, "three");
  EXPECT_EQ(t.next, StrX_npos);
  t = StrX_token("   ");
  EXPECT_EQ(t.text, "");
  EXPECT_EQ(t.next, StrX_npos);
  EXPECT_EQ(StrX_token("能 x").text, "能");
}

TEST(StrXFields, TaggedNumber) {
  EXPECT_EQ(StrX_taggedNumber("name-5, other 3", "name"), 5);
  EXPECT_EQ(StrX_taggedNumber("name-5, other 3", "other"), 3);
  EXPECT_EQ(StrX_taggedNumber("name-5, other", "other"), -1);
  EXPECT_EQ(StrX_taggedNumber("name-5, other", "missing"), -2);
  EXPECT_EQ(StrX_taggedNumber("keywords 4, keyword", "keyword"), -1);
  EXPECT_EQ(StrX_taggedNumber("keywords 4", "keyword"), -2);
  EXPECT_EQ(StrX_taggedNumber("Name 4", "name"), -2);
  EXPECT_EQ(StrX_taggedNumber("a - 12 ,b", "a"), 12);
  EXPECT_EQ(StrX_taggedNumber("表7", "表"), 7);
  EXPECT_EQ(StrX_taggedNumber("x 99999999999", "x"), INT32_MAX);
}

TEST(StrXFields, PointList) {
  std::array<StrX_Point, 4> p{};
  EXPECT_EQ(StrX_pointList(" 10,20  30,40\n-5, 6 ", p), 3);
  EXPECT_EQ(p[0], (StrX_Point{10, 20}));
  EXPECT_EQ(p[1], (StrX_Point{30, 40}));
  EXPECT_EQ(p[2], (StrX_Point{-5, 6}));
  EXPECT_EQ(StrX_pointList("1.5,2.5 3.5,4.5 5,6 7,8 9,10", p), 5);
  EXPECT_EQ(p[0], (StrX_Point{1, 2}));
  EXPECT_EQ(p[3], (StrX_Point{7, 8}));
  EXPECT_EQ(StrX_pointList("1,2 3", p), 1);
  EXPECT_EQ(StrX_pointList("", p), 0);
}

TEST(StrXFields, StyleProperty) {
  std::string style = "fill:rgb(1,2,3); Font-Size : 12pt ;fill-opacity:0.25;stroke:#f00";
  std::string v;
  EXPECT_TRUE(StrX_styleProperty(v, style, "font-size", 100));
  EXPECT_EQ(v, "12pt");
  EXPECT_FALSE(StrX_styleProperty(v, style, "stroke-width", 100));
  EXPECT_EQ(v, "");
  EXPECT_FALSE(StrX_styleProperty(v, style, "fill-", 100));
  EXPECT_EQ(CatchError([&] { StrX_styleProperty(v, style, "FILL", 5); }).code, StrX_Err_BufOver);
  EXPECT_EQ(v, "rgb(");

  int32_t n = -1;
  EXPECT_TRUE(StrX_stylePropertyInt(style, "font-size", n));
  EXPECT_EQ(n, 12);
  EXPECT_FALSE(StrX_stylePropertyInt(style, "stroke", n));
  double d = 0;
  EXPECT_TRUE(StrX_stylePropertyFloat(style, "fill-opacity", d));
  EXPECT_DOUBLE_EQ(d, 0.25);
  EXPECT_TRUE(StrX_stylePropertyFloat("fill-opacity:.5", "fill-opacity", d));
  EXPECT_DOUBLE_EQ(d, 0.5);
  uint32_t c = 0;
  EXPECT_TRUE(StrX_stylePropertyColor(style, "fill", c));
  EXPECT_EQ(c, 0x030201u);
  EXPECT_TRUE(StrX_stylePropertyColor(style, "stroke", c));
  EXPECT_EQ(c, 0x0000FFu);
  EXPECT_FALSE(StrX_stylePropertyColor("fill:url(#g)", "fill", c));
  EXPECT_EQ(c, 0x0000FFu);
}
