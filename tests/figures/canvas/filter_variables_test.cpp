#include "figures/canvas/filter_variables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int usedEntries(const FilterVariables& t) {
  int n = 0;
  for (const FilterVariable& e : t.entries) n += e.name.empty() ? 0 : 1;
  return n;
}

}  // namespace

TEST(FilterVariables, ParsesPairsWithBlanksAndSemicolons) {
  FilterVariables t;
  ParseFilterVariables(t, " a=1; b = 2;c=x", false);
  EXPECT_EQ("1", LookupFilterVariable(t, "a"));
  EXPECT_EQ("2", LookupFilterVariable(t, "b"));
  EXPECT_EQ("x", LookupFilterVariable(t, "c"));
  EXPECT_EQ(3, usedEntries(t));
  EXPECT_EQ("a", t.entries[0].name);
  EXPECT_EQ("c", t.entries[2].name);

  // Without keep the table starts empty; with keep a name is replaced.
  ParseFilterVariables(t, "a=1", false);
  ParseFilterVariables(t, "a=5", true);
  EXPECT_EQ(1, usedEntries(t));
  EXPECT_EQ("5", LookupFilterVariable(t, "a"));
  ParseFilterVariables(t, "z=9", true);
  EXPECT_EQ(2, usedEntries(t));
  ParseFilterVariables(t, "", false);
  EXPECT_EQ(0, usedEntries(t));

  // A pair without a value or without a name is skipped, the rest is read.
  ParseFilterVariables(t, "a=;=2;b==3;;; c 4", false);
  EXPECT_EQ("", LookupFilterVariable(t, "a"));
  EXPECT_EQ("3", LookupFilterVariable(t, "b"));
  EXPECT_EQ("4", LookupFilterVariable(t, "c"));
  EXPECT_EQ(2, usedEntries(t));
}

TEST(FilterVariables, StrayCharactersStopTheParseInsteadOfLooping) {
  FilterVariables t;
  ParseFilterVariables(t, "a=1, b=2", false);
  EXPECT_EQ(1, usedEntries(t));
  EXPECT_EQ("1", LookupFilterVariable(t, "a"));
  EXPECT_EQ("", LookupFilterVariable(t, "b"));

  for (const char* text : {",a=1", "  #a=1", "\x83\x5C=1; a=1", "=,", "a=1;\x95", "\x95"}) {
    ParseFilterVariables(t, text, false);
    EXPECT_EQ(std::string(text).starts_with("a=1") ? 1 : 0, usedEntries(t)) << text;
  }
  // A value ends at a double-byte character (its trail 0x5C is no separator).
  ParseFilterVariables(t, "k=v\x83\x5C;m=2", false);
  EXPECT_EQ("v", LookupFilterVariable(t, "k"));
  EXPECT_EQ("", LookupFilterVariable(t, "m"));
}

TEST(FilterVariables, TenEntriesAndByteLimits) {
  FilterVariables t;
  std::string text;
  for (int i = 0; i < 11; ++i) text += "n" + std::to_string(i) + "=" + std::to_string(i) + ";";
  ParseFilterVariables(t, text, false);
  EXPECT_EQ(10, usedEntries(t));
  EXPECT_EQ("9", LookupFilterVariable(t, "n9"));
  EXPECT_EQ("", LookupFilterVariable(t, "n10"));  // the eleventh is dropped
  SetFilterVariable(t, "n3", "x");                // replacing still works when full
  EXPECT_EQ("x", LookupFilterVariable(t, "n3"));

  // Names and values are cut to 79 bytes; two long names sharing the first
  // 79 bytes are the same variable.
  const std::string longName(300, 'N'), longValue(100, 'v');
  ParseFilterVariables(t, longName + "=" + longValue, false);
  ASSERT_EQ(1, usedEntries(t));
  EXPECT_EQ(std::string(79, 'N'), t.entries[0].name);
  EXPECT_EQ(std::string(79, 'v'), t.entries[0].value);
  ParseFilterVariables(t, std::string(80, 'N') + "=2", true);
  EXPECT_EQ(1, usedEntries(t));
  EXPECT_EQ("2", LookupFilterVariable(t, std::string(79, 'N')));

  // A cut never splits a double-byte character: 39 x "ソ" + "ソ" is 80 bytes.
  std::string sjis;
  for (int i = 0; i < 40; ++i) sjis += "\x83\x5C";
  SetFilterVariable(t, "d", "x" + sjis);  // 81 bytes -> "x" + 39 characters
  EXPECT_EQ(79u, LookupFilterVariable(t, "d").size());
  SetFilterVariable(t, "e", sjis);  // 80 bytes -> 78
  EXPECT_EQ(78u, LookupFilterVariable(t, "e").size());
  SetFilterVariable(t, "", "x");
  EXPECT_EQ(3, usedEntries(t));
}

TEST(FilterVariables, LookupIsExactAndCaseSensitive) {
  FilterVariables t;
  ParseFilterVariables(t, "Mode=A; mode=b", false);
  EXPECT_EQ("A", LookupFilterVariable(t, "Mode"));
  EXPECT_EQ("b", LookupFilterVariable(t, "mode"));
  EXPECT_EQ("", LookupFilterVariable(t, "MODE"));
  EXPECT_EQ("", LookupFilterVariable(t, "Mod"));
  EXPECT_EQ("", LookupFilterVariable(t, ""));  // free entries are not found
}

TEST(FilterVariables, FormatWritesNameValuePairsWithinTheLimit) {
  FilterVariables t;
  EXPECT_EQ("", FormatFilterVariables(t));
  SetFilterVariable(t, "a", "1");
  SetFilterVariable(t, "b", "2");
  EXPECT_EQ("a=1; b=2; ", FormatFilterVariables(t));
  t.entries[0] = FilterVariable{};  // a free entry in front is skipped
  EXPECT_EQ("b=2; ", FormatFilterVariables(t));

  // Ten entries of 79 + 79 bytes would be 1610 bytes: the text stops after
  // the last whole entry that fits in 511 bytes (161 bytes each: 3 fit).
  FilterVariables full;
  for (int i = 0; i < 10; ++i) {
    std::string name(79, static_cast<char>('a' + i));
    SetFilterVariable(full, name, std::string(79, '0'));
  }
  const std::string text = FormatFilterVariables(full);
  EXPECT_EQ(3u * 161u, text.size());
  EXPECT_TRUE(text.ends_with("; "));
  FilterVariables back;
  ParseFilterVariables(back, text, false);
  EXPECT_EQ(3, usedEntries(back));
  EXPECT_EQ(full.entries[2], back.entries[2]);
}
