#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/errors/result_code.h"
#include "core/inifile/ini_line_scanner.h"
#include "support/test_support.h"

using testing_support::TempDir;

TEST(IniLineScanner, OpenResultsAndMessages) {
  TempDir dir;
  IniLineScanner sc;
  std::string missing = dir.file("none.ini");
  EXPECT_EQ(ResultCode_NotFound, sc.open(missing));
  EXPECT_EQ(0u, ResultCode_getText(ResultCode_NotFound)
                    .find("<ERROR msg=\"Not found\" path=\"" + missing + "\" current=\""));
  std::string locked = dir.file("locked.ini");
  testing_support::WriteFileBytes(locked, "x");
  ::chmod(locked.c_str(), 0);
  if (::geteuid() != 0) {
    EXPECT_EQ(ResultCode_AccessDenied, sc.open(locked));
    EXPECT_EQ("access denied \"" + locked + "\"\n", ResultCode_getText(ResultCode_AccessDenied));
  }
  ResultCode_clearMessage();
}

TEST(IniLineScanner, LinesOfCrLfAndLfFiles) {
  TempDir dir;
  std::string path = dir.file("z.ini");
  testing_support::WriteFileBytes(path, "[view] \r\na = 1\r\nb = \"x\r\ny\", 2\nc = 3");
  IniLineScanner sc;
  ASSERT_EQ(0, sc.open(path));
  std::string line;
  std::vector<std::string> lines;
  while (sc.nextLine(line)) lines.push_back(line);
  EXPECT_EQ((std::vector<std::string>{"[view] ", "a = 1", "b = \"x\ny\", 2", "c = 3"}), lines);
}

// A quote opened at the start of a value and never closed damages only its
// own line; a quoted value that goes on over a line break is still joined.
TEST(IniLineScanner, UnclosedQuoteHidesOnlyItsLine) {
  TempDir dir;
  std::string path = dir.file("d.ini");
  testing_support::WriteFileBytes(
      path, "a = \"open\r\nb = 2\r\nc = \"x\r\ny\", 3\r\nd = \"q, \"r\"\r\ne = \"z\r\n");
  IniLineScanner sc;
  ASSERT_EQ(0, sc.open(path));
  std::string line;
  std::vector<std::string> lines;
  while (sc.nextLine(line)) lines.push_back(line);
  EXPECT_EQ((std::vector<std::string>{"a = \"open", "b = 2", "c = \"x\ny\", 3", "d = \"q, \"r\"",
                                      "e = \"z"}),
            lines);
}

TEST(IniLineScanner, KeysAndValues) {
  EXPECT_TRUE(IniFile_isKey("  splitx = 1", "SplitX"));
  EXPECT_TRUE(IniFile_isKey("\tSplitX\t= 1", "SplitX"));
  EXPECT_TRUE(IniFile_isKey("SplitX=1", "SplitX"));
  EXPECT_FALSE(IniFile_isKey("SearchOpen_Show = 1", "SearchOpen"));
  EXPECT_FALSE(IniFile_isKey("SplitX", "SplitX"));
  // Trail byte 0x5C of "ソ" and a lower-case-looking trail byte are compared exactly.
  EXPECT_TRUE(IniFile_isKey("ソ表 = 1", "ソ表"));
  EXPECT_FALSE(IniFile_isKey("\x83\x7c = 1", "\x83\x5c"));
  EXPECT_EQ("a = b", IniFile_value("k =  a = b \t\r"));
  EXPECT_EQ("", IniFile_value("no equals"));
}

