#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "document/writer/publication_filter.h"

namespace {

const std::optional<std::string_view> kAbsent;
const std::optional<std::string_view> kEmpty = std::string_view();
const std::optional<std::string_view> kWeb = std::string_view("web");

}  // namespace

TEST(PublicationFilter, ListRulesForTheNameWeb) {
  EXPECT_TRUE(PublicationFilter_listPasses("web", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("web-2", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("intra", kWeb));
  EXPECT_TRUE(PublicationFilter_listPasses("", kWeb));
  // Blanks around items and around the "-"; the other items do not matter.
  EXPECT_TRUE(PublicationFilter_listPasses("  intra ,\tweb  ", kWeb));
  EXPECT_TRUE(PublicationFilter_listPasses("intra,web", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("web - 2, intra", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("web2", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("web 3", kWeb));
  // A numbered item does not stop a later plain one.
  EXPECT_TRUE(PublicationFilter_listPasses("web-2, web", kWeb));
  // "-" without a number is no number.
  EXPECT_TRUE(PublicationFilter_listPasses("web-", kWeb));
  // Another name that merely begins with the name.
  EXPECT_FALSE(PublicationFilter_listPasses("webmaster", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("we", kWeb));
  EXPECT_FALSE(PublicationFilter_listPasses("web-x", kWeb));
  // Names compare case-sensitively.
  EXPECT_FALSE(PublicationFilter_listPasses("Web", kWeb));
  // Empty items are ignored; a list of them is empty.
  EXPECT_TRUE(PublicationFilter_listPasses(" , ,", kWeb));
  EXPECT_TRUE(PublicationFilter_listPasses(",web,", kWeb));
}

TEST(PublicationFilter, AbsentAndEmptyNames) {
  EXPECT_TRUE(PublicationFilter_listPasses("", kAbsent));
  EXPECT_TRUE(PublicationFilter_listPasses("  ", kAbsent));
  EXPECT_FALSE(PublicationFilter_listPasses("web", kAbsent));
  // An empty name ("-pub=*") lets every list pass.
  EXPECT_TRUE(PublicationFilter_listPasses("intra-3", kEmpty));
  EXPECT_TRUE(PublicationFilter_listPasses("", kEmpty));
  EXPECT_TRUE(PublicationFilter_listIsEmpty(" \t, "));
  EXPECT_FALSE(PublicationFilter_listIsEmpty(" x "));
}

TEST(PublicationFilter, NumberedNamesAndDoubleByteNames) {
  const std::optional<std::string_view> web2 = std::string_view("web2");
  EXPECT_TRUE(PublicationFilter_listPasses("web2", web2));
  EXPECT_FALSE(PublicationFilter_listPasses("web2-1", web2));
  EXPECT_FALSE(PublicationFilter_listPasses("web", web2));
  const std::string name = "\x8C\xF6\x8A\x4A";  // two double-byte characters
  const std::optional<std::string_view> jp = std::string_view(name);
  EXPECT_TRUE(PublicationFilter_listPasses("intra, \x8C\xF6\x8A\x4A", jp));
  EXPECT_FALSE(PublicationFilter_listPasses("\x8C\xF6\x8A\x4A-1", jp));
  EXPECT_FALSE(PublicationFilter_listPasses("\x8C\xF6", jp));
}

TEST(PublicationFilter, FileRule) {
  EXPECT_TRUE(PublicationFilter_filePublished("", kWeb));
  EXPECT_TRUE(PublicationFilter_filePublished("web", kWeb));
  EXPECT_FALSE(PublicationFilter_filePublished("intra", kWeb));
  EXPECT_FALSE(PublicationFilter_filePublished("intra", kAbsent));
  EXPECT_TRUE(PublicationFilter_filePublished("", kAbsent));
}

TEST(PublicationFilter, FigureRule) {
  // All three lists must pass.
  EXPECT_TRUE(PublicationFilter_figurePublished("", "", "web", kWeb));
  EXPECT_TRUE(PublicationFilter_figurePublished("", "web", "", kWeb));
  EXPECT_TRUE(PublicationFilter_figurePublished("web", "", "", kWeb));
  EXPECT_FALSE(PublicationFilter_figurePublished("web", "web", "intra", kWeb));
  EXPECT_FALSE(PublicationFilter_figurePublished("web", "web-2", "web", kWeb));
  EXPECT_FALSE(PublicationFilter_figurePublished("intra", "web", "web", kWeb));
  // With a non-empty name something must mark the figure.
  EXPECT_FALSE(PublicationFilter_figurePublished("", "", "", kWeb));
  EXPECT_FALSE(PublicationFilter_figurePublished(" ", ",", "", kWeb));
  // Without a name or with the empty name, unmarked figures are published.
  EXPECT_TRUE(PublicationFilter_figurePublished("", "", "", kAbsent));
  EXPECT_TRUE(PublicationFilter_figurePublished("", "", "", kEmpty));
  EXPECT_FALSE(PublicationFilter_figurePublished("", "", "web", kAbsent));
  EXPECT_TRUE(PublicationFilter_figurePublished("intra", "intra", "x-1", kEmpty));
}

TEST(PublicationFilter, PageRule) {
  EXPECT_TRUE(PublicationFilter_pagePublished("", "web", true, kWeb));
  EXPECT_FALSE(PublicationFilter_pagePublished("", "web", false, kWeb));
  EXPECT_FALSE(PublicationFilter_pagePublished("", "web-2", true, kWeb));
  EXPECT_FALSE(PublicationFilter_pagePublished("", "intra", true, kWeb));
  EXPECT_FALSE(PublicationFilter_pagePublished("intra", "web", true, kWeb));
  // A page without a list stays when one of its figures passes.
  EXPECT_TRUE(PublicationFilter_pagePublished("", "", true, kWeb));
  EXPECT_FALSE(PublicationFilter_pagePublished("", "", false, kWeb));
  EXPECT_TRUE(PublicationFilter_pagePublished("", "", true, kAbsent));
  EXPECT_FALSE(PublicationFilter_pagePublished("", "web", true, kAbsent));
}
