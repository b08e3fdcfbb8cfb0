// The surface's quick painting against its plain painting over a script of
// calls that changes every part of the state between them: pens, brushes
// (hatches over both background modes and colours), raster operations,
// clips, text in opaque and transparent cells, pixels, and a caller that
// changes the painter itself in between.
#include "platform/surface/qt_surface.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "platform/qt_test_app.h"

namespace {

void script(QtSurface& s) {
  FontSpec font;
  font.face = "ＭＳ Ｐゴシック";
  font.height = 15;
  for (int round = 0; round < 3; ++round) {
    const int o = round * 7;
    s.setClipRect(round == 1 ? std::optional<SurfaceRect>(SurfaceRect{10, 12, 170, 110})
                             : std::nullopt);
    s.setRasterOp(RasterOp::Copy);
    s.setPen(Pen::solid(Colour_rgb(200, 0, 0)));
    s.setBrush(Brush::solid(Colour_rgb(0, 0, 200)));
    s.rectangle(2 + o, 2, 60 + o, 40);
    s.setPen({PenStyle::Dash, 1, Colour_rgb(0, 120, 0)});
    s.rectangle(20 + o, 20, 90 + o, 70);
    s.setPen(Pen::solid(Colour_rgb(200, 0, 0)));  // back to the first pen
    s.ellipse(50 + o, 10, 120 + o, 60);
    s.setBackgroundMode(BackgroundMode::Opaque);
    s.setBackgroundColour(Colour_rgb(255, 255, 0));
    s.setBrush(Brush::hatched(HatchStyle::DiagonalCross, Colour_rgb(0, 0, 0)));
    s.rectangle(100, 5 + o, 150, 50 + o);
    s.setBackgroundColour(Colour_rgb(0, 255, 255));  // the same hatch, another gap colour
    s.roundRect(110, 30 + o, 170, 80 + o, 12, 12);
    s.setBackgroundMode(BackgroundMode::Transparent);
    s.polygon(std::vector<SurfacePoint>{{10, 90}, {60, 60 + o}, {90, 110}, {30, 118}});
    s.setPen(Pen::solid(Colour_rgb(90, 0, 90), 3));
    s.setBrush(Brush::null());
    s.moveTo(5, 100 - o);
    s.lineTo(170, 60 + o);
    s.arc(20, 20, 160, 110, 160, 20, 20, 110);
    s.setPen(Pen::null());
    s.setBrush(Brush::solid(Colour_rgb(40, 80, 120)));
    s.rectangle(150 + o, 90, 175, 118);
    s.setPixel(3 + o, 118, Colour_rgb(255, 0, 255));
    s.setFont(font);
    s.setTextAlign(round == 2 ? TextHAlign::Right : TextHAlign::Left, TextVAlign::Baseline);
    s.setTextColour(Colour_rgb(0, 0, 0));
    s.setBackgroundMode(round == 1 ? BackgroundMode::Transparent : BackgroundMode::Opaque);
    s.setBackgroundColour(Colour_rgb(255, 220, 220));
    s.textOut(round == 2 ? 170 : 8, 30 + o * 3, "日本語 and ABC");
    s.setTextColour(Colour_rgb(0, 90, 0));
    s.textOut(40, 75, "語");
    s.setRasterOp(round == 0 ? RasterOp::Xor : RasterOp::Not);
    s.setBrush(Brush::solid(Colour_rgb(255, 255, 255)));
    s.setPen(Pen::solid(Colour_rgb(0, 0, 0)));
    s.rectangle(30, 40 + o, 140, 55 + o);
    s.textOut(60, 100, "XOR");
    s.setRasterOp(RasterOp::Copy);
    // The caller paints with the painter itself; the surface sets its own
    // state again afterwards.
    QPainter& p = s.painter();
    p.setPen(QPen(Qt::green, 5));
    p.setBrush(Qt::magenta);
    p.setClipping(false);
    p.drawLine(0, 119, 179, 0);
    s.setPen(Pen::solid(Colour_rgb(0, 0, 0)));
    s.setBrush(Brush::solid(Colour_rgb(250, 250, 250)));
    s.rectangle(70 + o, 85, 100 + o, 105);
    s.textOut(72 + o, 100, "b");
  }
}

QImage paint(bool plain) {
  QImage im = QtSurface_makeImage(180, 120);
  {
    QtSurface s(im);
    s.setPlain(plain);
    script(s);
  }
  return im;
}

}  // namespace

