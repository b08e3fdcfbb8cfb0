#include "export/office/office_script.h"

#include "core/strx/strx_escape.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/filex/filex_copy.h"
#include "core/filex/filex_open.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/base/office_strings.h"

namespace {

// Appends lines, each followed by CR LF ("" is an empty line).
void lines(std::string& out, std::initializer_list<const char*> list) {
  for (const char* l : list) {
    out += l;
    out += "\r\n";
  }
}

void line(std::string& out, const std::string& l) {
  out += l;
  out += "\r\n";
}

const char* prefixOf(OfficeTarget t) {
  return t == OfficeTarget::Word ? "BrevloToWD" : t == OfficeTarget::Excel ? "BrevloToXL" : "BrevloToPT";
}

// 1.-2. The job, the type library and the script's first lines.
void writeHeader(std::string& o, OfficeTarget t, const OfficeScriptHost& host) {
  line(o, "<job>");
  if (t == OfficeTarget::Word) {
    line(o, "<REFERENCE GUID=\"{00020905-0000-0000-C000-000000000046}\"/>");
  } else if (t == OfficeTarget::Excel) {
    line(o, "<REFERENCE GUID=\"{00020813-0000-0000-C000-000000000046}\"/>");
    std::string lib = host.scriptFolder();
    lib = lib.empty() ? std::string("ExcelLib.vbs") : StrX_joinPath(lib, "ExcelLib.vbs");
    const std::string attr = StrX_htmlAttr(lib);
    line(o, "<script language=\"vbscript\" src=\"" + attr + "\"/>");
  } else {
    line(o, "<REFERENCE GUID=\"{91493440-5A91-11CF-8700-00AA0060263B}\"/>");
  }
  lines(o, {"<script language=\"vbscript\">", "Option Explicit",
            "Dim g_fs : Set  g_fs = CreateObject( \"Scripting.FileSystemObject\" )",
            "Dim g_sh : Set  g_sh = WScript.CreateObject( \"WScript.Shell\" )", "main", ""});
}

const char* const kAddGroup[] = {"  Public  Sub  AddGroup( Name )",
                                 "    ReDim Preserve  m_Group( UBound( m_Group ) + 1 )",
                                 "    m_Group( UBound( m_Group ) ) = Name", "  End Sub"};

// 3. The conversion class.  Each routine of the class is preceded by an
// empty line, and each routine but the last followed by one.
void writeClass(std::string& o, OfficeTarget t) {
  std::vector<std::vector<const char*>> subs;
  if (t == OfficeTarget::Word) {
    lines(o, {"Class  BrevloToWD", "  Public  m_Document ' as Document", "  Public  m_iPage ' as integer",
              "  Public  m_AttachFolderPath ' as string", "  Public  m_Group ' as array of integer",
              "  Public  m_Canvas ' as drawing canvas shape", "  Public  m_bTitle"});
    subs = {{"  Private Sub  Class_Initialize()", "    ReDim  m_Group(-1)", "    m_bTitle = True", "  End Sub"},
            {"  Private Sub  Class_Terminate()", "    WD.ScreenUpdating = True", "  End Sub"},
            {kAddGroup[0], kAddGroup[1], kAddGroup[2], kAddGroup[3]},
            {"  Sub  SetupPage()", "    With WD.Selection.PageSetup", "      .LeftMargin = 60 + 19.50",
             "      .TopMargin  = 60 + 12.75", "    End With", "    With WD.Selection", "      .TypeParagraph",
             "      .TypeParagraph", "      .MoveUp  wdLine, 1", "    End With", "  End Sub"},
            {"  Sub  SetTitle( Title )", "    With WD.Selection", "      .MoveUp  wdLine, 1",
             "      .Style = WD.ActiveDocument.Styles( \"見出し 2\" )", "      .TypeBackspace",
             "      .TypeText  Title", "      .MoveDown  wdLine, 1", "    End With", "  End Sub"},
            {"  Sub  NextPage()", "    With WD.Selection", "      .MoveDown  wdLine, 1",
             "      .InsertBreak  wdPageBreak", "      .GoTo  wdGoToPage, wdGoToAbsolute, Me.m_iPage + 1",
             "    End With", "    Me.m_iPage = Me.m_iPage + 1", "  End Sub"}};
  } else if (t == OfficeTarget::Excel) {
    lines(o, {"Class  BrevloToXL", "  Public  m_Sheet ' as Worksheet", "  Public  m_AttachFolderPath ' as string",
              "  Public  m_Group ' as array of integer", "  Public  m_PageY ' as integer",
              "  Public  m_HyperLinkItems  ' as HyperLinkItem"});
    subs = {{"  Private Sub  Class_Initialize()", "    ReDim  m_Group(-1)",
             "    Set m_HyperLinkItems = new ArrayClass", "  End Sub"},
            {"  Private Sub  Class_Terminate()", "    XL.ScreenUpdating = True", "  End Sub"},
            {kAddGroup[0], kAddGroup[1], kAddGroup[2], kAddGroup[3]}};
  } else {
    lines(o, {"Class  BrevloToPT", "  Public  m_Presentation ' as Presentation", "  Public  m_Slide ' as Worksheet",
              "  Public  m_AttachFolderPath ' as string", "  Public  m_Group ' as array of integer",
              "  Public  m_iSlide ' as integer", "  Public  m_HyperLinkItems  ' as array of HyperLinkItem"});
    subs = {{"  Private Sub  Class_Initialize()", "    ReDim  m_Group(-1)",
             "    Set m_HyperLinkItems = new ArrayClass", "  End Sub"},
            {kAddGroup[0], kAddGroup[1], kAddGroup[2], kAddGroup[3]}};
  }
  for (size_t i = 0; i < subs.size(); ++i) {
    line(o, "");
    for (const char* l : subs[i]) line(o, l);
    if (i + 1 < subs.size()) line(o, "");
  }
  line(o, "End Class");
}

// 4. The constants.
void writeConstants(OfficeScriptWriter& w) {
  std::string& o = w.out;
  static const std::pair<const char*, const char*> kConstants[] = {
      {"msoTrue", "True"},
      {"msoFalse", "False"},
      {"msoArrowheadLong", "3"},
      {"msoArrowheadOpen", "3"},
      {"msoArrowheadOval", "6"},
      {"msoArrowheadTriangle", "2"},
      {"msoArrowheadDiamond", "5"},
      {"msoArrowheadLengthMedium", "2"},
      {"msoArrowheadWidthMedium", "2"},
      {"msoFlipHorizontal", "0"},
      {"msoFlipVertical", "1"},
      {"msoShapeRectangle", "1"},
      {"msoShapeRoundedRectangle", "5"},
      {"msoShapeOval", "9"},
      {"msoShapeDiamond", "4"},
      {"msoShapeParallelogram", "2"},
      {"msoTextOrientationHorizontal", "1"},
      {"msoShapeLeftBrace", "31"},
      {"msoShapeRightBrace", "32"},
      {"msoAnchorTop", "1"},
      {"msoAnchorCenter", "2"},
      {"msoAnchorMiddle", "3"},
      {"msoScaleFromTopLeft", "0"},
      {"msoShapeFlowchartAlternateProcess", "62"},
      {"msoShapeFlowchartDecision", "63"},
      {"msoSendBehindText", "5"},
  };
  lines(o, {"", ""});
  for (const auto& [name, value] : kConstants) w.printf("Const  %s = %s\r\n", name, value);
  lines(o, {"", ""});
}

// The page numbers that get a step of the main routine and a page routine.
int32_t firstWrittenPage(const NoteDocument& doc, OfficeTarget t) {
  return t == OfficeTarget::PowerPoint ? 1 : doc.firstPageNumber();
}

// 5.-7. The main routine.
void writeMain(OfficeScriptWriter& w, const NoteDocument& doc, OfficeTarget t, int32_t flags,
               const std::string& attachName) {
  std::string& o = w.out;
  const char* version = t == OfficeTarget::Word                                        ? "Word 2003"
                        : t == OfficeTarget::Excel && (flags & kOfficeFlagExcel2007) ? "Excel2007"
                        : t == OfficeTarget::Excel                                     ? "Excel2003"
                                                                                       : "Power Point 2003";
  w.printf("Sub  main() ' VBA for %s\r\n", version);
  if (t == OfficeTarget::Word)
    lines(o, {"  Dim  m : Set m = new BrevloToWD", "  Dim  i,  i_start_page, n_page, en, ed"});
  else if (t == OfficeTarget::Excel)
    lines(o, {"  Dim  m : Set m = new BrevloToXL", "  Dim  first_sheet, link"});
  else
    line(o, "  Dim  m : Set m = new BrevloToPT");
  line(o, "");
  line(o, "  m.m_AttachFolderPath = g_fs.GetAbsolutePathName( \"" + OfficeScript_literal(attachName) + "\" )");
  line(o, "");
  if (t == OfficeTarget::Word)
    lines(o, {"  Set  m.m_Document = WD.Documents.Add()",
              "  m.m_Document.Styles( \"見出し 2\" ).ParagraphFormat.PageBreakBefore = True",
              "  i_start_page = 1", "  m.m_iPage = 1"});
  else if (t == OfficeTarget::Excel)
    lines(o, {"  Set m.m_Sheet = Sheet_new( Empty )", "  Set first_sheet = m.m_Sheet",
              "  m.m_Sheet.Range(\"A1\").Select", "  m.m_PageY = XL.Selection.Top + XL.Selection.Height"});
  else
    line(o, "  Set  m.m_Presentation = PT.Presentations.Add()");
  line(o, "");

  const int32_t first = firstWrittenPage(doc, t);
  for (int32_t p = first; p <= doc.lastPageNumber(); ++p) {
    if (t == OfficeTarget::Word) {
      line(o, "");
      w.printf("  '// Page %d\r\n", p);
      if (p > 1) line(o, "  m.NextPage");
      lines(o, {"  m.SetupPage", "  WD.ScreenUpdating = False", "  On Error Resume Next"});
      w.printf("    BrevloToWD_makePage%02d  m\r\n", p);
      lines(o, {"  en = Err.Number : ed = Err.Description : On Error GoTo 0", "  WD.ScreenUpdating = True",
                "  If en <> 0 Then  If MsgBox( ed, vbOKCancel ) = vbCancel Then  WScript.Quit  1", ""});
    } else if (t == OfficeTarget::Excel) {
      if (p != first) line(o, "  Set m.m_Sheet = Sheet_new( m.m_Sheet )");
      line(o, "  XL.ScreenUpdating = False");
      w.printf("  BrevloToXL_makePage%02d  m\r\n", p);
      lines(o, {"  XL.ScreenUpdating = True", ""});
    } else {
      const NotePage* page = doc.page(p);
      line(o, "  BrevloToPT_addNewSlide  m, \"" + OfficeScript_literal(page ? page->title() : "") + "\"");
      w.printf("  PT.ActiveWindow.View.GoToSlide  %d\r\n", p);
      w.printf("  BrevloToPT_makePage%02d  m\r\n", p);
      line(o, "");
    }
  }

  if (t == OfficeTarget::Word) {
    lines(o, {"", "  '// Finish", "", "  m.m_iPage = m.m_iPage + 1",
              "  WD.Selection.GoTo  wdGoToPage, wdGoToAbsolute, m.m_iPage", "",
              "  WD.Selection.GoTo  wdGoToPage, wdGoToAbsolute, i_start_page", "",
              "  'ActiveWindow.ActivePane.View.Zoom.PageFit = wdPageFitNone",
              "  'ActiveWindow.ActivePane.View.Zoom.Percentage = 100",
              "  MsgBox  \"Microsoft Word に変換しました。\",, \"Brevlo\""});
  } else if (t == OfficeTarget::Excel) {
    lines(o, {"  For Each link  In m.m_HyperLinkItems.Items",
              "    link.m_From.Parent.HyperLinks.Add  link.m_From, \"\",  Workbook_getCellName( XL.ActiveWorkbook, "
              "link.m_ToName )",
              "  Next", "", "  first_sheet.Activate", "  MsgBox  \"Excel に変換しました。\",, \"Brevlo\""});
  } else {
    lines(o, {"  Dim  link", "  For Each link  In m.m_HyperLinkItems.Items",
              "    With link.m_From.ActionSettings(ppMouseClick).Hyperlink", "      .Address = \"\"",
              "      .SubAddress = link.m_ToName", "    End With", "  Next", "",
              "  PT.ActiveWindow.View.GoToSlide  1", "  MsgBox  \"Power Point に変換しました。\",, \"Brevlo\""});
  }
  lines(o, {"End Sub", "", ""});

  // 8. The slide routine.
  if (t == OfficeTarget::PowerPoint)
    lines(o, {"Sub  BrevloToPT_addNewSlide( m, Title )", "  m.m_iSlide = m.m_iSlide + 1",
              "  Set  m.m_Slide = m.m_Presentation.Slides.Add( m.m_iSlide, ppLayoutText )",
              "  With m.m_Slide.Shapes(1)", "    .Top = 8", "    .Height = 14", "  End With",
              "  With m.m_Slide.Shapes(1).TextFrame.TextRange", "    .Text = title", "    .Font.Size = 10",
              "  End With", "  With m.m_Slide.Shapes(2)", "   .Top = 32", "   .Height = 10", "  End With",
              "End Sub", "", ""});
}

void writeChunkDeclarations(std::string& o, OfficeTarget t) {
  if (t == OfficeTarget::Word)
    lines(o, {"  Dim  s : Set s = WD.ActiveDocument", "  Dim  canvas : Set canvas = m.m_Canvas.CanvasItems",
              "  Dim  lin, rec, tex, ss, img, mat, frame, i, n",
              "  Dim  left_m : left_m = 60 'm.PageSetup.LeftMargin",
              "  Dim  top_m : top_m = 65.25 'm.PageSetup.TopMargin", ""});
  else if (t == OfficeTarget::Excel)
    lines(o, {"  Dim  s : Set s = m.m_Sheet", "  Dim  lin, rec, tex, ss, img, mat, frame, i, n, link",
              "  Dim  left_m : left_m = 10  'Sheet.PageSetup.LeftMargin",
              "  Dim  top_m : top_m = m.m_PageY + 6  'Sheet.PageSetup.TopMargin"});
  else
    lines(o, {"  Dim  s : Set s = m.m_Slide", "  Dim  lin, rec, tex, ss, img, mat, frame, i, n, link",
              "  Dim  left_m : left_m = 0", "  Dim  top_m : top_m = 0"});
}

// 9. The routines of one page: its figures in chunks, then the page routine
// that calls them.
void writePage(OfficeScriptWriter& w, const NotePage& page, int32_t number, OfficeTarget t,
               int32_t flags) {
  std::string& o = w.out;
  const char* prefix = prefixOf(t);
  const int32_t kind = static_cast<int32_t>(t);
  const int32_t figureFlags = t == OfficeTarget::Excel ? 1 : flags;
  w.pageNumber = number;
  int32_t index = t == OfficeTarget::PowerPoint ? 0 : 1;
  int32_t chunks = 0;
  bool open = false;
  int64_t sum = 0;
  // The page's Canvas (first in the list) is not a figure of the script.
  for (size_t i = 1; i < page.figures.size(); ++i) {
    if (!open) {
      ++chunks;
      w.printf("Sub  %s_makePage%02d_%d( m )\r\n", prefix, number, chunks);
      writeChunkDeclarations(o, t);
      open = true;
      sum = 0;
    }
    line(o, "");
    int32_t count = 0;
    index += page.figures.at(i).WriteOfficeScript(w, index, count, kind, figureFlags);
    sum += count;
    if (sum > OfficeScript_chunkLines) {
      lines(o, {"End Sub", "", ""});
      open = false;
    }
  }
  if (open) lines(o, {"End Sub", "", ""});

  w.printf("Sub  %s_makePage%02d( m )\r\n", prefix, number);
  if (t == OfficeTarget::Word)
    lines(o, {"  Set m.m_Canvas = m.m_Document.Shapes.AddCanvas( 1, 1, 590, 835 )",
              "  m.m_Canvas.WrapFormat.Type = wdWrapNone", "  m.m_Canvas.ZOrder  msoSendBehindText"});
  else if (t == OfficeTarget::PowerPoint)
    line(o, "  m.m_Slide.Shapes(2).Delete");
  for (int32_t c = 1; c <= chunks; ++c) w.printf("  %s_makePage%02d_%d  m\r\n", prefix, number, c);
  lines(o, {"End Sub", ""});
}

// 10. The helpers after the page routines.
void writeHelpers(std::string& o, OfficeTarget t) {
  if (t == OfficeTarget::Word) {
    lines(o, {"", "Dim g_w", "Function  WD()", "  If IsEmpty( g_w ) Then _",
              "    Set g_w = WScript.CreateObject( \"Word.Application\" ) : g_w.Visible = True",
              "  Set WD = g_w", "End Function", ""});
  } else if (t == OfficeTarget::PowerPoint) {
    lines(o, {"", "Dim g_p", "Function  PT()", "  If IsEmpty( g_p ) Then _",
              "    Set g_p = WScript.CreateObject( \"PowerPoint.Application\" ) : g_p.Visible = True",
              "  Set PT = g_p", "End Function", ""});
  } else {
    lines(o, {"", "Function  Workbook_getCellName( Workbook, TargetName )", "  Dim  x, y, cell, sheet, target", "",
              "  Set target = Workbook_getObject( Workbook, TargetName )", "  Set sheet = target.Parent", "",
              "  Set cell = sheet.Cells( 1, 1 )", "  For y=1 To 65535",
              "    If target.Top < cell.Top Then  Exit For", "    Set cell = cell.Offset( 1, 0 )", "  Next",
              "  If y < 1 Then  y = 1  Else  y = y - 1", "  For x=1 To 255",
              "    If target.Left < cell.Left Then  Exit For", "    Set cell = cell.Offset( 0, 1 )", "  Next",
              "  If x < 1 Then  x = 1  Else  x = x - 1", "",
              "  Workbook_getCellName = sheet.Name & \"!\" & RowNumToRowChar( x ) & y", "End Function", "", "",
              "Function  Workbook_getObject( Workbook, TargetName )", "  Dim  sheet, target", "",
              "  For Each sheet  In Workbook.Sheets", "    On Error Resume Next",
              "      Set target = sheet.Shapes( TargetName )", "    On Error Goto 0",
              "    If not IsEmpty( target ) Then  Exit For", "  Next", "  If IsEmpty( target ) Then _",
              "    Err.Raise  1, , \"<ERROR msg=\"\"指定の名前のオブジェクトがありません\"\" name=\"\"\" & "
              "TargetName & \"\"\"/>\"",
              "", "  Set Workbook_getObject = target", "End Function", "", "",
              "Function  RowNumToRowChar( Num )", "  If Num <= 26 Then",
              "    RowNumToRowChar = Chr( Asc(\"A\") - 1 + Num )", "  Else",
              "    RowNumToRowChar = Chr( Asc(\"A\") - 1 + Int( (Num-1) / 26 ) ) + Chr( Asc(\"A\") + ((Num-1) Mod "
              "26) )",
              "  End If", "End Function", ""});
  }
  if (t != OfficeTarget::Word) {
    lines(o, {"Class  HyperLinkItem", "  Public  m_From", "  Public  m_ToName", "End Class", "",
              "Class  ArrayClass", "  Public  Items ' as array",
              "  Private Sub  Class_Initialize() : ReDim  Items( -1 ) : End Sub",
              "  Public Default Property Get  Item( i ) : LetSet  Item, Items(i) : End Property",
              "  Public Property Let  Item( i, Value ) : Items(i) = Value : End Property",
              "  Public Property Set  Item( i, Object ) : Set Items(i) = Object : End Property",
              "  Public Sub  Add( Elem )", "    ReDim Preserve  Items( UBound(Items) + 1 )",
              "    If IsObject( Elem ) Then", "      Set Items( UBound(Items) ) = Elem", "    Else",
              "      Items( UBound(Items) ) = Elem", "    End If", "  End Sub", "End Class", ""});
  }
}

}  // namespace

