#include "core/strx/strx_escape.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using testing_support::CatchError;

namespace {

using namespace std::string_literals;

TEST(StrXHtmlEscape, EntitiesByFlags) {
  std::string d;
  EXPECT_EQ(StrX_htmlEscape(d, "a&b<c>d\"e'f", 100, 0), 0);
  EXPECT_EQ(d, "a&amp;b&lt;c&gt;d\"e'f");
  EXPECT_EQ(StrX_htmlEscape(d, "a&b<c>d\"e'f", 100, StrX_HtmlAttr), 0);
  EXPECT_EQ(d, "a&amp;b&lt;c>d&quot;e&apos;f");
  // Trail bytes 0x5C and letters pass untouched.
  EXPECT_EQ(StrX_htmlEscape(d, "ソ表<", 100, 0), 0);
  EXPECT_EQ(d, "ソ表&lt;");
}

TEST(StrXHtmlEscape, Spaces) {
  std::string d;
  auto esc = [&](const char* s) {
    StrX_htmlEscape(d, s, 200, StrX_HtmlSpaces);
    return d;
  };
  EXPECT_EQ(esc("a b"), "a b");
  EXPECT_EQ(esc("a  b"), "a&nbsp; b");
  EXPECT_EQ(esc("a   b"), "a&nbsp; &nbsp;b");
  EXPECT_EQ(esc("a    b"), "a&nbsp; &nbsp; b");
  EXPECT_EQ(esc(" a"), "&nbsp;a");
  EXPECT_EQ(esc("  a"), "&nbsp; a");
  // Without the flag spaces stay.
  StrX_htmlEscape(d, "  a", 200, 0);
  EXPECT_EQ(d, "  a");
}

TEST(StrXHtmlEscape, BoundedStopsBeforeEntity) {
  std::string d;
  EXPECT_EQ(StrX_htmlEscape(d, "ab&", 8, 0), 0);  // "ab&amp;" = 7 bytes
  EXPECT_EQ(d, "ab&amp;");
  EXPECT_EQ(StrX_htmlEscape(d, "ab&", 7, 0), StrX_HtmlCut);
  EXPECT_EQ(d, "ab");
  // A double-byte character is never split.
  EXPECT_EQ(StrX_htmlEscape(d, "aソ", 3, 0), StrX_HtmlCut);
  EXPECT_EQ(d, "a");
  // A lone lead byte at the end is one byte.
  EXPECT_EQ(StrX_htmlEscape(d, "a\x83", 3, 0), 0);
  EXPECT_EQ(d, "a\x83");
}

TEST(StrXHtmlUnescape, KnownEntitiesOnly) {
  EXPECT_EQ(StrX_htmlUnescape("&lt;a&gt; &amp;amp; x&nbsp;y &quot; & &"),
            "<a> &amp; x y &quot; & &");
  EXPECT_EQ(StrX_htmlUnescape("&lt"), "&lt");
}

TEST(StrXUrlEncode, KeepSetAndHex) {
  std::string d;
  StrX_urlEncode(d, "Az09&+-/= .?_~", 100, 0);
  EXPECT_EQ(d, "Az09&+-/=%20%2E%3F%5F%7E");
  StrX_urlEncode(d, "ソ", 100, 0);
  EXPECT_EQ(d, "%83%5C");
  StrX_urlEncode(d, "ソ", 100, 8);  // U+30BD = E3 82 BD
  EXPECT_EQ(d, "%E3%82%BD");
}

TEST(StrXUrlEncode, Bounds) {
  std::string d;
  EXPECT_EQ(CatchError([&] { StrX_urlEncode(d, "a b", 6, 0); }).code, 0);
  EXPECT_EQ(d, "a%20b");
  Errors_Msg e = CatchError([&] { StrX_urlEncode(d, "a b", 5, 0); });
  EXPECT_EQ(e.code, Errors_Unofficial);
  EXPECT_EQ(d, "a%20");
  e = CatchError([&] { StrX_urlEncode(d, "a b", 4, 0); });
  EXPECT_EQ(e.code, Errors_Unofficial);
  EXPECT_EQ(d, "a");  // never half of "%20"
  EXPECT_EQ(CatchError([&] { StrX_urlEncode(d, "a", 9, 6); }).code, Errors_NotSupport);
}

TEST(StrXUrlEncode, SpacesToPlus) {
  std::string s = "a b  c";
  StrX_spacesToPlus(s);
  EXPECT_EQ(s, "a+b++c");
}

TEST(StrXNameValueList, QueryLayoutAndLookup) {
  std::string list;
  StrX_urlQueryToList(list, "note.svg?kw=%41b%zz&x=1+2&flag&=v#frag");
  // kw -> "Ab%zz" (2+5 = 7), x -> "1+2" (1+3 = 4), flag -> "" (4).
  EXPECT_EQ(list, "7,kw\0Ab%zz\0"s "4,x\0" "1+2\0"s "4,flag\0\0"s "0\0"s);
  EXPECT_EQ(StrX_listLookup(list, "kw"), "Ab%zz");
  EXPECT_EQ(StrX_listLookup(list, "x"), "1+2");
  EXPECT_EQ(StrX_listLookup(list, "flag"), "");
  EXPECT_EQ(StrX_listLookup(list, "k"), std::nullopt);
  StrX_urlQueryToList(list, "no-query");
  EXPECT_EQ(list, "0\0"s);
  EXPECT_EQ(StrX_listLookup(list, "kw"), std::nullopt);
  // Octal: a length of 8 is written "10".
  StrX_urlQueryToList(list, "?abcd=efgh");
  EXPECT_EQ(list, "10,abcd\0efgh\0" "0\0"s);
}

TEST(StrXNameValueList, Bounds) {
  std::string list;
  const std::string v252(252, 'v');
  EXPECT_EQ(CatchError([&] { StrX_urlQueryToList(list, "?a=1&b=" + v252); }).code, 0);
  EXPECT_EQ(StrX_listLookup(list, "b"), v252);
  Errors_Msg e = CatchError([&] { StrX_urlQueryToList(list, "?a=1&b=" + v252 + "v"); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_STREQ(e.message(), "value over 256");
  EXPECT_EQ(list, "2,a\0" "1\0" "0\0"s);
  // Entries of 4 + 200 + 2 bytes: four fit in 1024, the fifth does not.
  std::string q = "?";
  for (char n = 'a'; n <= 'e'; ++n) q += std::string(1, n) + "=" + std::string(199, 'z') + "&";
  e = CatchError([&] { StrX_urlQueryToList(list, q); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_LE(list.size(), StrX_NameValueListMax);
  EXPECT_TRUE(StrX_listLookup(list, "d").has_value());
  EXPECT_FALSE(StrX_listLookup(list, "e").has_value());
  EXPECT_EQ(list.substr(list.size() - 2), "0\0"s);
}

TEST(StrXIdentifierEscape, RulesAndBound) {
  std::string d;
  StrX_identifierEscape(d, "1ax_y-zソ");
  EXPECT_EQ(d, "x1ax78_yx2Dzx83x5C");
  StrX_identifierEscape(d, "a1");
  EXPECT_EQ(d, "a1");
  const std::string ok(259, 'a');
  EXPECT_EQ(CatchError([&] { StrX_identifierEscape(d, ok); }).code, 0);
  EXPECT_EQ(d.size(), 259u);
  Errors_Msg e = CatchError([&] { StrX_identifierEscape(d, std::string(257, 'a') + "-"); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(d, std::string(257, 'a'));  // "x2D" did not fit
}

}  // namespace
