#include "core/filex/filex_delete.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "core/filex/filex_info.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::WriteFileBytes;

TEST(FileXDelete, RefusesProtectedFoldersAndDeletesNothing) {
  for (const char* p : {"", "/", "/usr", "/etc", "/lib", "/var", "/proc", "/usr/", "//usr"})
    EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_deleteTree(p); }).code) << p;
  EXPECT_TRUE(FileX_isFolder("/usr"));

  testing_support::TempDir dir;
  std::string home = dir.file("home");
  mkdir(home.c_str(), 0755);
  WriteFileBytes(home + "/keep.txt", "k");
  std::string linkToHome = dir.file("h");
  ASSERT_EQ(0, symlink(home.c_str(), linkToHome.c_str()));
  std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_deleteTree(home); }).code);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_deleteTree(linkToHome); }).code);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_deleteTree(dir.path()); }).code);  // holds $HOME
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { FileX_deleteTree(home + "/../home"); }).code);
  setenv("HOME", savedHome.c_str(), 1);
  EXPECT_TRUE(FileX_exists(home + "/keep.txt"));
}

TEST(FileXDelete, DeletesTreeWithoutFollowingLinks) {
  testing_support::TempDir dir;
  std::string outside = dir.file("outside");
  mkdir(outside.c_str(), 0755);
  WriteFileBytes(outside + "/precious.txt", "p");
  std::string tree = dir.file("tree");
  mkdir(tree.c_str(), 0755);
  mkdir((tree + "/a").c_str(), 0755);
  mkdir((tree + "/a/b").c_str(), 0755);
  WriteFileBytes(tree + "/a/b/f.txt", "f");
  WriteFileBytes(tree + "/\xE3\x82\xBD.txt", "so");
  std::string ro = tree + "/a/ro.txt";
  WriteFileBytes(ro, "r");
  chmod(ro.c_str(), 0444);
  ASSERT_EQ(0, symlink(outside.c_str(), (tree + "/a/link").c_str()));

  char saved[4096];
  ASSERT_TRUE(getcwd(saved, sizeof saved));
  ASSERT_EQ(0, chdir((tree + "/a/b").c_str()));  // the current folder lies inside
  EXPECT_TRUE(FileX_deleteTree(tree));
  EXPECT_FALSE(FileX_exists(tree));
  EXPECT_TRUE(FileX_exists(outside + "/precious.txt"));
  ASSERT_EQ(0, chdir(saved));
  EXPECT_FALSE(FileX_deleteTree(tree));  // gone already

  WriteFileBytes(dir.file("a.TMP"), "");
  WriteFileBytes(dir.file("b.tmp"), "");
  WriteFileBytes(dir.file("c.txt"), "");
  mkdir(dir.file("d.tmp").c_str(), 0755);
  EXPECT_EQ(2, FileX_deleteFiles(dir.path() + "/*.tmp"));
  EXPECT_TRUE(FileX_exists(dir.file("c.txt")));
  EXPECT_TRUE(FileX_isFolder(dir.file("d.tmp")));
  EXPECT_FALSE(FileX_exists(dir.file("b.tmp")));
  EXPECT_TRUE(FileX_deleteFile(dir.file("c.txt")));
  EXPECT_FALSE(FileX_deleteFile(dir.file("c.txt")));
}
