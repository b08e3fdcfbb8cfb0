// The property bar's model without a window: the value an editor's answer
// becomes, the "#" numbering of files set on every page, and the listing of
// figures of one kind against their rows.
#include <gtest/gtest.h>

#include "figures/rect/rect_ex.h"
#include "view/propbar/property_listing.h"

TEST(PropertyListing, FilesSetOnEveryPageAreNumberedInTheirNameOnly) {
  EXPECT_EQ("/n/page (3).png", PropBar_numberForPage("/n/page.png", 3));
  EXPECT_EQ("/n/p03.png", PropBar_numberForPage("/n/p##.png", 3));
  EXPECT_EQ("/n/p1234.png", PropBar_numberForPage("/n/p##.png", 1234));
  // A folder with "#" is no run to number, and no reason to skip " (#)".
  EXPECT_EQ("/x/C#/page (7).png", PropBar_numberForPage("/x/C#/page.png", 7));
  EXPECT_EQ("/x/C#/a (0)", PropBar_numberForPage("/x/C#/a", 0));
  // "\\" as the second byte of a character is no separator.
  EXPECT_EQ("/n/\x83\x5c (2).png", PropBar_numberForPage("/n/\x83\x5c.png", 2));
  // Longer than a page's file field holds: refused, never cut.
  const std::string folder = "/" + std::string(240, 'f') + "/";
  EXPECT_TRUE(PropBar_numberForPage(folder + "abcdefgh.png", 5).has_value());
  EXPECT_FALSE(PropBar_numberForPage(folder + "abcdefghijkl.png", 5).has_value());
}

TEST(PropertyListing, EditorAnswersBecomeValues) {
  PropertyRow onOff = PropertyRow_onOff("x", false);
  EXPECT_EQ("1", PropBar_valueFor(onOff, "", "/n/a.svg"));
  onOff.value = "1";
  EXPECT_EQ("0", PropBar_valueFor(onOff, "", "/n/a.svg"));
  const PropertyRow percent = PropertyRow_integer("p", 50, 0, 100);
  EXPECT_EQ("100", PropBar_valueFor(percent, "250", ""));
  EXPECT_EQ("0", PropBar_valueFor(percent, "-3", ""));
  EXPECT_EQ("2147483647", PropBar_valueFor(PropertyRow_integer("w", 1, 1), "99999999999", ""));
  const PropertyRow link = PropertyRow_text("URL", "", PropertyRowKind_Url);
  EXPECT_EQ("/n/sub/b.svg#p", PropBar_valueFor(link, "sub/b.svg#p", "/n/a.svg"));
  EXPECT_EQ("/n/a.svg#p2", PropBar_valueFor(link, "#p2", "/n/a.svg"));
  EXPECT_EQ("%work%/x.png", PropBar_valueFor(link, "%work%/x.png", "/n/a.svg"));
  EXPECT_EQ("http://example.com/", PropBar_valueFor(link, "http://example.com/", "/n/a.svg"));
  EXPECT_EQ("b.svg", PropBar_valueFor(link, "b.svg", "")) << "an untitled note keeps the text";
  EXPECT_FALSE(PropBar_valueFor(PropertyRow_pastEnd(), "x", "").has_value());
}

TEST(PropertyListing, AnEachValueLineOnlyWhereTheFiguresDiffer) {
  Rect_Ex a, b, picture;
  a.fillColour = 0xFF;
  b.fillColour = 0xFF00;
  picture.shape = RectShape_Image;
  std::vector<CadPrim*> sel = {&a, &b};
  PropListing l = PropBar_list(sel, nullptr, {}, PropBar_noKind, false, "");
  ASSERT_EQ(PropListingSource::Figures, l.source);
  ASSERT_EQ(static_cast<size_t>(a.GetPropertyCount() + 1), l.lines.size());
  EXPECT_EQ("Type = Figure", l.lines[0]);
  EXPECT_EQ("Fill Color = (each value)", l.lines[1 + 19 - 5]);
  EXPECT_EQ("Border Color = rgb(0,0,0)", l.lines[1 + 21 - 5]);
  // A picture has rows the rectangle lacks: listed from the first figure.
  sel = {&picture, &a};
  l = PropBar_list(sel, nullptr, {}, PropBar_noKind, false, "");
  EXPECT_EQ(static_cast<size_t>(picture.GetPropertyCount() + 1), l.lines.size());
  EXPECT_EQ(-1, l.rowOfLine(0));
  EXPECT_EQ(4, l.rowOfLine(5));
  // Ink alone: its three lines, differing values marked.
  l = PropBar_list({}, nullptr, {{0xFF, 30, true}, {0xFF, 40, true}}, PropBar_noKind, true, "");
  EXPECT_EQ((std::vector<std::string>{"タイプ = インク", "色 = rgb(255,0,0)", "幅 =（それぞれ）",
                                      "筆圧 = 1"}),
            l.lines);
}
