#include "platform/surface/qt_surface.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt_test_app.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u,
               kBlue = 0xFF0000FFu;

void ensureApp() { QtTestApp_ensure(); }

QRgb at(const QImage& im, int x, int y) { return im.pixel(x, y); }

// The pixels of row y from x0 to x1 inclusive as '#' (not white) and '.'.
std::string row(const QImage& im, int y, int x0, int x1) {
  std::string s;
  for (int x = x0; x <= x1; ++x) s += at(im, x, y) == kWhite ? '.' : '#';
  return s;
}

}  // namespace

TEST(QtSurfaceShapes, RectangleCoversLeftToRightMinusOneWithThePenInside) {
  QImage im = QtSurface_makeImage(12, 12);
  {
    QtSurface s(im);
    s.setPen(Pen::solid(Colour_rgb(255, 0, 0)));
    s.setBrush(Brush::solid(Colour_rgb(0, 0, 255)));
    s.rectangle(2, 2, 7, 6);
    s.setPen(Pen::null());
    s.rectangle(8, 8, 11, 11);  // null pen: one pixel smaller
  }
  EXPECT_EQ(kRed, at(im, 2, 2));
  EXPECT_EQ(kRed, at(im, 6, 5));
  EXPECT_EQ(kBlue, at(im, 3, 3));
  EXPECT_EQ(kBlue, at(im, 5, 4));
  EXPECT_EQ(kWhite, at(im, 7, 2));
  EXPECT_EQ(kWhite, at(im, 2, 6));
  EXPECT_EQ("..#####.....", row(im, 2, 0, 11));
  EXPECT_EQ(kBlue, at(im, 8, 8));
  EXPECT_EQ(kBlue, at(im, 9, 9));
  EXPECT_EQ(kWhite, at(im, 10, 9));
  EXPECT_EQ(kWhite, at(im, 9, 10));
}

TEST(QtSurfaceShapes, LinesLeaveOutTheLastPixelAndFollowTheirStyle) {
  QImage im = QtSurface_makeImage(40, 6);
  {
    QtSurface s(im);
    s.setPen(Pen::solid(0));
    s.moveTo(1, 1);
    s.lineTo(6, 1);
    s.setPixel(6, 3, 0);
    s.setPen({PenStyle::Dot, 1, 0});
    s.moveTo(0, 4);
    s.lineTo(13, 4);
    s.setPen(Pen::null());
    s.moveTo(0, 5);
    s.lineTo(30, 5);
  }
  EXPECT_EQ(".#####..", row(im, 1, 0, 7));
  EXPECT_EQ("......#.", row(im, 3, 0, 7));
  EXPECT_EQ("###...###...#.", row(im, 4, 0, 13));
  EXPECT_EQ(std::string(31, '.'), row(im, 5, 0, 30));

  // A diagonal covers one pixel per column, without its end.
  QImage d = QtSurface_makeImage(8, 8);
  {
    QtSurface s(d);
    s.setPen(Pen::solid(0));
    const SurfacePoint pts[] = {{0, 0}, {5, 5}, {5, 7}};
    s.polyline(pts);
  }
  for (int i = 0; i < 5; ++i) EXPECT_EQ(kBlack, at(d, i, i)) << i;
  EXPECT_EQ(kBlack, at(d, 5, 6));
  EXPECT_EQ(kWhite, at(d, 5, 7));
  EXPECT_EQ(kWhite, at(d, 1, 0));
}

TEST(QtSurfaceShapes, EllipsePolygonArcAndHatch) {
  QImage im = QtSurface_makeImage(30, 30);
  {
    QtSurface s(im);
    s.setPen(Pen::solid(0));
    s.setBrush(Brush::solid(Colour_rgb(255, 0, 0)));
    s.ellipse(0, 0, 11, 11);
    const SurfacePoint tri[] = {{15, 0}, {29, 0}, {15, 14}};
    s.polygon(tri);
  }
  EXPECT_EQ(kRed, at(im, 5, 5));
  EXPECT_EQ(kWhite, at(im, 0, 0));   // the corner is outside an ellipse
  EXPECT_EQ(kWhite, at(im, 11, 5));  // right edge excluded
  EXPECT_NE(kWhite, at(im, 0, 5));   // the outline touches the left side
  EXPECT_EQ(kRed, at(im, 17, 2));
  EXPECT_EQ(kWhite, at(im, 28, 12));

  QImage a = QtSurface_makeImage(21, 21);
  {
    QtSurface s(a);
    s.setPen(Pen::solid(0));
    // From the right to the top, counter-clockwise: the upper-right quarter.
    s.arc(0, 0, 21, 21, 20, 10, 10, 0);
  }
  int upperRight = 0, other = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
      if (at(a, x, y) != kWhite) (x >= 10 && y <= 10 ? upperRight : other)++;
  EXPECT_GT(upperRight, 10);
  EXPECT_LE(other, 2);

  QImage h = QtSurface_makeImage(16, 16);
  {
    QtSurface s(h);
    s.setPen(Pen::null());
    s.setBackgroundMode(BackgroundMode::Transparent);
    s.setBrush(Brush::hatched(HatchStyle::Vertical, 0));
    s.rectangle(0, 0, 17, 9);
    s.setBackgroundMode(BackgroundMode::Opaque);
    s.setBackgroundColour(Colour_rgb(0, 0, 255));
    s.setBrush(Brush::hatched(HatchStyle::Horizontal, 0));
    s.rectangle(0, 8, 17, 17);
  }
  // Vertical lines every 8 pixels, the gaps left as they were.
  EXPECT_EQ("#.......#.......", row(h, 5, 0, 15));
  // Horizontal lines on rows 8 and 0 of each cell, gaps in the background.
  for (int x = 0; x < 16; ++x) {
    EXPECT_EQ(kBlack, at(h, x, 8)) << x;
    EXPECT_EQ(kBlue, at(h, x, 9)) << x;
  }
}

