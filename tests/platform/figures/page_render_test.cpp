// A page drawn through the Qt surface as the editor and the page images
// draw it: canvas with its grid, a polygon, and a text box of every frame
// shape; the picture is kept in the test output folder and checked at
// known pixels.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <array>
#include <memory>
#include <vector>

#include "figures/base/draw_context.h"
#include "figures/canvas/canvas.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/text/text_box.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "platform/qt_test_app.h"
#include "support/test_support.h"

namespace {

// 0x00BBGGRR of a pixel of the image.
Colour pixelAt(const QImage& image, int x, int y) {
  QRgb p = image.pixel(x, y);
  return Colour_rgb(qRed(p), qGreen(p), qBlue(p));
}

struct Shape {
  int32_t frame;
  Colour fill;
  int32_t x, y;
};

}  // namespace

TEST(PageRender, CanvasGridPolygonAndEveryTextFrame) {
  QtTestApp_ensure();
  const int width = 640, height = 360;
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);  // anything the canvas leaves out shows
  QtTextMetrics metrics;

  Canvas canvas;
  canvas.setSize(width, height);
  canvas.setGrid(20, 20);
  canvas.setGridMode(1);

  Polygon_Ex polygon;
  polygon.setShape(PolygonShape_Polygon);
  const std::vector<Point32> triangle = {{40, 300}, {200, 300}, {120, 220}};
  polygon.setPoints(triangle);
  polygon.setColour(Colour_rgb(255, 0, 0));
  polygon.setWidth(3);

  const std::array<Shape, 5> shapes = {{
      {TextBoxFrame_Rectangle, Colour_rgb(255, 255, 0), 40, 40},
      {TextBoxFrame_RoundRect, Colour_rgb(0, 255, 255), 240, 40},
      {TextBoxFrame_Ellipse, Colour_rgb(0, 255, 0), 440, 40},
      {TextBoxFrame_Diamond, Colour_rgb(255, 0, 255), 260, 200},
      {TextBoxFrame_Parallelogram, Colour_rgb(0, 128, 255), 440, 200},
  }};
  std::vector<std::unique_ptr<Text_Box>> boxes;
  DrawContext ctx;
  ctx.clientWidth = width;
  ctx.clientHeight = height;
  for (const Shape& s : shapes) {
    auto box = std::make_unique<Text_Box>(&metrics);
    box->SetText("表示ソA");
    box->SetBasePoint(s.x, s.y);
    box->SetFrameShape(s.frame);
    box->marginX = 28;
    box->marginY = 16;
    box->fillColour = s.fill;
    box->frameColour = 0;
    box->Layout(metrics, ctx);
    boxes.push_back(std::move(box));
  }

  {
    QtSurface surface(image);
    canvas.Draw(surface, ctx);
    canvas.DrawGrid(surface, ctx);
    polygon.Draw(surface, ctx);
    for (auto& box : boxes) box->Draw(surface, ctx);
  }
  std::string out = testing_support::TestOutputDir() + "/page_render.png";
  ASSERT_TRUE(image.save(QString::fromStdString(out), "PNG"));

  const Colour white = Colour_rgb(255, 255, 255);
  // The canvas paints the page white; the grid puts a dot on every
  // multiple of its spacing where nothing else is drawn.
  EXPECT_EQ(white, pixelAt(image, 601, 341));
  EXPECT_EQ(Colour_rgb(0, 0, 0), pixelAt(image, 600, 340));
  EXPECT_EQ(white, pixelAt(image, 610, 340));
  // The polygon's bottom edge in red, its inside left unfilled.
  EXPECT_EQ(Colour_rgb(255, 0, 0), pixelAt(image, 120, 300));
  EXPECT_EQ(white, pixelAt(image, 121, 281));

  for (size_t i = 0; i < boxes.size(); ++i) {
    TextBoxFrameBounds f = boxes[i]->FrameBounds();
    SCOPED_TRACE(shapes[i].frame);
    const int cx = (f.left + f.right) / 2;
    const int cy = (f.top + f.bottom) / 2;
    ASSERT_LT(f.left + 20, f.right);
    ASSERT_LT(f.top + 10, f.bottom);
    // Inside the frame, above the text: the fill colour.
    EXPECT_EQ(shapes[i].fill, pixelAt(image, cx, f.top + 5));
    // Outside the frame's corner region: the page.
    if (shapes[i].frame != TextBoxFrame_Rectangle) {
      EXPECT_NE(shapes[i].fill, pixelAt(image, f.left + 1, f.top + 1));
    }
    // Some text pixels near the centre are dark.
    bool dark = false;
    for (int x = cx - 12; x <= cx + 12 && !dark; ++x)
      for (int y = cy - 6; y <= cy + 6 && !dark; ++y) {
        QColor c(image.pixel(x, y));
        dark = c.red() < 100 && c.green() < 100 && c.blue() < 100;
      }
    EXPECT_TRUE(dark);
  }
  // The rectangle's frame line in black at its left edge.
  TextBoxFrameBounds r = boxes[0]->FrameBounds();
  EXPECT_EQ(Colour_rgb(0, 0, 0), pixelAt(image, r.left, (r.top + r.bottom) / 2));
  EXPECT_EQ(shapes[0].fill, pixelAt(image, r.left + 2, (r.top + r.bottom) / 2));
}
