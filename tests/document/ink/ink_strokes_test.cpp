// Pen ink as data: the tools' attributes, strokes that are ink or a click,
// lasso and rectangle shares, and the layer groups a note carries.
#include <gtest/gtest.h>

#include "core/xml/xml_event_reader.h"
#include "document/ink/ink_strokes.h"
#include "document/note/ink_layer_files.h"

namespace {

InkStroke line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, size_t n) {
  InkStroke s;
  for (size_t i = 0; i < n; ++i) {
    const int32_t k = n > 1 ? static_cast<int32_t>(i) : 0, m = n > 1 ? static_cast<int32_t>(n - 1) : 1;
    s.points.push_back({x0 + (x1 - x0) * k / m, y0 + (y1 - y0) * k / m, 0});
  }
  return s;
}

TEST(InkStrokes, ToolsDrawAsTheirTableSays) {
  EXPECT_EQ(InkTool_attributes(25), (InkAttributes{0, 38, 38, false, InkRop_copyPen}));
  EXPECT_EQ(InkTool_attributes(27).colour, 16711680u);
  EXPECT_EQ(InkTool_attributes(30), (InkAttributes{4259839, 400, 400, true, InkRop_maskPen}));
  EXPECT_EQ(InkTool_attributes(31).rasterOp, InkRop_noOperation);
}

TEST(InkStrokes, ShortStrokesAreClicksUnlessTheyFollowQuickly) {
  // d = 40, n = 5: a click; within 700 ms or after choosing a pen: ink.
  EXPECT_FALSE(InkStroke_isInk(5000, false, line(0, 0, 40, 0, 5)));
  EXPECT_TRUE(InkStroke_isInk(699, false, line(0, 0, 40, 0, 5)));
  EXPECT_FALSE(InkStroke_isInk(700, false, line(0, 0, 40, 0, 5)));
  EXPECT_TRUE(InkStroke_isInk(5000, true, line(0, 0, 40, 0, 5)));
  EXPECT_FALSE(InkStroke_isInk(5000, false, line(0, 0, 100, 0, 5)));
  EXPECT_TRUE(InkStroke_isInk(5000, false, line(0, 0, 160, 0, 5)));
  EXPECT_TRUE(InkStroke_isInk(5000, false, line(0, 0, 50, 0, 20)));
  EXPECT_FALSE(InkStroke_isInk(5000, false, line(0, 0, 0, 0, 12)));  // a dot pressed long
}

TEST(InkStrokes, SharesInsideALassoAndARectangle) {
  const InkStroke s = line(0, 0, 900, 0, 10);  // x = 0, 100, ... 900
  const std::vector<InkPoint> lasso = {{-50, -50, 0}, {550, -50, 0}, {550, 50, 0}, {-50, 50, 0}};
  EXPECT_DOUBLE_EQ(InkStroke_shareInside(s, lasso), 0.6);
  EXPECT_DOUBLE_EQ(InkStroke_shareInside(s, Rect32{100, 0, 0, 0}), 0.1);
  EXPECT_EQ(InkStroke_shareInside(InkStroke{}, lasso), 0);
}

TEST(InkStrokes, LayerGroupsCarryLinesForOtherViewersAndTheRawData) {
  InkStroke pen = line(-13, 26, 2646, 529, 3);  // about (-0.5, 1) to (100, 20) pixels
  pen.points[0].pressure = InkPoint_pressureMax / 2;
  InkStroke marker = line(0, 0, 2646, 0, 2);
  marker.attributes = InkTool_attributes(30);
  const std::vector<InkStroke> both = {pen, marker};
  const std::string raw(80, 'A');
  const std::string front = InkLayer_groupText(both, InkLayer_front, raw);
  EXPECT_EQ(front,
            "\t<g id=\"zerbin-ink\" type=\"front\">\n"
            "\t<g id=\"zerbin-stroke\" style=\"stroke:rgb(0,0,0);stroke-linecap:round\">\n"
            "\t<line x1=\"-0.5\" y1=\"1.0\" x2=\"49.7\" y2=\"10.5\"\n\t\tstyle=\"stroke-width:0.7\"/>\n"
            "\t<line x1=\"49.7\" y1=\"10.5\" x2=\"100.0\" y2=\"20.0\"\n\t\tstyle=\"stroke-width:1.4\"/>\n"
            "\t</g>\n"
            "<zerbin-ink-rawdata>\n<![CDATA[\n" + std::string(73, 'A') + "\n" + std::string(7, 'A') +
                "\n]]>\n</zerbin-ink-rawdata>\n"
                "\t</g>\n");
  const std::string back = InkLayer_groupText(both, InkLayer_back, raw);
  EXPECT_EQ(back,
            "\t<g id=\"zerbin-ink\" type=\"back\">\n"
            "\t<g id=\"zerbin-stroke\" style=\"stroke:rgb(255,255,64);stroke-linecap:round;"
            "stroke-opacity:0.30;fill-opacity:0.0\">\n"
            "\t<line x1=\"0\" y1=\"0\" x2=\"100\" y2=\"0\"\n\t\tstyle=\"stroke-width:15.1\"/>\n"
            "\t</g>\n\t</g>\n");
  // What the note reader takes as an ink group: well-formed markup.
  XmlEventReader xml;
  xml.OpenBytes(front);
  int depth = 0, lines = 0;
  while (xml.Next()) {
    if (xml.Kind() == XmlEvent_start) ++depth;
    if (xml.Kind() == XmlEvent_end) --depth;
    if (xml.Kind() == XmlEvent_empty && xml.Name() == "line") ++lines;
  }
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(lines, 2);
}

}  // namespace
