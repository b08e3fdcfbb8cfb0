#include "core/strx/strx_fastsearch.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_support.h"

using testing_support::CatchError;

namespace {

using namespace std::string_literals;

ptrdiff_t Find(std::string_view pat, std::string_view text, bool cs = true) {
  StrX_PaddedText t(text);
  return StrX_search(StrX_initSearch(pat, cs), t.view());
}

TEST(StrXFastSearch, InitTablesAndErrors) {
  StrX_SearchPattern p = StrX_initSearch("abca", true);
  EXPECT_EQ(p.length, 4);
  EXPECT_EQ(p.lastPos['a'], 4);
  EXPECT_EQ(p.lastPos['b'], 2);
  EXPECT_EQ(p.lastPos['d'], 0);
  EXPECT_TRUE(p.repeated['a']);
  EXPECT_FALSE(p.repeated['b']);
  p = StrX_initSearch("aB\x83\x61", false);  // 0x61 is a trail byte here
  EXPECT_EQ(p.text, "AB\x83\x61");
  EXPECT_EQ(p.lastPos['A'], 4);  // letters are entered upper case
  EXPECT_TRUE(p.repeated['A']);
  EXPECT_EQ(p.lastPos['a'], 0);
  EXPECT_EQ(CatchError([] { StrX_initSearch("", true); }).code, Errors_Unofficial);
  EXPECT_EQ(CatchError([] { StrX_initSearch(std::string(256, 'a'), true); }).code,
            Errors_Unofficial);
  EXPECT_EQ(CatchError([] { StrX_initSearch(std::string(255, 'a'), true); }).code, 0);
}

TEST(StrXFastSearch, FindsFirstMatch) {
  EXPECT_EQ(Find("abc", "xxabcxxabc"), 2);
  EXPECT_EQ(Find("abc", "abc"), 0);
  EXPECT_EQ(Find("abc", "ab"), -1);
  EXPECT_EQ(Find("aab", "aaaab"), 2);
  EXPECT_EQ(Find("x", "abcx"), 3);
  EXPECT_EQ(Find("c", "abc\0c"s), 2);
  EXPECT_EQ(Find("xy", "ab\0\0xy"s), -1);  // a zero byte examined ends the scan
  EXPECT_EQ(Find("ソ", "表ソ"), 2);
  EXPECT_EQ(Find("ABC", "xabcx"), -1);
}

TEST(StrXFastSearch, CaseInsensitiveAsciiOnly) {
  EXPECT_EQ(Find("Hello", "say hELLo", false), 4);
  // "ア" = 83 41 and "ヂ" = 83 61: a trail letter never folds.
  EXPECT_EQ(Find("\x83\x41", "x\x83\x61y", false), -1);
  EXPECT_EQ(Find("\x83\x61", "x\x83\x41y", false), -1);
  EXPECT_EQ(Find("\x83\x61", "x\x83\x61y", false), 1);
  EXPECT_EQ(Find("a\x83\x61", "xA\x83\x61", false), 1);
  EXPECT_EQ(Find("[@]", "x[@]", false), 1);  // '@'/'[' are not letters
  EXPECT_EQ(Find("`", "@", false), -1);
}

TEST(StrXFastSearch, AgreesWithNaiveSearch) {
  std::mt19937 rng(7);
  const char alphabet[] = "aAbB\x83\x5C ";
  for (int round = 0; round < 300; ++round) {
    std::string text, pat;
    const int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i) text.push_back(alphabet[rng() % 7]);
    const int m = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < m; ++i) pat.push_back(alphabet[rng() % 7]);
    const size_t want = text.find(pat);
    EXPECT_EQ(Find(pat, text, true), want == std::string::npos ? -1 : ptrdiff_t(want))
        << pat << " in " << text;
  }
}

}  // namespace
