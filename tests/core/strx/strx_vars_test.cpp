#include "core/strx/strx_vars.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

using testing_support::Sjis;

// Knows "a" = "AA", "pct" = "%a%", "long" = 300 bytes, "sjis" = "ソ表".
bool lookup(std::string_view name, std::string& value) {
  if (name == "a") value = "AA";
  else if (name == "pct") value = "%a%";
  else if (name == "long") value = std::string(300, 'x');
  else if (name == "sjis") value = "ソ表";
  else return false;
  return true;
}

std::string expand(std::string text, size_t size = 256, int* cut = nullptr) {
  int r = StrX_expandVariables(text, size, StrX_VarLookup(lookup));
  if (cut) *cut = r;
  return text;
}

}  // namespace

TEST(StrXVars, PercentAndUnknownNames) {
  EXPECT_EQ(expand("100%%"), "100%");
  EXPECT_EQ(expand("%%%%"), "%%");
  EXPECT_EQ(expand("x%UNDEFINED_ZERBIN_VAR%y"), "x%UNDEFINED_ZERBIN_VAR%y");
  EXPECT_EQ(expand("[%a%][%a%]"), "[AA][AA]");
  EXPECT_EQ(expand("50% off"), "50% off");   // a lone '%' stays
  EXPECT_EQ(expand("%nope%a%"), "%nope%a%");  // the closing '%' is consumed
  EXPECT_EQ(expand(""), "");
}

TEST(StrXVars, SinglePassAndValueLimit) {
  // An inserted value is not scanned again.
  EXPECT_EQ(expand("%pct%"), "%a%");
  // Values are cut to 255 bytes.
  EXPECT_EQ(expand("%long%", 1024), std::string(255, 'x'));
  // Double-byte text around and inside values; "ソ" ends in 0x5C.
  EXPECT_EQ(expand("ソ%sjis%ソ"), "ソソ表ソ");
  EXPECT_EQ(expand("表%%表"), "表%表");
  EXPECT_EQ(expand("%a%\x83"), "AA\x83");  // lone lead byte at the end
}

TEST(StrXVars, CutAtSize) {
  int cut = -1;
  EXPECT_EQ(expand("%a%%a%", 5, &cut), "AAAA");  // exactly fits 4 + terminator
  EXPECT_EQ(cut, 0);
  EXPECT_EQ(expand("%a%%a%", 4, &cut), "AAA");
  EXPECT_EQ(cut, 1);
  // The cut never splits a double-byte character.
  EXPECT_EQ(expand("a%sjis%", 3, &cut), "a");
  EXPECT_EQ(cut, 1);
  EXPECT_EQ(expand("a%sjis%", 4, &cut), "aソ");
  EXPECT_EQ(cut, 1);
  EXPECT_EQ(expand("abcdef", 4, &cut), "abc");
  EXPECT_EQ(cut, 1);
}

TEST(StrXVars, CallbackFirstThenEnvironment) {
  ASSERT_EQ(setenv("ZERBIN_TEST_VAR", "env", 1), 0);
  ASSERT_EQ(setenv("ZerbinMixedCase", reinterpret_cast<const char*>(u8"日本"), 1), 0);
  std::string text = "%ZERBIN_TEST_VAR%";
  EXPECT_EQ(StrX_expandVariables(text, 256), 0);
  EXPECT_EQ(text, "env");
  // The callback wins and receives the context.
  int ctx = 7;
  text = "%ZERBIN_TEST_VAR%";
  StrX_expandVariables(
      text, 256,
      StrX_VarCallback([](void* c, std::string_view name, std::string& value) {
        if (*static_cast<int*>(c) != 7 || name != "ZERBIN_TEST_VAR") return false;
        value = "cb";
        return true;
      }),
      &ctx);
  EXPECT_EQ(text, "cb");
  // Names ignore ASCII case; the UTF-8 value arrives as CP932.
  text = "%zerbinmixedcase%";
  StrX_expandVariables(text, 256);
  EXPECT_EQ(text, Sjis(u8"日本"));
  unsetenv("ZERBIN_TEST_VAR");
  unsetenv("ZerbinMixedCase");
}
