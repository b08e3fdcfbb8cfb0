#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "core/strx/strx_base64.h"
#include "figures/rect/rect_ex.h"
#include "reader_harness.h"
#include "support/test_support.h"

using reader_test::Harness;
using reader_test::svgOf;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A real PNG of w x h pixels in a colour pattern.
std::string makePng(int w, int h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> pixels(static_cast<size_t>(w * h * 3));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37 % 251);
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr))
    return "";
  out.resize(size);
  return out;
}

void putBigEndian(std::string& s, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}

// The PNG with a private ancillary chunk before IEND that makes its size a
// multiple of `unit` bytes (decoders skip such chunks).
std::string padPng(const std::string& png, size_t unit) {
  const size_t iend = png.size() - 12;
  const size_t need = (unit - (png.size() + 12) % unit) % unit;
  std::string chunk;
  putBigEndian(chunk, static_cast<uint32_t>(need));
  std::string body = "zeRb" + std::string(need, 'z');
  chunk += body;
  putBigEndian(chunk, static_cast<uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
  return png.substr(0, iend) + chunk + png.substr(iend);
}

bool decodes(const std::string& bytes, int& w, int& h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  const bool ok = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  png_image_free(&image);
  return ok;
}

std::unique_ptr<Rect_Ex> picture(const std::string& path) {
  auto r = std::make_unique<Rect_Ex>();
  r->shape = RectShape_Image;
  r->x = 10;
  r->y = 20;
  r->width = 30;
  r->height = 40;
  r->imagePath = path;
  return r;
}

}  // namespace

TEST(ReaderImage, EmbeddedPictureIsDecodedIntoTheWorkFolder) {
  TempDir dir;
  const std::string png = makePng(5, 3);
  ASSERT_FALSE(png.empty());
  // Sizes that are and are not a multiple of 57 bytes: with a multiple
  // every Base64 line is full, so only the closing quote ends the data.
  const std::string padded[] = {png, padPng(png, 57), padPng(png, 57 * 3)};
  for (size_t k = 0; k < 3; ++k) {
    const std::string& bytes = padded[k];
    if (k > 0) {
      ASSERT_EQ(bytes.size() % 57, 0u);
    }
    int w = 0, h = 0;
    ASSERT_TRUE(decodes(bytes, w, h));
    const std::string source = dir.file("pic.png");
    WriteFileBytes(source, bytes);
    auto r = picture(source);
    r->angle = 20;  // a transform attribute follows the picture data
    r->id = "pic";
    Harness reader;
    reader.workFolder = dir.path() + "/work";
    mkdir(reader.workFolder.c_str(), 0700);
    reader.documentNumber = 0x1A2B;
    const std::string svg = svgOf(*r);
    ASSERT_NE(svg.find("data:;base64,\n"), std::string::npos);
    reader.read(svg);
    Rect_Ex* back = reader.only<Rect_Ex>();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->shape, RectShape_Image);
    EXPECT_TRUE(back->embedImage);
    EXPECT_EQ(back->imagePath, "");
    EXPECT_EQ(back->workImagePath, reader.workFolder + "/img_00001A2B_1.png");
    EXPECT_EQ(back->workFolder(), reader.workFolder);
    EXPECT_EQ(ReadFileBytes(back->workImagePath), bytes) << bytes.size();
    EXPECT_EQ(back->angle, 20);
    EXPECT_EQ(back->id, "pic");
    EXPECT_FALSE(back->takeNaturalSize);
    // Apart from where the picture lives the figure is the one written.
    r->SetNumber(back->GetNumber());
    r->imagePath = back->imagePath;
    r->workImagePath = back->workImagePath;
    r->takeNaturalSize = false;
    r->fillColour = back->fillColour;
    EXPECT_TRUE(back->Equals(*r, 0));
  }
}

