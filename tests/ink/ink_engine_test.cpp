// The ink engine without a window, on a note of two pages with its undo
// history: what a stroke becomes, the lasso's share, attribute changes,
// and a seeded random walk of writing, erasing, selecting, moving,
// resizing, deleting, page turns, undo and redo, where every undo comes
// back to the ink as it was before that step and every redo to the ink
// after it.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "document/ink/ink_serialized.h"
#include "document/note/note_document.h"
#include "ink/ink_engine.h"
#include "ink/ink_paint.h"
#include "platform/surface/qt_surface.h"
#include "support/test_support.h"
#include "undo/undo_history.h"

namespace {

class Host final : public UndoHost {
 public:
  explicit Host(InkEngine& ink) : ink_(ink) {}
  void applyInk(NoteDocument&, const UndoRecord& record, bool redo) override {
    ink_.applyRecord(record, redo);
  }

 private:
  InkEngine& ink_;
};

struct Note {
  testing_support::TempDir dir;
  NoteDocument doc{dir.path()};
  UndoHistory undo;
  InkEngine ink{hooks()};
  Host host{ink};
  std::vector<std::pair<Point32, Point32>> clicks;
  uint32_t tick = 100000;

  Note() {
    doc.inkManager = &ink;
    doc.NewDocument(3, true);
    doc.AddPage(AddPage_next);
    doc.SelectPage(1);
  }
  ~Note() { doc.inkManager = nullptr; }
  InkEngineHooks hooks() {
    InkEngineHooks h;
    h.document = [this] { return &doc; };
    h.history = [this] { return &undo; };
    h.pageNumber = [this] { return doc.currentPageNumber(); };
    h.click = [this](Point32 a, Point32 b) { clicks.emplace_back(a, b); };
    return h;
  }
  // A stroke through page points, `pause` ms after the last one.
  void stroke(int32_t tool, const std::vector<std::pair<double, double>>& pts, uint32_t pause = 2000) {
    ink.chooseTool(tool);
    tick += pause;
    ink.press(pts[0].first, pts[0].second, 300, tick);
    for (size_t i = 1; i < pts.size(); ++i) ink.move(pts[i].first, pts[i].second, 300 + int(i));
    tick += 20;
    ink.release(pts.back().first, pts.back().second, tick);
  }
  // The ink of the shown page, in an order that does not depend on ids.
  std::vector<std::string> shown() const {
    std::vector<std::string> out;
    for (const PageInkStroke& s : ink.page().strokes())
      out.push_back(InkIsf_encode(std::vector<InkStroke>{s.stroke}));
    std::sort(out.begin(), out.end());
    return out;
  }
};

std::vector<std::pair<double, double>> line(double x0, double y0, double x1, double y1, int n) {
  std::vector<std::pair<double, double>> out;
  for (int i = 0; i < n; ++i) out.push_back({x0 + (x1 - x0) * i / (n - 1), y0 + (y1 - y0) * i / (n - 1)});
  return out;
}

TEST(InkEngine, StrokesBecomeInkClicksOrALassoSelection) {
  Note n;
  // Just chosen: even a dot is ink; later a dot is a click.
  n.stroke(25, {{10, 10}, {10, 10}});
  EXPECT_EQ(n.ink.page().strokes().size(), 1u);
  n.ink.chooseTool(25);
  n.stroke(26, line(100, 100, 300, 100, 20));  // chosen again: ink
  n.tick += 2000;
  n.ink.press(50, 60, 0, n.tick);
  n.ink.move(51, 61, 0);
  n.ink.release(52, 61, n.tick + 30);
  EXPECT_EQ(n.ink.page().strokes().size(), 2u);
  ASSERT_EQ(n.clicks.size(), 1u);
  EXPECT_EQ(n.clicks[0].first, (Point32{50, 60}));
  EXPECT_EQ(n.ink.tool(), 0);

  // A lasso around the left half of the long stroke holds 50 % of its
  // points: not enough; around all of it: selected, and the lasso leaves
  // no stroke.
  n.stroke(31, {{90, 80}, {200, 80}, {200, 120}, {90, 120}, {90, 80}});
  EXPECT_TRUE(n.ink.page().selection().empty());
  n.stroke(31, {{80, 70}, {320, 70}, {320, 130}, {80, 130}, {80, 70}});
  EXPECT_EQ(n.ink.page().selection().size(), 1u);
  EXPECT_EQ(n.ink.page().strokes().size(), 2u);
}

TEST(InkEngine, AttributesChangeAsOneStepAndComeBack) {
  Note n;
  n.stroke(25, line(100, 100, 300, 200, 10));
  n.ink.selectAllInk();
  const InkStroke before = n.ink.page().strokes()[0].stroke;
  ASSERT_TRUE(n.ink.applyAttribute(0, "rgb(0,128,0)"));
  ASSERT_TRUE(n.ink.applyAttribute(1, "120"));
  ASSERT_TRUE(n.ink.applyAttribute(2, "0"));
  EXPECT_FALSE(n.ink.applyAttribute(1, "wide"));
  const InkAttributes a = n.ink.page().strokes()[0].stroke.attributes;
  EXPECT_EQ(a.colour, 0x008000u);
  EXPECT_EQ(a.width, 120);
  EXPECT_TRUE(a.ignorePressure);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(n.undo.Undo(n.doc, &n.host));
  EXPECT_EQ(n.ink.page().strokes()[0].stroke, before);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(n.undo.Redo(n.doc, &n.host));
  EXPECT_EQ(n.ink.page().strokes()[0].stroke.attributes, a);
}

TEST(InkEngine, RandomWorkIsUndoneAndRedoneStepByStepAcrossPageTurns) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    Note n;
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::vector<std::string>> states{n.shown()};
    size_t at = 0;  // states[at] is the ink now
    for (int step = 0; step < 150; ++step) {
      const size_t recordsBefore = n.undo.current();
      const int op = pick(0, 9);
      if (op <= 2) {
        const double x = pick(20, 500), y = pick(20, 500);
        n.stroke(pick(25, 30), line(x, y, x + pick(-80, 80), y + pick(20, 80), pick(2, 30)));
      } else if (op == 3 && !n.ink.page().strokes().empty()) {
        const auto& all = n.ink.page().strokes();
        const InkPoint p = all[size_t(pick(0, int(all.size()) - 1))].stroke.points[0];
        n.ink.chooseEraser();
        n.ink.press(p.x / Ink_unitsPerPixel, p.y / Ink_unitsPerPixel, 0, n.tick += 2000);
        n.ink.release(p.x / Ink_unitsPerPixel + 3, p.y / Ink_unitsPerPixel, n.tick += 20);
      } else if (op == 4) {
        n.ink.chooseTool(0);
        n.ink.deselectAll();
        n.ink.selectInRect({pick(0, 400), pick(0, 400), pick(0, 300), pick(0, 300)});
      } else if ((op == 5 || op == 6) && n.ink.hasSelection()) {
        const PageInkStroke* s = n.ink.page().find(n.ink.page().selection()[0]);
        Point32 from{static_cast<int32_t>(std::lround(s->stroke.points[0].x / Ink_unitsPerPixel)),
                     static_cast<int32_t>(std::lround(s->stroke.points[0].y / Ink_unitsPerPixel))};
        if (op == 6) from = *n.ink.cornerMark();
        if (n.ink.pressSelection(from, 100)) {
          const Point32 to{from.x + pick(-40, 40), from.y + pick(-40, 40)};
          n.ink.dragSelection({(from.x + to.x) / 2, (from.y + to.y) / 2});
          n.ink.releaseSelection(to);
        }
      } else if (op == 7) {
        n.ink.deleteSelection();
      } else if (op == 8) {
        // To the other page and back: its ink is stored and read again.
        n.doc.SelectPage(2);
        n.doc.SelectPage(1);
      } else if (op == 9) {
        if (pick(0, 1) == 0 && at > 0) {
          ASSERT_TRUE(n.undo.Undo(n.doc, &n.host));
          --at;
        } else if (at + 1 < states.size()) {
          ASSERT_TRUE(n.undo.Redo(n.doc, &n.host));
          ++at;
        }
        ASSERT_EQ(n.doc.currentPageNumber(), 1);
        ASSERT_EQ(n.shown(), states[at]) << "seed " << seed << " step " << step;
        continue;
      }
      if (n.undo.current() != recordsBefore) {
        ASSERT_EQ(n.undo.current(), recordsBefore + 1) << "one step per change";
        states.resize(at + 1);
        states.push_back(n.shown());
        ++at;
      } else {
        ASSERT_EQ(n.shown(), states[at]) << "a change without a step, seed " << seed;
      }
    }
    // The walk did work (strokes, erasures, moves ... recorded).
    EXPECT_GT(states.size(), 40u) << seed;
    // All the way back and forth again.
    while (at > 0) {
      ASSERT_TRUE(n.undo.Undo(n.doc, &n.host));
      ASSERT_EQ(n.shown(), states[--at]);
    }
    while (at + 1 < states.size()) {
      ASSERT_TRUE(n.undo.Redo(n.doc, &n.host));
      ASSERT_EQ(n.shown(), states[++at]);
    }
  }
}

