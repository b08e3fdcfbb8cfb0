#include <gtest/gtest.h>

#include "core/inifile/inifile_fields.h"

TEST(IniFileFields, QuotedFieldsAndOpenQuotes) {
  using namespace inifile_detail;
  Field f = readField(" \"a,\"\"b\" junk , c ", 0);
  EXPECT_EQ("a,\"b", f.text);
  EXPECT_TRUE(f.present);
  Field g = readField(" \"a,\"\"b\" junk , c ", f.next);
  EXPECT_EQ("c", g.text);
  EXPECT_EQ(std::string_view::npos, g.next);
  EXPECT_FALSE(readField("  , x", 0).present);
  EXPECT_TRUE(readField("\"\", x", 0).present);
  EXPECT_TRUE(quoteOpen("x, \"a"));
  EXPECT_TRUE(quoteOpen("\"a\"\""));
  EXPECT_FALSE(quoteOpen("\"a\"\"\""));
  EXPECT_FALSE(quoteOpen("ab\"c"));  // a quote inside an unquoted field
}
