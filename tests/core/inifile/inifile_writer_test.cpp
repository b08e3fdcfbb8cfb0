#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/inifile/inifile.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

TEST(IniFileWriter, ExactBytesOnDisk) {
  TempDir dir;
  std::string path = dir.file("a.ini");
  IniFileWriter w;
  w.open(path);
  w.section("main");
  w.attribute("Application", "s", "Zerbin");
  w.attribute("Version", "i", 300);
  w.section("view");
  w.attribute("PropBox", "b", true);
  w.attribute("Rect", "iiii", 0, -1, 100, 2147483647);
  w.attribute("Color", "x", uint32_t{0xFF00AB});
  w.attribute("Empty", "");
  w.close();
  EXPECT_EQ(
      "[main] \r\nApplication = Zerbin\r\nVersion = 300\r\n \r\n[view] \r\nPropBox = 1\r\n"
      "Rect = 0, -1, 100, 2147483647\r\nColor = 0xFF00AB\r\nEmpty = \r\n \r\n",
      ReadFileBytes(path));
}

TEST(IniFileWriter, StringsAreQuotedByTheCsvRule) {
  IniFileWriter w;
  w.attribute("a", "ssss", "x,y", "say \"hi\"", " lead", "ソ表");
  // A text longer than 4096 bytes is refused and leaves no part of its line.
  EXPECT_EQ(StrX_Err_BufOver, CatchError([&] { w.attribute("b", "is", 1, std::string(5000, 'q')); }).code);
  EXPECT_EQ("a = \"x,y\", \"say \"\"hi\"\"\", \" lead\", ソ表\n", w.text());
}

TEST(IniFileWriter, TimeIsLocalText) {
  IniFileWriter w;
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 4;
  tm.tm_mday = 6;
  tm.tm_hour = 7;
  tm.tm_min = 8;
  tm.tm_sec = 9;
  tm.tm_isdst = -1;
  w.attribute("t", "t", std::mktime(&tm));
  EXPECT_EQ("t = 2024/05/06-07:08:09\n", w.text());
}

TEST(IniFileWriter, OpenFailureAndUntouchedTargetWithoutClose) {
  TempDir dir;
  IniFileWriter w;
  Errors_Msg e = CatchError([&] { w.open(dir.file("missing/x.ini")); });
  EXPECT_EQ(FileX_Err_CannotWriteOpen, e.code);
  EXPECT_EQ("書きこみモードで open できません。" + dir.file("missing/x.ini"), e.message());

  std::string path = dir.file("keep.ini");
  testing_support::WriteFileBytes(path, "old");
  {
    IniFileWriter w2;
    w2.open(path);
    w2.section("main");
  }  // no close(): the old file stays
  EXPECT_EQ("old", ReadFileBytes(path));
}

TEST(IniFileWriter, WriteSharedReplacesAndRemovesTemporary) {
  TempDir dir;
  std::string path = dir.file("s.ini");
  testing_support::WriteFileBytes(path, "old");
  IniFile_writeShared(path, "Zerbin_IniSemaTest", [](IniFileWriter& w) {
    w.section("main");
    w.attribute("Version", "i", 300);
  });
  EXPECT_EQ("[main] \r\nVersion = 300\r\n \r\n", ReadFileBytes(path));
  EXPECT_EQ("", ReadFileBytes(path + "_"));

  // A raise while writing leaves the old file and no temporary file.
  Errors_Msg e = CatchError([&] {
    IniFile_writeShared(path, "Zerbin_IniSemaTest", [](IniFileWriter& w) {
      w.section("x");
      w.attribute("bad", "q", 1);
    });
  });
  EXPECT_EQ(Errors_Unofficial, e.code);
  EXPECT_EQ("[main] \r\nVersion = 300\r\n \r\n", ReadFileBytes(path));
  EXPECT_EQ("", ReadFileBytes(path + "_"));
}

// A settings file made private stays private when it is written again, and
// a new one gets the usual mode.
TEST(IniFileWriter, WriteSharedKeepsTheModeOfTheFile) {
  TempDir dir;
  std::string path = dir.file("p.ini");
  auto write = [&] {
    IniFile_writeShared(path, "Zerbin_IniSemaTest", [](IniFileWriter& w) { w.section("main"); });
  };
  mode_t mask = ::umask(022);
  write();
  struct stat st{};
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0644u, st.st_mode & 07777);
  ASSERT_EQ(0, ::chmod(path.c_str(), 0600));
  write();
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 07777);
  ASSERT_EQ(0, ::chmod(path.c_str(), 0640));
  write();
  ::umask(mask);
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  EXPECT_EQ("[main] \r\n \r\n", ReadFileBytes(path));
}
