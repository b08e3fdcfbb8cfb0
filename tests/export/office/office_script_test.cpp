// The conversion script around the figures: the frame for each
// application, the pages and the back page, the page routines split into
// chunks after 2000 lines, and the file as written.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/filex/filex.h"
#include "document/note/note_document.h"
#include "export/office/office_script.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A figure that writes `lines` lines (the first names what it was given)
// and advances the running index by `advance`.
class FakeFigure final : public Text_Box {
 public:
  FakeFigure(int32_t lines, int32_t advance) : lines_(lines), advance_(advance) {}
  int32_t WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount, int32_t kind,
                            int32_t flags) const override {
    w.printf("  ' figure %d: page %d index %d kind %d flags %d\r\n", GetNumber(), w.pageNumber, index, kind,
             flags);
    for (int32_t i = 1; i < lines_; ++i) w.put("  '\r\n");
    lineCount = lines_;
    return advance_;
  }

 private:
  int32_t lines_, advance_;
};

class Host : public OfficeScriptHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  std::string notePath() const override { return "/n/note.svg"; }
  std::string scriptFolder() const override { return "/prof/script"; }

 private:
  FixedMetrics metrics_;
};

void add(NoteDocument& doc, int32_t number, int32_t lines, int32_t advance = 1) {
  auto f = std::make_unique<FakeFigure>(lines, advance);
  f->SetNumber(number);
  doc.workingFigures().append(std::move(f));
}

// A back page with two figures of 2500 lines, page 1 with four of 900
// lines, page 2 without figures.
struct Note {
  TempDir dir;
  NoteDocument doc{dir.file("work")};
  Note() {
    FileX_makeFolders(dir.file("work/x"), true);
    doc.NewDocument(1, false);
    for (int i = 1; i <= 4; ++i) add(doc, i, 900);
    doc.AddPage(AddPage_next);
    doc.ToggleBackPage(true);
    add(doc, 11, 2500);
    add(doc, 12, 2500, 0);
    doc.SelectPage(1);
  }
};

