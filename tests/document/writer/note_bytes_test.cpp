#include "document/writer/note_bytes.h"

#include <gtest/gtest.h>

#include "core/strx/codepage.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(NoteBytes, PlainFormHasCrLfLines) {
  EXPECT_EQ(NoteBytes_encode("a\nb\r\n\nc", false), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(NoteBytes_encode("\n", false), "\r\n");
  // Shift-JIS bytes pass unchanged in the plain form, trail byte 0x5C too.
  const std::string so = Sjis(u8"ソ");
  EXPECT_EQ(NoteBytes_encode(so + "\n", false), so + "\r\n");
}

TEST(NoteBytes, WideFormIsUtf16LittleEndianWithMark) {
  const std::string bytes = NoteBytes_encode(Sjis(u8"<ソ>\n"), true);
  EXPECT_EQ(bytes, std::string("\xFF\xFE<\0\xBD\x30>\0\r\0\n\0", 12));
  // 0x5C stays a backslash and 0x8160 is the wave dash of code page 932.
  EXPECT_EQ(NoteBytes_encode("\\\x81\x60", true), std::string("\xFF\xFE\\\0\x5E\xFF", 6));
}

TEST(NoteBytes, TextModeCopyDropsCarriageReturnsBeforeLineFeeds) {
  std::string out = "x";
  NoteBytes_appendTextModeCopy(out, "a\r\nb\nc\rd\r");
  EXPECT_EQ(out, "xa\nb\nc\rd\r");
}

TEST(NoteBytes, GzipRoundTripsAndStartsWithTheMagic) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "<rect x=\"" + std::to_string(i) + ".5\"/>\r\n";
  const std::string packed = NoteBytes_gzip(text);
  ASSERT_GE(packed.size(), 10u);
  EXPECT_EQ(packed.substr(0, 2), "\x1F\x8B");
  EXPECT_LT(packed.size(), text.size() / 4);
  EXPECT_EQ(NoteBytes_gunzip(packed, 1u << 30), text);
  EXPECT_EQ(NoteBytes_gunzip(NoteBytes_gzip(""), 100), "");
}

TEST(NoteBytes, DamagedTruncatedAndOversizedStreamsAreRefused) {
  const std::string packed = NoteBytes_gzip(std::string(100000, 'a'));
  const char* message = "svgz 形式の解凍には TAR32.DLL が必要です。";
  Errors_Msg cut = CatchError([&] { NoteBytes_gunzip(packed.substr(0, packed.size() / 2), 1u << 20); });
  EXPECT_EQ(cut.code, 102);
  EXPECT_NE(std::string(cut.message()).find(message), std::string::npos);
  EXPECT_EQ(CatchError([&] { NoteBytes_gunzip("not a gzip stream", 1u << 20); }).code, 102);
  EXPECT_EQ(CatchError([&] { NoteBytes_gunzip(packed, 50000); }).code, 102);
  EXPECT_EQ(NoteBytes_gunzip(packed, 100000).size(), 100000u);
}

TEST(NoteBytes, SvgzNamesInAnyCase) {
  EXPECT_TRUE(NoteBytes_isSvgz("/a/b.svgz"));
  EXPECT_TRUE(NoteBytes_isSvgz("B.SVGZ"));
  EXPECT_FALSE(NoteBytes_isSvgz("b.svg"));
  EXPECT_FALSE(NoteBytes_isSvgz("vgz"));
}

}  // namespace

namespace {

TEST(NoteBytes, PiecesJoinToTheWholeEncodingAtEveryBoundary) {
  // Double-byte characters, CR LF pairs and lone LFs straddle the piece
  // boundaries at every offset near 32 KiB.
  for (size_t pad = 32 * 1024 - 6; pad < 32 * 1024 + 2; ++pad) {
    std::string text(pad, 'a');
    text += Sjis(u8"ソ表") + "\r\n\n" + Sjis(u8"能") + "\r";
    text += std::string(40000, 'b') + "\n";
    for (bool wide : {false, true}) {
      std::string joined;
      size_t pieces = 0;
      NoteBytes_encodePieces(text, wide, [&](std::string_view p) {
        joined.append(p);
        ++pieces;
      });
      ASSERT_EQ(joined, NoteBytes_encode(text, wide)) << pad << " " << wide;
      EXPECT_GE(pieces, 3u);
    }
  }
}

TEST(NoteBytes, StreamedGzipUnpacksToTheInput) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += std::to_string(i * 7919 % 10007) + ",";
  std::string packed;
  NoteBytes_GzipStream gz([&](std::string_view p) { packed.append(p); });
  for (size_t at = 0; at < text.size(); at += 1000) gz.write(std::string_view(text).substr(at, 1000));
  gz.finish();
  EXPECT_EQ(NoteBytes_gunzip(packed, 1 << 24), text);
}

}  // namespace

namespace {

// The wide form by the obvious route: CR LF first, then the code units.
std::string ReferenceWide(const std::string& text) {
  std::string crlf;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
    crlf += text[i];
  }
  std::string bytes = "\xFF\xFE";
  for (char16_t u : Cp932_toUtf16(crlf)) {
    if (u == 0xFFFD) u = u'?';  // a byte that is no character reads back as '?'
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

TEST(NoteBytes, WideFormAgreesWithTheReferenceAroundLongAsciiRuns) {
  const std::string pieces[] = {"\n", "\r\n", "\r", Sjis(u8"ソ"), "\x82", "\xA0", "x"};
  for (size_t run = 0; run < 40; ++run) {
    for (const std::string& a : pieces) {
      for (const std::string& b : pieces) {
        const std::string text = std::string(run, 'a') + a + std::string(run / 2, 'b') + b +
                                 std::string(17, 'c') + a + "\n";
        ASSERT_EQ(NoteBytes_encode(text, true), ReferenceWide(text)) << run;
      }
    }
  }
}

}  // namespace
