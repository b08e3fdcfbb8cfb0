#include "platform/images/qt_image_decoder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>

#include "support/test_support.h"

namespace {

using testing_support::CatchError;
using testing_support::TempDir;

// A 2x2 GIF with the palette red, green, blue, white and the pixels 0 1 / 2 3.
// Every code is preceded by a clear code, so all codes stay 3 bits wide.
const unsigned char kGif[] = {
    'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0,
    0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
    0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0,
    2, 4, 0x04, 0x43, 0x71, 0x05, 0, 0x3B};

// 16x12: the left half red, the right half blue, the bottom row green
// from x = 8 on, so that a lossy format keeps the colours in the middle of
// each area.
QImage testPicture() {
  QImage image(16, 12, QImage::Format_RGB32);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) image.setPixel(x, y, x < 8 ? 0xFFFF0000u : 0xFF0000FFu);
  return image;
}

bool near(uint32_t argb, uint32_t want, int tolerance) {
  for (int shift : {0, 8, 16, 24}) {
    int a = (argb >> shift) & 0xFF, b = (want >> shift) & 0xFF;
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

class QtImageDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Susie_freeAll();
    QtImageDecoder_register();
  }
  void TearDown() override { Susie_freeAll(); }
  TempDir dir;
};

TEST_F(QtImageDecoderTest, DecodesTheFourFormatsWithSizeAndColours) {
  for (const char* format : {"PNG", "BMP", "JPG"}) {
    SCOPED_TRACE(format);
    std::string path = dir.file(std::string("pic.") + format);
    ASSERT_TRUE(testPicture().save(QString::fromLatin1(path.c_str()), format, 95));
    Susie_Record& rec = Susie_decode(path);
    ASSERT_TRUE(rec.bitmap);
    EXPECT_EQ(16, rec.width);
    EXPECT_EQ(12, rec.height);
    EXPECT_EQ(16, rec.bitmap->width);
    EXPECT_EQ(12, rec.bitmap->height);
    int tolerance = std::string(format) == "JPG" ? 24 : 0;
    EXPECT_TRUE(near(rec.bitmap->pixel(2, 5), 0xFFFF0000u, tolerance)) << std::hex << rec.bitmap->pixel(2, 5);
    EXPECT_TRUE(near(rec.bitmap->pixel(13, 5), 0xFF0000FFu, tolerance)) << std::hex << rec.bitmap->pixel(13, 5);
    EXPECT_GT(rec.depth, 0);
  }

  std::string gif = dir.file("pic.gif");
  testing_support::WriteFileBytes(gif, std::string_view(reinterpret_cast<const char*>(kGif), sizeof kGif));
  Susie_Record& rec = Susie_decode(gif);
  ASSERT_TRUE(rec.bitmap);
  EXPECT_EQ(2, rec.width);
  EXPECT_EQ(2, rec.height);
  EXPECT_EQ((std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}),
            rec.bitmap->pixels);

  // Alpha is kept as it is in the file.
  QImage alpha(1, 1, QImage::Format_ARGB32);
  alpha.setPixel(0, 0, 0x80102030u);
  std::string png = dir.file("alpha.png");
  ASSERT_TRUE(alpha.save(QString::fromLatin1(png.c_str()), "PNG"));
  EXPECT_EQ(0x80102030u, Susie_decode(png).bitmap->pixel(0, 0));
}

TEST_F(QtImageDecoderTest, BrokenAndForeignFilesRaiseTheirCodes) {
  std::string text = dir.file("note.txt");
  testing_support::WriteFileBytes(text, "just text");
  Errors_Msg e = CatchError([&] { Susie_decode(text); });
  EXPECT_EQ(Susie_Err_NotSupportImgType, e.code);
  EXPECT_EQ("対応していない画像形式です:" + text, e.message());

  // The signature alone: the header cannot be read.
  std::string bad = dir.file("bad.png");
  testing_support::WriteFileBytes(bad, "\x89PNG\r\n\x1a\n garbage garbage garbage");
  e = CatchError([&] { Susie_decode(bad); });
  EXPECT_EQ(Susie_Err_GetPictureInfo, e.code);
  EXPECT_STREQ("SPI_getPictureInfo エラー:3", e.message());

  // A whole header but the pixels cut off.
  std::string full = dir.file("full.png");
  ASSERT_TRUE(testPicture().save(QString::fromLatin1(full.c_str()), "PNG"));
  std::string bytes = testing_support::ReadFileBytes(full);
  std::string cut = dir.file("cut.png");
  size_t idat = bytes.find("IDAT");
  ASSERT_NE(std::string::npos, idat);
  testing_support::WriteFileBytes(cut, bytes.substr(0, idat + 10));
  e = CatchError([&] { Susie_decode(cut); });
  EXPECT_EQ(Susie_Err_GetPicture, e.code);
  EXPECT_STREQ("SPI_getPicture エラー:3", e.message());
  EXPECT_EQ(nullptr, Susie_current());
}

TEST_F(QtImageDecoderTest, InfoTextsNameTheFormats) {
  QtImageDecoder d;
  EXPECT_EQ("00IN", d.info(0));
  EXPECT_EQ("*.png", d.info(2));
  EXPECT_EQ("BMP", d.info(9));
  EXPECT_EQ("", d.info(10));
  EXPECT_EQ((std::vector<std::string>{"Brevlo built-in image decoder"}), Susie_decoderNames());
}

}  // namespace
