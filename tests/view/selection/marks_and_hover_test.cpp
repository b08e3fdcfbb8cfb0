// What the view paints for the selection, and the hover cursor and link
// tip, including the file lock that another holder may have.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "core/lock/named_lock.h"
#include "core/prompts/user_prompts.h"
#include "selection_page.h"
#include "support/recording_surface.h"
#include "support/test_support.h"
#include "view/selection/hover_cursor.h"
#include "view/selection/selection_marks.h"

using namespace selection_test;

namespace {

// The squares drawn as handles: their centres and fill colours.
struct Square {
  int x, y;
  Colour fill, outline;
};
std::vector<Square> squares(const RecordingSurface& s) {
  std::vector<Square> out;
  for (const auto& c : s.calls()) {
    if (c.op != "rect") continue;
    EXPECT_EQ(c.args[2] - c.args[0], 6);  // (x - 3, y - 3) .. (x + 3, y + 3)
    out.push_back({c.args[0] + 3, c.args[1] + 3, c.state.brush.colour, c.state.pen.colour});
  }
  return out;
}

}  // namespace

TEST(SelectionMarks, HeldFigureInHighlightOthersInverse) {
  Page pg;
  ViewSelection s(pg.list);
  Click(s, {15, 80});                // big
  Click(s, {350, 125}, kCtrl);       // the turned box, held
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = ctx.textZoom = 200;
  ctx.scrollX = 100;
  ctx.scrollY = 50;
  RecordingSurface surface;
  RenderSelectionMarks(surface, ctx, s);
  const std::vector<Square> sq = squares(surface);
  ASSERT_EQ(sq.size(), 16u);
  // big first (not held): inverse fill, highlight outline, at device
  // positions page * 2 - scroll: its top-left handle (10, 10) -> (-80, -30).
  EXPECT_EQ(sq[0].x, -80);
  EXPECT_EQ(sq[0].y, -30);
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(sq[i].fill, SystemColour_highlight ^ 0xFFFFFFu);
    EXPECT_EQ(sq[i].outline, SystemColour_highlight);
  }
  // The turned box last, in the highlight colour; its bottom-right handle
  // (page (324, 176)) at (548, 302), its top-left (375, 75) at (650, 100).
  for (size_t i = 8; i < 16; ++i) {
    EXPECT_EQ(sq[i].fill, SystemColour_highlight);
    EXPECT_EQ(sq[i].outline, SystemColour_highlight ^ 0xFFFFFFu);
  }
  EXPECT_EQ(sq[8].x, 650);
  EXPECT_EQ(sq[8].y, 100);
  EXPECT_EQ(sq[15].x, 548);
  EXPECT_EQ(sq[15].y, 302);
  EXPECT_EQ(surface.state().pen, Pen{});  // the surface is left as it was

  // Nothing for printing or with the handles off; a locked held figure
  // shows crosses.
  RecordingSurface none;
  ctx.directOutput = true;
  RenderSelectionMarks(none, ctx, s);
  ctx.directOutput = false;
  ctx.showHandles = false;
  RenderSelectionMarks(none, ctx, s);
  EXPECT_TRUE(none.calls().empty());
  ctx.showHandles = true;
  pg.turned->SetLocked(true);
  RecordingSurface crosses;
  RenderSelectionMarks(crosses, ctx, s);
  ASSERT_EQ(crosses.calls().size(), 8u + 16u);
  EXPECT_EQ(crosses.calls().back().op, "polyline");
  EXPECT_EQ(crosses.calls().back().state.pen.colour, SystemColour_highlight ^ 0xFFFFFFu);
}

TEST(SelectionMarks, RubberBandHatchedDashDotClipped) {
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 50;
  RecordingSurface surface;
  const SurfaceRect page{0, 0, 300, 200};
  RenderRubberBand(surface, ctx, Rect32{100, 40, 201, 61}, page);
  ASSERT_EQ(surface.calls().size(), 1u);
  const auto& c = surface.calls()[0];
  EXPECT_EQ(c.op, "rect");
  EXPECT_EQ(c.args, (std::vector<int>{50, 20, 150, 50}));
  EXPECT_EQ(c.state.pen, (Pen{PenStyle::DashDot, 1, SystemColour_highlight}));
  EXPECT_EQ(c.state.brush, Brush::hatched(HatchStyle::ForwardDiagonal, SystemColour_highlight));
  EXPECT_EQ(c.state.backgroundMode, BackgroundMode::Transparent);
  EXPECT_EQ(c.state.clip, std::optional<SurfaceRect>(page));
  EXPECT_FALSE(surface.state().clip.has_value());
  EXPECT_EQ(surface.state().backgroundMode, BackgroundMode::Opaque);
}