TEST(QtSurfaceQuick, EveryStateChangeGivesThePixelsOfThePlainPainting) {
  QtTestApp_ensure();
  const QImage plain = paint(true), quick = paint(false);
  int differing = 0, coloured = 0;
  for (int y = 0; y < plain.height(); ++y)
    for (int x = 0; x < plain.width(); ++x) {
      if (plain.pixel(x, y) != quick.pixel(x, y)) {
        if (differing == 0) ADD_FAILURE() << "first at " << x << "," << y;
        ++differing;
      }
      if (plain.pixel(x, y) != 0xFFFFFFFFu) ++coloured;
    }
  EXPECT_EQ(0, differing);
  EXPECT_GT(coloured, 5000);
}

namespace {

// Ellipses and rounded rectangles of many sizes, pens and background modes
// at many places, some cut by the clip or the image's edge, and texts in
// opaque cells (italic ones reaching out of their cells among them), each
// drawn several times: with one cache over the paints the surface sets them
// from its stamps.
void stampScript(QtSurface& s, int shift) {
  FontSpec font;
  font.face = "ＭＳ Ｐゴシック";
  for (int i = 0; i < 240; ++i) {
    const int w = 3 + (i * 7) % 61, h = 2 + (i * 5) % 37;
    const int x = -10 + (i * 37 + shift) % 400, y = -8 + (i * 23 + shift / 2) % 290;
    s.setClipRect(i % 9 == 4 ? std::optional<SurfaceRect>(SurfaceRect{40, 30, 300, 200})
                             : std::nullopt);
    s.setBackgroundMode(i % 4 == 1 ? BackgroundMode::Opaque : BackgroundMode::Transparent);
    s.setBackgroundColour(Colour_rgb(i, 200, 255 - i));
    s.setPen(i % 5 == 3 ? Pen::null() : Pen::solid(Colour_rgb(i * 3, 40, 90), 1 + (i % 7 == 2) * 2));
    s.setBrush(i % 6 == 5 ? Brush::null() : Brush::solid(Colour_rgb(250 - i, i, 120)));
    if (i % 3 == 2)
      s.roundRect(x, y, x + w, y + h, 4 + i % 13, 6 + i % 9);
    else
      s.ellipse(x, y, x + w, y + h);
    font.height = 8 + i % 19;
    font.italic = i % 8 == 7;
    font.bold = i % 10 == 3;
    s.setFont(font);
    s.setTextAlign(i % 3 == 0 ? TextHAlign::Left : i % 3 == 1 ? TextHAlign::Centre : TextHAlign::Right,
                   i % 4 == 0 ? TextVAlign::Top : TextVAlign::Baseline);
    s.setBackgroundMode(BackgroundMode::Opaque);
    s.setBackgroundColour(Colour_rgb(255, 255 - i % 40, 200));
    s.setTextColour(Colour_rgb(i % 50, 0, 80));
    const char* texts[] = {"語", "f", "日本", "Wj", "（）", "abc"};
    s.textOut(x + 5, y + 20, texts[i % 6]);
  }
}

}  // namespace

TEST(QtSurfaceQuick, StampsOfShapesAndTextCellsGiveThePaintersPixels) {
  QtTestApp_ensure();
  QtSurfaceTextCache cache;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const int shift = round == 2 ? 11 : 0;  // the same shapes and texts elsewhere
    QImage plain = QtSurface_makeImage(400, 300), quick = QtSurface_makeImage(400, 300);
    {
      QtSurface s(plain);
      s.setPlain(true);
      stampScript(s, shift);
    }
    {
      QtSurface s(quick, &cache);
      stampScript(s, shift);
    }
    int differing = 0;
    for (int y = 0; y < plain.height(); ++y)
      for (int x = 0; x < plain.width(); ++x)
        if (plain.pixel(x, y) != quick.pixel(x, y) && differing++ == 0)
          ADD_FAILURE() << "first at " << x << "," << y;
    EXPECT_EQ(0, differing);
  }
  // The stamps were made and kept (beside the shaped texts).
  EXPECT_GT(cache.bytes(), 100000u);
}
