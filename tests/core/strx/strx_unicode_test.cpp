#include "core/strx/strx_unicode.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

namespace {

using namespace std::string_literals;

TEST(StrXUnicode, Sjis2UnicodeSizeInBytes) {
  std::u16string d;
  // "aソ表" = 3 units: 8 bytes with the terminator.
  EXPECT_EQ(CatchError([&] { StrX_sjis2unicode(d, "aソ表", 8); }).code, 0);
  EXPECT_EQ(d, u"aソ表");
  Errors_Msg e = CatchError([&] { StrX_sjis2unicode(d, "aソ表", 7); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_STREQ(e.message(), "in StrX_sjis2unicode");
  EXPECT_EQ(d, u"aソ");
  EXPECT_EQ(CatchError([&] { StrX_sjis2unicode(d, "a", 1); }).code, StrX_Err_BufOver);
  EXPECT_EQ(d, u"");
}

TEST(StrXUnicode, Utf16Size) {
  EXPECT_EQ(StrX_utf16Size("", 0), 2u);
  EXPECT_EQ(StrX_utf16Size("aソ", 1), 6u);
  EXPECT_EQ(StrX_utf16Size("aソ", 4), 8u);
  EXPECT_EQ(StrX_utf16Size("abc", 8), 8u);
}

TEST(StrXUnicode, Utf16ToSjisBounded) {
  std::string d;
  EXPECT_EQ(CatchError([&] { StrX_utf16ToSjis(d, u"aソ\u00E9", 5); }).code, 0);
  EXPECT_EQ(d, "aソ?");
  Errors_Msg e = CatchError([&] { StrX_utf16ToSjis(d, u"aソ", 3); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(d, "a");  // never half of 83 5C
}

TEST(StrXUnicode, Utf16ToUtf8Bounded) {
  std::string d;
  StrX_utf16ToUtf8(d, u"aソ\U0001F600", 9);
  EXPECT_EQ(d, "a\xE3\x82\xBD\xF0\x9F\x98\x80");
  Errors_Msg e = CatchError([&] { StrX_utf16ToUtf8(d, u"aソ\U0001F600", 8); });
  EXPECT_EQ(e.code, Errors_Unofficial);
  EXPECT_EQ(d, "a\xE3\x82\xBD");
}

TEST(StrXUnicode, Utf16ToAscii) {
  std::string d;
  StrX_utf16ToAscii(d, u"abcソdef", 10);
  EXPECT_EQ(d, "abc");
  EXPECT_EQ(CatchError([&] { StrX_utf16ToAscii(d, u"abcd", 4); }).code, StrX_Err_BufOver);
  EXPECT_EQ(d, "abc");
}

TEST(StrXUnicode, CopyAsUtf16) {
  std::u16string d;
  StrX_copyAsUtf16(d, "aソ", 6, 0);
  EXPECT_EQ(d, u"aソ");
  StrX_copyAsUtf16(d, "a\0\xBD\x30\x7F"s, 10, 6);  // odd last byte ignored
  EXPECT_EQ(d, u"aソ");
  Errors_Msg e = CatchError([&] { StrX_copyAsUtf16(d, "a", 1, 0); });
  EXPECT_EQ(e.code, StrX_Err_MemEmpty);
  EXPECT_EQ(CatchError([&] { StrX_copyAsUtf16(d, "ab", 4, 0); }).code, StrX_Err_BufOver);
  EXPECT_EQ(d, u"a");
  e = CatchError([&] { StrX_copyAsUtf16(d, "a", 10, 7); });
  EXPECT_EQ(e.code, Errors_NotSupport);
  EXPECT_STREQ(e.message(), "Not Support in this Version");
}

TEST(StrXUnicode, CharAtCountsCharacters) {
  const std::string s = "aソb\x83";  // lone lead byte at the end
  EXPECT_EQ(StrX_charAt(s, 0, 0), 'a');
  EXPECT_EQ(StrX_charAt(s, 1, 0), -1);
  EXPECT_EQ(StrX_charAt(s, 2, 0), 'b');
  EXPECT_EQ(StrX_charAt(s, 3, 0), -1);
  EXPECT_EQ(StrX_charAt(s, 4, 0), 0);
  const std::string le = "a\0\x3D\xD8\x00\xDE" "b\0"s;  // a, U+1F600, b
  EXPECT_EQ(StrX_charAt(le, 1, 6), -1);
  EXPECT_EQ(StrX_charAt(le, 2, 6), 'b');
  const std::string be = "\0a\x30\xBD\0b"s;
  EXPECT_EQ(StrX_charAt(be, 0, 7), 'a');
  EXPECT_EQ(StrX_charAt(be, 1, 7), -1);
  EXPECT_EQ(StrX_charAt(be, 2, 7), 'b');
  EXPECT_EQ(StrX_charAt(be, 3, 7), 0);
  EXPECT_EQ(CatchError([&] { StrX_charAt("a", 0, 8); }).code, Errors_NotSupport);
}

}  // namespace
