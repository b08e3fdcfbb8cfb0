// "-cw", "-cx", "-ct", "-cT": a note converted into the scripts that rebuild
// it in Word, Excel and PowerPoint, by the built program without a window.
// Every script written is checked as the script host reads it (wsf_check.h).
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <memory>

#include "core/filex/filex.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "wsf_check.h"
#include "zerbin_run.h"

using namespace testing_support;

namespace {

class MetricsHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }

 private:
  FixedMetrics metrics_;
};

std::unique_ptr<Text_Box> textBox(int32_t x, int32_t y, const std::string& text) {
  auto t = std::make_unique<Text_Box>();
  t->SetText(text);
  t->SetBasePoint(x, y);
  return t;
}

// A back page with a rectangle; page 1 (a hard title) with every kind: a
// rectangle, the shapes 2, 3, 4 and 6 with opacities, a line drawn right to
// left with an arrowhead, framed text boxes (one linked to page 2), a picture
// (a real PNG, embedded in the note), a line flipped both ways with both heads, a connector of three
// segments, braces lying and standing, a text box of two lines and a title
// box whose every field holds quotes, line breaks, "&", "</script>" and
// Japanese; page 2 with `many` text boxes.
void WriteNote(const std::string& dir, const std::string& path, int many) {
  const std::string work = dir + "/work";
  std::filesystem::create_directories(work);
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(dir + "/pic.png"), "PNG"));
  const Errors_Msg e = CatchError([&] {
    NoteDocument doc(work);
    doc.NewDocument(1, false);
    doc.currentPage()->setTitle(Sjis(u8"題 \"A\" & <B> </script>"));
    FigureList& page = doc.workingFigures();
    auto rect = [&](int32_t shape, int32_t x, int32_t opacity) {
      auto r = std::make_unique<Rect_Ex>();
      r->shape = shape, r->x = x, r->y = 20, r->width = 100, r->height = 50, r->opacity = opacity;
      r->fillColour = Colour_rgb(255, 0, 0);
      doc.workingFigures().append(std::move(r));
    };
    rect(RectShape_Rectangle, 10, 100);
    auto line = std::make_unique<Line_Ex>();
    line->SetPoints({100, 0}, {0, 50});
    line->SetArrow(2, 3);
    page.append(std::move(line));
    auto framed = textBox(400, 100, "to page 2");
    framed->SetFrameShape(TextBoxFrame_Diamond);
    framed->SetUrl(path + "#p2");
    page.append(std::move(framed));
    auto plain = textBox(400, 200, "framed");
    plain->SetFrameShape(TextBoxFrame_Parallelogram);
    page.append(std::move(plain));
    auto pic = std::make_unique<Rect_Ex>();
    pic->shape = RectShape_Image, pic->imagePath = dir + "/pic.png", pic->embedImage = true;
    pic->x = 300, pic->y = 20, pic->width = 20, pic->height = 20;
    page.append(std::move(pic));
    for (int32_t s : {2, 3, 4, 6}) rect(s, 100 * s, s * 25 - 50);
    auto both = std::make_unique<Line_Ex>();
    both->SetPoints({200, 150}, {120, 100});
    both->SetArrow(1, 1), both->SetArrow(2, 7);
    page.append(std::move(both));
    auto corner = std::make_unique<Line_Corner>();
    corner->setEnd(1, 300, 260), corner->setEnd(2, 200, 200), corner->setThrough(250, 230);
    corner->setDirection(LineCorner_directionZ), corner->setArrow(1, 3);
    page.append(std::move(corner));
    for (Point32 p : {Point32{400, 300}, Point32{330, 420}}) {
      auto brace = std::make_unique<Matome>();
      brace->SetPoints({300, 400}, p);
      page.append(std::move(brace));
    }
    page.append(textBox(30, 200, "line one\r\nline two"));
    auto hard = textBox(30, 300, Sjis(u8"見出し \"q\" & </script>\r\n二行目\r三行目\n四"));
    hard->className = "title";
    hard->SetId(Sjis(u8"名前 \"id\" &"));
    hard->SetUrl(Sjis(u8"http://example.com/a?\"b\"&c=<d>#場所 \"x\""));
    hard->fontFace = Sjis(u8"ＭＳ \"明朝\"");
    page.append(std::move(hard));
    doc.AddPage(AddPage_next);
    doc.currentPage()->setTitle("many");
    doc.workingSettings().SetId("p2");
    for (int i = 0; i < many; ++i) doc.workingFigures().append(textBox(20 + (i % 10) * 60, 20 + (i / 10) * 30, "t"));
    doc.ToggleBackPage(true);
    rect(RectShape_Rectangle, 5, 100);
    doc.SelectPage(1);
    MetricsHost host;
    ASSERT_EQ(NoteWriter_save(doc, path, false, host), 0);
    doc.ClearDocument();
  });
  ASSERT_EQ(e.code, 0) << e.text;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