TEST(ReaderImage, SerialsAndPictureTypes) {
  TempDir dir;
  Harness reader;
  reader.workFolder = dir.path();
  reader.documentNumber = 3;
  const std::string gif = "GIF89a" + std::string(20, 'x');
  const std::string jfif = std::string("\xFF\xD8\xFF\xE0\x00\x10", 6) + "JFIF" + std::string(9, 'y');
  const std::string other = "plain bytes";
  std::string svg = "<svg>";
  for (const std::string* b : {&gif, &jfif, &other})
    svg += "<image x=\"0\" y=\"0\" xlink:href=\"data:;base64,\n" + StrX_base64Encode(*b) + "\"/>";
  // Foreign files name the media type.
  svg += "<image x=\"0\" width=\"5\" xlink:href=\"data:image/png;base64," +
         StrX_base64Encode(makePng(2, 2)) + "\"/></svg>";
  reader.read(svg);
  auto rs = reader.all<Rect_Ex>();
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(rs[0]->workImagePath, dir.path() + "/img_00000003_1.gif");
  EXPECT_EQ(rs[1]->workImagePath, dir.path() + "/img_00000003_2.jpg");
  EXPECT_EQ(rs[2]->workImagePath, dir.path() + "/img_00000003_3");
  EXPECT_EQ(rs[3]->workImagePath, dir.path() + "/img_00000003_4.png");
  EXPECT_EQ(ReadFileBytes(rs[0]->workImagePath), gif);
  EXPECT_EQ(ReadFileBytes(rs[1]->workImagePath), jfif);
  EXPECT_EQ(ReadFileBytes(rs[2]->workImagePath), other);
  // Without both width and height the picture takes its natural size.
  EXPECT_TRUE(rs[0]->takeNaturalSize);
  EXPECT_TRUE(rs[3]->takeNaturalSize);
  EXPECT_EQ(rs[3]->width, 5);
  EXPECT_EQ(reader.counters.nextImageSerial(), 5);
}

TEST(ReaderImage, LinkedPicturesAreAbsolute) {
  TempDir dir;
  const std::string pics = dir.path() + "/pics";
  mkdir(pics.c_str(), 0700);
  WriteFileBytes(pics + "/Photo.PNG", makePng(2, 2));
  auto r = picture(pics + "/Photo.PNG");
  r->embedImage = false;
  Harness reader;
  reader.notePath = dir.file("note.svg");
  reader.workFolder = dir.path() + "/work";
  reader.documentNumber = 9;
  const std::string svg = svgOf(*r, reader.notePath);
  ASSERT_NE(svg.find("xlink:href=\"pics/Photo.PNG\""), std::string::npos);
  reader.read(svg);
  Rect_Ex* back = reader.only<Rect_Ex>();
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->embedImage);
  EXPECT_EQ(back->imagePath, pics + "/Photo.PNG");
  // The working copy is only named; the figure makes it when it draws.
  EXPECT_EQ(back->workImagePath, reader.workFolder + "/img_00000009_1.PNG");
  EXPECT_TRUE(ReadFileBytes(back->workImagePath).empty());
  r->SetNumber(back->GetNumber());
  r->workImagePath = back->workImagePath;
  r->takeNaturalSize = false;
  // A picture has no colours in the file: it takes the file's colour
  // variables.
  EXPECT_EQ(back->fillColour, Colour{0xF0F0F0});
  r->fillColour = 0xF0F0F0;
  EXPECT_TRUE(back->Equals(*r, 0));

  // Windows separators of older notes, and a picture that does not exist.
  Harness old;
  old.notePath = dir.file("note.svg");
  old.workFolder = dir.path();
  old.read("<svg><image x=\"0\" xlink:href=\"pics\\Photo.PNG\"/>"
           "<image x=\"0\" xlink:href=\"../gone/x.gif\"/></svg>");
  auto rs = old.all<Rect_Ex>();
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs[0]->imagePath, pics + "/Photo.PNG");
  EXPECT_EQ(rs[1]->imagePath, dir.path().substr(0, dir.path().rfind('/')) + "/gone/x.gif");
  EXPECT_EQ(rs[1]->workImagePath, dir.path() + "/img_00000007_2.gif");
}