TEST(HoverCursor, RulesInOrder) {
  Page pg;
  ViewSelection s(pg.list);
  HoverContext ctx;
  ctx.pageShown = true;
  auto at = [&](int32_t x, int32_t y) { return Hover_decide(s, {x, y}, ctx).cursor; };
  EXPECT_EQ(at(250, 350), HoverCursor::Arrow);       // empty canvas, select tool
  EXPECT_EQ(at(40, 35), HoverCursor::MoveFigure);    // a body
  EXPECT_EQ(at(395, 104), HoverCursor::MoveText);    // a text box's body
  EXPECT_EQ(at(230, 255), HoverCursor::MoveFigure);  // a line's body
  EXPECT_EQ(at(200, 250), HoverCursor::SizeAll);     // a line point
  EXPECT_EQ(at(324, 176), HoverCursor::SizeNESW);    // the turned box's corner
  EXPECT_EQ(at(605, 405), HoverCursor::SizeNWSE);    // the canvas corner
  EXPECT_EQ(at(700, 100), HoverCursor::Arrow);       // beyond the canvas
  ctx.zoom = 10;                                     // the corner reaches 80 units
  EXPECT_EQ(at(680, 400), HoverCursor::SizeNWSE);
  ctx.zoom = 100;
  ctx.tool = 12;                                     // a drawing tool
  EXPECT_EQ(at(250, 350), HoverCursor::Tool);
  ctx.tool = 0;
  // Two selected: over a selected one, the move cursor.
  Click(s, {15, 80});
  Click(s, {230, 255}, kCtrl);
  EXPECT_EQ(at(15, 80), HoverCursor::MoveFigure);
  // Locked figures and viewer mode: the arrow.
  pg.inner->SetLocked(true);
  EXPECT_EQ(at(40, 35), HoverCursor::Arrow);
  ctx.viewerMode = true;
  EXPECT_EQ(at(230, 255), HoverCursor::Arrow);
  ctx.viewerMode = false;
  // A link: the hand and the tip, but not on the held figure.
  pg.over->url = "http://example.com/a";
  HoverResult r = Hover_decide(s, {150, 110}, ctx);
  EXPECT_EQ(r.cursor, HoverCursor::Hand);
  EXPECT_EQ(r.tipText, "http://example.com/a");
  Click(s, {150, 110});
  r = Hover_decide(s, {150, 110}, ctx);
  EXPECT_EQ(r.cursor, HoverCursor::MoveFigure);
  EXPECT_EQ(r.tipText, "http://example.com/a");
  // While a text box is edited in place: the I-beam over the editor and
  // over other text boxes, not in the multi-select tool.
  ctx.editor = pg.a;
  EXPECT_EQ(at(395, 104), HoverCursor::IBeam);
  const Rect32 bb = pg.b->GetBounds();
  EXPECT_EQ(at(bb.x + 10, bb.y + bb.h / 2), HoverCursor::IBeam);
  ctx.tool = SelectionTool_multiSelect;
  EXPECT_EQ(at(bb.x + 10, bb.y + bb.h / 2), HoverCursor::MoveText);
  ctx.editor = nullptr;
  // The rotate tool over a handle.
  ctx.tool = SelectionTool_rotate;
  Click(s, {350, 125});
  EXPECT_EQ(at(375, 75), HoverCursor::Rotate);
}

TEST(HoverCursor, TipTextRelativeAndCutOnCharacterBoundary) {
  EXPECT_EQ(Hover_tipText("/notes/a/b.svg", "/notes/"), "a/b.svg");
  std::string longText(509, 'x');
  longText += testing_support::Sjis(u8"ああ");  // 4 bytes: one fits half
  const std::string tip = Hover_tipText(longText, "");
  EXPECT_EQ(tip.size(), 511u);
  EXPECT_EQ(tip.substr(509), testing_support::Sjis(u8"あ"));
}

TEST(HoverCursor, SkippedWhileAnotherHolderHasTheFileLock) {
  testing_support::TempDir runtime;
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);

  Page pg;
  pg.big->url = "http://example.com/";
  ViewSelection s(pg.list);
  HoverContext ctx;
  ctx.pageShown = true;
  NamedLock fileLock(Hover_fileLockName);
  std::string tip = "old tip";

  std::mutex m;
  std::condition_variable cv;
  bool held = false, release = false;
  std::thread saver([&] {
    NamedLock other(Hover_fileLockName);
    ASSERT_TRUE(other.lock(NamedLock_infinite));
    {
      std::unique_lock<std::mutex> g(m);
      held = true;
      cv.notify_all();
      cv.wait(g, [&] { return release; });
    }
    other.unlock();
  });
  {
    std::unique_lock<std::mutex> g(m);
    cv.wait(g, [&] { return held; });
  }
  // The saver has it: nothing is tested, the last cursor and tip stay, and
  // the call returns at once.
  const auto start = std::chrono::steady_clock::now();
  HoverResult r = Hover_update(s, {15, 80}, ctx, fileLock, tip);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_TRUE(r.skipped);
  EXPECT_EQ(r.cursor, HoverCursor::Keep);
  EXPECT_FALSE(r.tipChanged);
  EXPECT_EQ(tip, "old tip");
  {
    std::lock_guard<std::mutex> g(m);
    release = true;
  }
  cv.notify_all();
  saver.join();

  // Free again: the link under the mouse gives the hand and a new tip.
  r = Hover_update(s, {15, 80}, ctx, fileLock, tip);
  EXPECT_FALSE(r.skipped);
  EXPECT_EQ(r.cursor, HoverCursor::Hand);
  EXPECT_TRUE(r.tipChanged);
  EXPECT_EQ(tip, "http://example.com/");
  EXPECT_FALSE(fileLock.heldByThisThread());  // released after the test
  r = Hover_update(s, {15, 80}, ctx, fileLock, tip);
  EXPECT_FALSE(r.tipChanged);
  // Off the link the tip goes.
  r = Hover_update(s, {250, 350}, ctx, fileLock, tip);
  EXPECT_TRUE(r.tipChanged);
  EXPECT_EQ(tip, "");
  // Before the page was shown nothing happens.
  ctx.pageShown = false;
  EXPECT_TRUE(Hover_update(s, {15, 80}, ctx, fileLock, tip).skipped);

  if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  else unsetenv("XDG_RUNTIME_DIR");
}

