#include "core/filex/filex_textcopy.h"

#include <gtest/gtest.h>

#include "core/filex/filex_open.h"
#include "core/filex/text_file.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;

TEST(FileXTextCopy, CrLfLinesCopiedReplacedAndCut) {
  testing_support::TempDir dir;
  std::string src = dir.file("t.txt");
  ASSERT_TRUE(TextFile_write(src, "head ソ\n%title% here\nbody <!--END--> tail\nlast\n", false));
  EXPECT_EQ("head ソ\r\n%title% here\r\nbody <!--END--> tail\r\nlast\r\n", ReadFileBytes(src));
  std::string out = dir.file("o.txt");
  {
    FilePtr f = FileX_open(out, "wb");
    FileX_textCopy(f.get(), src);
    FileX_textCopyReplacing(f.get(), src, {{"\\", "/"}, {"%title%", "表題"}, {"ソ", "[so]"}});
  }
  EXPECT_EQ(ReadFileBytes(src) +
                "head [so]\r\n表題 here\r\nbody <!--END--> tail\r\nlast\r\n",
            ReadFileBytes(out));

  int64_t at = 0;
  {
    FilePtr f = FileX_open(out, "wb");
    EXPECT_EQ(1, FileX_textCopyUntil(f.get(), src, 0, {"tail", "<!--END-->"}, &at));
  }
  EXPECT_EQ("head ソ\r\n%title% here\r\nbody ", ReadFileBytes(out));
  EXPECT_EQ(28, at);
  {
    FilePtr f = FileX_open(out, "wb");
    EXPECT_EQ(-1, FileX_textCopyUntil(f.get(), src, at + 10, {"<!--END-->"}, &at));
  }
  EXPECT_EQ(" tail\r\nlast\r\n", ReadFileBytes(out));
  EXPECT_EQ(static_cast<int64_t>(ReadFileBytes(src).size()), at);
}
