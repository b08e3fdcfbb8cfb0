// The statements a text box writes into a conversion script, for Word,
// Excel and PowerPoint, with the layout numbers set directly.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::Sjis;

namespace {

// A box of `lines` lines at base (100, 200): 16 px lines with a 3 px
// descent, 41 px wide, so the text block is 100..141 x 188..203 (plus the
// spacing of the further lines); its frame is 90..150 x 185..221.
std::unique_ptr<Text_Box> box(std::string_view text = "abc", int32_t lines = 1) {
  auto b = std::make_unique<Text_Box>();
  b->SetText(text);
  b->SetBasePoint(100, 200);
  b->SetNumber(7);
  b->lineHeight16 = 256;
  b->descent16 = 48;
  b->textWidth = 41;
  b->lineCount = lines;
  b->bounds = {90, 185, 150, 221};
  b->layoutFlags |= TextBox_boundsValid;
  return b;
}

struct Written {
  std::string text;
  int32_t advance = -1;
  int32_t lines = -1;
};

Written write(const Text_Box& b, OfficeTarget target, int32_t flags = 0,
              std::function<int32_t(std::string_view)> pages = nullptr) {
  OfficeScriptWriter w;
  w.notePath = "/n/note.svg";
  w.scriptPath = "/s/note.wsf";
  w.attachFolderPath = "/s/note.files/";
  w.pageNumber = 1;
  w.target = target;
  w.flags = flags;
  w.findPageByName = std::move(pages);
  Written r;
  r.advance = b.WriteOfficeScript(w, 1, r.lines, static_cast<int32_t>(target), flags);
  r.text = w.out;
  return r;
}

size_t count(const std::string& s, std::string_view what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(TextBoxOffice, WordFrameAndTextShapeAsWritten) {
  auto b = box();
  const Written r = write(*b, OfficeTarget::Word);
  const std::string expected = Sjis(
      u8"  Set frame = canvas.AddShape( msoTextOrientationHorizontal, _\r\n"
      u8"      left_m + 67.50, top_m + 138.75, 45.00, 27.00 )\r\n"
      u8"  frame.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n  frame.AlternativeText = \"g7\"\n"
      u8"  frame.Fill.ForeColor.RGB = RGB(255, 255, 255)\r\n  frame.Fill.ForeColor.RGB = RGB(255, 255, 255)\r\n"
      u8"  frame.Line.ForeColor.RGB = RGB(0, 0, 0)\r\n  frame.Line.Weight = 0.75\r\n"
      // x0 101; top 188 + (72 - 54) / 5; bottom 203 + (36 - 18) / 4;
      // right 141 + 40 * 2 / 100 + 10.
      u8"  Set tex = canvas.AddShape( msoTextOrientationHorizontal, _\r\n"
      u8"      left_m + 75.75, top_m + 143.25, 37.50, 12.00 )\r\n"
      u8"  tex.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n  tex.AlternativeText = \"g7\"\n"
      u8"  With tex.TextFrame\r\n    .TextRange.Text = \"abc\"\r\n    .MarginLeft = 0\r\n    .MarginRight = 0\r\n"
      u8"    .MarginTop = 0\r\n    .MarginBottom = 0\r\n  End With\r\n  With tex.TextFrame.TextRange.Font\r\n"
      u8"    .Name = \"ＭＳ Ｐゴシック\"\r\n    .Size = 12\r\n    .Strikethrough = False\r\n    .Superscript = False\r\n"
      u8"    .Subscript = False\r\n    .Shadow = False\r\n    .Color = RGB(0, 0, 0)\r\n    .Bold = False\r\n"
      u8"    .Italic = False\r\n  End With\r\n  For i = 1 To 1\r\n"
      u8"    With tex.TextFrame.TextRange.Paragraphs(i).Format\r\n      .CharacterUnitLeftIndent = 0\r\n"
      u8"      .CharacterUnitRightIndent = 0\r\n      .LineSpacingRule = wdLineSpaceExactly\r\n"
      u8"      .LineSpacing = 10.50\r\n      .Alignment = wdAlignParagraphLeft\r\n    End With\r\n  Next\r\n"
      u8"  tex.Fill.Visible = msoFalse\r\n  tex.Line.Visible = msoFalse\r\n"
      u8"  tex.ScaleWidth  45.00/tex.Width, msoFalse, msoScaleFromTopLeft\r\n"
      u8"  tex.ScaleHeight 27.00/tex.Height, msoFalse, msoScaleFromTopLeft\r\n  m.AddGroup  frame.Name\r\n"
      u8"  m.AddGroup  tex.Name\r\n"
      u8"\r\n");
  EXPECT_EQ(r.text, expected);
  EXPECT_EQ(r.advance, 2);
  EXPECT_EQ(r.lines, static_cast<int32_t>(count(expected, "\n")) + 1);

  // Centred, a size with a top correction, no frame: the text shape alone.
  b->alignment = 1;
  b->fontSize = 19;
  b->frameShape = TextBoxFrame_None;
  b->SetUrl("");
  const Written c = write(*b, OfficeTarget::Word);
  // The text block of a centred box is 80..121: x0 = 81 - 40 / 100 - 5 =
  // 76, right = 121 + 45 / 100 + 5 + 4 = 130, top = 188 + (114 - 54) / 5 - 2
  // = 198, bottom = 203 + (57 - 18) / 4 = 212.
  EXPECT_NE(c.text.find("  Set tex = canvas.AddShape( msoTextOrientationHorizontal, _\r\n"
                        "      left_m + 57.00, top_m + 148.50, 40.50, 10.50 )\r\n"),
            std::string::npos)
      << c.text;
  EXPECT_EQ(c.text.find("frame"), std::string::npos);
  EXPECT_EQ(c.advance, 1);
}

TEST(TextBoxOffice, WordTitleLinkAndBookmarkStayOneStatementEach) {
  auto b = box("He said \"hi\"\r\n& <b>");
  b->className = "head title";
  b->SetId(Sjis(u8"見出し"));
  b->SetUrl("http://example.com/a?x=\"1\"");
  const Written r = write(*b, OfficeTarget::Word);
  EXPECT_EQ(r.text.substr(0, 20), "If m.m_bTitle Then\r\n");
  EXPECT_NE(r.text.find("  m.SetTitle  \"He said \"\"hi\"\"\"+Chr(13)+Chr(10)+\"& <b>\"\r\nElse\r\n"),
            std::string::npos)
      << r.text;
  EXPECT_NE(r.text.find("    .TextRange.Text = \"He said \"+Chr(34)+\"hi\"+Chr(34)+\"\"+Chr(13)+Chr(10)+ _\r\n"
                        "                          \"& <b>\"\r\n"),
            std::string::npos)
      << r.text;
  EXPECT_NE(r.text.find("  s.Hyperlinks.Add  tex.TextFrame.TextRange, _\r\n"
                        "      \"http://example.com/a?x=\"\"1\"\"\", \"\"\r\n"
                        "  tex.TextFrame.TextRange.Font.Underline = wdUnderlineNone\r\n"),
            std::string::npos)
      << r.text;
  // The id as an identifier: every byte of the Japanese name escaped.
  EXPECT_NE(r.text.find("  s.Bookmarks.Add  \"x8CxA9x8Fox82xB5\", tex.TextFrame.TextRange\r\n"),
            std::string::npos)
      << r.text;
  // A linked box stays out of the group and does not advance the index.
  EXPECT_NE(r.text.find("  ' m.AddGroup  frame.Name\r\n  ' m.AddGroup  tex.Name\r\nEnd If\r\n\r\n"),
            std::string::npos);
  EXPECT_EQ(r.advance, 0);
}

TEST(TextBoxOffice, WordLongTextStartsANewStatementAfter24Lines) {
  std::string text;
  for (int i = 1; i <= 30; ++i) text += (i > 1 ? "\r\n" : "") + ("l" + std::to_string(i));
  auto b = box(text, 30);
  const Written r = write(*b, OfficeTarget::Word);
  EXPECT_EQ(count(r.text, ".TextRange.Text = "), 2u);
  EXPECT_NE(r.text.find("\"l24\"\r\n    .TextRange.Text = .TextRange.Text+Chr(13)+Chr(10)+\"l25\"+Chr(13)+Chr(10)+ _\r\n"),
            std::string::npos)
      << r.text;
  EXPECT_NE(r.text.find("\"l30\"\r\n"), std::string::npos);
  EXPECT_NE(r.text.find("  For i = 1 To 30\r\n"), std::string::npos);
  EXPECT_EQ(r.lines, static_cast<int32_t>(count(r.text, "\n")) + 1);
}

TEST(TextBoxOffice, ExcelTextInTheFrameAndSheetName) {
  auto b = box("a\r\nb", 2);
  b->alignment = 1;
  b->className = "title";
  b->SetId("n1");
  b->textColour = 0xFF0000;  // link blue without a link
  const Written r = write(*b, OfficeTarget::Excel, 1);
  const std::string expectedText =
      "  Set tex = frame\r\n  With tex.TextFrame\r\n    n = 1\r\n    ss = \"a\"+Chr(10)\r\n"
      "    .Characters( n, Len(ss) ).Text = ss\r\n    n = n + Len(ss)\r\n    ss = \"b\"\r\n"
      "    .Characters( n, Len(ss) ).Text = ss\r\n    .AutoMargins = False\r\n    .MarginLeft = 0\r\n"
      "    .MarginRight = 0\r\n    .MarginTop = 0\r\n    .MarginBottom = 0\r\n    .VerticalAlignment = xlCenter\r\n"
      "    .AutoSize = True\r\n  End With\r\n"
      "  With tex.TextFrame.Characters.Font\r\n";
  EXPECT_EQ(r.text.substr(0, 22), "  s.Name = \"a\"+Chr(13)");
  EXPECT_NE(r.text.find(expectedText), std::string::npos) << r.text;
  EXPECT_NE(r.text.find("    .Underline = xlUnderlineStyleNone\r\n    .Color = RGB(0, 0, 255)\r\n"), std::string::npos);
  EXPECT_NE(r.text.find("    With tex.TextFrame\r\n      .HorizontalAlignment = xlCenter\r\n    End With\r\n  Next\r\n"),
            std::string::npos);
  EXPECT_NE(r.text.find("  With tex.TextFrame.Characters.Font\r\n    .Color = RGB(0, 0, 0)\r\n  End With\r\n"),
            std::string::npos);
  EXPECT_NE(r.text.find("  tex.Name = \"n1\"\r\n  m.AddGroup  frame.Name\r\n  m.AddGroup  tex.Name\r\n\r\n"),
            std::string::npos);
  EXPECT_EQ(r.advance, 1);

  // Excel 2007 collects the text first; a place in the note is linked by name.
  b->alignment = 0;
  b->SetUrl("/n/note.svg#p2");
  const Written v = write(*b, OfficeTarget::Excel, kOfficeFlagExcel2007);
  EXPECT_NE(v.text.find("    ss = \"\"\r\n    ss = ss + \"a\"+Chr(10)\r\n    ss = ss + \"b\"\r\n"
                        "    .Characters.Text = ss\r\n"),
            std::string::npos)
      << v.text;
  EXPECT_NE(v.text.find("  Set link = new HyperLinkItem : Set link.m_From = tex : link.m_ToName = \"p2\"\r\n"
                        "  m.m_HyperLinkItems.Add  link\r\n"),
            std::string::npos);
  EXPECT_EQ(v.advance, 0);
}

TEST(TextBoxOffice, PowerPointPlaceholderEnlargedAndPageLinks) {
  auto b = box();
  b->SetId("title");
  const Written r = write(*b, OfficeTarget::PowerPoint, kOfficeFlagEnlarge);
  // From the text block: x0 101, right 141 + 1 + 2 (left aligned),
  // l = (3 + (14 - 16) * 9 - 8) / 10 = -2: top 190, bottom 205; x 1.5.
  const std::string expected =
      "  Set tex = s.Shapes(1)\r\n  With tex\r\n    .Left = left_m + 151.50\r\n    .Top = top_m + 285.00\r\n"
      "    .Width = 64.50\r\n    .Height = 22.50\r\n  End With\r\n  With tex.TextFrame\r\n"
      "    .TextRange.Text = \"abc\"\r\n    .HorizontalAnchor = msoAnchorCenter\r\n"
      "    .VerticalAnchor = msoAnchorMiddle\r\n";
  EXPECT_EQ(r.text.substr(0, expected.size()), expected) << r.text;
  EXPECT_NE(r.text.find("    .Size = 24\r\n    .Superscript = False\r\n"), std::string::npos);
  EXPECT_NE(r.text.find("      .Alignment = ppAlignLeft\r\n      .LineRuleWithin = msoFalse\r\n"
                        "      .SpaceWithin = 21.00\r\n"),
            std::string::npos);
  EXPECT_NE(r.text.find("  With tex\r\n    .Fill.Visible = msoTrue\r\n    .Fill.ForeColor.RGB = RGB(255, 255, 255)\r\n"
                        "    .Fill.Transparency = 0\r\n    .Line.Visible = msoTrue\r\n"
                        "    .Line.ForeColor.RGB = RGB(0, 0, 0)\r\n  End With\r\n"),
            std::string::npos);
  EXPECT_EQ(r.text.find("AddGroup"), std::string::npos);
  EXPECT_EQ(r.advance, 1);

  // An ellipse frame with a web link: the frame and the text both link.
  b->SetId("");
  b->frameShape = TextBoxFrame_Ellipse;
  b->SetUrl("http://h/a.html#sec");
  const Written e = write(*b, OfficeTarget::PowerPoint);
  EXPECT_NE(e.text.find("  Set frame = s.Shapes.AddShape( msoShapeOval, _\r\n"), std::string::npos);
  EXPECT_NE(e.text.find("  With frame.ActionSettings(ppMouseClick).Hyperlink\r\n"
                        "      .Address = \"http://h/a.html\"\r\n      .SubAddress = \"sec\"\r\n  End With\r\n"
                        "  With tex.ActionSettings(ppMouseClick).Hyperlink\r\n"),
            std::string::npos)
      << e.text;
  EXPECT_NE(e.text.find("  ' m.AddGroup  frame.Name\r\n  ' m.AddGroup  tex.Name\r\n"), std::string::npos);

  // A place in this note becomes the slide of the page that has it.
  b->SetUrl("/n/note.svg#p2");
  const Written p = write(*b, OfficeTarget::PowerPoint, 0, [](std::string_view name) { return name == "p2" ? 3 : -1; });
  EXPECT_NE(p.text.find("  Set link = new HyperLinkItem : Set link.m_From = tex : link.m_ToName = \"Page3\"  "
                        "'// \"p2\"\r\n  m.m_HyperLinkItems.Add  link\r\n"),
            std::string::npos)
      << p.text;
}

TEST(TextBoxOffice, ParallelogramFrameAndMissingLayout) {
  auto b = box();
  b->frameShape = TextBoxFrame_Parallelogram;
  b->frameWidth = 0;
  const Written r = write(*b, OfficeTarget::Excel, 1);
  // Widened by 36 / 4 on each side: 81..159; adjustment 18 / 78.
  EXPECT_NE(r.text.find("  Set frame = s.Shapes.AddShape( msoShapeParallelogram, _\r\n"
                        "      left_m + 60.75, top_m + 138.75, 58.50, 27.00 )\r\n  frame.AlternativeText = \"g7\"\n"
                        "  frame.Adjustments.Item(1) = 0.230769\r\n"),
            std::string::npos)
      << r.text;
  EXPECT_NE(r.text.find("  frame.Line.Visible = msoFalse\r\n"), std::string::npos);

  Text_Box fresh;
  int32_t lines = 0;
  OfficeScriptWriter w;
  EXPECT_EQ(CatchError([&] { fresh.WriteOfficeScript(w, 1, lines, 0, 0); }).code, 9231);
}
