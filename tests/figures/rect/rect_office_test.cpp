#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/canvas/canvas.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::unique_ptr<Rect_Ex> box(int32_t shape, int32_t opacity, int32_t stroke) {
  auto r = std::make_unique<Rect_Ex>();
  r->shape = shape;
  r->x = 10, r->y = 20, r->width = 100, r->height = 50;
  r->opacity = opacity, r->strokeWidth = stroke;
  r->fillColour = Colour_rgb(204, 204, 255), r->strokeColour = Colour_rgb(1, 2, 3);
  return r;
}

std::string run(const CadPrim& f, OfficeScriptWriter& w, int32_t kind, int32_t flags,
                int32_t& lines, int32_t index = 1) {
  w.out.clear();
  EXPECT_EQ(f.WriteOfficeScript(w, index, lines, kind, flags), 1);
  return w.out;
}

}  // namespace

// Shapes for each application: opacity, border, the enlarged PowerPoint
// form and a link whose quote and line break stay inside the literal.
TEST(RectOffice, ShapesForEachApplication) {
  const std::string common = "  rec.Fill.ForeColor.RGB = RGB(204, 204, 255)\r\n";
  const std::string line = "  rec.Line.ForeColor.RGB = RGB(1, 2, 3)\r\n";
  struct Case {
    int32_t shape, opacity, stroke, kind, flags;
    const char* url;
    std::string expected;
    int32_t lines;
  } cases[] = {
      {1, 50, 0, 0, 0, "",
       "  Set rec = canvas.AddShape( msoShapeRectangle, _\r\n"
       "     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n"
       "  rec.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n" + common +
           "  rec.Fill.Transparency = 0.50\r\n" + line +
           "  rec.Line.Visible = msoFalse\r\n  m.AddGroup  rec.Name\r\n",
       12},
      {3, 100, 2, 1, 1, "",
       "  Set rec = s.Shapes.AddShape( msoShapeOval, _\r\n"
       "     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n" + common + line +
           "  rec.Line.Weight = 1.50\r\n  m.AddGroup  rec.Name\r\n",
       11},
      {4, 0, 1, 2, 1, "",
       "  Set rec = s.Shapes.AddShape( msoShapeDiamond, _\r\n"
       "     15.00 + left_m, 30.00 + top_m, 150.00, 75.00 )\r\n" + common +
           "  rec.Fill.Visible = msoFalse\r\n" + line +
           "  rec.Line.Weight = 0.75\r\n  m.AddGroup  rec.Name\r\n",
       11},
      {6, 100, 1, 2, 0, "http://h/a\"b\r\n",
       "  Set rec = s.Shapes.AddShape( msoShapeParallelogram, _\r\n"
       "     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n" + common + line +
           "  rec.Line.Weight = 0.75\r\n  s.Hyperlinks.Add  rec, _\r\n"
           "      \"http://h/a\"\"b\"+Chr(13)+\"\"+Chr(10)+\"\"\r\n  m.AddGroup  rec.Name\r\n",
       11},
  };
  OfficeScriptWriter w;
  w.scriptPath = "/out/a.wsf";
  for (const Case& c : cases) {
    auto r = box(c.shape, c.opacity, c.stroke);
    r->url = c.url;
    int32_t lines = 0;
    EXPECT_EQ(run(*r, w, c.kind, c.flags, lines), c.expected) << c.shape;
    EXPECT_EQ(lines, c.lines) << c.shape;
  }
  // A canvas and a polygon write nothing and do not advance the index.
  const std::string before = w.out;
  int32_t lines = 9;
  EXPECT_EQ(Canvas().WriteOfficeScript(w, 1, lines, 0, 0), 0);
  EXPECT_EQ(lines, 0);
  EXPECT_EQ(Polygon_Ex().WriteOfficeScript(w, 1, lines, 2, 0), 0);
  EXPECT_EQ(w.out, before);
}