TEST(InkEngine, UndoTurnsToThePageOfItsInkAndFindsItsStrokesThere) {
  Note n;
  n.stroke(25, line(100, 100, 200, 150, 10));
  n.doc.SelectPage(2);
  n.stroke(27, line(300, 300, 350, 380, 10));
  n.stroke(28, line(50, 60, 250, 60, 5));
  const std::vector<std::string> page2 = n.shown();
  n.doc.SelectPage(1);
  const std::vector<std::string> page1 = n.shown();
  // The marker of page 2 goes: the undo shows page 2 first.
  ASSERT_TRUE(n.undo.Undo(n.doc, &n.host));
  EXPECT_EQ(n.doc.currentPageNumber(), 2);
  EXPECT_EQ(n.ink.page().strokes().size(), 1u);
  ASSERT_TRUE(n.undo.Undo(n.doc, &n.host));
  EXPECT_TRUE(n.ink.page().strokes().empty());
  ASSERT_TRUE(n.undo.Undo(n.doc, &n.host));
  EXPECT_EQ(n.doc.currentPageNumber(), 1);
  EXPECT_TRUE(n.ink.page().strokes().empty());
  // And forwards again, the pages stored and read back in between.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(n.undo.Redo(n.doc, &n.host));
  EXPECT_EQ(n.doc.currentPageNumber(), 2);
  EXPECT_EQ(n.shown(), page2);
  n.doc.SelectPage(1);
  EXPECT_EQ(n.shown(), page1);
}