size_t Count(const std::string& s, std::string_view what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(OfficeScriptBlackBox, FourConversionsOfPagesBackPageAndHardTexts) {
  TempDir dir;
  WriteNote(dir.path(), dir.file("note.svg"), 120);
  const std::string prof = "-prof=" + dir.file("P");
  // Every kind in the script of one application (C: the shape container),
  // the picture copied beside the script as `image` and named there.
  const std::string png = ReadFileBytes(dir.file("pic.png"));
  auto kinds = [&](const std::string& s, const std::string& C, const std::string& stem, const std::string& image) {
    const std::string pic = "      m.m_AttachFolderPath + \"\\01\\" + image + "\", _\r\n";
    EXPECT_EQ(ReadFileBytes(dir.file(stem + ".files/01/" + image)), png) << stem;
    const bool word = C == "canvas";
    for (const std::string& part :
         {"  Set rec = " + C + ".AddShape( msoShapeRectangle, _\r\n     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n",
          std::string("  rec.Fill.Visible = msoFalse\r\n  rec.Line.ForeColor.RGB = RGB(0, 0, 0)\r\n"),
          std::string("  rec.Fill.Transparency = 0.50\r\n"), "  Set rec = " + C + ".AddShape( msoShapeParallelogram, _\r\n",
          "  Set lin = " + C + ".AddLine( 90.00 + left_m, 75.00 + top_m, 150.00 + left_m, 112.50 + top_m )\r\n",
          std::string("  lin.AlternativeText = \"reverse\"\r\n  lin.Line.BeginArrowheadStyle = msoArrowheadOpen\r\n"),
          std::string("  lin.Line.EndArrowheadStyle = msoArrowheadDiamond\r\n"
                      "  lin.Line.EndArrowheadLength = msoArrowheadLengthMedium\r\n"
                      "  lin.Line.EndArrowheadWidth = msoArrowheadWidthMedium\r\n"
                      "  lin.Flip msoFlipHorizontal\r\n  lin.Flip msoFlipVertical\r\n  m.AddGroup  lin.Name\r\n"),
          "    ' Dim g() As Variant\r\n    Set lin = " + C +
              ".AddLine(150.00 + left_m, 150.00 + top_m, 187.50 + left_m, 150.00 + top_m)\r\n",
          std::string("    lin.Line.EndArrowheadStyle = msoArrowheadTriangle\r\n"),
          "  Set mat = " + C + ".AddShape( msoShapeLeftBrace, _\r\n     228.75 + left_m, 296.25 + top_m, 15.00, 22.50 )\r\n"
              "  mat.Rotation = 90\r\n",
          std::string("     225.00 + left_m, 225.00 + top_m, 75.00, 75.00 )\r\n  m.AddGroup  mat.Name\r\n"),
          "  Set frame = " + C + ".AddShape( msoShapeFlowchartDecision, _\r\n",
          word ? "  Set img = tex.TextFrame.TextRange.InlineShapes.AddPicture( _\r\n" + pic + "      False, True )\r\n"
               : "  Set img = s.Shapes.AddPicture( _\r\n" + pic +
                     "      False, True, 225.00 + left_m, 15.00 + top_m, 15.00, 15.00 )\r\n"})
      EXPECT_TRUE(Has(s, part)) << stem << ": " << part;
    EXPECT_EQ(Count(s, "    Set lin = " + C + ".AddLine("), 3u) << stem;
  };

  // Word, to the default destination beside the note.
  ZerbinRun r = runZerbin(dir, {prof, "-cw", dir.file("note.svg")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::string word = ReadFileBytes(dir.file("note.wsf"));
  EXPECT_EQ(wsf_check::check(word), "");
  EXPECT_TRUE(Has(word, "Sub  main() ' VBA for Word 2003\r\n"));
  kinds(word, "canvas", "note", "image05.png");
  EXPECT_TRUE(Has(word, "  s.Hyperlinks.Add  tex.TextFrame.TextRange, _\r\n      \"\", \"p2\"\r\n"));
  // The check holds the statements to the chunks' declarations.
  std::string undeclared = word;
  for (size_t at; (at = undeclared.find(" mat,")) != std::string::npos;) undeclared.erase(at, 5);
  EXPECT_EQ(wsf_check::check(undeclared).substr(0, 17), "mat not declared ");
  EXPECT_TRUE(Has(word, "  m.m_AttachFolderPath = g_fs.GetAbsolutePathName( \"note.files\\\" )\r\n"));
  for (const char* call : {"    BrevloToWD_makePage00  m\r\n", "    BrevloToWD_makePage01  m\r\n",
                           "    BrevloToWD_makePage02  m\r\n"})
    EXPECT_TRUE(Has(word, call)) << call;
  EXPECT_EQ(Count(word, "  m.NextPage\r\n"), 1u);
  EXPECT_TRUE(Has(word, "  '// Page 2\r\n  m.NextPage\r\n"));
  // The text box of two lines, continued on the next line of the script.
  EXPECT_TRUE(Has(word, "    .TextRange.Text = \"line one\"+Chr(13)+Chr(10)+ _\r\n"
                        "                          \"line two\"\r\n"));
  EXPECT_TRUE(Has(word, "  For i = 1 To 2\r\n"));
  // The title box: its text, link and name stay inside their literals.
  EXPECT_TRUE(Has(word, Sjis(u8"  m.SetTitle  \"見出し \"\"q\"\" & <\"+\"/script>\"+Chr(13)+Chr(10)+\"二行目\"")));
  EXPECT_TRUE(Has(word, Sjis(u8"    .Name = \"ＭＳ \"\"明朝\"\"\"\r\n")));
  EXPECT_TRUE(Has(word, "      \"http://example.com/a?\"\"b\"\"&c=<d>\", \"x"));
  EXPECT_TRUE(Has(word, "  ' m.AddGroup  tex.Name\r\nEnd If\r\n"));
  // 120 text boxes write more than 2000 lines: page 2 has several chunks.
  EXPECT_TRUE(Has(word, "Sub  BrevloToWD_makePage02_1( m )\r\n"));
  EXPECT_TRUE(Has(word, "Sub  BrevloToWD_makePage02_2( m )\r\n"));
  EXPECT_TRUE(Has(word, "  BrevloToWD_makePage02_1  m\r\n  BrevloToWD_makePage02_2  m\r\n"));
  EXPECT_EQ(Count(word, "\n"), Count(word, "\r\n") + Count(word, "  tex.AlternativeText = \"g") +
                                   Count(word, "  frame.AlternativeText = \"g"));

  // Excel, with the installation's library.
  r = runZerbin(dir, {prof, "-cx", dir.file("note.svg"), dir.file("out/x.wsf")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::string excel = ReadFileBytes(dir.file("out/x.wsf"));
  EXPECT_EQ(wsf_check::check(excel), "");
  EXPECT_TRUE(Has(excel, "<script language=\"vbscript\" src=\"" + dir.file("P/script/ExcelLib.vbs") + "\"/>\r\n"));
  EXPECT_TRUE(FileX_exists(dir.file("P/script/ExcelLib.vbs")));
  EXPECT_TRUE(Has(excel, "Sub  main() ' VBA for Excel2003\r\n"));
  // The framed box of one line holds its text: it advances the index by 1.
  kinds(excel, "s.Shapes", "out/x", "image04.png");
  EXPECT_TRUE(Has(excel, "  BrevloToXL_makePage00  m\r\n"));
  EXPECT_TRUE(Has(excel, Sjis(u8"  s.Name = \"見出し \"\"q\"\" & <\"+\"/script>\"")));

  // PowerPoint: two slides, no routine for the back page.
  r = runZerbin(dir, {prof, "-ct", dir.file("note.svg"), dir.file("p.wsf")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::string ppt = ReadFileBytes(dir.file("p.wsf"));
  EXPECT_EQ(wsf_check::check(ppt), "");
  EXPECT_EQ(Count(ppt, "  BrevloToPT_addNewSlide  m, \""), 2u);
  EXPECT_TRUE(Has(ppt, Sjis(u8"  BrevloToPT_addNewSlide  m, \"題 \"\"A\"\" & <B> <\"+\"/script>\"\r\n")));
  EXPECT_FALSE(Has(ppt, "makePage00"));
  kinds(ppt, "s.Shapes", "p", "image04.png");
  EXPECT_TRUE(Has(ppt, "link.m_ToName = \"Page2\"  '// \"p2\"\r\n"));
  EXPECT_TRUE(Has(ppt, "    .Size = 12\r\n"));

  // Enlarged PowerPoint: the same slides at twice the size.
  r = runZerbin(dir, {prof, "-cT", dir.file("note.svg"), dir.file("big.wsf")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::string big = ReadFileBytes(dir.file("big.wsf"));
  EXPECT_EQ(wsf_check::check(big), "");
  EXPECT_TRUE(Has(big, "    .Size = 24\r\n"));
  EXPECT_FALSE(Has(big, "    .Size = 12\r\n"));
  EXPECT_TRUE(Has(big, "     15.00 + left_m, 30.00 + top_m, 150.00, 75.00 )\r\n"));
  EXPECT_TRUE(Has(big, "    lin.Line.EndArrowheadLength = msoArrowheadLong\r\n"));
  EXPECT_EQ(ReadFileBytes(dir.file("big.files/01/image04.png")), png);

  // A missing note is reported and ends with status 1.
  r = runZerbin(dir, {prof, "-cw", dir.file("none.svg"), dir.file("none.wsf")});
  EXPECT_NE(r.status, 0);
  EXPECT_FALSE(FileX_exists(dir.file("none.wsf")));
}

TEST(OfficeScriptBlackBox, TheCheckFindsBrokenScripts) {
  const std::string good =
      "<job>\r\n<script language=\"vbscript\">\r\nDim g\r\nSub  a( x )\r\n  Dim  c\r\n  c = 2\r\n  With x\r\n    .T = \"a & b\"\r\n  End With\r\n"
      "  If a < b Then  c = 1\r\n  If IsEmpty( g ) Then _\r\n    Set g = 1\r\nEnd Sub\r\n</script>\r\n</job>\r\n";
  EXPECT_EQ(wsf_check::check(good), "");
  auto broken = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    s.replace(s.find(from), from.size(), to);
    return wsf_check::check(s);
  };
  EXPECT_NE(broken("  End With\r\n", ""), "");
  EXPECT_NE(broken("\"a & b\"", "\"a \" b\""), "");
  EXPECT_NE(broken("\"a & b\"", "\"a\r\nb\""), "");
  EXPECT_NE(broken("\"a & b\"", "\"</script>\""), "");
  EXPECT_NE(broken("Then  c = 1", "Then"), "");
  EXPECT_NE(broken("</job>", "</jobs>"), "");
  EXPECT_EQ(broken("  Dim  c\r\n", ""), "c not declared (line 4)");
}
