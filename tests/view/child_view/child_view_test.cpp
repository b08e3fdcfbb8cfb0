// The editing view as a widget on the offscreen platform: its back buffer
// shows the page, the commands zoom and fit, the wheel and page keys
// scroll and turn pages, and renders are paced.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QScrollBar>
#include <QWheelEvent>

#include <memory>
#include <utility>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/rect/rect_ex.h"
#include "view/view_test_app.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

WIDGET_TEST_APP_REGISTER();

namespace {

Colour pixelAt(const QImage& image, int x, int y) {
  QRgb p = image.pixel(x, y);
  return Colour_rgb(qRed(p), qGreen(p), qBlue(p));
}

constexpr Colour kRed = Colour_rgb(255, 0, 0);

struct FakeNote : ChildViewHost {
  std::vector<std::unique_ptr<FigureList>> pages;
  int32_t current = 1;
  std::vector<int> grids;

  void addPage(int32_t w, int32_t h, Colour fill) {
    auto list = std::make_unique<FigureList>();
    auto* canvas = static_cast<Canvas*>(&list->append(std::make_unique<Canvas>()));
    canvas->setSize(w, h);
    auto r = std::make_unique<Rect_Ex>();
    r->x = 10;
    r->y = 10;
    r->width = 100;
    r->height = 80;
    r->fillColour = fill;
    list->append(std::move(r));
    pages.push_back(std::move(list));
  }
  ViewPageSource CurrentPage() override {
    ViewPageSource s;
    s.figures = pages[current - 1].get();
    s.canvas = static_cast<Canvas*>(&s.figures->at(0));
    s.pageNumber = current;
    return s;
  }
  int32_t CurrentPageNumber() override { return current; }
  bool TurnPage(int direction) override {
    const int32_t next = current + direction;
    if (next < 1 || next > static_cast<int32_t>(pages.size())) return false;
    current = next;
    return true;
  }
  void GoToPage(int32_t number) override { current = number; }
  void SwitchBackPage() override {}
  void GridChanged(const Canvas& c) override { grids.push_back(c.gridMode()); }
  bool Japanese() const override { return true; }
  uint32_t WindowId() override { return 0; }
};

struct AppFirst {
  AppFirst() {}
};

struct Window : AppFirst {
  FakeNote note;
  QMainWindow frame;
  CChildView* view;
  std::unique_ptr<CommandTable> commands;

  Window() {
    note.addPage(1000, 1500, kRed);
    note.addPage(400, 300, Colour_rgb(0, 0, 255));
    view = new CChildView(note);
    frame.setCentralWidget(view);
    commands = std::make_unique<CommandTable>(&frame);
    CChildView_registerCommands(*commands, *view);
    frame.resize(640, 480);
    frame.show();
    QApplication::processEvents();
    view->PageChanged();
    view->RedrawNow();
  }
  const QImage& buffer() { return ChildView_backBuffer(); }
  void wheel(int delta) {
    QWheelEvent e(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &e);
  }
};

}  // namespace

TEST(ChildView, BackBufferShowsThePageAndZoomCommandsScaleIt) {
  Window w;
  const int cw = w.view->viewport()->width();
  ASSERT_GT(cw, 300);
  ASSERT_EQ(cw, w.buffer().width());
  EXPECT_EQ(kRed, pixelAt(w.buffer(), 50, 50));
  EXPECT_EQ(0xFFFFFFu, pixelAt(w.buffer(), 150, 50));
  // A page taller than the window: a vertical scroll bar.
  EXPECT_GT(w.view->verticalScrollBar()->maximum(), 0);

  // 200 % of a 1000-wide page in a 640-wide window enters zoom-pick; a
  // click zooms around the point.
  ASSERT_TRUE(w.commands->run(Cmd_Zoom200));
  EXPECT_TRUE(w.view->zoomPicking());
  EXPECT_EQ(100, w.view->geometry().zoom);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(60, 50), QPointF(60, 50), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.view->viewport(), &press);
  EXPECT_FALSE(w.view->zoomPicking());
  EXPECT_EQ(200, w.view->geometry().zoom);
  w.view->ScrollTo({0, 0});
  w.view->RedrawNow();
  EXPECT_EQ(kRed, pixelAt(w.buffer(), 200, 150));   // (100, 75) at 200 %
  EXPECT_EQ(0xFFFFFFu, pixelAt(w.buffer(), 240, 150));  // (120, 75)

  ASSERT_TRUE(w.commands->run(Cmd_ZoomOut));  // from the target 200
  EXPECT_EQ(100, w.view->geometry().zoom);
  ASSERT_TRUE(w.commands->run(Cmd_ZoomOut));
  EXPECT_EQ(50, w.view->geometry().zoom);
  w.view->RedrawNow();
  EXPECT_EQ(kRed, pixelAt(w.buffer(), 50, 40));  // (100, 80) at 50 %
  EXPECT_EQ(0xFFFFFFu, pixelAt(w.buffer(), 60, 40));

  // Fit page never enlarges beyond the window: the whole page shows.
  ASSERT_TRUE(w.commands->run(Cmd_FitPage));
  const ViewGeometry& g = w.view->geometry();
  EXPECT_EQ(ViewZoom_FitPage, g.zoomMode);
  EXPECT_LE(g.pageHeight * g.zoom / 100, g.clientHeight);
  EXPECT_EQ(0, w.view->verticalScrollBar()->maximum());
  ASSERT_TRUE(w.commands->run(Cmd_FitWidth));
  EXPECT_EQ((g.clientWidth - 6) * 100 / 1000, g.zoom);

  // Every command of the view is bound under its number, with its keys.
  using K = QKeySequence;
  const std::pair<int, QList<K>> bound[] = {
      {32848, {K(Qt::Key_1)}},
      {32849, {K(Qt::Key_2)}},
      {32850, {K(Qt::Key_4)}},
      {32851, {K(Qt::Key_8)}},
      {32846, {}},
      {32922, {K(Qt::CTRL | Qt::Key_PageDown)}},
      {32923, {K(Qt::CTRL | Qt::Key_PageUp)}},
      {32920, {K(Qt::CTRL | Qt::Key_W)}},
      {32921, {K(Qt::CTRL | Qt::Key_Q)}},
      {32926, {K(Qt::Key_F5)}},
      {33027, {K(Qt::Key_PageDown), K(Qt::SHIFT | Qt::Key_PageDown)}},
      {33028, {K(Qt::Key_PageUp), K(Qt::SHIFT | Qt::Key_PageUp)}},
      {32872, {}},
      {32871, {}},
      {32880, {}},
      {32868, {K(Qt::CTRL | Qt::Key_A)}}};
  for (const auto& [id, keys] : bound) {
    QAction* action = w.commands->action(id);
    ASSERT_NE(nullptr, action) << id;
    EXPECT_EQ(keys, action->shortcuts()) << id;
  }
}

