#include <gtest/gtest.h>

#include "figures/text/text_condition.h"

TEST(TextCondition, ParseAndTest) {
  TextCondition c = TextCondition_parse("  mode == a1 ");
  EXPECT_EQ(c.name, "mode");
  EXPECT_EQ(c.value, "a1");
  EXPECT_EQ(c.op, TextCondition_opEqual);
  EXPECT_EQ(c.text, "  mode == a1 ");
  c = TextCondition_parse("k!=v");
  EXPECT_EQ(c.op, TextCondition_opNotEqual);
  EXPECT_EQ(c.value, "v");
  c = TextCondition_parse("lonely");
  EXPECT_EQ(c.op, 0);
  EXPECT_EQ(TextCondition_parse(std::string(300, 'a')).text.size(), 255u);
  EXPECT_EQ(TextCondition_parse(std::string(100, 'a')).name.size(), 79u);
  // 255 bytes never split a double-byte character.
  EXPECT_EQ(TextCondition_parse(std::string(254, 'a') + "表").text.size(), 254u);

  FilterVariables vars;
  vars.entries[0] = {"mode", "b"};
  vars.entries[1] = {"k", "v"};
  EXPECT_TRUE(TextCondition_fails(TextCondition_parse("mode=a"), vars));
  EXPECT_FALSE(TextCondition_fails(TextCondition_parse("mode=b"), vars));
  EXPECT_TRUE(TextCondition_fails(TextCondition_parse("k!=v"), vars));
  EXPECT_FALSE(TextCondition_fails(TextCondition_parse("k!=w"), vars));
  EXPECT_TRUE(TextCondition_fails(TextCondition_parse("mode"), vars));   // no operator
  EXPECT_FALSE(TextCondition_fails(TextCondition_parse("other=a"), vars));  // undefined
  EXPECT_FALSE(TextCondition_fails(TextCondition_parse("Mode=a"), vars));   // names are exact
  EXPECT_FALSE(TextCondition_fails(TextCondition{}, vars));
}
