#include "core/strx/strx_punycode.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::Sjis;

namespace {

std::string Name(std::u8string_view utf8, size_t size = 512) {
  std::string d;
  StrX_punycodeName(d, Sjis(utf8), size);
  return d;
}

TEST(StrXPunycode, Rfc3492JapaneseSamples) {
  EXPECT_EQ(Name(u8"なぜみんな日本語を話してくれないのか"),
            "n8jok5ay5dzabd5bym9f0cm5685rrjetr6pdxa");
  EXPECT_EQ(Name(u8"3年B組金八先生"), "3b-ww4c5e180e575a65lsy2b");
  EXPECT_EQ(Name(u8"安室奈美恵-with-SUPER-MONKEYS"),
            "-with-super-monkeys-pc58ag80a8qai00g7n9n");
  EXPECT_EQ(Name(u8"Hello-Another-Way-それぞれの場所"),
            "hello-another-way--fc4qua05auwb3674vfr0b");
  EXPECT_EQ(Name(u8"ひとつ屋根の下2"), "2-u9tlzr9756bt3uc0v");
  EXPECT_EQ(Name(u8"MajiでKoiする5秒前"), "majikoi5-783gue6qz075azm5e");
  EXPECT_EQ(Name(u8"パフィーdeルンバ"), "de-jg4avhby1noc0d");
  EXPECT_EQ(Name(u8"そのスピードで"), "d9juau41awczczp");
}

TEST(StrXPunycode, SegmentsSeparatorsAndSpaces) {
  EXPECT_EQ(Name(u8"日本語.jp"), "wgv71a119e.jp");
  EXPECT_EQ(Name(u8"Notes/日本語\\ABC.SVG"), "notes/wgv71a119e\\abc.svg");
  EXPECT_EQ(Name(u8"ab-"), "ab-");
  EXPECT_EQ(Name(u8"a..b/"), "a..b/");
  EXPECT_EQ(Name(u8"My Notes.svg"), "mynotes.svg");
  // "ソ" (83 5C) holds a 0x5C trail byte: it is no separator.
  EXPECT_EQ(Name(u8"ソ.txt"), "3ck.txt");
}

TEST(StrXPunycode, ResultMustFit) {
  std::string d;
  EXPECT_EQ(CatchError([&] { StrX_punycodeName(d, Sjis(u8"日本語.jp"), 14); }).code, 0);
  Errors_Msg e = CatchError([&] { StrX_punycodeName(d, Sjis(u8"日本語.jp"), 13); });
  EXPECT_EQ(e.code, Errors_Unofficial);
  EXPECT_EQ(d, "wgv71a119e.j");
}

}  // namespace
