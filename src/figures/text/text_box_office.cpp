// Text_Box: the statements of a conversion script that rebuild the box in
// Word, Excel or PowerPoint.
//
// The box becomes a frame shape (its frame, when it has one) and a text
// shape over the text block, corrected per application so that Office's
// own text layout lands where the editor drew it.  Lengths are pixels
// turned into points (x 0.75, twice that for the enlarged PowerPoint
// conversion).  A linked box keeps its shapes out of the page's group (the
// grouping statements are written as comments) since a group loses the
// hyperlinks of its members.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/strx/strx_escape.h"
#include "figures/base/office_figure_format.h"
#include "figures/base/office_links.h"
#include "figures/base/office_script_writer.h"
#include "figures/base/office_strings.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

constexpr int32_t kWord = 0;
constexpr int32_t kExcel = 1;
constexpr int32_t kPowerPoint = 2;
constexpr Colour kPureBlue = 0xFF0000;  // 0x00BBGGRR

// The lines of a text, cut at CR LF, a lone CR or a lone LF.
std::vector<std::string_view> textLines(std::string_view s) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r' && s[i] != '\n') continue;
    out.push_back(s.substr(start, i - start));
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    start = i + 1;
  }
  out.push_back(s.substr(start));
  return out;
}

const char* frameConstant(int32_t shape) {
  switch (std::abs(shape)) {
    case TextBoxFrame_Rectangle: return "msoTextOrientationHorizontal";
    case TextBoxFrame_RoundRect: return "msoShapeFlowchartAlternateProcess";
    case TextBoxFrame_Ellipse: return "msoShapeOval";
    case TextBoxFrame_Diamond: return "msoShapeFlowchartDecision";
    default: return "msoShapeParallelogram";
  }
}

// Word's correction of the text top for font sizes 7 to 27: for a box of
// one line and for a box of several lines.
int32_t wordTopCorrection(int32_t fontSize, bool severalLines) {
  static const int8_t single[21] = {0, 0, 0, -1, 0, 0, 0, -1, -1, -1, 0,
                                    0, -2, -1, -1, -1, 0, -2, -2, -1, -1};
  static const int8_t several[21] = {-1, -1, -1, -1, 0, 0, 0, -1, -1, -1, 0,
                                     0, -2, -1, -1, -1, 0, -2, -2, -1, -1};
  if (fontSize < 7 || fontSize > 27) return 0;
  return (severalLines ? several : single)[fontSize - 7];
}

}  // namespace

