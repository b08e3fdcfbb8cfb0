// Text_Editor drawing (filled frame, text with the selection, the sunken
// border) and the hit test with small margins.
#include <gtest/gtest.h>

#include "figures/editor/text_editor.h"
#include "support/fixed_metrics.h"
#include "support/recording_surface.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

}  // namespace

TEST(TextEditorDraw, FillTextSelectionAndSunkenBorder) {
  Text_Box box(&metrics());
  box.SetBasePoint(100, 100);
  box.SetText("aソ");
  box.frameShape = TextBoxFrame_None;
  box.textColour = 0xFFFFFF;  // light text: a black ground
  Text_Editor e;
  e.BeginEdit(box, false);
  e.Select(3, 1);  // "ソ", anchor after the caret
  RecordingSurface s;
  e.Draw(s, DrawContext{});
  const TextBoxFrameBounds f = e.FrameBounds();
  const auto& calls = s.calls();
  ASSERT_GE(calls.size(), 7u);
  EXPECT_EQ(calls[0].op, "rect");
  EXPECT_EQ(calls[0].args, (std::vector<int>{f.left, f.top, f.right + 1, f.bottom + 1}));
  EXPECT_EQ(calls[0].state.pen.style, PenStyle::Null);
  EXPECT_EQ(calls[0].state.brush.colour, 0u);
  // The selected character is drawn highlighted although the anchor lies
  // after the caret, and the selection itself is left as it was.
  bool highlighted = false;
  for (const auto& c : calls)
    if (c.op == "text" && c.text == "ソ")
      highlighted = c.state.backgroundColour == SystemColour_highlight;
  EXPECT_TRUE(highlighted);
  EXPECT_EQ(e.anchor(), 3);
  EXPECT_EQ(e.caret(), 1);
  // Three rings, each as left-top then right-bottom.
  const size_t n = calls.size();
  const Colour want[6] = {0xD0C0B0, 0xD0C0B0, 0x202020, 0xD0C0B0, 0x202020, 0xFFFFFF};
  for (size_t k = 0; k < 6; ++k) {
    const auto& c = calls[n - 6 + k];
    EXPECT_EQ(c.op, "polyline");
    EXPECT_EQ(c.state.pen.colour, want[k]) << k;
  }
  const int in = 2;  // the innermost ring
  EXPECT_EQ(calls[n - 2].args,
            (std::vector<int>{f.left + in, f.bottom - in, f.left + in, f.top + in, f.right - in,
                              f.top + in}));
}

TEST(TextEditorDraw, HitTestGrowsSmallMarginsOnly) {
  Text_Box box(&metrics());
  box.SetBasePoint(100, 100);
  box.SetText("ab");
  Text_Editor e;
  e.BeginEdit(box, false);
  e.marginX = 2;  // after BeginEdit the margins are at least 16 and 4
  e.marginY = 0;
  e.Layout(metrics(), DrawContext{});
  const TextBoxFrameBounds f = e.FrameBounds();
  EXPECT_EQ(e.HitTest(f.left - 14, f.top, 100, 0).code, -1);
  EXPECT_EQ(e.HitTest(f.left - 15, f.top, 100, 0).code, 0);
  EXPECT_EQ(e.HitTest(f.left, f.bottom + 4, 100, 0).code, -1);
  EXPECT_EQ(e.FrameBounds(), f);  // the frame itself is unchanged
}
