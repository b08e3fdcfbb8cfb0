#include "core/filex/text_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(TextFile, LineEndsAreCrLfOnDiskAndLfInMemory) {
  EXPECT_EQ("a\r\nb\r\n\r\nc", TextFile_toDisk("a\nb\r\n\nc"));
  EXPECT_EQ("a\nb\n\rc", TextFile_fromDisk("a\r\nb\n\rc"));
  testing_support::TempDir dir;
  std::string path = dir.file("t.txt");
  ASSERT_TRUE(TextFile_write(path, "表\nソ\n", false));
  ASSERT_TRUE(TextFile_write(path, "x\n", true));
  EXPECT_EQ("表\r\nソ\r\nx\r\n", testing_support::ReadFileBytes(path));
  EXPECT_EQ(std::optional<std::string>("表\nソ\nx\n"), TextFile_read(path));
  EXPECT_FALSE(TextFile_read(dir.file("missing")).has_value());
  EXPECT_FALSE(TextFile_write(dir.file("no/dir/t.txt"), "x", false));
}

TEST(TextFile, ShiftJisNamesReachTheFileSystemAsUtf8) {
  testing_support::TempDir dir;
  std::string name = dir.path() + "/ソ表.txt";  // trail bytes 0x5C in the name
  ASSERT_TRUE(TextFile_write(name, "x", false));
  EXPECT_EQ("x", testing_support::ReadFileBytes(dir.path() + "/\xE3\x82\xBD\xE8\xA1\xA8.txt"));
  EXPECT_EQ(nullptr, FileX_openOs(dir.path() + "/\x82", "rb"));  // not valid CP932
}
