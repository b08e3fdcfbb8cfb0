// The PNG and JPEG writers: files read back, and failures of the libraries
// or of the file that come back as errors instead of ending the program.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

#include "core/errors/errors.h"
#include "platform/images/image_writers.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A 4 x 3 picture: red, green, blue, white in each row, with padded rows.
std::vector<uint8_t> picture(size_t rowBytes) {
  std::vector<uint8_t> px(rowBytes * 3, 0xEE);
  const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  for (size_t y = 0; y < 3; ++y)
    for (size_t x = 0; x < 4; ++x)
      for (size_t c = 0; c < 3; ++c) px[y * rowBytes + x * 3 + c] = colours[x][c];
  return px;
}

}  // namespace

TEST(ImageWriters, PngKeepsEveryPixelAndJpegHasItsSize) {
  TempDir dir;
  const std::vector<uint8_t> px = picture(16);
  ImageWriters_savePng(4, 3, 16, px.data(), dir.file("a.png"));
  QImage png;
  ASSERT_TRUE(png.load(QString::fromStdString(dir.file("a.png")), "PNG"));
  ASSERT_EQ(png.size(), QSize(4, 3));
  EXPECT_EQ(png.pixel(0, 2), qRgb(255, 0, 0));
  EXPECT_EQ(png.pixel(1, 1), qRgb(0, 255, 0));
  EXPECT_EQ(png.pixel(2, 0), qRgb(0, 0, 255));
  EXPECT_EQ(png.pixel(3, 2), qRgb(255, 255, 255));

  ImageWriters_saveJpeg(4, 3, 16, px.data(), dir.file("a.jpg"));
  const std::string jpg = ReadFileBytes(dir.file("a.jpg"));
  EXPECT_EQ(jpg.substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(jpg.substr(jpg.size() - 2), "\xFF\xD9");
  // Only the two files: no temporary file is left behind.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 2);
}

TEST(ImageWriters, LibraryFailuresRaiseCannotWrite) {
  TempDir dir;
  // Wider than JPEG can hold (65500) and than libpng takes by default.
  const int32_t wide = 1000001;
  std::vector<uint8_t> row(static_cast<size_t>(wide) * 3, 0x80);
  for (auto save : {&ImageWriters_saveJpeg, &ImageWriters_savePng}) {
    const std::string path = dir.file("wide.img");
    const Errors_Msg e = CatchError([&] { save(wide, 1, row.size(), row.data(), path); });
    EXPECT_EQ(e.code, FileX_Err_CannotWrite);
    EXPECT_EQ(std::string(e.message()), path + " を開けません。");
    EXPECT_FALSE(std::filesystem::exists(path));
  }
  const Errors_Msg empty = CatchError([&] { ImageWriters_savePng(0, 1, 3, row.data(), dir.file("e.png")); });
  EXPECT_EQ(empty.code, FileX_Err_CannotWrite);
}

TEST(ImageWriters, AnOldFileStaysWhenTheFolderCannotTakeTheImage) {
  TempDir dir;
  const std::vector<uint8_t> px = picture(12);
  const std::string bad = dir.file("none/x.png");
  const Errors_Msg e = CatchError([&] { ImageWriters_savePng(4, 3, 12, px.data(), bad); });
  EXPECT_EQ(e.code, FileX_Err_CannotWrite);
  EXPECT_EQ(std::string(e.message()), bad + " を開けません。");
  WriteFileBytes(dir.file("old.jpg"), "old");
  const Errors_Msg big = CatchError([&] {
    std::vector<uint8_t> row(70000 * 3, 0);
    ImageWriters_saveJpeg(70000, 1, row.size(), row.data(), dir.file("old.jpg"));
  });
  EXPECT_EQ(big.code, FileX_Err_CannotWrite);
  EXPECT_EQ(ReadFileBytes(dir.file("old.jpg")), "old");
}
