#include "core/strx/strx_copy.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/test_support.h"

using testing_support::CatchError;

namespace {

std::string addressText(const std::string& s) {
  char buf[64];
  snprintf(buf, sizeof buf, "BufOver:%p", static_cast<const void*>(&s));
  return buf;
}

}  // namespace

TEST(StrXCopy, CpyFitsExactlyOrCutsAndRaises) {
  std::string dst;
  EXPECT_EQ(CatchError([&] { StrX_cpy(dst, "abcd", 5); }).code, 0);
  EXPECT_EQ(dst, "abcd");

  Errors_Msg e = CatchError([&] { StrX_cpy(dst, "0123456789", 5); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(std::string(e.message()), addressText(dst));
  EXPECT_EQ(dst, "0123");

  // The cut never leaves half of "ソ" (83 5C).
  e = CatchError([&] { StrX_cpy(dst, "abソ", 4); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "ab");
  EXPECT_EQ(CatchError([&] { StrX_cpy(dst, "x", 0); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "");
}

TEST(StrXCopy, CpyNRaisesWheneverTheTakenBytesDoNotFit) {
  std::string dst;
  // min(len, n) = 8 bytes into a 5-byte buffer is never a silent cut.
  EXPECT_EQ(CatchError([&] { StrX_cpyN(dst, "abcdefgh", 10, 5); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "abcd");
  EXPECT_EQ(CatchError([&] { StrX_cpyN(dst, "abcdefghijk", 11, 11); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "abcdefghij");
  EXPECT_EQ(CatchError([&] { StrX_cpyN(dst, "abcdefgh", 3, 4); }).code, 0);
  EXPECT_EQ(dst, "abc");
  // cpyN counts bytes: n = 2 splits "表" (95 5C); cpyNChar drops the lead.
  StrX_cpyN(dst, "a表", 2, 10);
  EXPECT_EQ(dst, "a\x95");
  StrX_cpyNChar(dst, "a表", 2, 10);
  EXPECT_EQ(dst, "a");
  StrX_cpyNChar(dst, "a表b", 3, 10);
  EXPECT_EQ(dst, "a表");
  EXPECT_EQ(CatchError([&] { StrX_cpyNChar(dst, "abcdef", 6, 4); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "abc");
}

TEST(StrXCopy, CatAndInsert) {
  std::string dst = "ab";
  StrX_cat(dst, "cd", 5);
  EXPECT_EQ(dst, "abcd");
  EXPECT_EQ(CatchError([&] { StrX_cat(dst, "e", 5); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "abcd");
  dst = "ab";
  EXPECT_EQ(CatchError([&] { StrX_cat(dst, "c十", 5); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "abc");

  dst = "world";
  StrX_ins(dst, "hello ");
  EXPECT_EQ(dst, "hello world");
  dst = "cd";
  StrX_insBounded(dst, "ab", 5);
  EXPECT_EQ(dst, "abcd");
  EXPECT_EQ(CatchError([&] { StrX_insBounded(dst, "x", 5); }).code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "xabc");
}

TEST(StrXCopy, AddAndCutLastCharIgnoreTrailBytes) {
  std::string p = "/a/b";
  StrX_addLastChar(p, '/', 10);
  EXPECT_EQ(p, "/a/b/");
  StrX_addLastChar(p, '/', 10);
  EXPECT_EQ(p, "/a/b/");
  // "ソ" ends with 0x5C but is not a backslash.
  p = "dirソ";
  StrX_addLastChar(p, '\\', 10);
  EXPECT_EQ(p, "dirソ\\");
  StrX_cutLastChar(p, '\\');
  EXPECT_EQ(p, "dirソ");
  StrX_cutLastChar(p, '\\');
  EXPECT_EQ(p, "dirソ");
  p = "abcd";
  EXPECT_EQ(CatchError([&] { StrX_addLastChar(p, '/', 5); }).code, StrX_Err_BufOver);
  EXPECT_EQ(p, "abcd");
  // A lone lead byte at the end is a character of its own.
  p = "a\x83";
  StrX_addLastChar(p, '\\', 10);
  EXPECT_EQ(p, "a\x83\\");
}

TEST(StrXCopy, SprintfCutsAndRaisesWithEmptyMessage) {
  std::string dst;
  StrX_sprintf(dst, 6, "%d-%s", 12, "ab");
  EXPECT_EQ(dst, "12-ab");
  Errors_Msg e = CatchError([&] { StrX_sprintf(dst, 6, "%d-%s", 123, "ab"); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_STREQ(e.message(), "");
  EXPECT_EQ(dst, "123-a");
  CatchError([&] { StrX_sprintf(dst, 5, "%s", "abc能"); });
  EXPECT_EQ(dst, "abc");
}

TEST(StrXCopy, BoundedWriter) {
  std::string out;
  StrX_BoundedWriter w(out, 8, true);
  w.printf("%d,", 10);
  w.write("ab");
  EXPECT_EQ(out, "10,ab");
  EXPECT_EQ(w.position(), 5u);
  Errors_Msg e = CatchError([&] { w.write("ソxy"); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(out, "10,abソ");
  EXPECT_TRUE(w.overflowed());
  EXPECT_EQ(w.position(), w.end());
  EXPECT_EQ(w.end(), 7u);

  // Without the flag the cut is kept quietly; a half character is not
  // written and later pieces are refused.
  std::string quiet;
  StrX_BoundedWriter q(quiet, 4, false);
  EXPECT_EQ(CatchError([&] { q.write("ab十"); }).code, 0);
  EXPECT_EQ(quiet, "ab");
  q.write("c");
  EXPECT_EQ(quiet, "ab");
  EXPECT_EQ(q.position(), 3u);
}

TEST(StrXCopy, AsciiHelpersNeverFoldTrailBytes) {
  EXPECT_TRUE(StrX_equalsNoCase("Zerbin.SVG", "zERBIN.svg"));
  EXPECT_FALSE(StrX_equalsNoCase("ab", "abc"));
  // "ア" = 83 41 and 83 61 differ only in a trail byte that looks like a/A.
  EXPECT_FALSE(StrX_equalsNoCase("\x83\x41", "\x83\x61"));
  EXPECT_TRUE(StrX_startsWithNoCase("HTTP://x", "http:"));
  EXPECT_FALSE(StrX_startsWithNoCase("\x83\x41x", "\x83\x61"));
  EXPECT_TRUE(StrX_isSpace('\r'));
  EXPECT_FALSE(StrX_isSpace('\v'));
  EXPECT_EQ(StrX_toLowerAscii('\xC1'), '\xC1');
  EXPECT_EQ(StrX_toUpperAscii('q'), 'Q');
}
