#include <gtest/gtest.h>

#include "figures/text/text_box.h"
#include "support/recording_surface.h"
#include "text_box_fixture.h"

using namespace text_box_test;

namespace {

std::vector<std::string> frameCalls(int32_t shape, const DrawContext& ctx = {}, int32_t angle = 0) {
  Text_Box b;
  b.frameShape = shape;
  b.angle = angle;
  placed(b);
  RecordingSurface s;
  b.Draw(s, ctx);
  std::vector<std::string> out;
  for (const std::string& l : s.lines())
    if (l.rfind("text", 0) != 0) out.push_back(l);
  return out;
}

std::vector<RecordingSurface::Call> texts(const RecordingSurface& s) {
  std::vector<RecordingSurface::Call> out;
  for (const auto& c : s.calls())
    if (c.op == "text") out.push_back(c);
  return out;
}

}  // namespace

TEST(TextBoxDraw, FrameOfEveryShape) {
  using L = std::vector<std::string>;
  EXPECT_EQ(frameCalls(1), (L{"rect 92,86,133,108"}));
  EXPECT_EQ(frameCalls(2), (L{"roundrect 92,86,133,108,20,20"}));
  EXPECT_EQ(frameCalls(3), (L{"ellipse 92,86,133,108"}));
  EXPECT_EQ(frameCalls(4), (L{"polygon 112,86,132,97,112,108,92,97"}));
  EXPECT_EQ(frameCalls(5), (L{"polygon 97,86,137,86,127,107,87,107"}));
  EXPECT_EQ(frameCalls(0), (L{}));
  DrawContext z;
  z.zoomX = z.zoomY = 200;
  z.scrollX = 10;
  z.scrollY = 20;
  EXPECT_EQ(frameCalls(1, z), (L{"rect 174,152,255,195"}));
  EXPECT_EQ(frameCalls(2, z), (L{"roundrect 174,152,255,195,40,40"}));
  // Rotated by 90 degrees (clockwise) about the base point (100, 100).
  EXPECT_EQ(frameCalls(1, {}, 90), (L{"polygon 114,92,114,132,93,132,93,92"}));
  const L ell = frameCalls(3, {}, 90);
  ASSERT_EQ(ell.size(), 1u);
  EXPECT_EQ(std::count(ell[0].begin(), ell[0].end(), ','), 143);  // 72 points
}

TEST(TextBoxDraw, PensBrushesAndStateRestored) {
  Text_Box b;
  b.frameWidth = 3;
  b.frameColour = 0x0000FF;
  b.fillColour = 0x00FF00;
  placed(b);
  RecordingSurface s;
  const SurfaceState before = s.state();
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 200;
  b.Draw(s, ctx);
  ASSERT_FALSE(s.calls().empty());
  EXPECT_EQ(s.calls()[0].state.pen, Pen::solid(0x0000FF, 6));
  EXPECT_EQ(s.calls()[0].state.brush, Brush::solid(0x00FF00));
  EXPECT_EQ(s.state().pen, before.pen);
  EXPECT_EQ(s.state().brush, before.brush);
  EXPECT_EQ(s.state().font, before.font);

  b.opacity = 50;
  b.frameWidth = 0;
  s.clear();
  b.Draw(s, {});
  EXPECT_EQ(s.calls()[0].state.brush, Brush::hatched(HatchStyle::Vertical, 0x00FF00));
  EXPECT_EQ(s.calls()[0].state.pen.style, PenStyle::Null);
  b.opacity = 0;
  s.clear();
  b.Draw(s, {});
  EXPECT_EQ(s.calls()[0].state.brush.style, BrushStyle::Null);
}