// The layer pictures mended where the ink changed draw what drawing every
// stroke again draws.
TEST(InkEngine, MendedLayersDrawWhatAllStrokesDraw) {
  Note n;
  auto render = [&](bool direct) {
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QtSurface surface(image);
      DrawContext ctx;
      ctx.clientWidth = 640;
      ctx.clientHeight = 480;
      ctx.scrollX = -10;
      ctx.scrollY = -5;
      if (direct) {
        InkPaint_strokes(surface, ctx, n.ink.page().strokes());
      } else {
        n.ink.drawPage(surface, ctx, 1);
      }
    }
    return image;
  };
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 60; ++i) {
    const double x = pick(20, 560), y = pick(20, 420);
    n.stroke(pick(25, 30), line(x, y, x + pick(-60, 60), y + pick(-60, 60), pick(2, 20)));
  }
  (void)render(false);  // the pictures made
  for (int round = 0; round < 12; ++round) {
    const auto& all = n.ink.page().strokes();
    const InkPoint p = all[size_t(pick(0, int(all.size()) - 1))].stroke.points.back();
    if (round % 3 == 0) {
      n.ink.chooseEraser();
      n.ink.press(p.x / Ink_unitsPerPixel, p.y / Ink_unitsPerPixel, 0, n.tick += 2000);
      n.ink.release(p.x / Ink_unitsPerPixel, p.y / Ink_unitsPerPixel, n.tick += 20);
    } else if (round % 3 == 1) {
      n.ink.chooseTool(0);
      n.ink.deselectAll();
      n.ink.selectInRect({pick(0, 300), pick(0, 200), 150, 150});
      if (n.ink.hasSelection()) {
        n.ink.followSelection({100, 100});
        n.ink.releaseSelection({100 + pick(-30, 30), 100 + pick(-30, 30)});
      }
    } else {
      n.stroke(pick(25, 30), line(p.x / Ink_unitsPerPixel, p.y / Ink_unitsPerPixel, 320, 240, 8));
    }
    n.ink.deselectAll();
    const QImage mended = render(false), whole = render(true);
    int differing = 0;
    for (int y = 0; y < whole.height(); ++y)
      for (int x = 0; x < whole.width(); ++x) {
        const QRgb a = mended.pixel(x, y), b = whole.pixel(x, y);
        if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 24)
          ++differing;
      }
    EXPECT_LT(differing, 20) << "round " << round;
  }
}

}  // namespace