TEST(ChildView, WheelAndPageKeysScrollThenTurnPages) {
  Window w;
  w.wheel(-240);  // two notches down: 240 / 2 pixels
  EXPECT_EQ(120, w.view->geometry().scroll.y);
  EXPECT_EQ(120, w.view->verticalScrollBar()->value());
  ASSERT_TRUE(w.commands->run(Cmd_ScrollPageDown));
  EXPECT_EQ(120 + w.view->viewport()->height() - 32, w.view->geometry().scroll.y);
  // The scroll bar drives the view too.
  w.view->verticalScrollBar()->setValue(0);
  EXPECT_EQ(0, w.view->geometry().scroll.y);
  // To the end, then a notch turns to page 2.
  w.view->ScrollTo({0, 100000});
  EXPECT_EQ(1, w.note.current);
  w.wheel(-60);  // half a notch does not turn
  EXPECT_EQ(1, w.note.current);
  w.wheel(-60);
  EXPECT_EQ(2, w.note.current);
  w.view->RedrawNow();
  EXPECT_EQ(Colour_rgb(0, 0, 255), pixelAt(w.buffer(), 50, 50));
  // Page 2 fits: no bar; page up goes back to page 1, at its bottom.
  EXPECT_EQ(0, w.view->verticalScrollBar()->maximum());
  ASSERT_TRUE(w.commands->run(Cmd_ScrollPageUp));
  EXPECT_EQ(1, w.note.current);
  EXPECT_EQ(w.view->verticalScrollBar()->maximum(), w.view->geometry().scroll.y);
  EXPECT_GT(w.view->geometry().scroll.y, 0);
  // On page 1 at the top the wheel does nothing more.
  w.view->ScrollTo({0, 0});
  w.wheel(120);
  EXPECT_EQ(1, w.note.current);
  EXPECT_EQ(0, w.view->geometry().scroll.y);
}

TEST(ChildView, GridCommandsZoomSwapAndPacedRenders) {
  Window w;
  ASSERT_TRUE(w.commands->run(Cmd_GridCatch));
  EXPECT_TRUE(w.commands->action(Cmd_GridCatch)->isCheckable());
  w.commands->updateChecks();
  EXPECT_TRUE(w.commands->action(Cmd_GridCatch)->isChecked());
  EXPECT_TRUE(w.commands->action(Cmd_GridDisplay)->isChecked());
  EXPECT_EQ(std::vector<int>{1}, w.note.grids);
  EXPECT_EQ(0u, pixelAt(w.buffer(), 19 * 10, 19 * 20));  // a grid dot on the page

  w.view->SetZoom(50);
  w.view->ScrollTo({0, 0});
  ASSERT_TRUE(w.commands->run(Cmd_ZoomSwap));  // to the second state: 100 %, page 1
  EXPECT_EQ(100, w.view->geometry().zoom);
  ASSERT_TRUE(w.commands->run(Cmd_ZoomSwap));
  EXPECT_EQ(50, w.view->geometry().zoom);

  // Many invalidations within one frame end in one render.
  w.view->RedrawNow();
  const int before = w.view->renderCount();
  QElapsedTimer clock;
  clock.start();
  for (int i = 0; i < 50; ++i) {
    w.view->Invalidate();
    QApplication::processEvents();
  }
  while (clock.elapsed() < 40) QApplication::processEvents();
  const int renders = w.view->renderCount() - before;
  EXPECT_GE(renders, 1);
  EXPECT_LE(renders, 1 + static_cast<int>(clock.elapsed() / 16) + 1);
}
