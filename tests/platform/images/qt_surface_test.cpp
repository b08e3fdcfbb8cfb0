#include "platform/surface/qt_surface.h"

#include <gtest/gtest.h>

#include "core/susie/susie.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                   kBlack = 0xFF000000u;

Bitmap quad() {
  Bitmap b(2, 2);
  b.pixels = {kRed, kGreen, kBlue, kBlack};
  return b;
}

uint32_t at(const QImage& image, int x, int y) { return image.pixel(x, y); }

TEST(QtSurface, DrawsABitmapOneToOneAtAPoint) {
  QImage image = QtSurface_makeImage(6, 6);
  {
    QtSurface s(image);
    s.drawBitmap(quad(), 1, 2);
    Bitmap half(1, 1, 0x80FF0000u);
    s.drawBitmap(half, 5, 5);
  }
  EXPECT_EQ(QImage::Format_RGB32, image.format());
  EXPECT_EQ(kRed, at(image, 1, 2));
  EXPECT_EQ(kGreen, at(image, 2, 2));
  EXPECT_EQ(kBlue, at(image, 1, 3));
  EXPECT_EQ(kBlack, at(image, 2, 3));
  EXPECT_EQ(kWhite, at(image, 0, 2));
  EXPECT_EQ(kWhite, at(image, 3, 2));
  EXPECT_EQ(kWhite, at(image, 1, 1));
  EXPECT_EQ(kWhite, at(image, 1, 4));
  // Half transparent red over white: pink.
  QColor pink = QColor::fromRgb(at(image, 5, 5));
  EXPECT_EQ(255, pink.red());
  EXPECT_NEAR(127, pink.green(), 2);
  EXPECT_NEAR(127, pink.blue(), 2);
}

TEST(QtSurface, StretchesIntoARectangleSharpOrSmooth) {
  QImage image = QtSurface_makeImage(10, 10);
  {
    QtSurface s(image);
    s.stretchBitmap(quad(), 1, 1, 4, 4, false);
    s.stretchBitmap(quad(), 6, 6, 0, 3, false);  // empty: nothing
  }
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) {
      uint32_t want = y < 3 ? (x < 3 ? kRed : kGreen) : (x < 3 ? kBlue : kBlack);
      EXPECT_EQ(want, at(image, x, y)) << x << "," << y;
    }
  EXPECT_EQ(kWhite, at(image, 0, 1));
  EXPECT_EQ(kWhite, at(image, 5, 1));
  EXPECT_EQ(kWhite, at(image, 1, 5));
  EXPECT_EQ(kWhite, at(image, 6, 6));

  // Smooth: black to white over 8 pixels passes through greys, in order.
  Bitmap ramp(2, 1);
  ramp.pixels = {kBlack, kWhite};
  QImage wide = QtSurface_makeImage(8, 1);
  {
    QtSurface s(wide);
    s.stretchBitmap(ramp, 0, 0, 8, 1, true);
  }
  int greys = 0;
  for (int x = 0; x < 8; ++x) {
    int g = qGreen(at(wide, x, 0));
    if (x > 0) {
      EXPECT_GE(g, qGreen(at(wide, x - 1, 0)));
    }
    if (g > 10 && g < 245) ++greys;
  }
  EXPECT_GE(greys, 2);
  EXPECT_LT(qGreen(at(wide, 0, 0)), 64);
  EXPECT_GT(qGreen(at(wide, 7, 0)), 191);
}

TEST(QtSurface, SusieDrawsTheDecodedPictureThroughTheSurface) {
  // A decoder that answers every file with the quad.
  struct QuadDecoder : Susie_Decoder {
    std::string info(int) override { return "quad"; }
    bool isSupported(std::string_view, std::span<const uint8_t, SUSIE_HEAD_SIZE>) override {
      return true;
    }
    int pictureInfo(std::string_view, Susie_PictureInfo& i) override {
      i = {2, 2, 32};
      return 0;
    }
    int picture(std::string_view, std::shared_ptr<const Bitmap>& b) override {
      b = std::make_shared<Bitmap>(quad());
      return 0;
    }
  };
  Susie_freeAll();
  Susie_register(std::make_unique<QuadDecoder>());
  Susie_Record& rec = Susie_decode("/nonexistent-but-taken");
  QImage image = QtSurface_makeImage(8, 8);
  {
    QPainter painter(&image);
    QtSurface s(painter);
    Susie_draw(rec, s);
    Susie_drawScaled(rec, s, 4, 4, 4, 4);
  }
  Susie_freeAll();
  EXPECT_EQ(kRed, at(image, 0, 0));
  EXPECT_EQ(kBlack, at(image, 1, 1));
  EXPECT_EQ(kWhite, at(image, 2, 0));
  // The corners of the scaled copy keep their colours.
  EXPECT_EQ(kRed, at(image, 4, 4));
  EXPECT_EQ(kGreen, at(image, 7, 4));
  EXPECT_EQ(kBlue, at(image, 4, 7));
  EXPECT_EQ(kBlack, at(image, 7, 7));
  EXPECT_EQ(kWhite, at(image, 3, 4));
}

}  // namespace
