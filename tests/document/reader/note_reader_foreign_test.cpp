// SVG files of other programs and older notes: the reader takes what it
// knows, skips the rest, and never fails on what it does not know.
#include <gtest/gtest.h>

#include "figures/rect/rect_ex.h"

#include "figures/text/text_box.h"
#include "note_reader_fixture.h"

using namespace testing_support;
using namespace note_reader_test;

namespace {

class NoteReaderForeignTest : public NoteReaderFixture {
 protected:
  size_t countKind(int32_t page, FigureKind kind) {
    size_t n = 0;
    for (const auto& f : doc.page(page)->figures)
      if (f->GetKind() == kind) ++n;
    return n;
  }
};

TEST_F(NoteReaderForeignTest, RootWithARectAndAPolyline) {
  read(note("f.svg",
            "<svg><rect x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>"
            "<polyline points=\"0,0 10,10 20,0\"/></svg>"));
  ASSERT_EQ(doc.pageCount(), 1u);
  EXPECT_EQ(doc.page(1)->settings().width(), 500);
  EXPECT_EQ(doc.page(1)->settings().height(), 300);
  ASSERT_EQ(doc.page(1)->figureCount(), 1u);
  EXPECT_EQ(doc.page(1)->figures.at(1).GetKind(), FigureKind_Rect);
  EXPECT_EQ(doc.formatVersion, 200);
}

TEST_F(NoteReaderForeignTest, AShapeWithAnEndTagIsTheSameShape) {
  read(note("f.svg",
            "<svg width=\"200\" height=\"100\"><rect x=\"10\" y=\"10\" width=\"50\" height=\"30\" "
            "style=\"fill:rgb(255,0,0)\"></rect>\n"
            "<rect x=\"100\" y=\"10\" width=\"50\" height=\"30\"/>"
            "<ellipse cx=\"50\" cy=\"70\" rx=\"20\" ry=\"10\">\n</ellipse></svg>"));
  ASSERT_EQ(doc.page(1)->figureCount(), 3u);
  EXPECT_EQ(countKind(1, FigureKind_Rect), 3u);
  const auto& first = static_cast<const Rect_Ex&>(doc.page(1)->figures.at(1));
  EXPECT_EQ(first.x, 10);
  EXPECT_EQ(first.fillColour, 0x0000FFu);
}

TEST_F(NoteReaderForeignTest, FileOfAnotherEditor) {
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      "<!-- Created with another editor -->\n"
      "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
      "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
      "   width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\" version=\"1.1\" id=\"svg8\">\n"
      "  <defs id=\"defs2\">\n"
      "    <linearGradient id=\"lg1\"><stop offset=\"0\" "
      "style=\"stop-color:#ff0000\"/></linearGradient>\n"
      "    <marker id=\"arrow\" orient=\"auto\"><path d=\"M 0,0 5,-5 -12.5,0 5,5 Z\"/></marker>\n"
      "  </defs>\n"
      "  <metadata id=\"metadata5\"><rdf:RDF><cc:Work rdf:about=\"\">"
      "<dc:format>image/svg+xml</dc:format></cc:Work></rdf:RDF></metadata>\n"
      "  <g id=\"layer1\" transform=\"translate(-12.5,3.25)\" style=\"display:inline\">\n"
      "    <g transform=\"rotate(30 50 50)\">\n"
      "      <rect x=\"10\" y=\"20\" width=\"30\" height=\"40\" rx=\"2\" "
      "style=\"fill:#ff0000;stroke:none\"/>\n"
      "      <g><g><g><ellipse cx=\"50\" cy=\"60\" rx=\"10\" ry=\"5\"/></g></g></g>\n"
      "    </g>\n"
      "    <path d=\"M 10,10 C 20,20 40,20 50,10\" style=\"fill:none;stroke:#000000\"/>\n"
      "    <polyline points=\"0,0 10,10 20,0\" style=\"fill:none;stroke:blue\"/>\n"
      "    <circle cx=\"100\" cy=\"100\" r=\"20\" style=\"fill:url(#lg1)\"/>\n"
      "    <line x1=\"0\" y1=\"0\" x2=\"100\" y2=\"0\" style=\"marker-end:url(#arrow)\"/>\n"
      "    <text x=\"20\" y=\"200\" style=\"font-size:10.5833px;font-family:sans-serif\">"
      "<tspan x=\"20\" y=\"200\" id=\"t1\">Hello</tspan><tspan x=\"20\" "
      "y=\"213\">World</tspan></text>\n"
      "    <use xlink:href=\"#lg1\" x=\"5\" y=\"5\"/>\n"
      "    <image x=\"0\" y=\"0\" width=\"10\" height=\"10\" "
      "xlink:href=\"data:image/png;base64,iVBORw0KGgo=\"/>\n"
      "    <foreignObject><div xmlns=\"http://www.w3.org/1999/xhtml\">html "
      "<b>inside</b></div></foreignObject>\n"
      "    <switch><g/><rect x=\"1\" y=\"1\" width=\"1\" height=\"1\"/></switch>\n"
      "  </g>\n"
      "  <sodipodi:namedview pagecolor=\"#ffffff\"/>\n"
      "</svg>\n";
  const Errors_Msg e = readError(note("other.svg", text));
  ASSERT_EQ(e.code, 0) << e.message();
  ASSERT_EQ(doc.pageCount(), 1u);
  // The root's size in its unit (210 mm and 297 mm at 96 pixels an inch).
  EXPECT_EQ(doc.page(1)->settings().width(), 794);
  EXPECT_EQ(doc.page(1)->settings().height(), 1123);
  // The ellipse under the turned group is an ellipse turned by 30 degrees,
  // in millimetres.
  ASSERT_EQ(countKind(1, FigureKind_Rect), 2u);
  for (const auto& f : doc.page(1)->figures) {
    if (f->GetKind() != FigureKind_Rect) continue;
    const auto& e = static_cast<const Rect_Ex&>(*f);
    if (e.shape == RectShape_Image) continue;
    EXPECT_EQ(e.shape, RectShape_Ellipse);
    EXPECT_EQ(e.angle, 30);
    EXPECT_NEAR(e.width, 20 * 96 / 25.4, 1.5);
  }
  EXPECT_EQ(countKind(1, FigureKind_Text), 1u);
  // The rounded rectangle, path, polyline, gradient circle, marked line,
  // use and switch are kept as they are; the data picture is a picture.
  EXPECT_EQ(countKind(1, FigureKind_Foreign), 7u);
  EXPECT_EQ(doc.checkTree(), "");
}

TEST_F(NoteReaderForeignTest, NestedSvgAndUnclosedGroupsAreTolerated) {
  const std::string text =
      "<svg width=\"300\" height=\"200\"><g><g>"
      "<svg width=\"10\" height=\"10\"><rect x=\"1\" y=\"1\" width=\"2\" height=\"2\"/></svg>";
  read(note("f.svg", text));
  EXPECT_EQ(doc.page(1)->settings().width(), 300);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
}

TEST_F(NoteReaderForeignTest, BrokenMarkupDoesNotCrash) {
  using namespace std::string_literals;
  const std::string texts[] = {
      "<svg"s,
      "<svg><"s,
      "<svg width=\""s,
      "<svg><g id=\"page1\"><g id=\"zerbin-ink\"><zerbin-ink-rawdata>"s,
      "<svg><text>abc<tspan>def"s,
      "<svg><text x=\"1\" y=\"2\"></text><a><a><a></a></a></a></a></svg>"s,
      "<svg><zerbin-pages><zerbin-page num=\"1\"><zerbin-page num=\"1\"/></zerbin-pages>"
      "</zerbin-page></zerbin-page></svg>"s,
      "\xFF\xFE<\0s\0v\0g\0"s,
      "\xFE\xFF\0<\0s\0v\0g\0>"s,
      "\xEF\xBB\xBF<svg width=\"42\"></svg>"s,
  };
  for (const std::string& t : texts) {
    (void)readError(note("f.svg", t));
    ASSERT_NE(doc.currentPage(), nullptr) << t;
    EXPECT_EQ(doc.checkTree(), "") << t;
  }
  read(note("bom.svg", "\xEF\xBB\xBF<svg width=\"42\"></svg>"));
  EXPECT_EQ(doc.page(1)->settings().width(), 42);
}

TEST_F(NoteReaderForeignTest, BigEndianUtf16IsConverted) {
  const std::u16string units =
      u"<svg width=\"77\"><zerbin-pages><zerbin-page num=\"1\" title=\"\u9801\"/>"
      u"</zerbin-pages></svg>";
  std::string bytes = "\xFE\xFF";
  for (char16_t u : units) {
    bytes.push_back(static_cast<char>(u >> 8));
    bytes.push_back(static_cast<char>(u & 0xFF));
  }
  read(note("be.svg", bytes));
  EXPECT_EQ(doc.page(1)->settings().width(), 77);
  EXPECT_EQ(doc.page(1)->title(), Sjis(u8"頁"));
}

TEST_F(NoteReaderForeignTest, OlderNoteWithoutTheVersionMark) {
  // A version 200 note: page groups, a title list, and figures; no mark.
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
      "<svg width=\"00420\" height=\"00240\" zerbin_canvas_type=\"workspace\">\r\n"
      "<g id=\"page1\" width=\"400\" height=\"100\" transform=\"translate(+10,+10)\">\r\n"
      "<rect x=\"1.5\" y=\"2.5\" width=\"3\" height=\"4\"/>\r\n</g>\r\n"
      "<g id=\"page2\" width=\"400\" height=\"100\" transform=\"translate(+10,+120)\">\r\n</g>\r\n"
      "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"" +
      Sjis(u8"一") +
      "\">\r\n"
      "<zerbin-page num=\"2\" title=\"two\"/>\r\n</zerbin-page>\r\n</zerbin-pages>\r\n</svg>\r\n";
  read(note("old.svg", text));
  EXPECT_EQ(doc.formatVersion, 200);
  ASSERT_EQ(doc.pageCount(), 2u);
  EXPECT_EQ(doc.parentNumber(2), 1);
  EXPECT_EQ(doc.page(1)->title(), Sjis(u8"一"));
  EXPECT_EQ(doc.documentSettings().canvasType, CanvasType_WhiteBoard);
  EXPECT_EQ(doc.page(1)->figureCount(), 1u);
}

TEST_F(NoteReaderForeignTest, TextLinesComeFromTextAndTspans) {
  read(note(
      "t.svg",
      "<svg><text x=\"10\" y=\"20\" xml:space=\"preserve\">one<tspan x=\"10\" y=\"35\" "
      "xml:space=\"preserve\">two</tspan>\r\n\t<tspan x=\"10\" y=\"50\" xml:space=\"preserve\">"
      "</tspan>\r\n\t<tspan x=\"10\" y=\"65\" xml:space=\"preserve\">a &lt; "
      "b</tspan></text></svg>"));
  ASSERT_EQ(doc.page(1)->figureCount(), 1u);
  ASSERT_EQ(doc.page(1)->figures.at(1).GetKind(), FigureKind_Text);
  const auto& box = static_cast<const Text_Box&>(doc.page(1)->figures.at(1));
  EXPECT_EQ(box.text(), "one\r\ntwo\r\n\r\na < b");
}

}  // namespace
