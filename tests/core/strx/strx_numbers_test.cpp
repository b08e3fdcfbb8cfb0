#include "core/strx/strx_numbers.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

TEST(StrXNumbers, IntegerReader) {
  size_t used = 99;
  EXPECT_EQ(StrX_toInt("  +42x", &used), 42);
  EXPECT_EQ(used, 5u);
  EXPECT_EQ(StrX_toInt("--7"), 7);
  EXPECT_EQ(StrX_toInt("---7"), -7);
  EXPECT_EQ(StrX_toInt("+-3"), -3);
  EXPECT_EQ(StrX_toInt("-+3", &used), 0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(StrX_toInt("abc", &used), 0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(StrX_toInt("2147483647"), INT32_MAX);
  EXPECT_EQ(StrX_toInt("2147483648"), INT32_MAX);
  EXPECT_EQ(StrX_toInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrX_toInt("-99999999999999999999999"), INT32_MIN);
}

TEST(StrXNumbers, IntegerRange) {
  int32_t a = 0, b = 0;
  EXPECT_TRUE(StrX_intRange("3-7", '-', a, b));
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 7);
  EXPECT_TRUE(StrX_intRange("5", '-', a, b));
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 5);
  EXPECT_TRUE(StrX_intRange(" 2 : 9", ':', a, b));
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 9);
  EXPECT_FALSE(StrX_intRange("x", '-', a, b));
  EXPECT_EQ(a, 2);
}

TEST(StrXNumbers, HashNumbering) {
  std::string s = "note###";
  StrX_numbering(s, 7);
  EXPECT_EQ(s, "note007");
  s = "p#-##";
  StrX_numbering(s, 123);
  EXPECT_EQ(s, "p123-##");
  s = "ソ#";
  StrX_numbering(s, 5);
  EXPECT_EQ(s, "ソ5");
  s = "none";
  StrX_numbering(s, 5);
  EXPECT_EQ(s, "none");

  // 1023 bytes still fit a 1024-byte buffer; one more is refused.
  s = std::string(1020, 'a') + "###";
  StrX_numbering(s, 1);
  EXPECT_EQ(s.size(), 1023u);
  s = std::string(1020, 'a') + "####";
  std::string before = s;
  EXPECT_EQ(CatchError([&] { StrX_numbering(s, 1); }).code, StrX_Err_BufOver);
  EXPECT_EQ(s, before);
}

TEST(StrXNumbers, ColourText) {
  EXPECT_EQ(StrX_colorText(StrX_rgb(255, 128, 0)), "rgb(255,128,0)");
  EXPECT_EQ(StrX_colorText(0x00FF0000u), "rgb(0,0,255)");
  uint32_t c = 0;
  EXPECT_TRUE(StrX_readColor("rgb(10, 20 ,30)", c));
  EXPECT_EQ(c, StrX_rgb(10, 20, 30));
  EXPECT_TRUE(StrX_readColor("rgb(300,-4,255)", c));
  EXPECT_EQ(c, StrX_rgb(255, 0, 255));
  EXPECT_TRUE(StrX_readColor(" #0a0B0c", c));
  EXPECT_EQ(c, StrX_rgb(0x0A, 0x0B, 0x0C));
  EXPECT_TRUE(StrX_readColor("#f80", c));
  EXPECT_EQ(c, StrX_rgb(0xFF, 0x88, 0x00));
  c = 1;
  EXPECT_FALSE(StrX_readColor("#12345", c));
  EXPECT_FALSE(StrX_readColor("#1234567", c));
  EXPECT_FALSE(StrX_readColor("rgb(1,2)", c));
  EXPECT_FALSE(StrX_readColor("none", c));
  EXPECT_EQ(c, 1u);
}

TEST(StrXNumbers, FontText) {
  StrX_Font f{"ＭＳ Ｐゴシック", 120, true, false};
  EXPECT_EQ(StrX_fontText(f), "ＭＳ Ｐゴシック, 12, 1, 0");
  f.size10 = 105;
  EXPECT_EQ(StrX_fontText(f), "ＭＳ Ｐゴシック, 11, 1, 0");
  f.size10 = 104;
  EXPECT_EQ(StrX_fontText(f), "ＭＳ Ｐゴシック, 10, 1, 0");

  StrX_Font r;
  ASSERT_TRUE(StrX_readFont(" Arial , 9, 0, yes", r));
  EXPECT_EQ(r, (StrX_Font{"Arial", 90, false, true}));
  ASSERT_TRUE(StrX_readFont("Arial,10.5,1", r));
  EXPECT_EQ(r, (StrX_Font{"Arial", 105, true, false}));
  ASSERT_TRUE(StrX_readFont(StrX_fontText(f), r));
  EXPECT_EQ(r, (StrX_Font{"ＭＳ Ｐゴシック", 100, true, false}));
  StrX_Font keep{"x", 1, true, true};
  EXPECT_FALSE(StrX_readFont("Arial", keep));
  EXPECT_FALSE(StrX_readFont(" , 12, 1, 1", keep));
  EXPECT_FALSE(StrX_readFont("Arial, big", keep));
  EXPECT_EQ(keep, (StrX_Font{"x", 1, true, true}));
}

TEST(StrXNumbers, GuidText) {
  StrX_Guid g{0x0123ABCDu, 0x4567u, 0x89EFu, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};
  std::string t = StrX_guidText(g);
  EXPECT_EQ(t, "0123ABCD-4567-89EF-FEDC-BA9876543210");
  StrX_Guid r;
  EXPECT_TRUE(StrX_readGuid(t, r));
  EXPECT_EQ(r, g);
  r = {};
  EXPECT_TRUE(StrX_readGuid("{0123abcd-4567-89ef-fedc-ba9876543210}", r));
  EXPECT_EQ(r, g);
  EXPECT_FALSE(StrX_readGuid("0123ABCD-4567-89EF-FEDCBA98-76543210", r));
  EXPECT_FALSE(StrX_readGuid("0123ABCD-4567-89EF-FEDC-BA987654321", r));

  EXPECT_TRUE(StrX_isGuidText(t));
  EXPECT_TRUE(StrX_isGuidText("{" + t + "}"));
  EXPECT_FALSE(StrX_isGuidText("{" + t));
  EXPECT_FALSE(StrX_isGuidText(t + "0"));
  std::string bad = t;
  bad[5] = 'G';
  EXPECT_FALSE(StrX_isGuidText(bad));
  bad = t;
  bad[13] = '_';
  EXPECT_FALSE(StrX_isGuidText(bad));
}
