#include "core/filex/filex_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/filex/filex_flags.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {
ssize_t failingWrite(int, const void*, size_t) {
  errno = ENOSPC;
  return -1;
}
}  // namespace

TEST(FileXCopy, CopyByContent) {
  testing_support::TempDir dir;
  std::string src = dir.file("src.bin");
  std::string dst = dir.file("a/b/dst.bin");
  Errors_Msg e = CatchError([&] { FileX_copyByContent(dst, src); });
  EXPECT_EQ(FileX_Err_NotFindCopySrc, e.code);
  EXPECT_EQ("コピー元が見つかりません " + src, e.message());
  EXPECT_FALSE(FileX_exists(dir.file("a")));

  std::string bytes(3000, 'x');
  bytes[1024] = '\0';
  WriteFileBytes(src, bytes);
  struct timespec t[2] = {{5000, 0}, {5000, 0}};
  utimensat(AT_FDCWD, src.c_str(), t, 0);
  chmod(src.c_str(), 0600);
  FileX_copyByContent(dst, src);  // creates a/b
  EXPECT_EQ(bytes, ReadFileBytes(dst));
  EXPECT_EQ(0, FileX_compareTimes(dst, src));

  // A read-only destination is overwritten; a failed write keeps it.
  WriteFileBytes(dst, "old");
  chmod(dst.c_str(), 0444);
  {
    FileX_WriteFunctionScope scope(&failingWrite);
    EXPECT_EQ(FileX_Err_CannotWrite, CatchError([&] { FileX_copyByContent(dst, src); }).code);
  }
  EXPECT_EQ("old", ReadFileBytes(dst));
  FileX_copyByContent(dst, src);
  EXPECT_EQ(bytes, ReadFileBytes(dst));
  FileX_setWriteFailed(false);

  EXPECT_TRUE(FileX_copyFile(dir.file("c/d.bin"), src));
  EXPECT_FALSE(FileX_copyFile(dir.file("c/e.bin"), dir.file("none")));
}

TEST(FileXCopy, CopyRangeAndFolders) {
  testing_support::TempDir dir;
  std::string src = dir.file("s.txt");
  std::string data;
  for (int i = 0; i < 5000; ++i) data.push_back(static_cast<char>('a' + i % 26));
  WriteFileBytes(src, data);
  {
    FilePtr in = FileX_open(src, "rb");
    FilePtr out = FileX_open(dir.file("r.txt"), "wb");
    FileX_copyRange(out.get(), in.get(), 10, 4100);  // more than two blocks
  }
  EXPECT_EQ(data.substr(10, 4090), ReadFileBytes(dir.file("r.txt")));
  {
    FilePtr in = FileX_open(src, "rb");
    FilePtr full(fopen("/dev/full", "wb"));
    Errors_Msg e = CatchError([&] { FileX_copyRange(full.get(), in.get(), 0, -1); });
    EXPECT_EQ(FileX_Err_CannotWrite, e.code);
    EXPECT_STREQ("書きこみに失敗しました。", e.message());
  }

  // A tree with a Shift-JIS name (trail bytes 0x5C), an empty folder and a
  // link that points outside: the link is copied as a link.
  std::string tree = dir.file("tree");
  mkdir(tree.c_str(), 0755);
  mkdir((tree + "/sub").c_str(), 0755);
  mkdir((tree + "/empty").c_str(), 0755);
  WriteFileBytes(tree + "/\xE3\x82\xBD\xE8\xA1\xA8.svg", "svg");  // ソ表.svg in UTF-8
  WriteFileBytes(tree + "/sub/x.txt", "x");
  ASSERT_EQ(0, symlink(src.c_str(), (tree + "/sub/link").c_str()));
  std::string copy = dir.file("copy");
  FileX_copyFolder(copy, tree);
  EXPECT_EQ("svg", ReadFileBytes(copy + "/\xE3\x82\xBD\xE8\xA1\xA8.svg"));
  EXPECT_TRUE(FileX_exists(copy + "/ソ表.svg"));
  EXPECT_EQ("x", ReadFileBytes(copy + "/sub/x.txt"));
  EXPECT_TRUE(FileX_isFolder(copy + "/empty"));
  struct stat st;
  ASSERT_EQ(0, lstat((copy + "/sub/link").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(FileX_Err_CannotWrite, CatchError([&] { FileX_copyFolder(src, tree); }).code);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_copyFolder(tree + "/sub/in", tree); }).code);

  // Moves: a folder and a file (renames here).
  std::string moved = dir.file("moved");
  FileX_move(moved, copy);
  EXPECT_FALSE(FileX_exists(copy));
  EXPECT_EQ("x", ReadFileBytes(moved + "/sub/x.txt"));
  FileX_move(dir.file("m.txt"), moved + "/sub/x.txt");
  EXPECT_EQ("x", ReadFileBytes(dir.file("m.txt")));
  EXPECT_FALSE(FileX_exists(moved + "/sub/x.txt"));
  FileX_moveWithSystemCopy(dir.file("m2.txt"), dir.file("m.txt"));
  EXPECT_EQ("x", ReadFileBytes(dir.file("m2.txt")));
  Errors_Msg e = CatchError([&] { FileX_moveWithSystemCopy(dir.file("m3"), dir.file("none")); });
  EXPECT_EQ(FileX_Err_AccessDenied, e.code);
  EXPECT_EQ(dir.file("none") + " が " + dir.file("m3") + " にコピーできません", e.message());

  EXPECT_TRUE(FileX_makeFolders(dir.file("p/q/r.txt"), true));
  EXPECT_TRUE(FileX_isFolder(dir.file("p/q")));
  EXPECT_FALSE(FileX_exists(dir.file("p/q/r.txt")));
  EXPECT_TRUE(FileX_makeFolders(dir.file("p/q/r"), false));
  EXPECT_TRUE(FileX_isFolder(dir.file("p/q/r")));
}