int32_t Text_Box::WriteOfficeScript(OfficeScriptWriter& w, int32_t /*index*/, int32_t& lineCount,
                                    int32_t kind, int32_t flags) const {
  // The exports lay every page out first; a box never measured has no
  // bounds to convert.
  if (!HasLayout()) Errors_RAISE(Zerbin_Err_NotSetDrawParam, "%s", "");
  const size_t startSize = w.out.size();
  const int32_t S = OfficeFormat_scale(kind, flags);
  auto P = [S](int64_t v) { return OfficeFormat_points(v, S); };
  const char* C = OfficeFormat_container(kind);
  const bool v2007 = kind == kExcel && (flags & kOfficeFlagExcel2007);
  const std::vector<std::string_view> lines = textLines(text_);
  const int64_t nLines = static_cast<int64_t>(lines.size());
  auto rgb = [&](const char* head, Colour c) {
    w.printf("%s%s\r\n", head, OfficeFormat_rgb(c).c_str());
  };
  auto position = [&](int64_t l, int64_t t, int64_t width, int64_t height) {
    w.printf("      left_m + %.02f, top_m + %.02f, %.02f, %.02f )\r\n", P(l), P(t), P(width),
             P(height));
  };

  // 1. A title box names the Word page or the Excel sheet.
  const bool title = TextBox_hasClass(className, "title");
  if (title && kind == kWord) {
    w.put("If m.m_bTitle Then\r\n");
    w.printf("  m.SetTitle  \"%s\"\r\n", OfficeScript_literal(text_).c_str());
    w.put("Else\r\n");
  } else if (title && kind == kExcel) {
    w.printf("  s.Name = \"%s\"\r\n", OfficeScript_literal(text_).c_str());
  }

  // 2. The frame shape.
  const bool pptRectangle = kind == kPowerPoint && frameShape == TextBoxFrame_Rectangle;
  const bool frameWritten = frameShape != TextBoxFrame_None && !pptRectangle;
  int64_t frameWidthPx = 0, frameHeightPx = 0;
  if (frameWritten) {
    const TextBoxFrameBounds b1 = FrameBounds();
    int64_t l = b1.left, t = b1.top, r = b1.right, b = b1.bottom;
    const bool parallelogram = std::abs(frameShape) == TextBoxFrame_Parallelogram;
    if (parallelogram) {
      const int64_t d = (b - t) / 4;
      l -= d;
      r += d;
    }
    frameWidthPx = r - l;
    frameHeightPx = b - t;
    w.printf("  Set frame = %s.AddShape( %s, _\r\n", C, frameConstant(frameShape));
    position(l, t, frameWidthPx, frameHeightPx);
    if (kind == kWord) w.put("  frame.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n");
    w.printf("  frame.AlternativeText = \"g%d\"\n", GetNumber());
    if (parallelogram) {
      const int64_t width = frameWidthPx > 0 ? frameWidthPx : 1;
      w.printf("  frame.Adjustments.Item(1) = %04f\r\n",
               static_cast<double>(frameHeightPx / 2) / static_cast<double>(width));
    }
    rgb("  frame.Fill.ForeColor.RGB = ", fillColour);
    rgb("  frame.Fill.ForeColor.RGB = ", fillColour);
    rgb("  frame.Line.ForeColor.RGB = ", frameColour);
    if (frameWidth != 0)
      w.printf("  frame.Line.Weight = %.02f\r\n", frameWidth * 0.75);
    else
      w.put("  frame.Line.Visible = msoFalse\r\n");
  }

  // 3./4. The text shape over the text block.
  const TextBoxGeometry g = TextBox_geometry(*this);
  int64_t x0 = g.textLeft, top = g.firstLineTop, right = g.textRight,
          bottom = int64_t{g.lineBottom} + g.span;
  bool textInFrame = false;  // Excel: the frame shape holds the text
  bool addedShape = false;   // the text shape was added with AddShape
  if (kind == kWord) {
    x0 = x0 + 1;
    top = ((14 - int64_t{lineSpacing}) * 4) / 5 + top + (int64_t{fontSize} * 6 - 54) / 5 +
          wordTopCorrection(fontSize, nLines > 1);
    bottom = bottom + (int64_t{fontSize} * 3 - 18) / 4;
    if (alignment == 0) {
      right = right + (right - x0) * 2 / 100 + 10;
    } else if (alignment == 1) {
      x0 = x0 - (right - x0) / 100 - 5;
      right = right + (right - x0) / 100 + 5;
    } else {
      x0 = x0 + (x0 - right) * 2 / 100 - 10;
    }
    if (frameShape == TextBoxFrame_None) right += 4;
  } else if (kind == kExcel) {
    x0 = x0 + 1;
    right = right + 22;
    const int64_t h = fontSize > 13 ? (int64_t{fontSize} * 3 + 3) / 2 : (int64_t{fontSize} * 4 + 10) / 3;
    if (lineSpacing < h) bottom = nLines * (h - lineSpacing) + bottom;
    bottom += 2;
    textInFrame = frameWritten && (alignment == 1 || nLines == 1);
  }
  bool placeholderShape = false;
  if (pptRectangle) {
    x0 = x0 + 1;
    right = right + 1;
    const int64_t l =
        (int64_t{fontSize} / 4 + (int64_t{lineSpacing} - int64_t{fontSize} * 11 / 8) * 9 - 8) / 10;
    top -= l;
    bottom -= l;
    const int placeholderNo = id_ == "title" ? 1 : id_ == "text" ? 2 : 0;
    if (placeholderNo != 0) {
      placeholderShape = true;
      if (alignment == 1) {
        x0 -= 1;
        right += 1;
      } else if (alignment == 2) {
        x0 -= 2;
      } else {
        right += 2;
      }
      w.printf("  Set tex = s.Shapes(%d)\r\n", placeholderNo);
      w.put("  With tex\r\n");
      w.printf("    .Left = left_m + %.02f\r\n", P(x0));
      w.printf("    .Top = top_m + %.02f\r\n", P(top));
      w.printf("    .Width = %.02f\r\n", P(right - x0));
      w.printf("    .Height = %.02f\r\n", P(bottom - top));
      w.put("  End With\r\n");
    }
  }
  if (textInFrame) {
    w.put("  Set tex = frame\r\n");
  } else if (!placeholderShape) {
    addedShape = true;
    w.printf("  Set tex = %s.AddShape( %s, _\r\n", C, "msoTextOrientationHorizontal");
    position(x0, top, right - x0, bottom - top);
    if (kind == kWord) w.put("  tex.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n");
    if (frameWritten) w.printf("  tex.AlternativeText = \"g%d\"\n", GetNumber());
  }

  // 5. The text.
  w.put("  With tex.TextFrame\r\n");
  if (kind == kExcel) {
    w.put(v2007 ? "    ss = \"\"\r\n" : "    n = 1\r\n");
    for (size_t i = 0; i < lines.size(); ++i) {
      w.put(v2007 ? "    ss = ss + \"" : "    ss = \"");
      w.put(OfficeScript_textLine(lines[i]));
      if (i + 1 < lines.size()) {
        w.put("\"+Chr(10)");
        if (!v2007) w.put("\r\n    .Characters( n, Len(ss) ).Text = ss\r\n    n = n + Len(ss)");
        w.put("\r\n");
      } else {
        w.put("\"\r\n");
      }
    }
    w.put(v2007 ? "    .Characters.Text = ss\r\n" : "    .Characters( n, Len(ss) ).Text = ss\r\n");
  } else {
    w.put("    .TextRange.Text = ");
    for (size_t i = 0; i < lines.size(); ++i) {
      w.put("\"");
      w.put(OfficeScript_textLine(lines[i]));
      if (i + 1 == lines.size()) {
        w.put("\"\r\n");
      } else if ((i + 1) % 24 == 0) {
        // A statement takes at most 24 continued lines: the next one adds
        // the rest, line break first.
        w.put("\"\r\n    .TextRange.Text = .TextRange.Text+Chr(13)+Chr(10)+");
      } else {
        w.put("\"+Chr(13)+Chr(10)+ _\r\n                          ");
      }
    }
  }
  if (kind == kPowerPoint) {
    w.put("    .HorizontalAnchor = msoAnchorCenter\r\n");
    w.put("    .VerticalAnchor = msoAnchorMiddle\r\n");
  }
  if (kind == kExcel && !v2007) w.put("    .AutoMargins = False\r\n");
  w.put("    .MarginLeft = 0\r\n");
  w.put("    .MarginRight = 0\r\n");
  w.put("    .MarginTop = 0\r\n");
  w.put("    .MarginBottom = 0\r\n");
  if (kind == kExcel) {
    if (!v2007 && textInFrame) w.put("    .VerticalAlignment = xlCenter\r\n");
    w.put("    .AutoSize = True\r\n");
  }
  w.put("  End With\r\n");

  // 6. The font.
  const char* fontWith = kind == kExcel ? "  With tex.TextFrame.Characters.Font\r\n"
                                        : "  With tex.TextFrame.TextRange.Font\r\n";
  w.put(fontWith);
  w.printf("    .Name = \"%s\"\r\n", OfficeScript_literal(fontFace).c_str());
  if (kind == kExcel) w.put("    .FontStyle = \"標準\"\r\n");
  w.printf("    .Size = %d\r\n", static_cast<int>(fontSize * S));
  if (kind != kPowerPoint) w.put("    .Strikethrough = False\r\n");
  w.put("    .Superscript = False\r\n");
  w.put("    .Subscript = False\r\n");
  if (kind == kExcel) w.put("    .OutlineFont = False\r\n");
  w.put("    .Shadow = False\r\n");
  if (kind == kExcel) w.put("    .Underline = xlUnderlineStyleNone\r\n");
  rgb("    .Color = ", textColour);
  w.printf("    .Bold = %s\r\n", bold ? "True" : "False");
  w.printf("    .Italic = %s\r\n", italic ? "True" : "False");
  w.put("  End With\r\n");

  // 7. The paragraphs.
  w.printf("  For i = 1 To %d\r\n", static_cast<int>(nLines));
  if (kind == kWord) {
    w.put("    With tex.TextFrame.TextRange.Paragraphs(i).Format\r\n");
    w.put("      .CharacterUnitLeftIndent = 0\r\n");
    w.put("      .CharacterUnitRightIndent = 0\r\n");
    w.put("      .LineSpacingRule = wdLineSpaceExactly\r\n");
    w.printf("      .LineSpacing = %.02f\r\n", lineSpacing * 0.75);
    w.put("      .Alignment = ");
    w.put(alignment == 1   ? "wdAlignParagraphCenter\r\n"
          : alignment == 2 ? "wdAlignParagraphRight\r\n"
                           : "wdAlignParagraphLeft\r\n");
  } else if (kind == kExcel) {
    w.put("    With tex.TextFrame\r\n");
    w.put("      .HorizontalAlignment = ");
    w.put((textInFrame && nLines == 1) || alignment == 1 ? "xlCenter\r\n"
          : alignment == 2                               ? "xlRight\r\n"
                                                         : "xlLeft\r\n");
  } else {
    w.put("    With tex.TextFrame.TextRange.Paragraphs(i).ParagraphFormat\r\n");
    w.put("      .Alignment = ");
    w.put(alignment == 1 ? "ppAlignCenter\r\n" : alignment == 2 ? "ppAlignRight\r\n" : "ppAlignLeft\r\n");
    w.put("      .LineRuleWithin = msoFalse\r\n");
    w.printf("      .SpaceWithin = %.02f\r\n", P(lineSpacing));
    w.put("      .SpaceBefore = 0\r\n");
    w.put("      .SpaceAfter = 0\r\n");
    w.put("      .Bullet.Visible = msoFalse\r\n");
  }
  w.put("    End With\r\n");
  w.put("  Next\r\n");

  // 8. The fill of the text shape.
  if (!textInFrame) {
    if (pptRectangle) {
      w.put("  With tex\r\n");
      w.put("    .Fill.Visible = msoTrue\r\n");
      rgb("    .Fill.ForeColor.RGB = ", fillColour);
      w.put("    .Fill.Transparency = 0\r\n");
      w.put("    .Line.Visible = msoTrue\r\n");
      rgb("    .Line.ForeColor.RGB = ", frameColour);
      w.put("  End With\r\n");
    } else {
      w.put("  tex.Fill.Visible = msoFalse\r\n");
      w.put("  tex.Line.Visible = msoFalse\r\n");
    }
  }

  // 9. The text shape takes the frame's size.
  if (frameWritten) {
    w.printf("  tex.ScaleWidth  %.02f/tex.Width, msoFalse, msoScaleFromTopLeft\r\n", P(frameWidthPx));
    w.printf("  tex.ScaleHeight %.02f/tex.Height, msoFalse, msoScaleFromTopLeft\r\n", P(frameHeightPx));
  }

  // 10. The link.
  std::string A, B;
  const bool linked = OfficeLinkParts(w, url_, A, B);
  if (linked) {
    const std::string a = OfficeScript_literal(A), b = OfficeScript_literal(B);
    if (kind == kWord) {
      w.put("  s.Hyperlinks.Add  tex.TextFrame.TextRange, _\r\n");
      w.printf("      \"%s\", \"%s\"\r\n", a.c_str(), b.c_str());
      w.put("  tex.TextFrame.TextRange.Font.Underline = wdUnderlineNone\r\n");
    } else if (kind == kExcel) {
      if (!A.empty()) {
        w.printf("  tex.Parent.HyperLinks.Add  tex, \"%s\"\r\n", OfficeScript_literal(url_).c_str());
      } else {
        w.printf("  Set link = new HyperLinkItem : Set link.m_From = tex : link.m_ToName = \"%s\"\r\n",
                 b.c_str());
        w.put("  m.m_HyperLinkItems.Add  link\r\n");
      }
    } else if (!A.empty()) {
      auto action = [&](const char* shape) {
        w.printf("  With %s.ActionSettings(ppMouseClick).Hyperlink\r\n", shape);
        w.printf("      .Address = \"%s\"\r\n", a.c_str());
        if (!B.empty()) w.printf("      .SubAddress = \"%s\"\r\n", b.c_str());
        w.put("  End With\r\n");
      };
      if (frameWritten) action("frame");
      action("tex");
    } else {
      const int32_t page = w.findPageByName ? w.findPageByName(B) : -1;
      w.printf("  Set link = new HyperLinkItem : Set link.m_From = tex : link.m_ToName = "
               "\"Page%d\"  '// \"%s\"\r\n",
               page, b.c_str());
      w.put("  m.m_HyperLinkItems.Add  link\r\n");
    }
  } else if (textColour == kPureBlue) {
    // Link blue without a link: back to black.
    w.put(fontWith);
    w.put("    .Color = RGB(0, 0, 0)\r\n");
    w.put("  End With\r\n");
  }

  // 11. The id, as a bookmark (Word) or the shape's name (Excel).
  if (!id_.empty() && kind != kPowerPoint) {
    // An id too long for an identifier is written as far as it fits.
    std::string name;
    Except_tryCatch([&] { StrX_identifierEscape(name, id_); }, [](const Errors_Msg&) {});
    if (kind == kWord)
      w.printf("  s.Bookmarks.Add  \"%s\", tex.TextFrame.TextRange\r\n", OfficeScript_literal(name).c_str());
    else
      w.printf("  tex.Name = \"%s\"\r\n", OfficeScript_literal(name).c_str());
  }

  // 12. The page's group.
  const char* prefix = linked ? "' " : "";
  if (frameWritten) w.printf("  %sm.AddGroup  frame.Name\r\n", prefix);
  if (addedShape || textInFrame) w.printf("  %sm.AddGroup  tex.Name\r\n", prefix);

  // 13.
  if (title && kind == kWord) w.put("End If\r\n");
  w.put("\r\n");

  int32_t written = 0;
  for (size_t i = startSize; i < w.out.size(); ++i)
    if (w.out[i] == '\n') ++written;
  lineCount = written + 1;
  if (linked) return 0;
  return (frameShape != TextBoxFrame_None ? 1 : 0) + (addedShape ? 1 : 0);
}