size_t count(const std::string& s, std::string_view what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(OfficeScript, WordFramePagesBackPageAndChunks) {
  Note note;
  Host host;
  const std::string script = note.dir.file("out/a.wsf");
  WriteConversionScript(note.doc, script, OfficeTarget::Word, 0, host);
  const std::string s = ReadFileBytes(script);

  EXPECT_EQ(s.rfind("<job>\r\n<REFERENCE GUID=\"{00020905-0000-0000-C000-000000000046}\"/>\r\n"
            "<script language=\"vbscript\">\r\nOption Explicit\r\n"
            "Dim g_fs : Set  g_fs = CreateObject( \"Scripting.FileSystemObject\" )\r\n"
            "Dim g_sh : Set  g_sh = WScript.CreateObject( \"WScript.Shell\" )\r\nmain\r\n\r\n"
            "Class  BrevloToWD\r\n", 0), 0u);
  EXPECT_NE(s.find("    Me.m_iPage = Me.m_iPage + 1\r\n  End Sub\r\nEnd Class\r\n\r\n\r\nConst  msoTrue = True\r\n"
                   "Const  msoFalse = False\r\nConst  msoArrowheadLong = 3\r\n"),
            std::string::npos);
  EXPECT_NE(s.find("Const  msoShapeFlowchartDecision = 63\r\nConst  msoSendBehindText = 5\r\n\r\n\r\n"
                   "Sub  main() ' VBA for Word 2003\r\n"),
            std::string::npos);
  EXPECT_EQ(count(s, "\r\nConst  "), 26u);
  EXPECT_NE(s.find("  m.m_AttachFolderPath = g_fs.GetAbsolutePathName( \"a.files\\\" )\r\n"), std::string::npos);
  EXPECT_NE(s.find(Sjis(u8"  m.m_Document.Styles( \"見出し 2\" ).ParagraphFormat.PageBreakBefore = True\r\n")),
            std::string::npos);

  // The back page shares the first Word page with page 1.
  EXPECT_NE(s.find("  '// Page 0\r\n  m.SetupPage\r\n  WD.ScreenUpdating = False\r\n  On Error Resume Next\r\n"
                   "    BrevloToWD_makePage00  m\r\n"),
            std::string::npos);
  EXPECT_NE(s.find("  '// Page 2\r\n  m.NextPage\r\n  m.SetupPage\r\n"), std::string::npos);
  EXPECT_EQ(count(s, "  m.NextPage\r\n"), 1u);

  // Chunks: a figure of more than 2000 lines fills one by itself; three of
  // 900 exceed the limit, the fourth opens the next chunk.
  EXPECT_NE(s.find("Sub  BrevloToWD_makePage00_1( m )\r\n  Dim  s : Set s = WD.ActiveDocument\r\n"
                   "  Dim  canvas : Set canvas = m.m_Canvas.CanvasItems\r\n"
                   "  Dim  lin, rec, tex, ss, img, mat, frame, i, n\r\n"
                   "  Dim  left_m : left_m = 60 'm.PageSetup.LeftMargin\r\n"
                   "  Dim  top_m : top_m = 65.25 'm.PageSetup.TopMargin\r\n\r\n"
                   "\r\n  ' figure 11: page 0 index 1 kind 0 flags 0\r\n"),
            std::string::npos);
  EXPECT_NE(s.find("  '\r\nEnd Sub\r\n\r\n\r\nSub  BrevloToWD_makePage00_2( m )\r\n"), std::string::npos);
  EXPECT_NE(s.find("  ' figure 12: page 0 index 2 kind 0 flags 0\r\n"), std::string::npos);
  EXPECT_NE(s.find("Sub  BrevloToWD_makePage00( m )\r\n"
                   "  Set m.m_Canvas = m.m_Document.Shapes.AddCanvas( 1, 1, 590, 835 )\r\n"
                   "  m.m_Canvas.WrapFormat.Type = wdWrapNone\r\n  m.m_Canvas.ZOrder  msoSendBehindText\r\n"
                   "  BrevloToWD_makePage00_1  m\r\n  BrevloToWD_makePage00_2  m\r\nEnd Sub\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(s.find("  ' figure 3: page 1 index 3 kind 0 flags 0\r\n"), std::string::npos);
  const size_t chunk2 = s.find("Sub  BrevloToWD_makePage01_2( m )\r\n");
  ASSERT_NE(chunk2, std::string::npos);
  EXPECT_LT(s.find("  ' figure 3: "), chunk2);
  EXPECT_GT(s.find("  ' figure 4: page 1 index 4 "), chunk2);
  EXPECT_EQ(s.find("BrevloToWD_makePage01_3"), std::string::npos);
  // A page without figures: its routine calls no chunk.
  EXPECT_NE(s.find("Sub  BrevloToWD_makePage02( m )\r\n"
                   "  Set m.m_Canvas = m.m_Document.Shapes.AddCanvas( 1, 1, 590, 835 )\r\n"
                   "  m.m_Canvas.WrapFormat.Type = wdWrapNone\r\n  m.m_Canvas.ZOrder  msoSendBehindText\r\n"
                   "End Sub\r\n\r\n\r\nDim g_w\r\nFunction  WD()\r\n"),
            std::string::npos);
  EXPECT_EQ(s.substr(s.size() - 35), "End Function\r\n\r\n</script>\r\n</job>\r\n");
  // Every line break is CR LF.
  EXPECT_EQ(count(s, "\n"), count(s, "\r\n"));
  // The working copy is stored first: the page records hold the figures.
  EXPECT_EQ(note.doc.page(0)->figureCount(), 2u);
}

TEST(OfficeScript, PowerPointAndExcelHandTheFiguresTheirIndexAndFlags) {
  Note note;
  Host host;
  // PowerPoint: the running index starts at 0, the enlarged flag reaches
  // the figures, the back page is skipped.
  const std::string p = OfficeScript_text(note.doc, "/o/p.wsf", OfficeTarget::PowerPoint, kOfficeFlagEnlarge, host);
  EXPECT_NE(p.find("  ' figure 1: page 1 index 0 kind 2 flags 1\r\n"), std::string::npos);
  EXPECT_EQ(p.find("figure 11"), std::string::npos);
  EXPECT_NE(p.find("Sub  BrevloToPT_makePage01( m )\r\n  m.m_Slide.Shapes(2).Delete\r\n"
                   "  BrevloToPT_makePage01_1  m\r\n  BrevloToPT_makePage01_2  m\r\nEnd Sub\r\n"),
            std::string::npos);

  // Excel: the same script whether the sheet flag is set or not.
  const std::string plain = OfficeScript_text(note.doc, "/o/x.wsf", OfficeTarget::Excel, 0, host);
  EXPECT_EQ(plain, OfficeScript_text(note.doc, "/o/x.wsf", OfficeTarget::Excel, 1, host));
  EXPECT_NE(plain.find("<REFERENCE GUID=\"{00020813-0000-0000-C000-000000000046}\"/>\r\n"
                       "<script language=\"vbscript\" src=\"/prof/script/ExcelLib.vbs\"/>\r\n"
                       "<script language=\"vbscript\">\r\n"),
            std::string::npos);
  EXPECT_NE(plain.find("Sub  main() ' VBA for Excel2003\r\n"), std::string::npos);
  // The figures always get the flags 1; every page after the first gets a sheet.
  EXPECT_NE(plain.find("  ' figure 11: page 0 index 1 kind 1 flags 1\r\n"), std::string::npos);
  EXPECT_EQ(count(plain, "  Set m.m_Sheet = Sheet_new( m.m_Sheet )\r\n"), 2u);
  EXPECT_NE(plain.find("  XL.ScreenUpdating = False\r\n  BrevloToXL_makePage00  m\r\n  XL.ScreenUpdating = True\r\n"),
            std::string::npos);
  const std::string v2007 =
      OfficeScript_text(note.doc, "/o/x.wsf", OfficeTarget::Excel, kOfficeFlagExcel2007, host);
  EXPECT_NE(v2007.find("Sub  main() ' VBA for Excel2007\r\n"), std::string::npos);
  EXPECT_NE(v2007.find("  ' figure 11: page 0 index 1 kind 1 flags 1\r\n"), std::string::npos);
}