TEST(TextBoxDraw, TextPerCharacterWholeLinesAndVertical) {
  Text_Box b;
  b.SetText("ab\n表");
  b.SetTextMetrics(&metrics());
  b.SetBasePoint(100, 100);
  DrawContext ctx;
  ctx.defaultLineSpacing = 20;
  RecordingSurface s;
  b.Draw(s, ctx);
  auto t = texts(s);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(RecordingSurface::describe(t[0], false), "text 100,101 \"a\"");
  EXPECT_EQ(RecordingSurface::describe(t[1], false), "text 108,101 \"b\"");
  EXPECT_EQ(t[2].text, "表");
  EXPECT_EQ(t[2].args, (std::vector<int>{100, 121}));
  EXPECT_EQ(t[0].state.font.height, 16);
  EXPECT_EQ(t[0].state.textVAlign, TextVAlign::Baseline);
  EXPECT_EQ(t[0].state.backgroundMode, BackgroundMode::Opaque);
  EXPECT_EQ(t[0].state.backgroundColour, 0xFFFFFFu);

  // Centred: shifted by half the line width.
  b.alignment = 1;
  s.clear();
  b.Draw(s, ctx);
  EXPECT_EQ(texts(s)[0].args, (std::vector<int>{92, 101}));

  // Not the screen: whole lines aligned by the surface, tabs as blanks.
  b.SetText("a\tb");
  ctx.directOutput = true;
  ctx.textZoom = 200;
  s.clear();
  b.Draw(s, ctx);
  t = texts(s);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].text, "a      b");
  EXPECT_EQ(t[0].state.textHAlign, TextHAlign::Centre);
  EXPECT_EQ(t[0].state.font.height, 32);

  // Vertical text: the vertical face, escapement 2700, the frame turned.
  Text_Box v;
  v.vertical = true;
  placed(v);
  s.clear();
  v.Draw(s, {});
  ASSERT_EQ(s.calls()[0].op, "polygon");
  t = texts(s);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].state.font.face, "@ＭＳ Ｐゴシック");
  EXPECT_EQ(t[0].state.font.escapement, 2700);
  EXPECT_EQ(t[0].args[0], t[1].args[0]);  // one column, downwards
  EXPECT_LT(t[0].args[1], t[1].args[1]);
}

TEST(TextBoxDraw, ConditionGreyPagenumClipAndHandles) {
  Text_Box b;
  b.SetProperty(30, "mode=a", "");
  placed(b);
  DrawContext ctx;
  RecordingSurface s;
  b.Draw(s, ctx);
  EXPECT_EQ(texts(s)[0].state.textColour, 0u);  // undefined variable
  ctx.filterVariables.entries[3] = {"mode", "b"};
  s.clear();
  b.Draw(s, ctx);
  EXPECT_EQ(texts(s)[0].state.textColour, 0xC0C0C0u);
  ctx.filterVariables.entries[3].value = "a";
  s.clear();
  b.Draw(s, ctx);
  EXPECT_EQ(texts(s)[0].state.textColour, 0u);

  Text_Box p;
  p.SetId("pagenum");
  placed(p);
  ctx.pageNumber = 7;
  s.clear();
  p.Draw(s, ctx);
  EXPECT_EQ(texts(s).size(), 1u);
  EXPECT_EQ(texts(s)[0].text, "7");

  // Wholly outside the repaint area: nothing.
  ctx.clipLeft = 500;
  s.clear();
  p.Draw(s, ctx);
  EXPECT_TRUE(s.calls().empty());

  // Handles: squares at the eight frame points, crosses when locked.
  Text_Box h;
  placed(h);
  s.clear();
  h.DrawHandles(s, {}, 0x00FFFF, 0);
  ASSERT_EQ(s.calls().size(), 8u);
  EXPECT_EQ(s.lines()[0], "rect 89,83,95,89");
  EXPECT_EQ(s.lines()[7], "rect 129,104,135,110");
  EXPECT_EQ(s.calls()[0].state.brush, Brush::solid(0x00FFFF));
  h.SetLocked(true);
  s.clear();
  h.DrawHandles(s, {}, 0x00FFFF, 0);
  EXPECT_EQ(s.calls().size(), 16u);
  EXPECT_EQ(s.lines()[0], "polyline 89,83,96,90");
  // Selected boxes draw their handles after themselves.
  h.SetSelected(true);
  s.clear();
  h.Draw(s, {});
  EXPECT_EQ(s.calls().back().op, "polyline");

  // A box that was never laid out draws nothing and does not raise.
  Text_Box n;
  s.clear();
  n.Draw(s, {});
  EXPECT_TRUE(s.calls().empty());
}
