#include "core/filex/filex_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

TEST(FileXInfo, ExistsAndFolders) {
  testing_support::TempDir dir;
  std::string f = dir.file("a.txt");
  testing_support::WriteFileBytes(f, "x");
  EXPECT_TRUE(FileX_exists(f));
  EXPECT_TRUE(FileX_exists(dir.path() + "/sub/../a.txt"));
  EXPECT_FALSE(FileX_exists(dir.file("b.txt")));
  EXPECT_FALSE(FileX_exists(""));
  EXPECT_TRUE(FileX_exists("C:"));
  EXPECT_FALSE(FileX_exists("C:\\Windows"));
  EXPECT_FALSE(FileX_exists("\\\\server\\share"));
  EXPECT_FALSE(FileX_exists("/../tmp"));  // climbs above the root
  EXPECT_TRUE(FileX_existsIgnoringFragment(f + "#page2"));
  EXPECT_TRUE(FileX_existsIgnoringFragment(f + "?q=1"));
  EXPECT_FALSE(FileX_exists(f + "#page2"));

  EXPECT_TRUE(FileX_isFolder(dir.path()));
  EXPECT_TRUE(FileX_isFolder(dir.path() + "/"));
  EXPECT_FALSE(FileX_isFolder(f));
  EXPECT_TRUE(FileX_isFolder("C:"));
  EXPECT_TRUE(FileX_isFolder("c:\\"));

  // Not Shift-JIS: a lead byte without a trail byte raises 102.
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_exists(dir.path() + "/\x82"); }).code);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_exists(std::string(4096, 'a')); }).code);
  EXPECT_EQ(0, CatchError([&] { FileX_exists(std::string(4095, 'a')); }).code);
}

TEST(FileXInfo, TimesSizesAndKinds) {
  testing_support::TempDir dir;
  std::string a = dir.file("a"), b = dir.file("b");
  EXPECT_EQ(0, FileX_compareTimes(a, b));
  testing_support::WriteFileBytes(a, "12345");
  EXPECT_EQ(2, FileX_compareTimes(a, b));
  EXPECT_EQ(-2, FileX_compareTimes(b, a));
  testing_support::WriteFileBytes(b, "\xFE\xFF");
  struct timespec t[2] = {{1000, 0}, {1000, 5}};
  utimensat(AT_FDCWD, a.c_str(), t, 0);
  t[1].tv_nsec = 6;
  utimensat(AT_FDCWD, b.c_str(), t, 0);
  EXPECT_EQ(-1, FileX_compareTimes(a, b));  // nanoseconds count
  EXPECT_EQ(1, FileX_compareTimes(b, a));
  EXPECT_EQ(0, FileX_compareTimes(a, a));
  EXPECT_EQ(1000000000005, FileX_fileTime(a));
  Errors_Msg e = CatchError([&] { FileX_fileTime(dir.file("none")); });
  EXPECT_EQ(FileX_Err_NotSupportUnicode, e.code);
  EXPECT_EQ("getUpdate できません : " + dir.file("none"), e.message());
  EXPECT_EQ(5, FileX_fileSize(a));
  EXPECT_EQ(0, FileX_fileSize(dir.file("none")));
  EXPECT_EQ(0, FileX_utf16Kind(a));
  EXPECT_EQ(2, FileX_utf16Kind(b));
  testing_support::WriteFileBytes(b, "\xFF\xFEx");
  EXPECT_EQ(1, FileX_utf16Kind(b));

  FileX_setReadOnly(a, true);
  EXPECT_TRUE(FileX_isReadOnly(a));
  FileX_setReadOnly(a, false);
  EXPECT_FALSE(FileX_isReadOnly(a));
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_setReadOnly(dir.file("none"), true); }).code);
}

// "Inside this folder": strictly below it, after "..", doubled separators
// and the symbolic links of the part that exists.
TEST(FileXInfo, InsideFolderFollowsLinksOutOfTheFolder) {
  testing_support::TempDir dir;
  const std::string site = dir.file("site"), outside = dir.file("outside");
  ASSERT_EQ(::mkdir(site.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(outside.c_str(), 0755), 0);
  ASSERT_EQ(::symlink(outside.c_str(), (site + "/out").c_str()), 0);
  ASSERT_EQ(::symlink(site.c_str(), dir.file("alias").c_str()), 0);
  EXPECT_TRUE(FileX_insideFolder(site + "/a.html", site));
  EXPECT_TRUE(FileX_insideFolder(site + "//new/deeper/b.html", site + "/"));
  EXPECT_TRUE(FileX_insideFolder(dir.file("alias") + "/a.html", site));
  EXPECT_TRUE(FileX_insideFolder(site + "/x/../a.html", site));
  EXPECT_FALSE(FileX_insideFolder(site, site));
  EXPECT_FALSE(FileX_insideFolder(site + "/", site));
  EXPECT_FALSE(FileX_insideFolder(site + "/../outside/a.html", site));
  EXPECT_FALSE(FileX_insideFolder(site + "/out/a.html", site));  // the link leads out
  EXPECT_FALSE(FileX_insideFolder(site + "2/a.html", site));
  EXPECT_FALSE(FileX_insideFolder("", site));
  EXPECT_TRUE(FileX_insideFolder("/etc/passwd", "/"));
}
