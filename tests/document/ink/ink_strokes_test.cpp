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

namespace {

TEST(InkStrokes, StrokesComeBackFromTheirLayerGroups) {
  InkStroke pen = line(-264, 0, 2646, 1323, 4);
  pen.attributes = InkTool_attributes(26);
  InkStroke dot = line(529, 529, 529, 529, 1);
  InkStroke marker = line(0, 2646, 5292, 2646, 3);
  marker.attributes = InkTool_attributes(29);
  const std::vector<InkStroke> all = {pen, dot, marker};
  std::vector<InkStroke> back = InkLayer_strokesOfGroup(InkLayer_groupText(all, InkLayer_front, ""));
  const std::vector<InkStroke> markers = InkLayer_strokesOfGroup(InkLayer_groupText(all, InkLayer_back, ""));
  ASSERT_EQ(back.size(), 2u);
  ASSERT_EQ(markers.size(), 1u);
  back.push_back(markers[0]);
  for (size_t k = 0; k < all.size(); ++k) {
    ASSERT_EQ(back[k].points.size(), all[k].points.size()) << k;
    for (size_t i = 0; i < all[k].points.size(); ++i) {
      // A tenth of a pixel (a whole one for markers) is 2.6 ink units.
      const int32_t slack = k == 2 ? 14 : 2;
      EXPECT_NEAR(back[k].points[i].x, all[k].points[i].x, slack) << k << " " << i;
      EXPECT_NEAR(back[k].points[i].y, all[k].points[i].y, slack) << k << " " << i;
    }
    EXPECT_EQ(back[k].attributes.colour, all[k].attributes.colour) << k;
    EXPECT_EQ(back[k].attributes.rasterOp, all[k].attributes.rasterOp) << k;
    EXPECT_NEAR(back[k].attributes.width, all[k].attributes.width, 3) << k;
  }
  // Damaged groups give what they can, never more than they hold.
  EXPECT_TRUE(InkLayer_strokesOfGroup("<g id=\"zerbin-stroke\"><line x1=\"a\"").empty());
  const std::vector<InkStroke> odd =
      InkLayer_strokesOfGroup("<g id=\"zerbin-stroke\"><line x1=\"a\" y2=\"1e300\"/></g>");
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].points, (std::vector<InkPoint>{{0, 0, 0}, {0, 2000000000, 0}}));
  EXPECT_TRUE(InkLayer_strokesOfGroup("<line x1=\"1\" y1=\"1\" x2=\"2\" y2=\"2\"/>").empty());
}

}  // namespace

namespace {

TEST(InkStrokes, SelectedInkIsHitMovedAndResized) {
  std::vector<InkStroke> ink = {line(0, 0, 1000, 0, 101), line(0, 500, 0, 1500, 2)};
  EXPECT_EQ(InkStrokes_bounds(ink), (Rect32{0, 0, 1000, 1500}));
  EXPECT_EQ(InkStrokes_bounds({}), Rect32{});
  // ±260 around x = 500 holds 53 of the 101 points; far away none.
  EXPECT_NEAR(InkStroke_shareNear(ink[0], 500, 100), 53.0 / 101, 1e-12);
  EXPECT_EQ(InkStroke_shareNear(ink[0], 500, 300), 0);
  InkStrokes_moveBy(ink, 10, -20);
  EXPECT_EQ(InkStrokes_bounds(ink), (Rect32{10, -20, 1000, 1500}));
  // Dragged to half the size; then to nothing, which stays 100 units.
  InkStrokes_scaleToRectangle(ink, {0, 0, 500, 750});
  EXPECT_EQ(InkStrokes_bounds(ink), (Rect32{0, 0, 500, 750}));
  EXPECT_EQ(ink[1].points[0], (InkPoint{0, 250, 0}));
  InkStrokes_scaleToRectangle(ink, {7, 7, 0, -5});
  EXPECT_EQ(InkStrokes_bounds(ink), (Rect32{7, 7, 100, 100}));
}

}  // namespace
