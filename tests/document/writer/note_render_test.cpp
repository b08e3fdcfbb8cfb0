// A saved note is a standard SVG file: a real renderer shows its pages
// stacked from top to bottom.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>

#include "document/writer/note_writer.h"
#include "note_writer_fixture.h"

using namespace testing_support;

namespace {

struct Rgba {
  std::vector<uint8_t> pixels;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t at(uint32_t x, uint32_t y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  }
};

bool readPng(const std::string& path, Rgba& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGBA;
  out.pixels.resize(PNG_IMAGE_SIZE(image));
  out.width = image.width;
  out.height = image.height;
  const bool ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

TEST(NoteRender, SavedNoteRendersWithItsPagesStacked) {
  TempDir work, dir;
  NoteDocument doc(work.path());
  doc.NewDocument(1, false);
  RecordingSaveHost host;
  // Three pages 400 wide, 100, 200 and 300 high, each with one rectangle of
  // its own colour at (20, 20).
  const Colour colours[3] = {0x0000FF, 0x00FF00, 0xFF0000};  // red, green, blue
  const int32_t heights[3] = {100, 200, 300};
  for (int i = 0; i < 3; ++i) {
    if (i > 0) doc.AddPage(AddPage_next);
    doc.workingSettings().setSize(400, heights[i]);
    auto r = TestRect(i + 1, 20, 20, 50, 30);
    r->fillColour = colours[i];
    r->strokeColour = colours[i];
    doc.workingFigures().append(std::move(r));
  }
  doc.pageAt(1).setTitle(Sjis(u8"二ページ"));  // the wide form must render as well
  const std::string svg = dir.file("note.svg");
  ASSERT_EQ(NoteWriter_save(doc, svg, false, host), 0);

  const std::string png = dir.file("note.png");
  const std::string command = "rsvg-convert -o '" + png + "' '" + svg + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  Rgba image;
  ASSERT_TRUE(readPng(png, image));
  EXPECT_EQ(image.width, 420u);
  EXPECT_EQ(image.height, 640u);
  // Page offsets 10, 120, 330: each rectangle's centre shows its colour.
  const uint32_t top[3] = {10, 120, 330};
  const uint32_t want[3] = {0xFF0000, 0x00FF00, 0x0000FF};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(image.at(10 + 45, top[i] + 35), want[i]) << "page " << i + 1;
    // Outside the rectangle, inside the page: nothing is drawn there.
    EXPECT_NE(image.at(10 + 200, top[i] + 50), want[i]) << "page " << i + 1;
  }
  // The boundary line of page 2's top edge is black.
  EXPECT_EQ(image.at(10 + 200, 120), 0x000000u);
}

}  // namespace
