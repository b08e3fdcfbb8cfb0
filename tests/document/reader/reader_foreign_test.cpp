// Drawings of other programs read as they look: the properties they give
// in any of SVG's ways, the geometry their viewports and transforms make,
// their encodings, and what no figure holds kept whole.
#include <gtest/gtest.h>

#include <cmath>

#include "core/xml/xml_event_reader.h"
#include "document/reader/reader_foreign.h"
#include "figures/base/svg_write_context.h"
#include "figures/foreign/foreign_figure.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "note_reader_fixture.h"

using namespace testing_support;
using namespace note_reader_test;

namespace {

class ReaderForeignTest : public NoteReaderFixture {
 protected:
  CadPrim* byId(const std::string& id) {
    for (const auto& f : doc.page(1)->figures)
      if (f->GetId() == id) return f.get();
    return nullptr;
  }
  const Rect_Ex& rect(const std::string& id) {
    const CadPrim* f = byId(id);
    EXPECT_NE(f, nullptr) << id;
    EXPECT_EQ(f ? f->GetKind() : 0, FigureKind_Rect) << id;
    return *static_cast<const Rect_Ex*>(f);
  }
  std::vector<const Foreign_Figure*> foreign() {
    std::vector<const Foreign_Figure*> out;
    for (const auto& f : doc.page(1)->figures)
      if (f->GetKind() == FigureKind_Foreign) out.push_back(static_cast<const Foreign_Figure*>(f.get()));
    return out;
  }
  const Text_Box& onlyText() {
    const Text_Box* found = nullptr;
    for (const auto& f : doc.page(1)->figures)
      if (f->GetKind() == FigureKind_Text) found = static_cast<const Text_Box*>(f.get());
    EXPECT_NE(found, nullptr);
    return *found;
  }
};

TEST_F(ReaderForeignTest, PaintComesFromAttributesStyleAndGroupsAndNoneIsNoPaint) {
  read(note("p.svg", PlainSvg(
                         "<rect id=\"a\" x=\"10\" y=\"10\" width=\"60\" height=\"40\" fill=\"red\" "
                         "stroke=\"navy\" stroke-width=\"4\"/>"
                         "<rect id=\"b\" x=\"90\" y=\"10\" width=\"60\" height=\"40\" fill=\"none\" "
                         "stroke=\"#0a0\" stroke-width=\"3\"/>"
                         "<rect id=\"c\" x=\"40\" y=\"30\" width=\"60\" height=\"40\" "
                         "style=\"fill:#fc0\" fill=\"black\"/>"
                         "<g fill=\"teal\" stroke=\"rgb(10%, 20%, 30%)\"><circle id=\"d\" cx=\"160\" "
                         "cy=\"80\" r=\"25\"/></g>"
                         "<rect id=\"e\" width=\"5\" height=\"5\" fill=\"CornflowerBlue\"/>"
                         "<rect id=\"f\" width=\"5\" height=\"5\" fill=\"green\" fill-opacity=\"0.5\"/>"
                         "<rect id=\"g\" width=\"5\" height=\"5\" fill=\"url(#none)\"/>",
                         " width=\"200\" height=\"120\"")));
  const Rect_Ex& a = rect("a");
  EXPECT_EQ(a.fillColour, Colour_rgb(255, 0, 0));
  EXPECT_EQ(a.strokeColour, Colour_rgb(0, 0, 128));
  EXPECT_EQ(a.strokeWidth, 4);
  EXPECT_EQ(a.opacity, 100);
  const Rect_Ex& b = rect("b");
  EXPECT_EQ(b.opacity, 0);  // no fill: what lies under shows
  EXPECT_EQ(b.strokeColour, Colour_rgb(0, 0xAA, 0));
  const Rect_Ex& c = rect("c");
  EXPECT_EQ(c.fillColour, Colour_rgb(0xFF, 0xCC, 0));  // style wins
  EXPECT_EQ(c.strokeWidth, 0);                         // SVG strokes nothing unless asked
  const Rect_Ex& d = rect("d");
  EXPECT_EQ(d.shape, RectShape_Ellipse);
  EXPECT_EQ(d.fillColour, Colour_rgb(0, 128, 128));
  EXPECT_EQ(d.strokeColour, Colour_rgb(26, 51, 77));
  EXPECT_EQ(d.x, 135);
  EXPECT_EQ(rect("e").fillColour, Colour_rgb(100, 149, 237));
  // What a figure of ours cannot draw is kept as it is.
  EXPECT_EQ(byId("f"), nullptr);
  EXPECT_EQ(byId("g"), nullptr);
  ASSERT_EQ(foreign().size(), 2u);
  EXPECT_EQ(foreign()[0]->parts().markup,
            "<rect id=\"f\" width=\"5\" height=\"5\" fill=\"green\" fill-opacity=\"0.5\"/>");
}

TEST_F(ReaderForeignTest, ViewportsUnitsAndTransformsPlaceFiguresOnThePage) {
  // A view box alone sizes the page.
  read(note("v.svg", PlainSvg("<rect id=\"r\" x=\"5\" y=\"5\" width=\"40\" height=\"20\"/>",
                              " viewBox=\"0 0 100 50\"")));
  EXPECT_EQ(settings(1).width(), 100);
  EXPECT_EQ(settings(1).height(), 50);
  // A width scales the view box, and the height follows its proportion.
  read(note("w.svg", PlainSvg("<rect id=\"r\" x=\"5\" y=\"5\" width=\"40\" height=\"20\"/>",
                              " width=\"200\" viewBox=\"0 0 100 50\"")));
  EXPECT_EQ(settings(1).height(), 100);
  EXPECT_EQ(rect("r").x, 10);
  EXPECT_EQ(rect("r").width, 80);
  // Units and percentages of the viewport.
  read(note("u.svg", PlainSvg("<rect id=\"mm\" x=\"5mm\" y=\"1in\" width=\"20mm\" height=\"12pt\"/>"
                              "<rect id=\"pc\" x=\"50%\" y=\"10%\" width=\"25%\" height=\"50%\"/>",
                              " width=\"60mm\" height=\"30mm\"")));
  EXPECT_EQ(settings(1).width(), 227);
  EXPECT_EQ(settings(1).height(), 114);
  EXPECT_EQ(rect("mm").x, 18);
  EXPECT_EQ(rect("mm").y, 96);
  EXPECT_EQ(rect("mm").width, 76);
  EXPECT_EQ(rect("mm").height, 16);
  EXPECT_EQ(rect("pc").x, 113);
  EXPECT_EQ(rect("pc").width, 57);
  // A graph layout tool draws under a translation to negative y; nested
  // viewports scale; a whole-degree turn is the figure's angle, a shear
  // is kept as it is.
  read(note("g.svg",
            PlainSvg("<g transform=\"scale(1 1) rotate(0) translate(4 112)\">"
                     "<ellipse id=\"n\" fill=\"none\" stroke=\"black\" cx=\"27\" cy=\"-90\" "
                     "rx=\"27\" ry=\"18\"/>"
                     "<text text-anchor=\"middle\" x=\"27\" y=\"-86.3\" font-family=\"Times,serif\" "
                     "font-size=\"14.00\">a</text></g>"
                     "<g transform=\"translate(10,10) scale(2)\"><svg x=\"40\" y=\"0\" width=\"40\" "
                     "height=\"40\" viewBox=\"0 0 10 10\"><circle id=\"c\" cx=\"5\" cy=\"5\" "
                     "r=\"4\"/></svg></g>"
                     "<g transform=\"rotate(45 180 60)\"><rect id=\"t\" x=\"160\" y=\"40\" "
                     "width=\"40\" height=\"40\"/></g>"
                     "<rect id=\"s\" transform=\"skewX(20)\" width=\"9\" height=\"9\"/>",
                     " width=\"206pt\" height=\"116pt\" viewBox=\"0.00 0.00 206.00 116.00\"")));
  const double k = 96.0 / 72;  // the view box in points
  EXPECT_NEAR(rect("n").x, 4 * k, 1);
  EXPECT_NEAR(rect("n").y, 4 * k, 1);
  EXPECT_NEAR(rect("n").width, 54 * k, 1);
  const Text_Box& text = onlyText();
  EXPECT_EQ(text.text(), "a");
  EXPECT_EQ(text.alignment, 1);
  EXPECT_NEAR(text.basePoint().y, (112 - 86.3) * k, 1);
  EXPECT_EQ(text.fontSize, std::lround(14 * k * 72 / 96));
  EXPECT_NEAR(rect("c").x, (10 + 2 * (40 + 4)) * k, 1);
  EXPECT_NEAR(rect("c").width, 64 * k, 1.5);
  EXPECT_EQ(rect("t").angle, 45);
  EXPECT_NEAR(rect("t").x, 160 * k, 1);
  EXPECT_EQ(byId("s"), nullptr);
  ASSERT_EQ(foreign().size(), 1u);
  EXPECT_NEAR(foreign()[0]->parts().matrix.a, k, 1e-12);
}

TEST_F(ReaderForeignTest, TheWindowsSizeProbeSeesTheForeignPage) {
  int32_t w = 0, h = 0;
  EXPECT_FALSE(NoteReader_probePageSize(
      note("p.svg", PlainSvg("<rect width=\"1\" height=\"1\"/>", " width=\"60mm\" viewBox=\"0 0 100 50\"")), w,
      h));
  EXPECT_EQ(w, 227);
  EXPECT_EQ(h, 114);
  read(note("p2.svg", PlainSvg("", " width=\"60mm\" viewBox=\"0 0 100 50\"")));
  EXPECT_EQ(settings(1).width(), w);
  EXPECT_EQ(settings(1).height(), h);
}

TEST_F(ReaderForeignTest, TextIsReadInTheEncodingOfItsFile) {
  const std::string body = "<text x=\"1\" y=\"20\">" + std::string(reinterpret_cast<const char*>(u8"日本語 é 😀")) +
                           "</text>";
  // UTF-8 without a declaration (XML's default); characters code page 932
  // lacks are replaced once.
  read(note("u.svg", PlainSvg(body)));
  EXPECT_EQ(onlyText().text(), Sjis(u8"日本語 ? ?"));
  // Latin-1 as declared.
  read(note("l.svg", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
                         PlainSvg("<text x=\"1\" y=\"20\">\xA7 caf\xE9</text>")));
  EXPECT_EQ(onlyText().text(), Sjis(u8"§ caf?"));
  // Bytes that are no UTF-8 are code page 932, as older notes are; a lead
  // byte without its trail byte is no character.
  read(note("s.svg", PlainSvg("<text x=\"1\" y=\"20\">" + Sjis(u8"頁") + " \x81</text>")));
  EXPECT_EQ(onlyText().text(), Sjis(u8"頁") + " ?");
  // The program's own notes stay code page 932 whatever they declare.
  read(note("own.svg", WrittenNote("<text x=\"1\" y=\"20\">\xC3\xA9</text>\r\n")));
  EXPECT_EQ(onlyText().text(), "\xC3\xA9");
}

TEST_F(ReaderForeignTest, KeptElementsTakeTheirDefinitionsAndComeBackFromTheirWrapper) {
  read(note("k.svg",
            PlainSvg("<defs><radialGradient id=\"r\" href=\"#base\"/><linearGradient id=\"base\">"
                     "<stop offset=\"0\" stop-color=\"red\"/></linearGradient>"
                     "<path id=\"star\" d=\"M0,-20 L6,-6 20,-6z\"/><circle id=\"unused\" r=\"3\"/></defs>"
                     "<g style=\"stroke:blue\" opacity=\"0.5\" transform=\"translate(100,50)\">"
                     "<path d=\"M10 140\r\nQ 60 10 110 140\" fill=\"url(#r)\"/>"
                     "<use xlink:href=\"#star\" x=\"150\" y=\"40\"/></g>",
                     " xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"400\" height=\"300\"")));
  const std::vector<const Foreign_Figure*> kept = foreign();
  ASSERT_EQ(kept.size(), 2u);
  const ForeignParts& path = kept[0]->parts();
  EXPECT_EQ(path.element, "path");
  EXPECT_EQ(path.markup, "<path d=\"M10 140\nQ 60 10 110 140\" fill=\"url(#r)\"/>");
  // The gradient and the one it builds on; nothing else.
  EXPECT_NE(path.defs.find("id=\"r\""), std::string::npos);
  EXPECT_NE(path.defs.find("id=\"base\""), std::string::npos);
  EXPECT_EQ(path.defs.find("star"), std::string::npos);
  EXPECT_EQ(path.style, "stroke:blue;opacity:0.5");
  EXPECT_EQ(path.matrix, SvgAffine_translate(100, 50));
  // The curve with half the stroke and a unit around, translated.
  EXPECT_EQ(kept[0]->pageBox(), (Rect32{108, 58, 104, 134}));
  const ForeignParts& use = kept[1]->parts();
  EXPECT_NE(use.defs.find("id=\"star\""), std::string::npos);
  EXPECT_EQ(kept[1]->pageBox(), (Rect32{248, 68, 24, 18}));

  // Moved, written and read back: the same figure, the move its transform.
  std::unique_ptr<CadPrim> moved = kept[0]->Clone(nullptr);
  moved->MoveBy(5, -7);
  SvgWriteContext ctx;
  moved->WriteSvg(ctx);
  EXPECT_NE(ctx.out.find(" transform=\"matrix(1,0,0,1,105,43)\""), std::string::npos) << ctx.out;
  XmlEventReader xml;
  xml.OpenBytes(ctx.out + "<rect x=\"1\"/>");
  ASSERT_TRUE(xml.Next());
  std::unique_ptr<Foreign_Figure> back = ForeignSvg_readWrapper(xml, counters);
  ASSERT_NE(back, nullptr);
  back->SetNumber(moved->GetNumber());
  EXPECT_TRUE(back->Equals(*moved, 0));
  // The events go on behind the wrapper.
  while (xml.Next() && xml.Kind() == XmlEvent_text) {
  }
  EXPECT_EQ(xml.Name(), "rect");
}

TEST_F(ReaderForeignTest, ARootSayingMoreThanItsSizeIsForeignAndHairlinesAreKept) {
  // No default namespace, but a style for everything inside: the rectangle
  // has no fill and a quarter-pixel grey line, which only the element
  // itself draws as it looks.
  read(note("w.svg", "<svg xmlns:svg=\"http://www.w3.org/2000/svg\" "
                     "style=\"stroke:#7f7f7f;fill:none;stroke-width:.25\" width=\"300\" "
                     "height=\"200\"><rect id=\"b\" x=\"20\" y=\"90\" width=\"15\" "
                     "height=\"10\"/><rect id=\"w\" x=\"50\" y=\"90\" width=\"15\" "
                     "height=\"10\" stroke-width=\"2\"/><path d=\"m 36,95 h 16\"/></svg>"));
  EXPECT_EQ(byId("b"), nullptr);
  EXPECT_EQ(rect("w").opacity, 0);
  EXPECT_EQ(rect("w").strokeColour, Colour_rgb(0x7F, 0x7F, 0x7F));
  ASSERT_EQ(foreign().size(), 2u);
  EXPECT_EQ(foreign()[0]->parts().style, "fill:none;stroke:#7f7f7f;stroke-width:.25");
}

TEST_F(ReaderForeignTest, ManyUsesOfOneLargeDefinitionDoNotMultiplyItBeyondTheBudget) {
  // 100 kB of definition used by 1,000 elements: 100 MB if each took a copy.
  std::string body = "<defs><path id=\"big\" d=\"M0,0";
  while (body.size() < 100000) body += " L1,2 3,4";
  body += "\"/></defs>";
  for (int i = 0; i < 1000; ++i) body += "<use href=\"#big\" x=\"" + std::to_string(i) + "\"/>";
  read(note("many.svg", PlainSvg(body)));
  const std::vector<const Foreign_Figure*> kept = foreign();
  ASSERT_EQ(kept.size(), 1000u);
  size_t total = 0, withDefs = 0;
  for (const Foreign_Figure* f : kept) {
    total += f->parts().defs.size();
    if (!f->parts().defs.empty()) ++withDefs;
  }
  EXPECT_LE(total, ForeignSvg_definitionsBudget);
  EXPECT_EQ(withDefs, ForeignSvg_definitionsBudget / kept[0]->parts().defs.size());
}

}  // namespace
