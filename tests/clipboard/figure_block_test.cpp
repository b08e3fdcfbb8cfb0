// The figure block as other programs see it: the header's fields at their
// offsets, texts padded to four bytes, records in order; read back whole;
// and refused whole when any length, count or text runs past the bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "clipboard/figure_block.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

int32_t at(const std::string& b, size_t offset) {
  int32_t v = 0;
  std::memcpy(&v, b.data() + offset, 4);
  return v;
}

FigureBlock sample() {
  static Rect_Ex r;
  static Line_Ex l;
  static Text_Box t(nullptr);
  r.SetNumber(11);
  r.id = "box";
  l.SetNumber(12);
  l.SetEndTargetNumber(1, 13);
  l.SetEndTargetNumber(2, 99);
  t.SetNumber(13);
  t.SetText("\x82\xa0" "b");  // "あb"
  FigureBlock b = FigureBlock_of({&r, &l, &t});
  b.held = 12;
  b.sourceWindow = 0x1234;
  b.anchorX = -5;
  b.anchorY = 7;
  b.notePath = "/n/\x83\x5c.svg";  // "ソ": 0x5C as a second byte
  b.folderPath = b.notePath;
  return b;
}

}  // namespace

TEST(FigureBlock, HeaderTextsAndRecordsAtTheirPlaces) {
  const FigureBlock b = sample();
  const std::string bytes = FigureBlock_encode(b);
  ASSERT_EQ(0u, bytes.size() % 4);
  EXPECT_EQ(static_cast<int32_t>(bytes.size() - 28), at(bytes, 0));
  EXPECT_EQ(0, at(bytes, 4));
  EXPECT_EQ(3, at(bytes, 8));
  EXPECT_EQ(12, at(bytes, 12));
  EXPECT_EQ(0x1234, at(bytes, 16));
  EXPECT_EQ(-5, at(bytes, 20));
  EXPECT_EQ(7, at(bytes, 24));
  // "/n/ソ.svg" in UTF-16LE: 9 characters and the terminator, padded to 20.
  EXPECT_EQ(0, std::memcmp(bytes.data() + 28, "/\0n\0/\0\xbd\x30.\0s\0v\0g\0\0\0\0\0", 20));
  EXPECT_EQ(std::string("/n/\x83\x5c.svg\0\0\0\0", 12), bytes.substr(48, 12));
  // The first record: its size (snapshot + 8) and kind.
  EXPECT_EQ(static_cast<int32_t>(b.records[0].snapshot.size() + 8), at(bytes, 60));
  EXPECT_EQ(FigureKind_Rect, at(bytes, 64));

  FigureBlock back;
  ASSERT_TRUE(FigureBlock_decode(bytes, back));
  EXPECT_EQ(b.notePath, back.notePath);
  EXPECT_EQ(3u, back.records.size());
  EXPECT_EQ(bytes, FigureBlock_encode(back));
  // The figures come back; links among them are kept, the one to a figure
  // left behind (99) is dropped.
  auto figures = FigureBlock_figures(back, nullptr);
  ASSERT_EQ(3u, figures.size());
  FigureBlock_renumber(figures);
  auto& line = static_cast<Line_Ex&>(*figures[1]);
  EXPECT_EQ(figures[2]->GetNumber(), line.GetEndTargetNumber(1));
  EXPECT_EQ(0, line.GetEndTargetNumber(2));
  EXPECT_NE(11, figures[0]->GetNumber());
  EXPECT_EQ("box", figures[0]->GetId());

  // A whole page carries its title and size.
  FigureBlock page = sample();
  page.flags = FigureBlock_wholePage;
  page.pageTitle = "p";
  page.pageWidth = 640;
  page.pageHeight = 480;
  ASSERT_TRUE(FigureBlock_decode(FigureBlock_encode(page), back));
  EXPECT_EQ("p", back.pageTitle);
  EXPECT_EQ(480, back.pageHeight);
  InkBox box;
  EXPECT_TRUE(InkBox_decode(InkBox_encode({1, 2, 3, 4, 5, 6}), box));
  EXPECT_EQ(6, box.anchorY);
  EXPECT_FALSE(InkBox_decode(std::string(23, '\0'), box));
}

TEST(FigureBlock, EveryLengthIsCheckedAgainstTheBytesThere) {
  const std::string good = FigureBlock_encode(sample());
  FigureBlock out;
  std::string why;
  // Every cut of the block is refused, never read past.
  for (size_t n = 0; n < good.size(); ++n) {
    std::string cut = good.substr(0, n);
    if (n >= 4) {
      const int32_t size = static_cast<int32_t>(std::max<size_t>(n, 28) - 28);
      std::memcpy(cut.data(), &size, 4);  // a size that matches the cut
    }
    EXPECT_FALSE(FigureBlock_decode(cut, out, &why)) << n;
  }
  auto patched = [&](size_t offset, int32_t value) {
    std::string b = good;
    std::memcpy(b.data() + offset, &value, 4);
    return b;
  };
  EXPECT_FALSE(FigureBlock_decode(patched(0, static_cast<int32_t>(good.size())), out));  // size past
  EXPECT_FALSE(FigureBlock_decode(patched(8, 0x7fffffff), out));                        // count
  EXPECT_FALSE(FigureBlock_decode(patched(8, 4), out));                                 // one too many
  EXPECT_FALSE(FigureBlock_decode(patched(60, 7), out));                                // record < 8
  EXPECT_FALSE(FigureBlock_decode(patched(60, 0x7ffffff0), out));                       // record past
  EXPECT_FALSE(FigureBlock_decode(patched(64, 3), out)) << "3 is no figure kind";
  // A text without its terminator.
  std::string noEnd = good;
  for (size_t i = 28; i < 48; ++i) noEnd[i] = 'x';
  EXPECT_FALSE(FigureBlock_decode(noEnd, out));
  // A snapshot that lies about itself reads as nothing.
  std::string bad = good;
  bad[68 + 6] ^= 0x7f;
  FigureBlock damaged;
  ASSERT_TRUE(FigureBlock_decode(bad, damaged));
  damaged.records[0].snapshot.resize(5);
  EXPECT_TRUE(FigureBlock_figures(damaged, nullptr, &why).empty());
  EXPECT_FALSE(why.empty());
}
