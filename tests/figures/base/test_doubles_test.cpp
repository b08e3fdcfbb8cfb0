// The test doubles the figure kinds' tests rely on.
#include <gtest/gtest.h>

#include "support/fixed_metrics.h"
#include "support/recording_surface.h"

TEST(FixedMetrics, NarrowHalfWideFullAndTrailBytesRepeat) {
  FixedMetrics m;
  FontSpec f;
  f.height = 16;
  EXPECT_EQ((TextExtent{8 + 16 + 8, 16}), m.textExtent(f, "aソb"));
  EXPECT_EQ((std::vector<int>{0, 8, 8, 24, 32}), m.caretPositions(f, "aソb"));
  // A lone lead byte at the end counts as one narrow byte.
  EXPECT_EQ((std::vector<int>{0, 8, 16}), m.caretPositions(f, "a\x83"));
  FontMetrics fm = m.fontMetrics(f);
  EXPECT_EQ(12, fm.ascent);
  EXPECT_EQ(4, fm.descent);
  EXPECT_EQ(16, fm.lineHeight);
  f.height = 1;
  EXPECT_EQ(1, m.textExtent(f, "a").width);
}

TEST(RecordingSurface, RecordsCallsWithTheirState) {
  RecordingSurface s;
  {
    ScopedPen pen(s, {PenStyle::Dash, 2, 0x0000FF});
    ScopedBrush brush(s, Brush::null());
    s.moveTo(1, 2);
    s.lineTo(3, 4);
    s.textOut(5, 6, "表");
  }
  {
    SurfaceSaver saver(s);
    s.setRasterOp(RasterOp::Xor);
    s.setFont(FontSpec{"Arial", 10, true, false, false, 900});
    s.ellipse(0, 0, 4, 4);
  }
  EXPECT_EQ((std::vector<std::string>{
                "polyline 1,2,3,4 pen=dash/2/0000ff brush=null/000000 rop=copy",
                "text 5,6 \"表\" pen=dash/2/0000ff brush=null/000000 rop=copy",
                "ellipse 0,0,4,4 pen=solid/1/000000 brush=solid/ffffff rop=xor"}),
            s.lines(true));
  EXPECT_EQ(900, s.calls()[2].state.font.escapement);
  EXPECT_EQ(RasterOp::Copy, s.state().rasterOp);
  EXPECT_EQ((SurfacePoint{3, 4}), s.state().current);
}
