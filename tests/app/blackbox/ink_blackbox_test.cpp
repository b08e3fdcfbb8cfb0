// Pen ink through the built program: a public copy ("-cs") keeps a page's
// ink groups and raw block byte for byte, and a page image ("-cp") shows
// the ink, from the raw block or, when that does not decode, from the
// groups.
#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "core/filex/filex.h"
#include "document/ink/ink_serialized.h"
#include "document/note/ink_layer_files.h"
#include "zerbin_run.h"

using namespace testing_support;

namespace {

std::string noteWithInk(const std::string& raw, const std::vector<InkStroke>& strokes) {
  std::vector<InkStroke> pens, markers;
  for (const InkStroke& s : strokes) (s.attributes.rasterOp == InkRop_maskPen ? markers : pens).push_back(s);
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
         "<svg width=\"00300\" height=\"00200\" sub_doctype=\"zerbin-300\">\n"
         "<text x=\"20\" y=\"30\" style=\"font-size:12pt\">ink</text>\n" +
         InkLayer_groupText(markers, InkLayer_back, "") + InkLayer_groupText(pens, InkLayer_front, raw) +
         "</svg>\n";
}

int darkPixels(const QImage& image, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qBlue(image.pixel(x, y)) < 100 && qRed(image.pixel(x, y)) > 150) ++n;
  return n;
}

TEST(InkBlackBox, PublicCopiesKeepInkAndPageImagesShowIt) {
  TempDir dir;
  InkStroke pen{{}, InkTool_attributes(26)};
  pen.attributes.width = pen.attributes.height = 200;
  for (int i = 0; i <= 40; ++i) pen.points.push_back({2646 + i * 100, 2646 + (i % 2) * 50, 600});
  InkStroke marker{{{2000, 4000, 0}, {6000, 4000, 0}}, InkTool_attributes(30)};
  const std::vector<InkStroke> strokes{pen, marker};
  const std::string good = noteWithInk(InkIsf_encodeBase64(strokes), strokes);
  const std::string broken = noteWithInk("QUJDREVGR0g=", strokes);
  for (const auto& [name, text] : {std::pair{"good", good}, std::pair{"broken", broken}}) {
    const std::string note = dir.file(std::string(name) + ".svg");
    FileX_writeWhole(note, text);
    const std::string copy = dir.file(std::string(name) + ".copy.svg");
    ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", note, copy});
    ASSERT_EQ(r.status, 0) << r.echo;
    const std::string out = ReadFileBytes(copy);
    const size_t front = text.find("\t<g id=\"zerbin-ink\" type=\"front\">");
    const std::string group = text.substr(front, text.find("</svg>") - front);
    std::string crlf;
    for (const char c : group) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(out.find(group) != std::string::npos || out.find(crlf) != std::string::npos)
        << name << "\n" << out;

    const std::string png = dir.file(std::string(name) + ".png");
    r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", note, png});
    ASSERT_EQ(r.status, 0) << r.echo;
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    // The red pen from (100, 100) to (250, 102): red pixels along it.
    EXPECT_GT(darkPixels(image, QRect(110, 96, 120, 10)), 200) << name;
    // The yellow marker at y = 151.
    const QRgb m = image.pixel(150, 151);
    EXPECT_GT(qRed(m), 200) << name;
    EXPECT_LT(qBlue(m), 100) << name;
  }
}

}  // namespace
