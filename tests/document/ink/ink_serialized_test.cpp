// The serialised ink format: blocks coded as the format's writers code
// them decode to their points, our encoding decodes to the same strokes,
// and damaged blocks are refused whole; a page's ink keeps its file bytes
// until it changes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "document/ink/ink_serialized.h"
#include "document/ink/page_ink.h"
#include "document/note/ink_layer_files.h"

namespace {

std::string bytes(std::initializer_list<int> v) {
  std::string s;
  for (const int b : v) s += static_cast<char>(b);
  return s;
}

TEST(InkSerialized, HuffmanAndGorillaCodedStrokesDecode) {
  // x: Huffman table 0 on the values 1, -1, 2, 3 (prefixes 10, 10, 110,
  // 110 with their data and sign bits); y: four zeros.
  const std::string huffman = bytes({0, 8, 10, 6, 4, 0x80, 0x97, 0x1A, 0x80, 0x00});
  const auto a = InkIsf_decode(huffman);
  ASSERT_TRUE(a);
  ASSERT_EQ(a->size(), 1u);
  EXPECT_EQ(a->front().points, (std::vector<InkPoint>{{1, 0, 0}, {-1, 0, 0}, {2, 0, 0}, {3, 0, 0}}));

  // A drawing-attributes block (colour 255, width 100, pressure ignored),
  // a translation by (0, 10) and x in 4-bit second differences (1, 2, 2),
  // y in 3 bits (2, 0, 0).
  const std::string attributes = bytes({68, 0xFF, 0x01, 69, 100, 72, 0x14});
  std::string body = bytes({3, 7}) + attributes + bytes({20, 0, 0, 0, 0, 0, 0, 0x20, 0x41});
  body += bytes({10, 7, 3, 0x24, 0x12, 0x20, 0x03, 0x40, 0x00});
  const auto b = InkIsf_decode(bytes({0, static_cast<int>(body.size())}) + body);
  ASSERT_TRUE(b);
  ASSERT_EQ(b->size(), 1u);
  EXPECT_EQ(b->front().points, (std::vector<InkPoint>{{1, 12, 0}, {4, 10, 0}, {9, 10, 0}}));
  EXPECT_EQ(b->front().attributes, (InkAttributes{255, 100, 53, true, InkRop_copyPen}));
}

TEST(InkSerialized, MetricsScaleThePressureAndTheTransformIndexPicksTheMap) {
  // A metric block (normal pressure 0 ... 255), a descriptor with the
  // pressure, a transform table (a scale by 2, a translation by 100) with
  // the second one chosen, and a stroke of two points.
  std::string body = bytes({25, 10, 56, 8, 0x00, 0xFE, 0x03, 0, 0, 0, 0, 0});
  body += bytes({5, 1, 56});
  body += bytes({15, 14, 17, 0, 0, 0, 0x40, 20, 0, 0, 0xC8, 0x42, 0, 0, 0, 0});
  body += bytes({23, 1});
  body += bytes({10, 9, 2, 0x03, 0x28, 0x01, 0x00, 0x09, 0x7F, 0xA0, 0x00});
  const auto s = InkIsf_decode(bytes({0, static_cast<int>(body.size())}) + body);
  ASSERT_TRUE(s);
  ASSERT_EQ(s->size(), 1u);
  EXPECT_EQ(s->front().points, (std::vector<InkPoint>{{101, 0, 1023}, {102, 0, 513}}));
}

TEST(InkSerialized, OurStrokesComeBackEqualAndDamageIsRefusedWhole) {
  std::mt19937 rng(32);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 200; ++round) {
    std::vector<InkStroke> strokes(static_cast<size_t>(pick(1, 6)));
    for (InkStroke& s : strokes) {
      s.attributes = InkTool_attributes(pick(25, 30));
      if (pick(0, 3) == 0) s.attributes.width = s.attributes.height = pick(1, 5000);
      const bool pressure = pick(0, 1) == 1;
      const int n = pick(1, 300);
      int x = pick(-2000000, 2000000), y = pick(-5000, 500000);
      for (int i = 0; i < n; ++i) {
        // Smooth runs and wild jumps (the extremes of the coordinates).
        if (pick(0, 50) == 0) x = pick(-1000000000, 1000000000);
        x += pick(-40, 40);
        y += pick(-40, 40);
        s.points.push_back({x, y, pressure ? pick(0, InkPoint_pressureMax) : 0});
      }
    }
    const std::string block = InkIsf_encode(strokes);
    ASSERT_EQ(InkIsf_decode(block), strokes) << round;
    ASSERT_EQ(InkIsf_decodeBase64(InkIsf_encodeBase64(strokes)), strokes);
    // Every shorter block is refused; bytes changed anywhere never crash.
    for (size_t cut = 0; cut < block.size(); cut += 1 + block.size() / 40)
      EXPECT_FALSE(InkIsf_decode(block.substr(0, cut))) << cut;
    std::string damaged = block;
    for (int k = 0; k < 8; ++k) damaged[static_cast<size_t>(pick(0, int(damaged.size()) - 1))] ^= char(pick(1, 255));
    (void)InkIsf_decode(damaged);
  }
  EXPECT_EQ(InkIsf_decodeBase64(" \n"), std::vector<InkStroke>{});
  EXPECT_FALSE(InkIsf_decodeBase64("AAE=<not base64>"));
}

TEST(InkSerialized, APageKeepsItsFileBytesUntilItsInkChanges) {
  InkStroke pen{{{100, 100, 0}, {900, 400, 0}}, InkTool_attributes(26)};
  InkStroke marker{{{0, 0, 0}, {2000, 0, 0}}, InkTool_attributes(30)};
  const std::string raw = InkIsf_encodeBase64(std::vector<InkStroke>{pen, marker});
  const std::string front = "\t<g id=\"zerbin-ink\" type=\"front\">\r\n  odd spacing kept\t</g>\r\n";
  const std::string back = "\t<g id=\"zerbin-ink\" type=\"back\">\t</g>\r\n";
  PageInk page;
  ASSERT_TRUE(page.load(raw, back, front));
  ASSERT_EQ(page.strokes().size(), 2u);
  EXPECT_EQ(page.rawBase64(), raw);
  EXPECT_EQ(page.layerText(InkLayer_front), front);
  EXPECT_EQ(page.layerText(InkLayer_back), back);

  // Moved: the groups are made from the strokes, the marker in the back.
  const uint32_t ids[] = {page.strokes()[1].id};
  page.moveBy(ids, 0, 265);
  ASSERT_TRUE(page.changed());
  EXPECT_NE(page.layerText(InkLayer_back).find("stroke-opacity:0.30"), std::string::npos);
  const auto again = InkIsf_decodeBase64(page.rawBase64());
  ASSERT_TRUE(again);
  EXPECT_EQ((*again)[1].points[0].y, 265);
  EXPECT_NE(page.layerText(InkLayer_front).find(page.rawBase64().substr(0, 73)), std::string::npos);

  // A raw block that does not decode: the strokes come from the groups,
  // and the bytes stay as they were.
  const std::string groups = InkLayer_groupText(std::vector<InkStroke>{pen}, InkLayer_front, "");
  EXPECT_FALSE(page.load("QUJDRA==", "", groups));
  ASSERT_EQ(page.strokes().size(), 1u);
  EXPECT_EQ(page.strokes()[0].stroke.points.size(), 2u);
  EXPECT_EQ(page.rawBase64(), "QUJDRA==");
  EXPECT_EQ(page.layerText(InkLayer_front), groups);
}

}  // namespace
