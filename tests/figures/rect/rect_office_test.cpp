#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/canvas/canvas.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

struct Case {
  int32_t shape, opacity, stroke, kind, flags;
  const char* url;
  std::string expected;
  int32_t lines;
};

// Runs each case on a 100 x 50 box at (10, 20).
void check(const Case* begin, const Case* end, OfficeScriptWriter& w, const std::string& image) {
  for (const Case* c = begin; c != end; ++c) {
    auto r = std::make_unique<Rect_Ex>();
    r->shape = c->shape, r->x = 10, r->y = 20, r->width = 100, r->height = 50;
    r->opacity = c->opacity, r->strokeWidth = c->stroke, r->url = c->url;
    r->fillColour = Colour_rgb(204, 204, 255), r->strokeColour = Colour_rgb(1, 2, 3);
    r->embedImage = false, r->imagePath = image;
    w.out.clear();
    int32_t lines = 0;
    EXPECT_EQ(r->WriteOfficeScript(w, 2, lines, c->kind, c->flags), 1);
    EXPECT_EQ(w.out, c->expected) << c->shape << c->url;
    EXPECT_EQ(lines, c->lines) << c->shape << c->url;
  }
}

}  // namespace

// Shapes for each application: opacity, border, the enlarged PowerPoint
// form and a link whose quote and line break stay inside the literal.  A
// canvas and a polygon write nothing and do not advance the index.
TEST(RectOffice, ShapesForEachApplication) {
  const std::string fill = "  rec.Fill.ForeColor.RGB = RGB(204, 204, 255)\r\n";
  const std::string line = "  rec.Line.ForeColor.RGB = RGB(1, 2, 3)\r\n";
  const std::string box = "     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n";
  const std::string group = "  m.AddGroup  rec.Name\r\n";
  const Case cases[] = {
      {1, 50, 0, 0, 0, "",
       "  Set rec = canvas.AddShape( msoShapeRectangle, _\r\n" + box +
           "  rec.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n" + fill +
           "  rec.Fill.Transparency = 0.50\r\n" + line + "  rec.Line.Visible = msoFalse\r\n" +
           group,
       12},
      {3, 100, 2, 1, 1, "",
       "  Set rec = s.Shapes.AddShape( msoShapeOval, _\r\n" + box + fill + line +
           "  rec.Line.Weight = 1.50\r\n" + group, 11},
      {4, 0, 1, 2, 1, "",
       "  Set rec = s.Shapes.AddShape( msoShapeDiamond, _\r\n"
       "     15.00 + left_m, 30.00 + top_m, 150.00, 75.00 )\r\n" + fill +
           "  rec.Fill.Visible = msoFalse\r\n" + line + "  rec.Line.Weight = 0.75\r\n" + group, 11},
      {6, 100, 1, 2, 0, "http://h/a\"b</x>\r\n",
       "  Set rec = s.Shapes.AddShape( msoShapeParallelogram, _\r\n" + box + fill + line +
           "  rec.Line.Weight = 0.75\r\n  s.Hyperlinks.Add  rec, _\r\n"
           "      \"http://h/a\"\"b<\"+\"/x>\"+Chr(13)+Chr(10)+\"\"\r\n" + group, 11},
  };
  OfficeScriptWriter w;
  w.scriptPath = "/out/a.wsf";
  check(std::begin(cases), std::end(cases), w, "");
  int32_t lines = 9;
  EXPECT_EQ(Canvas().WriteOfficeScript(w, 1, lines, 0, 0), 0);
  EXPECT_EQ(Polygon_Ex().WriteOfficeScript(w, 1, lines, 2, 0), 0);
  EXPECT_EQ(lines, 0);
  EXPECT_EQ(w.out, cases[3].expected);
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
  const std::string tail = "  img.Fill.Visible = msoFalse\r\n  img.Line.Visible = msoFalse\r\n"
                           "  img.LockAspectRatio = msoTrue\r\n";
  const std::string head = "  Set img = s.Shapes.AddPicture( _\r\n" + path +
                           "      False, True, 7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n" +
                           tail;
  const std::string item = "  Set link = new HyperLinkItem : Set link.m_From = img : ";
  const std::string add = "  m.m_HyperLinkItems.Add  link\r\n  m.AddGroup  img.Name\r\n";
  const Case cases[] = {
      {5, 100, 1, 0, 0, "http://h/x.html",
       "  Set tex = canvas.AddTextbox( msoTextOrientationHorizontal, _\r\n"
       "     7.50 + left_m, 15.00 + top_m, 75.00, 37.50 )\r\n"
       "  tex.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n\r\n"
       "  tex.TextFrame.MarginLeft = 0\r\n  tex.TextFrame.MarginRight = 0\r\n"
       "  tex.TextFrame.MarginTop = 0\r\n  tex.TextFrame.MarginBottom = 0\r\n"
       "  tex.Line.Visible = msoFalse\r\n"
       "  tex.TextFrame.TextRange.ParagraphFormat.DisableLineHeightGrid = True\r\n\r\n"
       "  Set img = tex.TextFrame.TextRange.InlineShapes.AddPicture( _\r\n" + path +
           "      False, True )\r\n" + tail +
           "  s.Hyperlinks.Add  img, _\r\n      \"http://h/x.html\", \"\"\r\n"
           "  m.AddGroup  tex.Name\r\n", 20},
      {5, 100, 1, 1, 1, "/n/a.svg#p2", head + item + "link.m_ToName = \"p2\"\r\n" + add, 10},
      {5, 100, 1, 2, 0, "http://h/x.html#s",
       head + "  With img.ActionSettings(ppMouseClick).Hyperlink\r\n"
              "    .Address = \"http://h/x.html\"\r\n    .SubAddress = \"s\"\r\n"
              "  End With\r\n  m.AddGroup  img.Name\r\n", 12},
      {5, 100, 1, 2, 0, "/n/a.svg#p2",
       head + item + "link.m_ToName = \"Page3\"  '// \"p2\"\r\n" + add, 10},
  };
  check(std::begin(cases), std::end(cases), w, t.file("pic.png"));
  EXPECT_EQ(ReadFileBytes(t.file("X.files/01/image02.png")), "PNGDATA");

  const Case gone = {5, 100, 1, 0, 0, "", "", 0};
  Errors_Msg e = CatchError([&] { check(&gone, &gone + 1, w, t.file("gone.png")); });
  EXPECT_EQ(e.code, FileX_Err_NotFindCopySrc);
  EXPECT_EQ(w.out, "");
}
