#include "core/filex/filex_tag.h"

#include <gtest/gtest.h>

TEST(FileXTag, PaddedNamesAndLittleEndianBytes) {
  FileX_Tag t = FileX_makeTag("KW", 0x01020304);
  EXPECT_EQ(std::string("KW  \x04\x03\x02\x01", 8), FileX_tagBytes(t));
  EXPECT_EQ(0x01020304, FileX_tagValue(t, "KW"));
  EXPECT_EQ(0x01020304, FileX_tagValue(t, "KW  "));
  EXPECT_EQ(-1, FileX_tagValue(t, "KWX"));
  EXPECT_EQ(-1, FileX_tagValue(t, "KW   "));
  std::vector<FileX_Tag> tags = {FileX_makeTag("LINK", 7), FileX_makeTag("ID", -1),
                                 FileX_makeTag("ID", 9)};
  EXPECT_EQ(7, FileX_findTag(tags, "LINK"));
  EXPECT_EQ(-1, FileX_findTag(tags, "ID"));  // the first match answers
  EXPECT_EQ(-1, FileX_findTag(tags, "NONE"));
  FileX_Tag back;
  ASSERT_TRUE(FileX_tagFromBytes(std::string("ID  \xFE\xFF\xFF\xFF", 8), back));
  EXPECT_EQ(-2, back.value);
  EXPECT_EQ(-2, FileX_tagValue(back, "ID"));
  EXPECT_FALSE(FileX_tagFromBytes("ID  ", back));
}
