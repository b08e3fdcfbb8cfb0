// The values of other programs' SVG: lengths, transform lists, view boxes,
// colours and the extent of paths.
#include <gtest/gtest.h>

#include <cmath>

#include "core/strx/codepage.h"
#include "document/reader/svg_values.h"

namespace {

TEST(SvgValues, LengthsInEveryUnit) {
  struct Case {
    const char* text;
    double px;
  } cases[] = {{"12", 12},     {" 1.5e1px", 15}, {"72pt", 96},  {"1pc", 16},     {"25.4mm", 96},
               {"2.54cm", 96}, {"1in", 96},      {"2em", 24},   {"2ex", 12},      {"50%", 150},
               {"-.5", -0.5},  {"3furlongs", 3}};
  for (const Case& c : cases) {
    const std::optional<double> v = SvgValue_length(c.text, 300, 12);
    ASSERT_TRUE(v) << c.text;
    EXPECT_NEAR(*v, c.px, 1e-9) << c.text;
  }
  for (const char* bad : {"", "px", "-", ".", "e5", "NaN", "inf"})
    EXPECT_FALSE(SvgValue_length(bad)) << bad;
}

TEST(SvgValues, TransformListsApplyLeftToRight) {
  const auto at = [](std::string_view t, double x, double y) {
    const SvgAffine m = SvgValue_transform(t).value();
    return std::make_pair(m.mapX(x, y), m.mapY(x, y));
  };
  EXPECT_EQ(at("translate(10)", 1, 2), std::make_pair(11.0, 2.0));
  EXPECT_EQ(at("translate(10,20) scale(2)", 1, 2), std::make_pair(12.0, 24.0));
  EXPECT_EQ(at("scale(2) translate(10,20)", 1, 2), std::make_pair(22.0, 44.0));
  EXPECT_EQ(at("rotate(90)", 1, 0), std::make_pair(0.0, 1.0));  // a quarter turn is exact
  EXPECT_EQ(at("rotate(180 10 10)", 0, 0), std::make_pair(20.0, 20.0));
  EXPECT_EQ(at("matrix(1 0 0 1 5 6)\n,scale(1,3)", 1, 1), std::make_pair(6.0, 9.0));
  const auto skew = at("skewX(45)", 0, 10);
  EXPECT_NEAR(skew.first, 10, 1e-9);
  EXPECT_TRUE(SvgValue_transform("")->isIdentity());
  for (const char* bad : {"translate", "rotate(1,2)", "matrix(1 2 3)", "scale(1", "foo(1)", "translate(1)x"})
    EXPECT_FALSE(SvgValue_transform(bad)) << bad;
}

TEST(SvgValues, ViewBoxesFitTheirViewportAsTheyAsk) {
  // 100 x 50 into 300 x 300.
  const auto map = [](std::string_view par) {
    return SvgValue_viewBoxMap("0 0 100 50", par, 300, 300).value();
  };
  EXPECT_EQ(map(""), (SvgAffine{3, 0, 0, 3, 0, 75}));  // xMidYMid meet
  EXPECT_EQ(map("xMinYMin meet"), (SvgAffine{3, 0, 0, 3, 0, 0}));
  EXPECT_EQ(map("xMaxYMax"), (SvgAffine{3, 0, 0, 3, 0, 150}));
  EXPECT_EQ(map("xMidYMid slice"), (SvgAffine{6, 0, 0, 6, -150, 0}));
  EXPECT_EQ(map("none"), (SvgAffine{3, 0, 0, 6, 0, 0}));
  EXPECT_EQ(SvgValue_viewBoxMap("10,20,100,50", "none", 100, 50)->e, -10);
  for (const char* bad : {"0 0 0 50", "0 0 100", "0 0 -1 5", "a b c d"})
    EXPECT_FALSE(SvgValue_viewBoxMap(bad, "", 10, 10)) << bad;
}

TEST(SvgValues, ColoursByNameNumberAndFunction) {
  EXPECT_EQ(SvgValue_colour("red"), Colour_rgb(255, 0, 0));
  EXPECT_EQ(SvgValue_colour(" YellowGreen "), Colour_rgb(154, 205, 50));
  EXPECT_EQ(SvgValue_colour("aliceblue"), Colour_rgb(240, 248, 255));
  EXPECT_EQ(SvgValue_colour("#0a0"), Colour_rgb(0, 170, 0));
  EXPECT_EQ(SvgValue_colour("#1D1d1B"), Colour_rgb(29, 29, 27));
  EXPECT_EQ(SvgValue_colour("rgb(300, -5, 12.4)"), Colour_rgb(255, 0, 12));
  EXPECT_EQ(SvgValue_colour("RGB(100%,50%,0%)"), Colour_rgb(255, 128, 0));
  EXPECT_EQ(SvgValue_colour("currentColor", Colour_rgb(1, 2, 3)), Colour_rgb(1, 2, 3));
  for (const char* no : {"none", "url(#g)", "#12", "#ggg", "reddish", "rgb(1,2)", ""})
    EXPECT_FALSE(SvgValue_colour(no)) << no;
}

TEST(SvgValues, PathExtentsFollowEveryCommand) {
  const auto box = [](std::string_view d) { return SvgValue_pathBox(d).value(); };
  EXPECT_EQ(box("M10,10 L20,30"), (ForeignBox{10, 10, 20, 30}));
  EXPECT_EQ(box("m10 10 5 5 h10 v-20 z m1 1"), (ForeignBox{10, -5, 25, 15}));
  EXPECT_EQ(box("M0 0C 10 -10 20 10 30 0"), (ForeignBox{0, -10, 30, 10}));
  EXPECT_EQ(box("M0,0 a5,5 0 1,0 10,0"), (ForeignBox{-5, -5, 15, 5}));
  EXPECT_EQ(box("M0,0a5 5 0 1010 0"), (ForeignBox{-5, -5, 15, 5}));  // flags run together
  EXPECT_EQ(box("M1 1 L2 2 X 9 9"), (ForeignBox{1, 1, 2, 2}));       // stops at what it cannot read
  EXPECT_FALSE(SvgValue_pathBox(""));
  EXPECT_FALSE(SvgValue_pathBox("L 5"));
  EXPECT_EQ(SvgValue_points("1,2 3 4 5").size(), 2u);
}

TEST(SvgValues, CodePageTextIsMadeWholeAndOtherCharsetsConvert) {
  // A lead byte before a blank, a whole character, a lead byte at the end;
  // a lead byte before a letter is a character ("\x81" "b").
  EXPECT_EQ(Cp932_normalise("a\x81 \x82\xA0\x81"), "a? \x82\xA0?");
  EXPECT_EQ(Cp932_normalise("\x81" "b"), "\x81" "b");
  EXPECT_TRUE(Utf8_isValid("caf\xC3\xA9"));
  EXPECT_FALSE(Utf8_isValid("caf\xE9"));
  EXPECT_EQ(Charset_toUtf8("caf\xE9", "ISO-8859-1"), "caf\xC3\xA9");
  EXPECT_FALSE(Charset_toUtf8("x", "no-such-charset"));
}

}  // namespace
