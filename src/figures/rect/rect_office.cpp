// Rect_Ex: the statements of a conversion script.
//
// Shapes 1-4 and 6 become one AutoShape; a picture is copied behind the
// attachment folder as "NN/imageMM.ext" (page number, index) and inserted
// from there (in Word inside a text frame on the canvas).  The rotation is
// not written.
#include <cstdio>
#include <string>

#include "core/filex/filex_copy.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "figures/base/office_figure_format.h"
#include "figures/base/office_links.h"
#include "figures/base/office_script_writer.h"
#include "figures/base/office_strings.h"
#include "figures/rect/rect_ex.h"

namespace {

constexpr size_t kUrlMax = 259;

const char* shapeConstant(int32_t shape) {
  switch (shape) {
    case RectShape_RoundRect:
      return "msoShapeRoundedRectangle";
    case RectShape_Ellipse:
      return "msoShapeOval";
    case RectShape_Diamond:
      return "msoShapeDiamond";
    case RectShape_Parallelogram:
      return "msoShapeParallelogram";
    default:
      return "msoShapeRectangle";
  }
}

}  // namespace

int32_t Rect_Ex::WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                                   int32_t kind, int32_t flags) const {
  const bool word = kind == static_cast<int32_t>(OfficeTarget::Word);
  const int32_t S = OfficeFormat_scale(kind, flags);
  const char* C = OfficeFormat_container(kind);
  auto pt = [S](int64_t v) { return OfficeFormat_points(v, S); };

  if (shape != RectShape_Image) {
    w.printf("  Set rec = %s.AddShape( %s, _\r\n", C, shapeConstant(shape));
    w.printf("     %.02f + left_m, %.02f + top_m, %.02f, %.02f )\r\n", pt(x), pt(y), pt(width),
             pt(height));
    if (word) w.put("  rec.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n");
    w.printf("  rec.Fill.ForeColor.RGB = %s\r\n", OfficeFormat_rgb(fillColour).c_str());
    if (opacity <= 0)
      w.put("  rec.Fill.Visible = msoFalse\r\n");
    else if (opacity < 100)
      w.printf("  rec.Fill.Transparency = %0.2f\r\n", (100 - opacity) / 100.0);
    w.printf("  rec.Line.ForeColor.RGB = %s\r\n", OfficeFormat_rgb(strokeColour).c_str());
    if (strokeWidth != 0)
      w.printf("  rec.Line.Weight = %.02f\r\n", strokeWidth * 0.75);
    else
      w.put("  rec.Line.Visible = msoFalse\r\n");
    if (!url.empty()) {
      const std::string link = StrX_makeRelativeToFile(url.substr(0, Cp932_cutLength(url, kUrlMax)), w.scriptPath);
      w.put("  s.Hyperlinks.Add  rec, _\r\n");
      w.printf("      \"%s\"\r\n", OfficeScript_literal(link).c_str());
    }
    w.put("  m.AddGroup  rec.Name\r\n");
    lineCount = word ? 12 : 11;
    return 1;
  }

  // The picture, copied beside the script.
  const std::string& P = embedImage ? workImagePath : imagePath;
  std::string X = StrX_extension(P);
  if (X.empty()) X = "jpg";
  char name[64];
  std::snprintf(name, sizeof name, "%02d/image%02d.", w.pageNumber, index);
  std::string folder = w.attachFolderPath;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  FileX_copyByContent(folder + name + X, P);
  std::snprintf(name, sizeof name, "\\%02d\\image%02d.", w.pageNumber, index);
  const std::string pathLine =
      "      m.m_AttachFolderPath + \"" + std::string(name) + OfficeScript_literal(X) + "\", _\r\n";

  if (word) {
    w.put("  Set tex = canvas.AddTextbox( msoTextOrientationHorizontal, _\r\n");
    w.printf("     %.02f + left_m, %.02f + top_m, %.02f, %.02f )\r\n", pt(x), pt(y), pt(width),
             pt(height));
    w.put("  tex.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n");
    w.put("\r\n");
    w.put("  tex.TextFrame.MarginLeft = 0\r\n");
    w.put("  tex.TextFrame.MarginRight = 0\r\n");
    w.put("  tex.TextFrame.MarginTop = 0\r\n");
    w.put("  tex.TextFrame.MarginBottom = 0\r\n");
    w.put("  tex.Line.Visible = msoFalse\r\n");
    w.put("  tex.TextFrame.TextRange.ParagraphFormat.DisableLineHeightGrid = True\r\n");
    w.put("\r\n");
    w.put("  Set img = tex.TextFrame.TextRange.InlineShapes.AddPicture( _\r\n");
    w.put(pathLine);
    w.put("      False, True )\r\n");
  } else {
    w.put("  Set img = s.Shapes.AddPicture( _\r\n");
    w.put(pathLine);
    w.printf("      False, True, %.02f + left_m, %.02f + top_m, %.02f, %.02f )\r\n", pt(x), pt(y),
             pt(width), pt(height));
  }
  w.put("  img.Fill.Visible = msoFalse\r\n");
  w.put("  img.Line.Visible = msoFalse\r\n");
  w.put("  img.LockAspectRatio = msoTrue\r\n");

  int32_t linkLines = 0;
  std::string A, B;
  if (OfficeLinkParts(w, url, A, B)) {
    const std::string a = OfficeScript_literal(A), b = OfficeScript_literal(B);
    if (kind == static_cast<int32_t>(OfficeTarget::PowerPoint)) {
      if (!A.empty()) {
        w.put("  With img.ActionSettings(ppMouseClick).Hyperlink\r\n");
        w.printf("    .Address = \"%s\"\r\n", a.c_str());
        w.printf("    .SubAddress = \"%s\"\r\n", b.c_str());
        w.put("  End With\r\n");
        linkLines = 4;
      } else {
        const std::string fragment = StrX_fragment(url);
        const int32_t N = w.findPageByName ? w.findPageByName(fragment) : -1;
        w.printf(
            "  Set link = new HyperLinkItem : Set link.m_From = img : link.m_ToName = "
            "\"Page%d\"  '// \"%s\"\r\n",
            N, b.c_str());
        w.put("  m.m_HyperLinkItems.Add  link\r\n");
        linkLines = 2;
      }
    } else if (word || StrX_isUrl(url)) {
      w.put("  s.Hyperlinks.Add  img, _\r\n");
      w.printf("      \"%s\", \"%s\"\r\n", a.c_str(), b.c_str());
      linkLines = 2;
    } else {
      w.printf(
          "  Set link = new HyperLinkItem : Set link.m_From = img : link.m_ToName = \"%s\"\r\n",
          b.c_str());
      w.put("  m.m_HyperLinkItems.Add  link\r\n");
      linkLines = 2;
    }
  }
  w.printf("  m.AddGroup  %s.Name\r\n", word ? "tex" : "img");
  lineCount = (word ? 17 : 7) + linkLines + 1;
  return 1;
}
