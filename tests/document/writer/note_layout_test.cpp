#include "document/writer/note_layout.h"

// GCC 12 warns falsely about assigning short literals to the strings of a
// struct after inlining (-Wrestrict, a known false positive of that version).
#pragma GCC diagnostic ignored "-Wrestrict"

#include <gtest/gtest.h>

#include "core/strx/codepage.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(NoteLayout, PrologueInBothForms) {
  std::string out;
  NoteLayout_writePrologue(out, false);
  EXPECT_EQ(out,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n"
            "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"\n"
            "\t\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\">\n\n");
  out.clear();
  NoteLayout_writePrologue(out, true);
  EXPECT_EQ(out.substr(0, 41), "<?xml version=\"1.0\" encoding=\"utf-16\"?>\n\n");
}

TEST(NoteLayout, RootOfThreePagesHasScriptCallAndSizes) {
  NotePageSize size = NoteLayout_rootSize({{400, 100}, {400, 200}, {400, 300}});
  EXPECT_EQ(size.width, 420);
  EXPECT_EQ(size.height, 640);
  NoteRootInfo root;
  root.width = size.width;
  root.height = size.height;
  root.ordinaryPages = 3;
  root.singleRecord = false;
  root.corrImage = "ignored.png";  // only a single record writes page attributes
  root.uuidText = "01234567-89AB-CDEF-0123-456789ABCDEF";
  std::string out;
  NoteLayout_writeRoot(out, root);
  EXPECT_EQ(out,
            "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"document\"\n"
            " width=\"00420\" height=\"00640\" onload=\"svg_onload( evt, 0 );\"\n"
            " viewBox=\"00000 00000 00420 00640\" preserveAspectRatio=\"xMidYMid meet\"\n"
            " xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
            " uuid=\"{01234567-89AB-CDEF-0123-456789ABCDEF}\">\n\n");
}

TEST(NoteLayout, SinglePageRootHasTwoBlanksAndPageAttributes) {
  NoteRootInfo root;
  root.canvasType = 4;
  root.width = 470;
  root.height = 320;
  root.fixedZoom = true;
  root.uuidText = std::string(1, 'X');
  root.corrImage = "img/p.png";
  root.pageClass = "c";
  root.pagePub = "web";
  root.filePub = "a,\"b\"";
  std::string out;
  NoteLayout_writeRoot(out, root);
  EXPECT_EQ(out,
            "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"desktop\"\n"
            " width=\"00470\" height=\"00320\"  __viewBox=\"00000 00000 00470 00320\" "
            "preserveAspectRatio=\"xMidYMid meet\"\n"
            " xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
            " uuid=\"{X}\" corr-image=\"img/p.png\" zerbin_page_class=\"c\" zerbin-pub=\"web\""
            " zerbin-file-pub=\"a,&quot;b&quot;\">\n\n");
}

TEST(NoteLayout, UnknownCanvasTypeWritesNoTypeAndSizesAreChecked) {
  NoteRootInfo root;
  root.canvasType = 7;
  std::string out;
  NoteLayout_writeRoot(out, root);
  EXPECT_EQ(out.substr(0, 31), "<svg sub_doctype=\"zerbin-300\"\n ");

  EXPECT_EQ(NoteLayout_rootSize({}).width, 21);
  EXPECT_EQ(NoteLayout_rootSize({}).height, 10);
  EXPECT_EQ(NoteLayout_rootSize({{99999, 99999}}).width, 100019);
  EXPECT_EQ(CatchError([] { NoteLayout_rootSize({{100000, 10}}); }).code, 102);
  EXPECT_EQ(CatchError([] { NoteLayout_rootSize({{10, 100000}}); }).code, 102);
  // Many pages may sum past five digits: the root then has six.
  EXPECT_EQ(NoteLayout_rootSize(std::vector<NotePageSize>(20, {450, 9990})).height, 200010);
}

TEST(NoteLayout, PageScriptCopiesTheScript) {
  std::string out;
  NoteLayout_writePageScript(out, 3, "function chgPage(){}\n");
  EXPECT_EQ(out,
            "<script type=\"text/ecmascript\">\n<![CDATA[\nvar  mPage=3;\n"
            "function chgPage(){}\n]]>\n</script>\n\n");
}

