#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/writer/keyword_link_file.h"
#include "document/writer/link_pair_printer.h"
#include "support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {
using Entries = std::vector<SvgLinkPair>;
}

TEST(KeywordLinkFile, EntitiesDecodedInOnePass) {
  EXPECT_EQ("a&b<c>d\"e'f", KeywordLinkFile_decodeEntities("a&amp;b&lt;c&gt;d&quot;e&apos;f"));
  EXPECT_EQ("&lt;", KeywordLinkFile_decodeEntities("&amp;lt;"));
  EXPECT_EQ("&nbsp; & &#38; &", KeywordLinkFile_decodeEntities("&nbsp; & &#38; &"));
  EXPECT_EQ("", KeywordLinkFile_decodeEntities(""));
}

TEST(KeywordLinkFile, TheExportLayout) {
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n\r\n"
      "<keywords keyword=\"oo\" subfolder=\"\">\r\n"
      "<a href=\"../site.html?f1=site.files/site_tree.html&amp;sub1=zerbin_index_p1&amp;"
      "f2=site.files/site_01.html&amp;sub2=zerbin_vml_p1\" lower=\"intro\">Intro</a>\r\n"
      "<a href=\"../site.html\">Note &amp; &lt;Title&gt;</a>\r\n"
      "</keywords>\r\n";
  EXPECT_EQ((Entries{{"intro",
                      "../site.html?f1=site.files/site_tree.html&sub1=zerbin_index_p1&"
                      "f2=site.files/site_01.html&sub2=zerbin_vml_p1"},
                     {"note & <title>", "../site.html"}}),
            KeywordLinkFile_parse(text));
}

TEST(KeywordLinkFile, QuotesBlanksAndDoubleByteText) {
  // Single quotes, blanks around "=", the attribute name in capitals, text
  // with blanks around it; a trail byte 0x41 ('A') and 0x5C are not folded.
  const std::string text =
      "<A  HREF = 'x.html#\x83\x5C' >\r\n  \x83\x41" "BC  </A >"
      "<a lower=\"\x83\x41Q\" href=\"y.html\">ignored text</a>";
  EXPECT_EQ((Entries{{"\x83\x41" "bc", "x.html#\x83\x5C"}, {"\x83\x41Q", "y.html"}}),
            KeywordLinkFile_parse(text));
}

TEST(KeywordLinkFile, OtherMarkupIsSteppedOver) {
  const std::string text =
      "<!-- <a href=\"c.html\">commented</a> -->"
      "<abbr title=\"<a href='no'>x</a>\">A</abbr>"
      "<b>a < b</b>"
      "<!DOCTYPE x>"
      "<a href=\"e.html\"/>"
      "<a href=\"k.html\">Key</a>";
  EXPECT_EQ((Entries{{"", "e.html"}, {"key", "k.html"}}), KeywordLinkFile_parse(text));
}

TEST(KeywordLinkFile, MalformedElementsGiveNoEntry) {
  const std::string text =
      "<a href=unquoted.html>u</a>"
      "<a href=\"nested.html\">n<b>x</b></a>"
      "<a lower=\"nohref\">h</a>"
      "<a href=\"open.html\">o</b>"
      "<a href=\"good.html\">Good</a>"
      "<a href=\"tail.html\">no end";
  EXPECT_EQ((Entries{{"good", "good.html"}}), KeywordLinkFile_parse(text));
  EXPECT_TRUE(KeywordLinkFile_parse("<a href=\"x").empty());
  EXPECT_TRUE(KeywordLinkFile_parse("<a").empty());
  EXPECT_TRUE(KeywordLinkFile_parse("<!-- <a href=\"x\">y</a>").empty());
}

TEST(KeywordLinkFile, ReadFromDisk) {
  TempDir dir;
  const std::string path = dir.file("k.xml");
  WriteFileBytes(path, "<keywords>\r\n<a href=\"p.html\">P</a>\r\n</keywords>\r\n");
  std::optional<Entries> e = KeywordLinkFile_read(path);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ((Entries{{"p", "p.html"}}), *e);
  EXPECT_FALSE(KeywordLinkFile_read(dir.file("none.xml")).has_value());
}