TEST(QtSurfaceShapes, XorAndNotRasterOpsAndClip) {
  QImage im = QtSurface_makeImage(10, 4);
  {
    QtSurface s(im);
    s.setPen(Pen::null());
    s.setBrush(Brush::solid(Colour_rgb(0, 0, 255)));
    s.rectangle(0, 0, 11, 5);  // blue everywhere
    s.setRasterOp(RasterOp::Xor);
    s.setPen(Pen::solid(Colour_rgb(255, 255, 0)));
    s.moveTo(0, 1);
    s.lineTo(5, 1);  // blue ^ yellow = white
    s.setRasterOp(RasterOp::Not);
    s.moveTo(0, 2);
    s.lineTo(5, 2);  // not blue = yellow
    s.setPixel(9, 2, 0);
    s.setRasterOp(RasterOp::Copy);
    s.setClipRect(SurfaceRect{0, 3, 3, 4});
    s.moveTo(0, 3);
    s.lineTo(10, 3);
  }
  EXPECT_EQ(kWhite, at(im, 0, 1));
  EXPECT_EQ(kWhite, at(im, 4, 1));
  EXPECT_EQ(kBlue, at(im, 5, 1));
  EXPECT_EQ(0xFFFFFF00u, at(im, 2, 2));
  EXPECT_EQ(0xFFFFFF00u, at(im, 9, 2));
  EXPECT_EQ(kBlue, at(im, 6, 2));
  EXPECT_EQ(0xFFFFFF00u, at(im, 2, 3));  // the yellow pen inside the clip
  EXPECT_EQ(kBlue, at(im, 3, 3));
  // XOR twice gives the picture back.
  QImage twice = QtSurface_makeImage(6, 6);
  {
    QtSurface s(twice);
    s.setRasterOp(RasterOp::Xor);
    s.setPen(Pen::solid(Colour_rgb(10, 20, 30)));
    s.setBrush(Brush::solid(Colour_rgb(10, 20, 30)));
    s.rectangle(1, 1, 5, 5);
    s.rectangle(1, 1, 5, 5);
  }
  for (int y = 0; y < 6; ++y) EXPECT_EQ("......", row(twice, y, 0, 5)) << y;
}

TEST(QtSurfaceShapes, TextInTheFontAndColourWithItsAlignment) {
  ensureApp();
  QImage im = QtSurface_makeImage(120, 40);
  {
    QtSurface s(im);
    FontSpec f;
    f.face = "ＭＳ ゴシック";
    f.height = 16;
    s.setFont(f);
    s.setTextColour(Colour_rgb(255, 0, 0));
    s.setBackgroundMode(BackgroundMode::Transparent);
    s.setTextAlign(TextHAlign::Left, TextVAlign::Top);
    s.textOut(2, 2, "日本語");
    s.setBackgroundMode(BackgroundMode::Opaque);
    s.setBackgroundColour(Colour_rgb(0, 0, 255));
    s.setTextColour(Colour_rgb(0, 255, 0));
    s.setTextAlign(TextHAlign::Right, TextVAlign::Baseline);
    s.textOut(118, 36, "ab");
  }
  int reddish = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      QColor c = QColor::fromRgb(at(im, x, y));
      bool inFirst = x >= 2 && x < 2 + 48 && y >= 2 && y < 2 + 20;
      if (c.red() > 200 && c.green() < 120 && c.blue() < 120) {
        if (inFirst)
          ++reddish;
        else
          ++outside;
      }
    }
  EXPECT_GT(reddish, 20);
  EXPECT_EQ(0, outside);
  // "ab" (16 pixels wide) ends at x = 118 on its baseline y = 36, in an
  // opaque blue cell from the ascent to the descent.
  int blue = 0, green = 0;
  for (int y = 20; y < 40; ++y)
    for (int x = 60; x < 120; ++x) {
      QRgb p = at(im, x, y);
      if (p == kBlue) ++blue;
      if (qGreen(p) > 200 && qRed(p) < 100) ++green;
      if (p != kWhite) {
        EXPECT_GE(x, 102) << x << "," << y;
        EXPECT_LT(x, 118) << x << "," << y;
      }
    }
  EXPECT_GT(blue, 50);
  EXPECT_GT(green, 10);
  EXPECT_EQ(kBlue, at(im, 117, 35));
  EXPECT_EQ(kWhite, at(im, 118, 35));
}
