#include "core/filex/filex_convert.h"

#include <gtest/gtest.h>

#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "core/strx/strx_base64.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

std::string binaryData(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>((i * 7 + i / 251) & 0xFF));
  return s;
}

std::string le(std::u16string_view u) {
  std::string out;
  for (char16_t c : u) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

}  // namespace

TEST(FileXConvert, Base64FileRoundTrip) {
  testing_support::TempDir dir;
  std::string data = binaryData(70001);  // three read blocks
  std::string src = dir.file("img.png");
  WriteFileBytes(src, data);
  std::string enc = dir.file("enc.txt");
  {
    FilePtr out = FileX_open(enc, "wb");
    FileX_writeN(out.get(), "href=\"data:image/png;base64,");
    FileX_base64EncodeFile(out.get(), src);
    FileX_writeN(out.get(), "\"/>");
  }
  std::string text = ReadFileBytes(enc);
  size_t start = text.find(',') + 1;
  EXPECT_EQ(StrX_base64Encode(data), text.substr(start, text.size() - start - 3));
  {
    FilePtr in = FileX_open(enc, "rb");
    FileX_base64DecodeToFile(in.get(), dir.file("dec.png"), static_cast<int64_t>(start));
    EXPECT_EQ('"', fgetc(in.get()));  // the closing quote stays in the stream
  }
  EXPECT_EQ(data, ReadFileBytes(dir.file("dec.png")));

  // One long line without breaks, and a length that needs padding.
  std::string odd = binaryData(10000 + 1);
  std::string line = StrX_base64Encode(odd);
  std::string flat;
  for (char c : line)
    if (c != '\r' && c != '\n') flat.push_back(c);
  ASSERT_EQ('=', flat.back());
  WriteFileBytes(dir.file("flat.txt"), "\"" + flat + "\" rest");
  {
    FilePtr in = FileX_open(dir.file("flat.txt"), "rb");
    FileX_base64DecodeToFile(in.get(), dir.file("flat.bin"), 1);
    EXPECT_EQ('"', fgetc(in.get()));
  }
  EXPECT_EQ(odd, ReadFileBytes(dir.file("flat.bin")));
}

TEST(FileXConvert, Utf16ToShiftJisAcrossBlockEdges) {
  testing_support::TempDir dir;
  // 2047 units fill the first block; a surrogate pair straddles its edge.
  std::u16string u(2046, u'a');
  u += u"\U00020B9F";  // not in code page 932: one "?"
  u += u"ソ表\r\n";
  std::string src = dir.file("u16.txt");
  WriteFileBytes(src, "\xFF\xFE" + le(u));
  std::string dst = dir.file("sjis.txt");
  FileX_utf16ToSjisFile(dst, src);
  EXPECT_EQ(std::string(2046, 'a') + "?" + "ソ表\r\n", ReadFileBytes(dst));

  WriteFileBytes(dir.file("be.txt"), "\xFE\xFF\x00\x61");
  Errors_Msg e = CatchError([&] { FileX_utf16ToSjisFile(dir.file("o.txt"), dir.file("be.txt")); });
  EXPECT_EQ(FileX_Err_NotUnicodeFile, e.code);
  EXPECT_STREQ("UNICODE ファイルではありません", e.message());
  EXPECT_FALSE(FileX_exists(dir.file("o.txt")));
  EXPECT_FALSE(FileX_utf16InputAsSjis(dir.file("be.txt")).has_value());
  EXPECT_EQ(dst, FileX_utf16InputAsSjis(dst));
  std::optional<std::string> tmp = FileX_utf16InputAsSjis(src);
  ASSERT_TRUE(tmp.has_value());
  EXPECT_NE(std::string::npos, tmp->find("unitmp"));
  EXPECT_EQ(ReadFileBytes(dst), ReadFileBytes(*tmp));
  std::remove(tmp->c_str());
}

TEST(FileXConvert, ShiftJisToUtf16AcrossBlockEdges) {
  testing_support::TempDir dir;
  // "ソ" (83 5C) starts at byte 2046, the last of the first block; then a
  // pair of 81 81 where the first byte after the edge looks like a lead.
  std::string s = std::string(2046, 'b') + "ソ" + std::string(2044, 'c') + "\x81\x81\x81\x81" + "表";
  std::string src = dir.file("s.txt");
  WriteFileBytes(src, s);
  FileX_sjisToUtf16File(dir.file("u.txt"), src);
  std::u16string want = std::u16string(2046, u'b') + u"ソ" + std::u16string(2044, u'c') + u"＝＝表";
  EXPECT_EQ("\xFF\xFE" + le(want), ReadFileBytes(dir.file("u.txt")));
  FileX_utf16ToSjisFile(dir.file("back.txt"), dir.file("u.txt"));
  EXPECT_EQ(s, ReadFileBytes(dir.file("back.txt")));
}
