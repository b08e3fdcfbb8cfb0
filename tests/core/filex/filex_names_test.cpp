#include "core/filex/filex_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "core/filex/filex_info.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

TEST(FileXNames, SavingAndNoteNames) {
  testing_support::TempDir dir;
  std::string first = FileX_uniqueSavingName(dir.path());
  EXPECT_EQ(dir.file("saving-1"), first);
  EXPECT_TRUE(FileX_exists(first));  // created, so a second caller gets another
  EXPECT_EQ(dir.file("saving-2"), FileX_uniqueSavingName(dir.file("note.svg")));
  EXPECT_EQ(dir.file("saving-3"), FileX_uniqueSavingName(dir.path() + "/"));

  EXPECT_EQ(dir.path() + "/n1.svg", FileX_uniqueNoteName(dir.path() + "/", "n"));
  WriteFileBytes(dir.file("n1.svg"), "");
  EXPECT_EQ(dir.path() + "/n2.svg", FileX_uniqueNoteName(dir.path() + "/", "n"));

  std::string saved = getenv("TMPDIR") ? getenv("TMPDIR") : "";
  setenv("TMPDIR", (dir.path() + "/").c_str(), 1);
  EXPECT_EQ(dir.path(), FileX_tempFolder());
  EXPECT_EQ(dir.path() + "/x1.svg", FileX_uniqueNoteName("", "x"));
  std::string t1 = FileX_temporaryName("unitmp");
  std::string t2 = FileX_temporaryName("unitmp");
  EXPECT_NE(t1, t2);
  EXPECT_EQ(0u, t1.rfind(dir.path() + "/unitmp", 0));
  EXPECT_EQ(dir.path().size() + 13, t1.size());
  EXPECT_TRUE(FileX_exists(t1));
  if (saved.empty()) unsetenv("TMPDIR"); else setenv("TMPDIR", saved.c_str(), 1);
}

TEST(FileXNames, FixImageExtension) {
  testing_support::TempDir dir;
  std::string p = dir.file("x.jpg");
  WriteFileBytes(p, "GIF89a.........");
  ASSERT_TRUE(FileX_fixImageExtension(p));
  EXPECT_EQ(dir.file("x.gif"), p);
  EXPECT_FALSE(FileX_exists(dir.file("x.jpg")));
  EXPECT_TRUE(FileX_fixImageExtension(p));  // already right
  EXPECT_EQ(dir.file("x.gif"), p);

  std::string png = dir.file("ソ表.GIF");  // Shift-JIS name, extension case
  WriteFileBytes(dir.path() + "/\xE3\x82\xBD\xE8\xA1\xA8.GIF", "\x89PNG\r\n\x1A\n");
  ASSERT_TRUE(FileX_fixImageExtension(png));
  EXPECT_EQ(dir.file("ソ表.png"), png);

  // An unrelated file of the new name is never replaced.
  WriteFileBytes(dir.file("y.jpg"), "keep me");
  std::string jpg = dir.file("y.bin");
  WriteFileBytes(jpg, std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11));
  ASSERT_TRUE(FileX_fixImageExtension(jpg));
  EXPECT_EQ(dir.file("y (2).jpg"), jpg);
  EXPECT_EQ("keep me", ReadFileBytes(dir.file("y.jpg")));

  std::string other = dir.file("z.jpg");
  WriteFileBytes(other, "not an image");
  EXPECT_FALSE(FileX_fixImageExtension(other));
  EXPECT_EQ(dir.file("z.jpg"), other);
}
