// One figure of every kind drawn through the Qt surface, as the page
// images draw them; the picture is kept in the test output folder and
// checked at known pixels.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <memory>

#include "figures/base/draw_context.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/editor/text_editor.h"
#include "figures/line/end_shapes.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "core/susie/susie.h"
#include "platform/images/qt_image_decoder.h"
#include "platform/qt_test_app.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "support/test_support.h"

namespace {

Colour pixelAt(const QImage& image, int x, int y) {
  QRgb p = image.pixel(x, y);
  return Colour_rgb(qRed(p), qGreen(p), qBlue(p));
}

}  // namespace

TEST(EveryKindRender, EachKindPutsItsColoursWhereItLies) {
  QtTestApp_ensure();
  const int width = 640, height = 400;
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QtTextMetrics metrics;
  DrawContext ctx;
  ctx.clientWidth = width;
  ctx.clientHeight = height;

  Canvas canvas;
  canvas.setSize(width, height);

  const Colour red = Colour_rgb(255, 0, 0), blue = Colour_rgb(0, 0, 255),
               green = Colour_rgb(0, 160, 0), magenta = Colour_rgb(255, 0, 255),
               orange = Colour_rgb(255, 128, 0), yellow = Colour_rgb(255, 255, 0),
               cyan = Colour_rgb(0, 255, 255), white = Colour_rgb(255, 255, 255);

  Rect_Ex rect;
  rect.x = 20;
  rect.y = 20;
  rect.width = 120;
  rect.height = 60;
  rect.fillColour = yellow;
  rect.strokeColour = blue;
  rect.strokeWidth = 1;

  Rect_Ex ellipse;
  ellipse.shape = RectShape_Ellipse;
  ellipse.x = 180;
  ellipse.y = 20;
  ellipse.width = 120;
  ellipse.height = 60;
  ellipse.fillColour = cyan;

  // A picture figure showing a real PNG through the built-in decoder.
  testing_support::TempDir work;
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(QColor(128, 0, 128));
  const std::string pngPath = work.file("picture.png");
  ASSERT_TRUE(picture.save(QString::fromStdString(pngPath), "PNG"));
  Susie_freeAll();
  QtImageDecoder_register();
  Rect_Ex pictureFigure;
  pictureFigure.shape = RectShape_Image;
  pictureFigure.x = 20;
  pictureFigure.y = 180;
  pictureFigure.width = 40;
  pictureFigure.height = 30;
  pictureFigure.takeNaturalSize = false;
  pictureFigure.imagePath = pngPath;
  pictureFigure.setWorkFolder(work.path());

  Line_Ex line;
  line.SetPoints({20, 140}, {300, 140});
  line.SetWidth(3);
  line.SetColour(red);
  line.SetArrow(2, LineEndShape_Triangle);

  Matome brace;
  brace.SetPoints({340, 20}, {360, 180});
  brace.SetWidth(2);
  brace.SetColour(green);

  Line_Corner corner;
  corner.setEnd(1, 400, 40);
  corner.setEnd(2, 600, 160);
  corner.setThrough(500, 100);
  corner.setWidth(2);
  corner.setColour(magenta);

  Polygon_Ex polygon;
  polygon.setShape(PolygonShape_Polyline);
  const std::vector<Point32> zigzag = {{20, 360}, {120, 260}, {220, 360}};
  polygon.setPoints(zigzag);
  polygon.setColour(orange);
  polygon.setWidth(3);

  Text_Box box(&metrics);
  box.SetText("テキスト");
  box.SetBasePoint(300, 260);
  box.SetFrameShape(TextBoxFrame_Rectangle);
  box.fillColour = Colour_rgb(200, 255, 200);
  box.Layout(metrics, ctx);

  Text_Editor editor;
  editor.SetTextMetrics(&metrics);
  Text_Box edited(&metrics);
  edited.SetText("編集中");
  edited.SetBasePoint(480, 260);
  edited.SetFrameShape(TextBoxFrame_Ellipse);
  edited.Layout(metrics, ctx);
  editor.BeginEdit(edited, false, ctx);
  editor.Layout(metrics, ctx);

  {
    QtSurface surface(image);
    canvas.Draw(surface, ctx);
    rect.Draw(surface, ctx);
    ellipse.Draw(surface, ctx);
    pictureFigure.Draw(surface, ctx);
    line.Draw(surface, ctx);
    brace.Draw(surface, ctx);
    corner.Draw(surface, ctx);
    polygon.Draw(surface, ctx);
    box.Draw(surface, ctx);
    editor.Draw(surface, ctx);
  }
  std::string out = testing_support::TestOutputDir() + "/every_kind.png";
  ASSERT_TRUE(image.save(QString::fromStdString(out), "PNG"));

  EXPECT_EQ(white, pixelAt(image, 620, 390));             // the page
  EXPECT_EQ(cyan, pixelAt(image, 240, 50));                // ellipse fill
  EXPECT_EQ(yellow, pixelAt(image, 80, 50));               // rectangle fill
  EXPECT_EQ(blue, pixelAt(image, 20, 50));                 // its border
  EXPECT_EQ(Colour_rgb(128, 0, 128), pixelAt(image, 40, 195));  // the picture's pixels                // ellipse fill
  EXPECT_EQ(white, pixelAt(image, 182, 22));               // outside the ellipse's curve
  EXPECT_EQ(red, pixelAt(image, 150, 140));                // line body
  EXPECT_EQ(red, pixelAt(image, 295, 141));                // near its arrow tip
  EXPECT_EQ(orange, pixelAt(image, 120, 262));             // polygon corner
  EXPECT_EQ(white, pixelAt(image, 120, 340));              // below it, open
  bool braceSeen = false, cornerSeen = false;
  for (int x = 330; x <= 370; ++x) braceSeen = braceSeen || pixelAt(image, x, 100) == green;
  for (int y = 30; y <= 170; ++y)
    for (int x = 390; x <= 610; ++x) cornerSeen = cornerSeen || pixelAt(image, x, y) == magenta;
  EXPECT_TRUE(braceSeen);
  EXPECT_TRUE(cornerSeen);
  TextBoxFrameBounds f = box.FrameBounds();
  EXPECT_EQ(Colour_rgb(200, 255, 200), pixelAt(image, f.left + 2, f.top + 2));
}