TEST(IniLineScanner, ScanLettersAndOptionalFields) {
  int32_t n = 9;
  uint32_t mask = 99;
  EXPECT_EQ(0, IniFile_scan("", &mask, "+i", &n));
  EXPECT_EQ(9, n);
  EXPECT_EQ(0u, mask);
  EXPECT_EQ(0, IniFile_scan("", &mask, "i", &n));
  EXPECT_EQ(0, n);

  bool b[5] = {false, false, false, true, true};
  EXPECT_EQ(0, IniFile_scan("TRUE, Yes,1, on,", &mask, "bbbb+b", &b[0], &b[1], &b[2], &b[3], &b[4]));
  EXPECT_TRUE(b[0] && b[1] && b[2]);
  EXPECT_FALSE(b[3]);
  EXPECT_TRUE(b[4]);
  EXPECT_EQ(0x0Fu, mask);

  int32_t r[4] = {1, 2, 3, 4};
  double d = 0;
  EXPECT_EQ(0, IniFile_scan("0x1F, -7 , , 2.5e1", &mask, "i+i+if", &r[0], &r[1], &r[2], &d));
  EXPECT_EQ(31, r[0]);
  EXPECT_EQ(-7, r[1]);
  EXPECT_EQ(3, r[2]);
  EXPECT_DOUBLE_EQ(25.0, d);
  EXPECT_EQ(0b1011u, mask);
  EXPECT_EQ(ResultCode_BadText, IniFile_scan("12x", nullptr, "i", &r[0]));
  EXPECT_EQ(1, IniFile_scan("1", nullptr, "q", &r[0]));
  EXPECT_EQ(1, IniFile_scan("1", nullptr, "b", &r[0]));  // wrong kind of output
}

TEST(IniLineScanner, ScanTextsWithShiftJis) {
  std::string a = "keep", b;
  EXPECT_EQ(0, IniFile_scan("\"ソ,\"\"表\"\"\" , 十能\\ ", nullptr, "ss", IniScanText{&a, 512},
                            IniScanText{&b, 512}));
  EXPECT_EQ("ソ,\"表\"", a);
  EXPECT_EQ("十能\\", b);
  a = "keep";
  EXPECT_EQ(0, IniFile_scan(", x", nullptr, "+ss", IniScanText{&a, 512}, IniScanText{&b, 512}));
  EXPECT_EQ("keep", a);
  EXPECT_EQ(0, IniFile_scan("\"\"", nullptr, "+s", IniScanText{&a, 512}));
  EXPECT_EQ("", a);  // a quoted empty field is present
  // Cut to size-1 bytes, never inside "ソ".
  EXPECT_EQ(ResultCode_BufferTooSmall, IniFile_scan("abソ", nullptr, "s", IniScanText{&a, 4}));
  EXPECT_EQ("ab", a);
  EXPECT_EQ(0, IniFile_scan("abソ", nullptr, "s", IniScanText{&a, 5}));
}

TEST(IniLineScanner, TimesReadAndWritten) {
  std::time_t t = 0;
  int32_t zone = 1;
  IniScanTime out{&t, &zone};
  EXPECT_EQ(0, IniFile_scan("2024-05-06T07:08:09.123Z", nullptr, "t", out));
  EXPECT_EQ(1714979289, t);
  EXPECT_EQ(0, zone);
  EXPECT_EQ(0, IniFile_scan("2024-05-06T16:08+09:00", nullptr, "t", out));
  EXPECT_EQ(1714979280, t);
  EXPECT_EQ(540, zone);
  EXPECT_EQ(0, IniFile_scan("2024-05-06T07:08:09-01:30", nullptr, "t", out));
  EXPECT_EQ(1714979289 + 5400, t);
  EXPECT_EQ(0, IniFile_scan("2024", nullptr, "t", out));
  EXPECT_EQ(0, IniFile_scan("2024-05", nullptr, "t", out));
  for (const char* bad : {"2024/05/06-07:08:09", "2024-05-06T07:08", "2024-05-06T07:08:09.1234Z",
                          "2024-13-01", "24-05-06"}) {
    t = 5;
    EXPECT_EQ(ResultCode_BadText, IniFile_scan(bad, nullptr, "t", out)) << bad;
    EXPECT_EQ(5, t);
  }
  t = 5;
  EXPECT_EQ(0, IniFile_scan("", nullptr, "+t", out));
  EXPECT_EQ(5, t);

  std::time_t now = std::time(nullptr);
  std::string text = IniFile_timeText(now, 42);
  EXPECT_EQ(29u, text.size()) << text;
  EXPECT_EQ(".042", text.substr(19, 4));
  EXPECT_EQ(0, IniFile_scan(text, nullptr, "t", out));
  EXPECT_EQ(now, t);
}
