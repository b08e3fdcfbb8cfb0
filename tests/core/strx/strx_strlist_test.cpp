#include "core/strx/strx_strlist.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

namespace {

using namespace std::string_literals;

TEST(StrXStrList, NarrowNextAndFree) {
  StrX_StrList l(8);
  EXPECT_EQ(l.freeBytes(), 8u);
  l.setCurrent("ab");
  l.next();
  EXPECT_EQ(l.freeBytes(), 5u);
  EXPECT_EQ(l.current(), "");
  l.setCurrent("ソ");
  l.next();
  EXPECT_EQ(l.freeBytes(), 2u);
  EXPECT_EQ(l.buffer(), "ab\0ソ\0\0\0"s);
  EXPECT_EQ(l.strings(), (std::vector<std::string>{"ab", "ソ"}));
  // Room for one byte only: "ソ" is not split.
  Errors_Msg e = CatchError([&] { l.setCurrent("ソ"); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(l.current(), "");
  l.setCurrent("x");
  e = CatchError([&] { l.next(); });
  EXPECT_EQ(e.code, StrX_Err_MemEmpty);
  EXPECT_STREQ(e.message(), "アプリ内部のメモリ領域が足りません");
}

TEST(StrXStrList, Utf16) {
  StrX_StrListW l(10);  // 5 units
  EXPECT_EQ(l.freeBytes(), 10u);
  l.setCurrent(u"ソ表");
  l.next();
  EXPECT_EQ(l.freeBytes(), 4u);
  l.setCurrent(u"a");
  EXPECT_EQ(CatchError([&] { l.next(); }).code, StrX_Err_MemEmpty);
  EXPECT_EQ(l.strings(), (std::vector<std::u16string>{u"ソ表"}));
}

}  // namespace
