#include "core/strx/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string toU(const char* bytes) { return Cp932_toUtf16(bytes); }

}  // namespace

TEST(Cp932Mapping, PinnedCharactersOfTheCodePage) {
  // ASCII bytes that other Japanese code pages read as yen and overline.
  EXPECT_EQ(u"\\~", toU("\x5C\x7E"));
  EXPECT_EQ(u"\uFF3C", toU("\x81\x5F"));  // fullwidth reverse solidus
  EXPECT_EQ(u"\uFF5E", toU("\x81\x60"));  // fullwidth tilde, not the wave dash
  EXPECT_EQ(u"\u2225", toU("\x81\x61"));  // parallel to
  EXPECT_EQ(u"\uFFE0", toU("\x81\x91"));  // cent
  EXPECT_EQ(u"\uFFE1", toU("\x81\x92"));  // pound
  EXPECT_EQ(u"\uFFE2", toU("\x81\xCA"));  // not sign
  EXPECT_EQ(u"\u2460", toU("\x87\x40"));  // NEC row 13: circled one
  EXPECT_EQ(u"\u2170", toU("\xFA\x40"));  // IBM extension: small roman one
  EXPECT_EQ(u"\u2170", toU("\xEE\xEF"));  // the same in the NEC-selected rows
  EXPECT_EQ(u"\uFF71", toU("\xB1"));      // half-width katakana
  EXPECT_EQ(u"\u30BD", toU("\x83\x5C"));  // a trail byte 0x5C
}

TEST(Cp932Mapping, ReverseDirectionChoosesAsTheCodePageDoes) {
  EXPECT_EQ("\xFA\x40", Cp932_fromUtf16(u"\u2170"));  // IBM row, not NEC-selected
  EXPECT_EQ("\x81\xCA", Cp932_fromUtf16(u"\uFFE2"));
  EXPECT_EQ("\x81\xE0", Cp932_fromUtf16(u"\u2252"));  // JIS row, not NEC row 13
  EXPECT_EQ("\x81\x60", Cp932_fromUtf16(u"\uFF5E"));
  EXPECT_EQ("\xFA\x55", Cp932_fromUtf16(u"\uFFE4"));
}

TEST(Cp932Mapping, SingleBytesTheCLibraryRejectsRoundTrip) {
  std::string bytes = "\x80\xA0\xFD\xFE\xFF";
  std::u16string u = Cp932_toUtf16(bytes);
  EXPECT_EQ(u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3", u);
  EXPECT_EQ(bytes, Cp932_fromUtf16(u));
}

TEST(Cp932Mapping, EveryValidDoubleByteCodeRoundTripsToItsCanonicalCode) {
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!Cp932_isLead(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      std::string s{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string u = Cp932_toUtf16(s);
      if (u.size() != 1 || u[0] == 0xFFFD) continue;
      std::string back = Cp932_fromUtf16(u);
      // Duplicates go to one code; that code maps to the same character.
      ASSERT_EQ(u, Cp932_toUtf16(back)) << std::hex << lead << trail;
      ++checked;
    }
  }
  EXPECT_GT(checked, 7000);
}

TEST(Cp932Text, BadInputAndUnmappableCharacters) {
  // A lead byte at the end, or before a byte that is no trail byte.
  EXPECT_EQ(u"a\uFFFD", toU("a\x82"));
  EXPECT_EQ(u"\uFFFD\x31", toU("\x82\x31"));
  bool lossy = false;
  EXPECT_EQ("a?b", Cp932_fromUtf16(u"a\u00E9b", &lossy));
  EXPECT_TRUE(lossy);
  EXPECT_EQ("?", Cp932_fromUtf16(u"\U0001F600", &lossy));  // one ? for the pair
  EXPECT_EQ("\x83\x5C", Cp932_fromUtf8("\xE3\x82\xBD", &lossy));
  EXPECT_FALSE(lossy);
}

TEST(Cp932Text, Utf8RoundTripOfJapaneseText) {
  std::string sjis = "表示ソフト～ｱ①";
  std::string utf8 = Cp932_toUtf8(sjis);
  std::u8string expected = u8"表示ソフト～ｱ①";
  EXPECT_EQ(std::string(expected.begin(), expected.end()), utf8);
  EXPECT_EQ(sjis, Cp932_fromUtf8(utf8));
  EXPECT_EQ(std::u16string(u"\U0001F600x"), Utf8_toUtf16(Utf16_toUtf8(u"\U0001F600x")));
  EXPECT_EQ(u"\uFFFDa", Utf8_toUtf16("\xC3" "a"));  // truncated sequence
  EXPECT_EQ(u"\uFFFD", Utf8_toUtf16("\xE3\x82"));
}

TEST(Cp932Path, NamesThatCannotConvertAreRefused) {
  EXPECT_EQ(std::optional<std::string>("/tmp/\xE3\x82\xBD"), Cp932_toOsPath("/tmp/\x83\x5C"));
  EXPECT_FALSE(Cp932_toOsPath("/tmp/\x82").has_value());
  EXPECT_FALSE(Cp932_fromOsPath("/tmp/caf\xC3\xA9").has_value());  // é is not in CP932
  EXPECT_EQ(std::optional<std::string>("/a/\x95\x5C"), Cp932_fromOsPath("/a/\xE8\xA1\xA8"));
}

TEST(Cp932Cut, CutLengthNeverEndsInsideACharacter) {
  std::string s = "ab表c";
  EXPECT_EQ(2u, Cp932_cutLength(s, 3));
  EXPECT_EQ(4u, Cp932_cutLength(s, 4));
  EXPECT_EQ(5u, Cp932_cutLength(s, 9));
  EXPECT_EQ(0u, Cp932_cutLength("\x95\x5C", 1));
  EXPECT_EQ(1u, Cp932_cutLength(std::string("a\x95"), 1));
}

TEST(Cp932Text, LittleEndianBytesAgreeWithTheUnitsForEveryCode) {
  std::string all;
  for (int b = 0; b < 0x100; ++b) {
    all.push_back(static_cast<char>(b));
    if (Cp932_isLead(static_cast<unsigned char>(b))) all.push_back('\x40');
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!Cp932_isLead(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x30; trail <= 0xFD; ++trail) {
      all.push_back(static_cast<char>(lead));
      all.push_back(static_cast<char>(trail));
    }
  }
  all.push_back('\x82');  // a lead byte at the very end
  const std::u16string units = Cp932_toUtf16(all);
  std::string bytes = "pre";
  Cp932_appendUtf16Le(bytes, all);
  ASSERT_EQ(bytes.size(), 3 + units.size() * 2);
  EXPECT_EQ(bytes.substr(0, 3), "pre");
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t got = static_cast<char16_t>(static_cast<unsigned char>(bytes[3 + 2 * i]) |
                                               (static_cast<unsigned char>(bytes[4 + 2 * i]) << 8));
    ASSERT_EQ(got, units[i] == 0xFFFD ? u'?' : units[i]) << i;
  }
}
