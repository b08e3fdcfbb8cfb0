#include "core/strx/strx_search.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

TEST(StrXSearch, FindCharSkipsTrailBytes) {
  // "ソ" = 83 5C, "表" = 95 5C: their trail bytes are not backslashes.
  EXPECT_EQ(StrX_findChar("ソ表\\x", '\\'), 4u);
  EXPECT_EQ(StrX_findChar("ソ表", '\\'), StrX_npos);
  EXPECT_EQ(StrX_findLastChar("a\\b\\十", '\\'), 3u);
  EXPECT_EQ(StrX_findLastChar("十能", '\\'), StrX_npos);
  // A lone lead byte at the end does not swallow anything beyond it.
  EXPECT_EQ(StrX_findChar(std::string_view("a\x83\0|", 4), '|'), 3u);
  EXPECT_EQ(StrX_findAnyOf("ソ|a,b", ",|"), 2u);
  EXPECT_EQ(StrX_findNoneOf("  ソ", " "), 2u);
  EXPECT_EQ(StrX_findNoneOf("   ", " "), StrX_npos);
}

TEST(StrXSearch, FindInUtf16AndEncodedText) {
  EXPECT_EQ(StrX_findAnyOf16(u"ab,c", u",;"), 2u);
  EXPECT_EQ(StrX_findNoneOf16(u"  x", u" "), 2u);
  std::string le("a\0,\0", 4);
  std::string be("\0a\0,", 4);
  EXPECT_EQ(StrX_findAnyOfEncoded(le, ",", 6), 2u);
  EXPECT_EQ(StrX_findAnyOfEncoded(be, ",", 7), 2u);
  // U+2C61 has the low byte of ',' but is not a comma.
  EXPECT_EQ(StrX_findAnyOfEncoded(std::string("\x2C\x2C", 2), ",", 7), StrX_npos);
  EXPECT_EQ(StrX_findNoneOfEncoded(be, "a", 7), 2u);
  EXPECT_EQ(StrX_findAnyOfEncoded("ソ\\", "\\", 0), 2u);
  EXPECT_EQ(CatchError([&] { StrX_findAnyOfEncoded(le, ",", 8); }).code, Errors_NotSupport);
}

TEST(StrXSearch, LeadAndTrailAtPosition) {
  std::string s = "aソb";
  EXPECT_FALSE(StrX_isLeadAt(s, 0));
  EXPECT_TRUE(StrX_isLeadAt(s, 1));
  EXPECT_TRUE(StrX_isTrailAt(s, 2));
  EXPECT_FALSE(StrX_isTrailAt(s, 3));
  EXPECT_FALSE(StrX_isTrailAt(s, 4));
  EXPECT_EQ(CatchError([&] { StrX_isTrailAt(s, 5); }).code, Errors_Unofficial);
  // A trail-range byte after a lead byte that is itself a trail.
  EXPECT_TRUE(StrX_isTrailAt("\x83\x83\x83", 1));
  EXPECT_TRUE(StrX_isLeadAt("\x83\x83\x83", 2) == false);  // lone lead at the end
}

TEST(StrXSearch, StringTests) {
  EXPECT_TRUE(StrX_hasDoubleByte("ab十"));
  EXPECT_FALSE(StrX_hasDoubleByte("ab\xB1"));  // half-width katakana
  EXPECT_FALSE(StrX_hasDoubleByte("ab\x83"));
  EXPECT_TRUE(StrX_hasAsciiUpper("aB"));
  EXPECT_FALSE(StrX_hasAsciiUpper("\x83\x41"));  // trail byte 'A'
  EXPECT_TRUE(StrX_isBlank(" \t\r\n"));
  EXPECT_TRUE(StrX_isBlank(""));
  EXPECT_FALSE(StrX_isBlank(" x"));
  std::string s = "ABC\x83\x41Z";
  StrX_lowerAscii(s);
  EXPECT_EQ(s, "abc\x83\x41z");
}

