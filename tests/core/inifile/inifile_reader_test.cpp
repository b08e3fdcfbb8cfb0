#include <gtest/gtest.h>

#include "core/inifile/inifile.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::TempDir;

namespace {
IniFileReader readerOf(std::string_view text) {
  IniFileReader r;
  r.openText(text, "/p/a.ini");
  return r;
}
}  // namespace

TEST(IniFileReader, RoundTripOfEveryTypeThroughDisk) {
  TempDir dir;
  std::string path = dir.file("r.ini");
  std::string longText(300, 'a');
  std::time_t now = std::time(nullptr);
  IniFileWriter w;
  w.open(path);
  w.section("main");
  w.attribute("Application", "s", "Zerbin");
  w.attribute("Version", "i", 300);
  w.section("data");
  w.attribute("v", "bisxt", true, -42, "a,b \"c\"\nnext line", uint32_t{0xDEADBEEF}, now);
  w.attribute("sj", "ss", "ソ表十能", "\"能\",ソ");
  w.attribute("long", "s", longText);
  w.close();

  IniFileReader r;
  r.open(path);
  r.setSection("MAIN");
  r.checkHeader();
  r.setSection("data");
  bool b = false;
  int32_t i = 0;
  uint32_t x = 0;
  std::time_t t = 0;
  std::string s, s2;
  r.readAttribute("V", "bisxt", &b, &i, &s, &x, &t);
  EXPECT_TRUE(b);
  EXPECT_EQ(-42, i);
  EXPECT_EQ("a,b \"c\"\nnext line", s);
  EXPECT_EQ(0xDEADBEEFu, x);
  EXPECT_EQ(now, t);
  r.readAttribute("sj", "ss", &s, &s2);
  EXPECT_EQ("ソ表十能", s);
  EXPECT_EQ("\"能\",ソ", s2);
  r.readAttribute("long", "s", &s);
  EXPECT_EQ(longText, s);
}

// A text reads back as it was written, up to the one limit of both ways;
// a longer one is refused, never cut.
TEST(IniFileReader, LongestTextIsTheSameBothWays) {
  TempDir dir;
  std::string path = dir.file("long.ini");
  std::string longest = std::string(IniFile_writeStringMax - 2, 'a') + "ソ";
  IniFileWriter w;
  w.open(path);
  w.section("s");
  w.attribute("k", "s", longest);
  Errors_Msg e = CatchError([&] { w.attribute("k2", "s", longest + "b"); });
  EXPECT_EQ(StrX_Err_BufOver, e.code);
  w.close();

  IniFileReader r;
  r.open(path);
  r.setSection("s");
  std::string s;
  r.readAttribute("k", "s", &s);
  EXPECT_EQ(longest, s);

  IniFileReader tooLong = readerOf("k = " + longest + "b\nnext = 1\n");
  s = "old";
  EXPECT_EQ(StrX_Err_BufOver, CatchError([&] { tooLong.readAttribute("k", "s", &s); }).code);
  EXPECT_EQ("old", s);
}

// A quote that is never closed damages its own line only.
TEST(IniFileReader, UnclosedQuoteHidesOnlyItsLine) {
  IniFileReader r = readerOf(
      "[s] \r\na = \"open\r\nb = 2\r\nc = \"x\", \"y\r\nz\"\r\nd = \"q\" tail\r\ne = last\"\r\n");
  std::string a, c1, c2, d, e;
  int32_t b = 0;
  r.setSection("s");
  r.readAttribute("a", "s", &a);
  EXPECT_EQ("open", a);
  r.readAttribute("b", "i", &b);
  EXPECT_EQ(2, b);
  r.readAttribute("c", "ss", &c1, &c2);  // a value that goes on over a line break
  EXPECT_EQ("x", c1);
  EXPECT_EQ("y\nz", c2);
  r.readAttribute("d", "s", &d);
  EXPECT_EQ("q", d);
  r.readAttribute("e", "s", &e);
  EXPECT_EQ("last\"", e);
}

TEST(IniFileReader, MissingFieldsAndBooleans) {
  IniFileReader r = readerOf("a = 0x, 7\r\nb: yes,0,,\r\n  c=\r\n");
  bool b1 = true, b2 = false, b3 = true, b4 = true;
  int32_t i = 5;
  std::string s = "x";
  r.readAttribute("a", "bi", &b1, &i);
  EXPECT_FALSE(b1);
  EXPECT_EQ(7, i);
  r.readAttribute("b", "bbbb", &b2, &b3, &b4, &b1);
  EXPECT_TRUE(b2);
  EXPECT_FALSE(b3);
  EXPECT_FALSE(b4);
  r.readAttribute("c", "is", &i, &s);
  EXPECT_EQ(0, i);
  EXPECT_EQ("", s);
}

