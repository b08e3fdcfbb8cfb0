// Text_Editor drawing (filled frame, text with the selection, the sunken
// border) and the hit test with small margins.
#include <gtest/gtest.h>

#include <chrono>

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

namespace {

bool anyHighlighted(const RecordingSurface& s) {
  for (const auto& c : s.calls())
    if (c.op == "text" && c.state.backgroundColour == SystemColour_highlight) return true;
  return false;
}

std::string shownText(const RecordingSurface& s) {
  std::string out;
  for (const auto& c : s.calls())
    if (c.op == "text") out += c.text;
  return out;
}

}  // namespace

// Whatever the box's frame looks like, the editor shows a plain filled
// rectangle in the box's fill colour, the text and its own border: no
// ellipse, diamond, parallelogram, rounded corners, hatch or frame pen.
TEST(TextEditorDraw, FramedBoxesAreEditedOnAPlainFilledRectangle) {
  for (const int32_t shape : {TextBoxFrame_Rectangle, TextBoxFrame_RoundRect,
                              TextBoxFrame_Ellipse, TextBoxFrame_Diamond,
                              TextBoxFrame_Parallelogram}) {
    for (const int32_t opacity : {100, 40}) {
      SCOPED_TRACE(testing::Message() << "shape " << shape << " opacity " << opacity);
      Text_Box box(&metrics());
      box.SetBasePoint(100, 100);
      box.SetText("ab\r\ncd");
      box.SetFrameShape(shape);
      box.frameWidth = 3;
      box.frameColour = 0x0000FF;
      box.fillColour = 0x00FFEE;
      box.opacity = opacity;
      Text_Editor e;
      e.BeginEdit(box, false);
      RecordingSurface s;
      e.Draw(s, DrawContext{});
      const TextBoxFrameBounds f = e.FrameBounds();
      const auto& calls = s.calls();
      ASSERT_GE(calls.size(), 11u);  // fill, four characters, six ring sides
      EXPECT_EQ(calls[0].op, "rect");
      EXPECT_EQ(calls[0].args, (std::vector<int>{f.left, f.top, f.right + 1, f.bottom + 1}));
      EXPECT_EQ(calls[0].state.pen.style, PenStyle::Null);
      EXPECT_EQ(calls[0].state.brush, Brush::solid(0x00FFEE));
      std::vector<std::string> ops;
      for (size_t k = 1; k < calls.size(); ++k) {
        ops.push_back(calls[k].op);
        EXPECT_NE(calls[k].state.pen.colour, 0x0000FFu) << k;  // no frame pen
        EXPECT_NE(calls[k].state.pen.width, 3) << k;
      }
      const std::vector<std::string> want = {"text",     "text",     "text",     "text",
                                             "polyline", "polyline", "polyline", "polyline",
                                             "polyline", "polyline"};
      EXPECT_EQ(ops, want);
      EXPECT_EQ(shownText(s), "abcd");
    }
  }
}

// A "pagenum" box shows the page number, but while it is edited the editor
// shows and edits the box's own text; ending the edit with the selection
// kept leaves the box showing the number again, without any highlight,
// while the kept selection stays for the commands that follow.
TEST(TextEditorDraw, PageNumberBoxIsEditedAsItsTextAndKeptSelectionIsNotHighlighted) {
  DrawContext ctx;
  ctx.pageNumber = 7;
  Text_Box box(&metrics());
  box.SetBasePoint(100, 100);
  box.SetText("No.");
  box.SetId("pagenum");
  box.placeholder = false;
  RecordingSurface before;
  box.Draw(before, ctx);
  EXPECT_EQ(shownText(before), "7");

  Text_Editor e;
  e.BeginEdit(box, false, ctx);
  EXPECT_EQ(e.text(), "No.");
  e.Select(3, 3);
  e.HandleKey('x');
  e.Select(0, 2);  // "No"
  RecordingSurface editing;
  e.Draw(editing, ctx);
  EXPECT_EQ(shownText(editing), "No.x");
  std::string highlighted;
  for (const auto& c : editing.calls())
    if (c.op == "text" && c.state.backgroundColour == SystemColour_highlight) highlighted += c.text;
  EXPECT_EQ(highlighted, "No");
  // The caret follows the edited text, not the number: after "No" at 8
  // units a character.
  EXPECT_EQ(e.caretX, 16);

  e.EndEdit(box, true, true);
  EXPECT_EQ(box.text(), "No.x");
  EXPECT_EQ(box.selectionStart, 0);
  EXPECT_EQ(box.selectionEnd, 2);
  RecordingSurface after;
  box.Draw(after, ctx);
  EXPECT_EQ(shownText(after), "7");
  EXPECT_FALSE(anyHighlighted(after));

  // The same for an ordinary box: its kept selection is never drawn.
  Text_Box plain(&metrics());
  plain.SetBasePoint(10, 10);
  plain.SetText("hello");
  Text_Editor e2;
  e2.BeginEdit(plain, false, ctx);
  e2.Select(1, 4);
  RecordingSurface during;
  e2.Draw(during, ctx);
  EXPECT_TRUE(anyHighlighted(during));
  e2.EndEdit(plain, true, true);
  ASSERT_EQ(plain.selectionEnd, 4);
  RecordingSurface ended;
  plain.Draw(ended, ctx);
  EXPECT_EQ(shownText(ended), "hello");
  EXPECT_FALSE(anyHighlighted(ended));
}

// After a copy the editor is drawn with the selection shown, then, after a
// pause of 100 ms, drawn again as usual; the pause comes from the caller.
TEST(TextEditorDraw, BlinkSelectionDrawsWaitsAndDrawsAgain) {
  Text_Box box(&metrics());
  box.SetBasePoint(100, 100);
  box.SetText("copy me");
  Text_Editor e;
  e.BeginEdit(box, false);
  e.Select(5, 0);  // "copy ", anchor after the caret
  RecordingSurface s;
  std::vector<int> waits;
  size_t callsAtWait = 0;
  e.BlinkSelection(s, DrawContext{}, [&](int ms) {
    waits.push_back(ms);
    callsAtWait = s.calls().size();
  });
  EXPECT_EQ(waits, (std::vector<int>{100}));
  const auto& calls = s.calls();
  ASSERT_GT(callsAtWait, 0u);
  ASSERT_EQ(calls.size(), 2 * callsAtWait);  // two whole drawings
  std::string first, second;
  for (size_t k = 0; k < calls.size(); ++k) {
    const auto& c = calls[k];
    if (c.op == "text" && c.state.backgroundColour == SystemColour_highlight)
      (k < callsAtWait ? first : second) += c.text;
    if (k >= callsAtWait) {
      EXPECT_EQ(RecordingSurface::describe(c, true),
                RecordingSurface::describe(calls[k - callsAtWait], true))
          << k;
    }
  }
  EXPECT_EQ(first, "copy ");
  EXPECT_EQ(calls.back().op, "polyline");  // the border closes each drawing
  EXPECT_EQ(calls[callsAtWait - 1].op, "polyline");
  EXPECT_EQ(e.anchor(), 5);
  EXPECT_EQ(e.caret(), 0);

  // Without a pause function the blink really waits 100 ms.
  RecordingSurface real;
  const auto t0 = std::chrono::steady_clock::now();
  e.BlinkSelection(real, DrawContext{});
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
  EXPECT_EQ(real.calls().size(), calls.size());
}