TEST(StrXSearch, TrimAndReplace) {
  std::string s = " \t a b \r\n";
  StrX_trim(s);
  EXPECT_EQ(s, "a b");
  s = "  \"ソ x\" ";
  StrX_trimQuotes(s);
  EXPECT_EQ(s, "ソ x");
  s = "   ";
  StrX_trim(s);
  EXPECT_EQ(s, "");

  s = "a\\ソ\\";
  StrX_replaceChar(s, '\\', '/');
  EXPECT_EQ(s, "a/ソ/");

  s = "a-b-c";
  StrX_replaceText(s, "-", "--", 100);
  EXPECT_EQ(s, "a--b--c");
  // "\x5C" must not be matched inside "表".
  s = "表\\";
  StrX_replaceText(s, "\\", "/", 100);
  EXPECT_EQ(s, "表/");
  s = "xxx";
  EXPECT_EQ(CatchError([&] { StrX_replaceText(s, "x", "ab", 6); }).code, StrX_Err_BufOver);
  EXPECT_EQ(s, "ababa");
  s = "abc";
  StrX_replaceText(s, "", "z", 100);
  EXPECT_EQ(s, "abc");
}

TEST(StrXSearch, WildcardMatch) {
  EXPECT_TRUE(StrX_wildcardMatch("*.SVG", "note.svg"));
  EXPECT_FALSE(StrX_wildcardMatch("*.svg", "note.svgz"));
  EXPECT_TRUE(StrX_wildcardMatch("a*b*c", "aXbYbZc"));
  EXPECT_TRUE(StrX_wildcardMatch("?", "十"));  // one character, two bytes
  EXPECT_FALSE(StrX_wildcardMatch("??", "十"));
  EXPECT_TRUE(StrX_wildcardMatch("*", ""));
  EXPECT_FALSE(StrX_wildcardMatch("", "a"));
  EXPECT_FALSE(StrX_wildcardMatch("\x83\x61", "\x83\x41"));
  EXPECT_TRUE(StrX_wildcardMatch("*\\", "ソ\\"));
  EXPECT_FALSE(StrX_wildcardMatch("*\\", "ソ"));
}

TEST(StrXSearch, Utf16AsciiCompare) {
  EXPECT_TRUE(StrX_equalsUtf16Ascii(u"XmlNs", "xmlns"));
  EXPECT_FALSE(StrX_equalsUtf16Ascii(u"xmlns:", "xmlns"));
  EXPECT_FALSE(StrX_equalsUtf16Ascii(u"\u0161", "a"));  // low byte 'a'
  EXPECT_TRUE(StrX_startsWithUtf16Ascii(u"<!DOCTYPE x", "<!doctype"));
  EXPECT_TRUE(StrX_equalsUtf16BEAscii(std::string("\0S\0v\0g", 6), "svg"));
  EXPECT_FALSE(StrX_equalsUtf16BEAscii(std::string("\x01S", 2), "s"));
}

TEST(StrXSearch, CommentEndAcrossBuffers) {
  StrX_CommentEndScan scan;
  EXPECT_EQ(StrX_findCommentEnd16(u"a --> b", scan), 5u);
  EXPECT_EQ(StrX_findCommentEnd16(u"a -- >", scan), StrX_npos);
  EXPECT_EQ(scan.matched, 0);
  EXPECT_EQ(StrX_findCommentEnd16(u"x-", scan), StrX_npos);
  EXPECT_EQ(scan.matched, 1);
  EXPECT_EQ(StrX_findCommentEnd16(u"-", scan), StrX_npos);
  EXPECT_EQ(scan.matched, 2);
  EXPECT_EQ(StrX_findCommentEnd16(u">rest", scan), 1u);
  EXPECT_EQ(scan.matched, 0);
  EXPECT_EQ(StrX_findCommentEnd16(u"---->", scan), 5u);
}

TEST(StrXSearch, WordAtPosition) {
  size_t start = 0;
  EXPECT_EQ(StrX_wordAt("foo bar_9+x", 5, &start), "bar_9");
  EXPECT_EQ(start, 4u);
  EXPECT_EQ(StrX_wordAt("foo bar", 3, &start), "");
  // "ア" = 83 41: the trail byte 'A' is not a letter of the word.
  EXPECT_EQ(StrX_wordAt("\x83\x41" "bc", 2, &start), "bc");
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(StrX_wordAt("ab\x83\x41", 3, &start), "\x83\x41");
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(StrX_wordAt("ab", 2), "");
}

TEST(StrXSearch, HashUsesUnsignedBytes) {
  EXPECT_EQ(StrX_hash("", 255), 0u);
  EXPECT_EQ(StrX_hash("ab", 1000), (1u * 'a' + 2u * 'b') % 1000);
  // 0xFF counts as 255, not -1.
  EXPECT_EQ(StrX_hash("\xFF\xFF", 100000), 255u * 3);
  EXPECT_LT(StrX_hash("十能表ソ", 255), 255u);
  EXPECT_EQ(CatchError([] { StrX_hash("a", 0); }).code, Errors_Unofficial);
}