TEST(NoteLayout, PageGroupsAndBounds) {
  NotePageGroupInfo page;
  page.number = 2;
  page.width = 400;
  page.height = 200;
  page.offset = 120;
  std::string out;
  NoteLayout_writePageGroupStart(out, page);
  EXPECT_EQ(out, "<g id=\"page2\" width=\"400\" height=\"200\" transform=\"translate(+10,+120)\">\n");

  NotePageGroupInfo back;
  back.backPage = true;
  back.id2 = "intro";
  back.width = 10;
  back.height = 20;
  back.corrImage = "a.png";
  back.pageClass = "k";
  back.pagePub = "web";
  out.clear();
  NoteLayout_writePageGroupStart(out, back);
  EXPECT_EQ(out,
            "<g id=\"backpage\" id2=\"intro\" width=\"10\" height=\"20\" "
            "transform=\"translate(+10,+10)\" corr-image=\"a.png\" zerbin_page_class=\"k\" "
            "zerbin-pub=\"web\">\n");

  out.clear();
  NoteLayout_writeBounds(out, 400, 200);
  const std::string style = " style=\"stroke:rgb(0,0,0);stroke-width:1\"/>\n";
  EXPECT_EQ(out,
            "<line class=\"page_bound\" x1=\"-0.5\" y1=\"-0.5\" x2=\"400.5\" y2=\"-0.5\"" + style +
                "<line class=\"page_bound\" x1=\"-0.5\" y1=\"-0.5\" x2=\"-0.5\" y2=\"200.5\"" +
                style +
                "<line class=\"page_bound\" x1=\"400.5\" y1=\"-0.5\" x2=\"400.5\" y2=\"200.5\"" +
                style +
                "<line class=\"page_bound\" x1=\"-0.5\" y1=\"200.5\" x2=\"400.5\" y2=\"200.5\"" +
                style);
}

TEST(NoteLayout, PageTreeOfFourLines) {
  std::string out;
  NoteLayout_writePageTitles(out, {{1, 0, "one"}, {2, 1, "two"}, {3, 0, "three"}});
  EXPECT_EQ(out,
            "<zerbin-pages>\n"
            "\t<zerbin-page num=\"1\" title=\"one\">\n"
            "\t\t<zerbin-page num=\"2\" title=\"two\"/>\n"
            "\t</zerbin-page>\n"
            "\t<zerbin-page num=\"3\" title=\"three\"/>\n"
            "</zerbin-pages>\n");
}

TEST(NoteLayout, DeepTreeClosesEveryLevelAtItsIndentation) {
  std::string out;
  NoteLayout_writePageTitles(out, {{1, 0, "a"}, {2, 1, "b"}, {3, 2, "c"}, {4, 0, "d"}});
  EXPECT_EQ(out,
            "<zerbin-pages>\n"
            "\t<zerbin-page num=\"1\" title=\"a\">\n"
            "\t\t<zerbin-page num=\"2\" title=\"b\">\n"
            "\t\t\t<zerbin-page num=\"3\" title=\"c\"/>\n"
            "\t\t</zerbin-page>\n"
            "\t</zerbin-page>\n"
            "\t<zerbin-page num=\"4\" title=\"d\"/>\n"
            "</zerbin-pages>\n");
  out.clear();
  NoteLayout_writePageTitles(out, {{1, 0, "a"}, {2, 1, "b"}});
  EXPECT_EQ(out,
            "<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"a\">\n"
            "\t\t<zerbin-page num=\"2\" title=\"b\"/>\n\t</zerbin-page>\n</zerbin-pages>\n");
}

TEST(NoteLayout, TitlesAreEscapedWithoutCutting) {
  std::string out;
  NoteLayout_writePageTitles(out, {{1, 0, "a\"b<c>&'"}});
  EXPECT_NE(out.find("title=\"a&quot;b&lt;c>&amp;&apos;\"/>"), std::string::npos);
  // A title of 255 quotes escapes to 1530 bytes and is kept whole.
  out.clear();
  NoteLayout_writePageTitles(out, {{1, 0, std::string(255, '"')}});
  size_t count = 0;
  for (size_t at = out.find("&quot;"); at != std::string::npos; at = out.find("&quot;", at + 1))
    ++count;
  EXPECT_EQ(count, 255u);
}

TEST(NoteLayout, PlaceholderIsUtf16WithItsText) {
  const std::string bytes = NoteLayout_placeholderDocument();
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE<\0", 4));
  std::u16string units;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  const std::string text = Cp932_fromUtf16(units);
  EXPECT_EQ(text,
            "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n\r\n"
            "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"\r\n"
            "  \"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\">\r\n\r\n"
            "<svg width=\"00294\" height=\"00100\" xmlns=\"http://www.w3.org/2000/svg\">\r\n"
            "  <text x=\"28.5px\" y=\"40.5px\">" +
                Sjis(u8"（非公開情報のためカットされました）") + "</text>\r\n</svg>\r\n");
}

}  // namespace