namespace {

// A figure whose hit test fails with a given code (a text box whose layout
// is unknown fails with 9231).
class FailingFigure final : public CadFigure {
 public:
  explicit FailingFigure(int32_t code) : code_(code) {}
  FigureKind GetKind() const override { return FigureKind_Rect; }
  std::string GetKindNameJapanese() const override { return ""; }
  std::string GetKindNameEnglish() const override { return ""; }
  void Draw(Surface&, const DrawContext&) override {}
  void DrawHandles(Surface&, const DrawContext&, Colour, int32_t) override {}
  void CopyFrom(const CadPrim&, const FigureList*) override {}
  void CopyStyleFrom(const CadPrim&, int32_t) override {}
  bool Equals(const CadPrim&, int32_t) const override { return false; }
  std::unique_ptr<CadPrim> Clone(const FigureList*) const override {
    return std::make_unique<FailingFigure>(code_);
  }
  size_t GetSnapshotSize() const override { return 0; }
  void WriteSnapshot(SnapshotWriter&) const override {}
  void ReadSnapshot(SnapshotReader&) override {}
  HitResult HitTest(int32_t, int32_t, int32_t, int32_t) override {
    if (code_ == Zerbin_Err_NotSetDrawParam) Errors_RAISE(Zerbin_Err_NotSetDrawParam, "%s", "");
    Errors_RAISE(Errors_Unofficial, "%s", "broken figure");
  }
  Point32 GetHandlePoint(int32_t) const override { return {}; }
  void MoveBy(int32_t, int32_t) override {}
  void DragHandleTo(int32_t, int32_t, int32_t, bool, int32_t, bool) override {}
  bool IntersectsRect(const Rect32&) const override { return false; }
  int32_t GetEdge(int32_t) const override { return 0; }
  void SetEdge(int32_t, int32_t) override {}
  int32_t GetExtent(bool) const override { return 1; }
  void SetExtent(bool, int32_t) override {}
  int32_t GetPropertyCount() const override { return 0; }
  PropertyRow GetProperty(int32_t, bool, size_t, std::string_view) const override {
    return PropertyRow_pastEnd();
  }
  void SetProperty(int32_t, std::string_view, std::string_view) override {}

 private:
  int32_t code_;
};

}  // namespace

TEST(HoverCursor, FailingHitTestGivesArrowReportedUnlessLayoutUnknown) {
  for (int32_t code : {int32_t{Zerbin_Err_NotSetDrawParam}, int32_t{Errors_Unofficial}}) {
    Page pg;
    pg.list.append(std::make_unique<FailingFigure>(code));
    ViewSelection s(pg.list);
    HoverContext ctx;
    ctx.pageShown = true;
    ctx.tool = 12;  // a drawing tool: a plain miss would give its cursor
    NamedLock fileLock(Hover_fileLockName);
    std::string tip = "x";
    testing_support::TempDir dir;
    NonInteractivePrompts prompts(dir.file("echo.txt"));
    UserPrompts_set(&prompts);
    const HoverResult r = Hover_update(s, {250, 350}, ctx, fileLock, tip);
    UserPrompts_set(nullptr);
    EXPECT_EQ(r.cursor, HoverCursor::Arrow) << code;
    EXPECT_FALSE(r.skipped);
    EXPECT_EQ(tip, "");
    EXPECT_FALSE(fileLock.heldByThisThread());
    const std::string echoed = testing_support::ReadFileBytes(dir.file("echo.txt"));
    if (code == Zerbin_Err_NotSetDrawParam) {
      EXPECT_EQ(echoed, "");
    } else {
      EXPECT_NE(echoed.find("broken figure"), std::string::npos) << echoed;
    }
  }
}
