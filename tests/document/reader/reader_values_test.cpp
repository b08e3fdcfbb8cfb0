#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "document/reader/reader_values.h"
#include "support/test_support.h"

using testing_support::Sjis;

TEST(ReaderValues, NumbersAreDecimalIntegerPrefixes) {
  EXPECT_EQ(ReaderValue_int("10.5"), 10);
  EXPECT_EQ(ReaderValue_int("-10.5"), -10);
  EXPECT_EQ(ReaderValue_int("+7px"), 7);
  EXPECT_EQ(ReaderValue_int("  12pt"), 12);
  EXPECT_EQ(ReaderValue_int(".5"), 0);
  EXPECT_EQ(ReaderValue_int(""), 0);
  EXPECT_EQ(ReaderValue_int("abc"), 0);
  // One sign only: a second one ends the number before any digit.
  EXPECT_EQ(ReaderValue_int("--5"), 0);
  EXPECT_EQ(ReaderValue_int("5-3"), 5);
  // Clamped to the int32 range, however many digits.
  EXPECT_EQ(ReaderValue_int("99999999999999999999999"), INT32_MAX);
  EXPECT_EQ(ReaderValue_int("-99999999999999999999999"), INT32_MIN);
  EXPECT_EQ(ReaderValue_int("2147483647"), INT32_MAX);
  EXPECT_EQ(ReaderValue_int("-2147483648"), INT32_MIN);
}

TEST(ReaderValues, OpacityComesBackExactly) {
  // Every percentage the writer can write ("0.%02d") reads back as itself;
  // plain truncation of v * 100 gives 28 for 0.29, 56 for 0.57, 57 for 0.58.
  for (int p = 0; p < 100; ++p) {
    char text[16];
    std::snprintf(text, sizeof text, "0.%02d", p);
    EXPECT_EQ(ReaderValue_opacityPercent(text), p) << text;
  }
  EXPECT_EQ(ReaderValue_opacityPercent("1"), 100);
  EXPECT_EQ(ReaderValue_opacityPercent("0.295"), 29);
  EXPECT_EQ(ReaderValue_opacityPercent("7"), 100);
  EXPECT_EQ(ReaderValue_opacityPercent("-0.5"), 0);
  EXPECT_EQ(ReaderValue_opacityPercent(".5"), 50);
  EXPECT_EQ(ReaderValue_opacityPercent("+0.25"), 25);
  EXPECT_FALSE(ReaderValue_opacityPercent("half").has_value());
  EXPECT_FALSE(ReaderValue_opacityPercent("").has_value());
}

TEST(ReaderValues, Colours) {
  EXPECT_EQ(ReaderValue_colour("rgb(1,2,3)"), Colour{0x030201});
  EXPECT_EQ(ReaderValue_colour("rgb(204,204,255)"), Colour{0xFFCCCC});
  EXPECT_EQ(ReaderValue_colour("#102030"), Colour{0x302010});
  EXPECT_EQ(ReaderValue_colour("#abc"), Colour{0xCCBBAA});
  EXPECT_FALSE(ReaderValue_colour("none").has_value());
  EXPECT_FALSE(ReaderValue_colour("red").has_value());
  EXPECT_FALSE(ReaderValue_colour("url(#grad)").has_value());
  EXPECT_FALSE(ReaderValue_colour("").has_value());
}

TEST(ReaderValues, StyleProperties) {
  const std::string style = " fill : rgb(1,2,3) ;STROKE:none;stroke-width:2;; font-family:MS-PGothic,sans-serif";
  EXPECT_EQ(ReaderStyle_get(style, "fill"), "rgb(1,2,3)");
  EXPECT_EQ(ReaderStyle_get(style, "stroke"), "none");
  EXPECT_EQ(ReaderStyle_get(style, "Stroke-Width"), "2");
  EXPECT_EQ(ReaderStyle_get(style, "font-family"), "MS-PGothic,sans-serif");
  EXPECT_FALSE(ReaderStyle_get(style, "opacity").has_value());
  EXPECT_FALSE(ReaderStyle_get("", "fill").has_value());
  EXPECT_FALSE(ReaderStyle_get("fill", "fill").has_value());
  EXPECT_EQ(ReaderStyle_get("fill:", "fill"), "");
}

TEST(ReaderValues, TransformAngle) {
  EXPECT_EQ(ReaderValue_transformAngle("rotate(30,10,20)"), 30);
  EXPECT_EQ(ReaderValue_transformAngle("rotate(-45.5)"), -45);
  // Only the number after the first "(" counts, whatever the transform.
  EXPECT_EQ(ReaderValue_transformAngle("translate(2,5)"), 2);
  EXPECT_EQ(ReaderValue_transformAngle("none"), 0);
}

TEST(ReaderValues, EntitiesInOnePass) {
  EXPECT_EQ(ReaderText_decodeEntities("a &lt;b&gt; &amp; &quot;c&quot; &apos;d&apos;"),
            "a <b> & \"c\" 'd'");
  // One pass: "&amp;lt;" is "&lt;", not "<".
  EXPECT_EQ(ReaderText_decodeEntities("&amp;lt;"), "&lt;");
  EXPECT_EQ(ReaderText_decodeEntities("&#65;&#x42;&#X43;"), "ABC");
  EXPECT_EQ(ReaderText_decodeEntities("&#x3042;"), Sjis(u8"\u3042"));
  // Characters code page 932 does not have, and anything unknown, stay.
  EXPECT_EQ(ReaderText_decodeEntities("&#x1F600;"), "&#x1F600;");
  EXPECT_EQ(ReaderText_decodeEntities("&#xE9;"), "&#xE9;");
  EXPECT_EQ(ReaderText_decodeEntities("&#0;"), "&#0;");
  EXPECT_EQ(ReaderText_decodeEntities("&nbsp; & &; &#; &#x; &#12a;"),
            "&nbsp; & &; &#; &#x; &#12a;");
  EXPECT_EQ(ReaderText_decodeEntities("a&"), "a&");
  // Double-byte characters pass whole.
  EXPECT_EQ(ReaderText_decodeEntities(Sjis(u8"表&amp;示")), Sjis(u8"表&示"));
}