// A picture is copied to "X.files/NN/imageMM.ext" and inserted from there,
// with its link in each application's form; a missing picture raises the
// file error and writes nothing.
TEST(RectOffice, PictureCopiedBesideTheScript) {
  TempDir t;
  WriteFileBytes(t.file("pic.png"), "PNGDATA");
  OfficeScriptWriter w;
  w.notePath = "/n/a.svg";
  w.attachFolderPath = t.path() + "/X.files/";
  w.pageNumber = 1;
  w.findPageByName = [](std::string_view name) { return name == "p2" ? 3 : -1; };
  const std::string path = "      m.m_AttachFolderPath + \"\\01\\image02.png\", _\r\n";
  const std::string wordHead =
      "  Set tex = canvas.AddTextbox( msoTextOrientationHorizontal, _\r\n"
      "     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n"
      "  tex.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n\r\n"
      "  tex.TextFrame.MarginLeft = 0\r\n  tex.TextFrame.MarginRight = 0\r\n"
      "  tex.TextFrame.MarginTop = 0\r\n  tex.TextFrame.MarginBottom = 0\r\n"
      "  tex.Line.Visible = msoFalse\r\n"
      "  tex.TextFrame.TextRange.ParagraphFormat.DisableLineHeightGrid = True\r\n\r\n"
      "  Set img = tex.TextFrame.TextRange.InlineShapes.AddPicture( _\r\n" + path +
      "      False, True )\r\n";
  const std::string head = "  Set img = s.Shapes.AddPicture( _\r\n" + path +
                           "      False, True, 7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n";
  const std::string body = "  img.Fill.Visible = msoFalse\r\n  img.Line.Visible = msoFalse\r\n"
                           "  img.LockAspectRatio = msoTrue\r\n";
  const std::string item = "  Set link = new HyperLinkItem : Set link.m_From = img : ";
  struct Case {
    int32_t kind;
    const char* url;
    std::string expected;
    int32_t lines;
  } cases[] = {
      {0, "http://h/x.html",
       wordHead + body + "  s.Hyperlinks.Add  img, _\r\n      \"http://h/x.html\", \"\"\r\n"
                         "  m.AddGroup  tex.Name\r\n",
       20},
      {1, "", head + body + "  m.AddGroup  img.Name\r\n", 8},
      {1, "/n/a.svg#p2",
       head + body + item + "link.m_ToName = \"p2\"\r\n  m.m_HyperLinkItems.Add  link\r\n" +
           "  m.AddGroup  img.Name\r\n",
       10},
      {2, "http://h/x.html#s",
       head + body + "  With img.ActionSettings(ppMouseClick).Hyperlink\r\n"
                     "    .Address = \"http://h/x.html\"\r\n    .SubAddress = \"s\"\r\n"
                     "  End With\r\n  m.AddGroup  img.Name\r\n",
       12},
      {2, "/n/a.svg#p2",
       head + body + item + "link.m_ToName = \"Page3\"  '// \"p2\"\r\n" +
           "  m.m_HyperLinkItems.Add  link\r\n  m.AddGroup  img.Name\r\n",
       10},
  };
  for (const Case& c : cases) {
    auto r = box(RectShape_Image, 100, 1);
    r->embedImage = false;
    r->imagePath = t.file("pic.png");
    r->url = c.url;
    int32_t lines = 0;
    EXPECT_EQ(run(*r, w, c.kind, 0, lines, 2), c.expected) << c.kind << c.url;
    EXPECT_EQ(lines, c.lines) << c.kind << c.url;
    EXPECT_EQ(ReadFileBytes(t.file("X.files/01/image02.png")), "PNGDATA");
  }
  auto missing = box(RectShape_Image, 100, 1);
  missing->embedImage = false;
  missing->imagePath = t.file("gone.png");
  w.out = "kept";
  int32_t lines = 0;
  EXPECT_EQ(CatchError([&] { missing->WriteOfficeScript(w, 3, lines, 0, 0); }).code,
            FileX_Err_NotFindCopySrc);
  EXPECT_EQ(w.out, "kept");
}
