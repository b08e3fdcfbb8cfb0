#include "core/filex/filex_open.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/filex/filex_info.h"
#include "support/test_support.h"

using testing_support::CatchError;

namespace {
std::string cwd() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? buf : "";
}
}  // namespace

TEST(FileXOpen, MessagesOfTheFailedOpens) {
  testing_support::TempDir dir;
  std::string missingFolder = dir.file("nodir/out.csv");
  Errors_Msg e = CatchError([&] { FileX_open(missingFolder, "wb"); });
  EXPECT_EQ(FileX_Err_CannotWriteOpen, e.code);
  EXPECT_EQ("ファイルを格納するフォルダが無いので、ファイル \"" + missingFolder +
                "\" が書きこめません\r\nOS=No such file or directory",
            e.message());

  // Read-only by its mode bits: refused even though the tests run as root.
  std::string ro = dir.file("ro.txt");
  testing_support::WriteFileBytes(ro, "old");
  chmod(ro.c_str(), 0444);
  e = CatchError([&] { FileX_open(ro, "ab"); });
  EXPECT_EQ(FileX_Err_CannotWriteOpen, e.code);
  EXPECT_EQ("ファイル \"" + ro +
                "\" が書きこめません(読み込み専用属性が付いているか、フォルダです）\r\nOS=Permission denied",
            e.message());
  EXPECT_EQ("old", testing_support::ReadFileBytes(ro));
  e = CatchError([&] { FileX_open(dir.path(), "wb"); });  // a folder
  EXPECT_EQ(FileX_Err_CannotWriteOpen, e.code);
  EXPECT_NE(nullptr, strstr(e.message(), "読み込み専用属性が付いているか、フォルダです"));

  std::string missing = dir.file("missing.txt");
  e = CatchError([&] { FileX_open(missing, "rb"); });
  EXPECT_EQ(FileX_Err_CannotReadOpen, e.code);
  EXPECT_EQ("ファイル \"" + missing + "\" が見つかりません\r\nカレント＝" + cwd() +
                "\r\nOS=No such file or directory",
            e.message());
  // A folder is no file to read.
  e = CatchError([&] { FileX_readWhole(dir.path()); });
  EXPECT_EQ("ファイル \"" + dir.path() + "\" が開けません\r\nカレント＝" + cwd() +
                "\r\nOS=Is a directory",
            e.message());
  e = CatchError([&] { FileX_open(dir.path(), "r+"); });
  EXPECT_EQ(FileX_Err_CannotWriteOpen, e.code);

  // A drive path never reaches the OS (no file "C:\x" in the current folder).
  e = CatchError([&] { FileX_open("C:\\nodir\\x.txt", "wb"); });
  EXPECT_EQ(FileX_Err_CannotWriteOpen, e.code);
  EXPECT_EQ(-1, access("C:\\nodir\\x.txt", F_OK));
}

TEST(FileXOpen, ReadAndWriteHelpers) {
  testing_support::TempDir dir;
  std::string p = dir.file("ソ表.bin");
  FileX_writeWhole(p, std::string("a\0b\r\nc", 6));
  std::string got;
  EXPECT_EQ(4u, FileX_readAll(p, got, 4));
  EXPECT_EQ(std::string("a\0b\r", 4), got);
  EXPECT_EQ(6u, FileX_readAll(p, got, 100));
  EXPECT_EQ(std::string("a\0b\r\nc", 6), FileX_readWhole(p));
  FilePtr f = FileX_open(p, "rb");
  EXPECT_EQ("a", FileX_readN(f.get(), 1));
  EXPECT_EQ(std::string("\0b\r\nc", 5), FileX_readN(f.get(), 50));

  Errors_Msg e = CatchError([&] { FileX_readWhole(dir.file("none")); });
  EXPECT_EQ(FileX_Err_CannotReadOpen, e.code);

  FilePtr full(fopen("/dev/full", "wb"));
  ASSERT_TRUE(full);
  setvbuf(full.get(), nullptr, _IONBF, 0);
  e = CatchError([&] { FileX_writeN(full.get(), "x"); });
  EXPECT_EQ(FileX_Err_CannotWrite, e.code);
  EXPECT_STREQ("書きこみに失敗しました。", e.message());
}

TEST(FileXOpen, CurrentFolderThatCodePage932CannotNameIsShownEmpty) {
  testing_support::TempDir dir;
  const std::string unnamed = dir.file("d\xC3\xA9");  // "é": not in code page 932
  ASSERT_EQ(mkdir(unnamed.c_str(), 0700), 0);
  std::string saved = cwd();
  ASSERT_EQ(chdir(unnamed.c_str()), 0);
  Errors_Msg e = CatchError([&] { FileX_open("missing.txt", "rb"); });
  ASSERT_EQ(chdir(saved.c_str()), 0);
  EXPECT_EQ(FileX_Err_CannotReadOpen, e.code);
  // No name with "?" marks that would stand for another folder.
  EXPECT_EQ("ファイル \"missing.txt\" が見つかりません\r\nカレント＝\r\nOS=No such file or directory",
            std::string(e.message()));
}