std::string OfficeScript_attachFolder(std::string_view scriptPath) {
  std::string path(scriptPath);
  StrX_changeExtension(path, "files", path.size() + 8);
  return path;
}

std::string OfficeScript_text(NoteDocument& doc, std::string_view scriptPath, OfficeTarget target,
                              int32_t flags, OfficeScriptHost& host) {
  // The figures are written from their page records, laid out and with
  // their line ends on the frames they hang on.
  if (doc.currentPage()) doc.SelectPage(doc.currentPageNumber());
  NoteWriter_preparePages(doc, host);

  OfficeScriptWriter w;
  w.scriptPath = scriptPath;
  w.notePath = host.notePath();
  w.variables = host.variables();
  w.lowerPath = host.lowerPath();
  w.target = target;
  w.flags = target == OfficeTarget::Excel ? 1 : flags;
  const std::string attach = OfficeScript_attachFolder(scriptPath);
  w.attachFolderPath = attach + "/";
  w.findPageByName = [&doc](std::string_view name) { return doc.FindPageByName(name); };
  w.out.reserve(1 << 16);

  std::string& o = w.out;
  writeHeader(o, target, host);
  writeClass(o, target);
  writeConstants(w);
  // The script finds the folder beside itself: "a.files\" for "a.wsf".
  writeMain(w, doc, target, flags, StrX_fileName(attach) + "\\");
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const int32_t number = doc.pageNumberAt(i);
    if (number < firstWrittenPage(doc, target)) continue;
    writePage(w, doc.pageAt(i), number, target, flags);
  }
  writeHelpers(o, target);
  lines(o, {"</script>", "</job>"});
  return std::move(w.out);
}

void WriteConversionScript(NoteDocument& doc, std::string_view scriptPath, OfficeTarget target,
                           int32_t flags, OfficeScriptHost& host) {
  const std::string text = OfficeScript_text(doc, scriptPath, target, flags, host);
  FileX_makeFolders(scriptPath, true);
  FileX_writeWhole(scriptPath, text);
}