TEST(IniFileReader, SectionErrors) {
  IniFileReader r = readerOf(" \n[other] \nk = 1\n");
  Errors_Msg e = CatchError([&] { r.setSection("main"); });
  EXPECT_EQ(IniFile_NotFoundSection, e.code);
  EXPECT_STREQ("セクション名が期待したものと異なる /p/a.ini [main]", e.message());
  r.setSection("OTHER");  // the position was put back before [other]
  e = CatchError([&] { r.setSection("x"); });
  EXPECT_EQ(IniFile_Err_BadFormat, e.code);
  EXPECT_STREQ("フォーマットがおかしい in IniFile_Read_setSection /p/a.ini [x]", e.message());
  e = CatchError([&] { r.setSection("x"); });
  EXPECT_EQ(FileX_Err_EOF, e.code);
  EXPECT_STREQ("EOF in IniFile_Read_setSection /p/a.ini [x]", e.message());

  IniFileReader f = readerOf("[a] \nk = 1\n[b] \nk = 2\n");
  int32_t k = 0;
  f.findSection("b", false);
  f.readAttribute("k", "i", &k);
  EXPECT_EQ(2, k);
  f.findSection("a", true);
  f.readAttribute("k", "i", &k);
  EXPECT_EQ(1, k);
  e = CatchError([&] { f.findSection("A", true); });
  EXPECT_EQ(IniFile_NotFoundSection, e.code);
  EXPECT_STREQ("セクション A が見つかりません", e.message());
  f.seek(0);
  e = CatchError([&] { f.findSection("b", false); });
  EXPECT_EQ(0, e.code);
}

TEST(IniFileReader, AttributeErrorsNameBothTexts) {
  IniFileReader r = readerOf("[PathVariable] \r\nComment = c\r\nPth = /x\r\n");
  r.setSection("PathVariable");
  std::string s;
  r.readAttribute("Comment", "s", &s);
  Errors_Msg e = CatchError([&] { r.readAttribute("Path", "s", &s); });
  EXPECT_EQ(IniFile_Err_BadAttr, e.code);
  EXPECT_STREQ("属性名が異なる（アプリ=Path, ファイル=Pth = /x in /p/a.ini）", e.message());
  e = CatchError([&] { r.readAttribute("Path", "s", &s); });
  EXPECT_EQ(IniFile_Err_FewAttr, e.code);
  EXPECT_STREQ("属性が少ない", e.message());
  // "Name" is not taken for "NameX".
  IniFileReader p = readerOf("NameX = 1\n");
  EXPECT_EQ(IniFile_Err_BadAttr, CatchError([&] { p.readAttribute("Name", "s", &s); }).code);
}

TEST(IniFileReader, CountOptionalAndNext) {
  IniFileReader r = readerOf("w = \"a\nb\", 1\nW = c, 2\n\nw = d, 3\nother = 1\n \n[next] \n");
  EXPECT_EQ(3, r.countAttribute("w"));
  EXPECT_EQ(0, r.countAttribute("other"));
  int64_t pos = r.tell();
  std::string name, key;
  int32_t n = 0;
  EXPECT_EQ(0, r.readNextAttribute(name, "si", &key, &n));
  EXPECT_EQ("w", name);
  EXPECT_EQ("a\nb", key);
  EXPECT_EQ(1, n);
  EXPECT_EQ(13, r.readNextAttribute(name, "si", &key, &n));
  EXPECT_EQ("W", name);
  r.readNextAttribute(name, "si", &key, &n);
  EXPECT_EQ(3, n);
  r.readOptionalAttribute("missing", 'i', &n, 77);
  EXPECT_EQ(77, n);
  r.readOptionalAttribute("other", 'i', &n, 77);
  EXPECT_EQ(1, n);
  EXPECT_EQ(-1, r.readNextAttribute(name, "s", &key));
  r.setSection("next");  // readNextAttribute put the section line back
  EXPECT_EQ(-1, r.readNextAttribute(name, "s", &key));
  r.seek(pos);
  EXPECT_EQ(3, r.countAttribute("w"));
}

TEST(IniFileReader, CheckHeaderVersions) {
  auto check = [](std::string_view app, int version) {
    std::string text = "Application = " + std::string(app) +
                       "\nVersion = " + std::to_string(version) + "\n";
    IniFileReader r = readerOf(text);
    return CatchError([&] { r.checkHeader(); });
  };
  EXPECT_EQ(0, check("Zerbin", 100).code);
  EXPECT_EQ(0, check("Zerbin", 300).code);
  Errors_Msg e = check("Zerbin", 99);
  EXPECT_EQ(IniFile_Err_OtherVer, e.code);
  EXPECT_STREQ("アプリが対応していない、新しいバージョンのファイルです （file:99, app:100～300）",
               e.message());
  EXPECT_EQ(IniFile_Err_OtherVer, check("Zerbin", 301).code);
  e = check("Other", 300);
  EXPECT_EQ(IniFile_Err_OtherApp, e.code);
  EXPECT_STREQ("アプリケーションが異なります （file:Other, app:Zerbin）", e.message());
}

TEST(IniFileReader, TruncatedFileAndOpenFailure) {
  TempDir dir;
  std::string path = dir.file("t.ini");
  // Cut in the middle of a quoted value and of the last line.
  testing_support::WriteFileBytes(path, "[main] \r\nApplication = Zerbin\r\nName = \"abc");
  IniFileReader r;
  r.open(path);
  r.setSection("main");
  std::string s;
  r.readAttribute("Application", "s", &s);
  r.readAttribute("Name", "s", &s);
  EXPECT_EQ("abc", s);
  EXPECT_EQ(IniFile_Err_FewAttr, CatchError([&] { int32_t v = 0; r.readAttribute("Version", "i", &v); }).code);

  Errors_Msg e = CatchError([&] { r.open(dir.file("none.ini")); });
  EXPECT_EQ(FileX_Err_CannotReadOpen, e.code);
  EXPECT_EQ("読みこみモードで open できません。" + dir.file("none.ini"), e.message());
}
