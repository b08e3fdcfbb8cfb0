// The editing view with its selection, driven as a user drives it: mouse
// presses, drags and moves and keys sent to the real widget on the
// offscreen platform; the back buffer shows the handles.  Also the view on
// a screen of device pixel ratio 2 (a child run with QT_SCALE_FACTOR=2).
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QScrollBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QProcess>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <cstdlib>
#include <memory>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/rect/rect_ex.h"
#include "view/child_view/child_view.h"
#include "list_page_host.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/hover/hover_cursors.h"
#include "view/selection/view_selection.h"

namespace {

constexpr Colour kHighlight = Colour_rgb(51, 153, 255);

Colour pixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return Colour_rgb(qRed(p), qGreen(p), qBlue(p));
}

// One page of 1000 x 1500:
//   a    (100, 100) 200 x 150, green
//   b    (200, 180) 200 x 150, blue, over a
//   link (600, 100) 100 x 80 with a link
//   d    (100, 500) 80 x 60
struct OnePage : ListPageHost {
  Rect_Ex *a = nullptr, *b = nullptr, *link = nullptr, *d = nullptr;
  int selectionChanges = 0;

  OnePage() : ListPageHost(1000, 1500) {
    a = rect(100, 100, 200, 150, Colour_rgb(0, 200, 0));
    b = rect(200, 180, 200, 150, Colour_rgb(0, 0, 200));
    link = rect(600, 100, 100, 80, 0xFFFFFF);
    link->url = "http://example.com/a.html";
    d = rect(100, 500, 80, 60, 0xFFFFFF);
  }
  Rect_Ex* rect(int32_t x, int32_t y, int32_t w, int32_t h, Colour fill) {
    auto r = std::make_unique<Rect_Ex>();
    r->x = x;
    r->y = y;
    r->width = w;
    r->height = h;
    r->fillColour = fill;
    return static_cast<Rect_Ex*>(&list.append(std::move(r)));
  }
  void SelectionChanged() override { ++selectionChanges; }
};

// The rectangles the viewport was asked to paint.
struct PaintLog : QObject {
  std::vector<QRect> rects;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
    return false;
  }
};

struct Window {
  OnePage note;
  QMainWindow frame;
  CChildView* view;
  std::unique_ptr<CommandTable> commands;
  PaintLog paints;

  Window() {
    view = new CChildView(note);
    frame.setCentralWidget(view);
    commands = std::make_unique<CommandTable>(&frame);
    CChildView_registerCommands(*commands, *view);
    frame.resize(800, 700);
    frame.show();
    frame.activateWindow();
    QApplication::processEvents();
    view->PageChanged();
    view->RedrawNow();
    view->viewport()->installEventFilter(&paints);
  }
  QWidget* vp() { return view->viewport(); }
  const QImage& buffer() { return ChildView_backBuffer(); }
  void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPointF local(at);
    QMouseEvent e(type, local, vp()->mapToGlobal(local), button, buttons, mods);
    QApplication::sendEvent(vp(), &e);
  }
  void click(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, mods);
    mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, mods);
  }
  void hover(QPoint at) { mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
  // Lets the queued paints run.
  void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  std::vector<CadPrim*> selected() const { return view->selection()->Selection(); }
};

bool viewportCovered(const std::vector<QRect>& rects, const QRect& all) {
  for (const QRect& r : rects) {
    if (r.contains(all)) return true;
  }
  return false;
}

}  // namespace

TEST(ChildViewSelection, ClicksCtrlClicksRubberBandAndSelectAllMarkTheFiguresOnScreen) {
  Window w;
  ASSERT_NE(nullptr, w.view->selection());
  const QRect all = w.vp()->rect();
  ASSERT_GT(all.width(), 500);

  // A click where a and b overlap takes the upper one, b; the back buffer
  // shows its handles in the highlight colour at its corners, and only the
  // area of the marks is repainted.
  w.paints.rects.clear();
  w.click({250, 200});
  ASSERT_EQ(1u, w.selected().size());
  EXPECT_EQ(w.note.b, w.selected()[0]);
  EXPECT_EQ(w.note.b, w.view->selection()->HoldPrim());
  EXPECT_GE(w.note.selectionChanges, 1);
  w.settle();
  ASSERT_FALSE(w.paints.rects.empty());
  EXPECT_FALSE(viewportCovered(w.paints.rects, all));
  bool coversB = false;
  for (const QRect& r : w.paints.rects) coversB = coversB || r.contains(QRect(197, 177, 208, 158));
  EXPECT_TRUE(coversB);
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 200, 180));  // b's top-left handle
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 401, 331));  // its bottom-right one
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 300, 180));  // top middle
  EXPECT_NE(kHighlight, pixelAt(w.buffer(), 100, 100));  // a is not selected
  EXPECT_EQ(Colour_rgb(0, 200, 0), pixelAt(w.buffer(), 150, 150));

  // Ctrl+click adds a (held now, in the highlight colour); b's handles take
  // the inverse colour.
  w.click({120, 120}, Qt::ControlModifier);
  ASSERT_EQ(2u, w.selected().size());
  EXPECT_EQ(w.note.a, w.view->selection()->HoldPrim());
  EXPECT_TRUE(w.note.b->IsSelected());
  w.settle();
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 100, 100));
  EXPECT_EQ(kHighlight ^ 0xFFFFFFu, pixelAt(w.buffer(), 200, 180));

  // A plain click on the empty page clears the selection; the marks go.
  w.click({550, 450});
  EXPECT_TRUE(w.selected().empty());
  w.settle();
  EXPECT_NE(kHighlight, pixelAt(w.buffer(), 100, 100));
  EXPECT_NE(kHighlight ^ 0xFFFFFFu, pixelAt(w.buffer(), 200, 180));

  // A rubber band from (50, 450) to (300, 640) selects d alone; while it is
  // dragged it shows over the page.
  w.mouse(QEvent::MouseButtonPress, {50, 450}, Qt::LeftButton, Qt::LeftButton);
  for (int i = 1; i <= 5; ++i) {
    w.mouse(QEvent::MouseMove, {50 + 50 * i, 450 + 38 * i}, Qt::NoButton, Qt::LeftButton);
  }
  ASSERT_TRUE(w.view->selection()->RubberBand().has_value());
  w.view->RedrawNow();
  int bandPixels = 0;
  for (int x = 50; x <= 300; ++x) bandPixels += pixelAt(w.buffer(), x, 450) == kHighlight;
  EXPECT_GT(bandPixels, 50);
  w.mouse(QEvent::MouseButtonRelease, {300, 640}, Qt::LeftButton, Qt::NoButton);
  ASSERT_EQ(1u, w.selected().size());
  EXPECT_EQ(w.note.d, w.selected()[0]);
  w.settle();
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 100, 500));
  bandPixels = 0;
  for (int x = 50; x <= 300; ++x) bandPixels += pixelAt(w.buffer(), x, 450) == kHighlight;
  EXPECT_EQ(0, bandPixels);

  // Ctrl+A, as the key reaches the window, selects every figure.
  QTest::keyClick(w.vp(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(4u, w.selected().size());
  for (Rect_Ex* r : {w.note.a, w.note.b, w.note.link, w.note.d}) EXPECT_TRUE(r->IsSelected());
  ASSERT_NE(nullptr, w.commands->action(Cmd_SelectAll));
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_A), w.commands->action(Cmd_SelectAll)->shortcut());
}

TEST(ChildViewSelection, HoverOverALinkShowsTheHandAndTheTipAfterItsDelay) {
  Window w;
  w.settle();
  w.hover({650, 140});
  EXPECT_EQ(Qt::PointingHandCursor, w.vp()->cursor().shape());
  EXPECT_EQ("http://example.com/a.html", w.view->tipText());
  EXPECT_EQ("", w.view->shownTipText());  // not before 400 ms
  QElapsedTimer clock;
  clock.start();
  while (w.view->shownTipText().empty() && clock.elapsed() < 3000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_EQ("http://example.com/a.html", w.view->shownTipText());
  EXPECT_GE(clock.elapsed(), 300);

  // Over a figure without a link: the program's move cursor, drawn, no tip.
  w.hover({150, 120});
  EXPECT_EQ(Qt::BitmapCursor, w.vp()->cursor().shape());
  EXPECT_EQ(HoverCursors_cursor(HoverCursor::MoveFigure).pixmap().toImage(),
            w.vp()->cursor().pixmap().toImage());
  EXPECT_EQ("", w.view->tipText());
  EXPECT_EQ("", w.view->shownTipText());
  // Over the empty page: the arrow.
  w.hover({500, 450});
  EXPECT_EQ(Qt::ArrowCursor, w.vp()->cursor().shape());
  // A wheel step brings the link under the resting mouse: the hand again.
  w.hover({650, 40});
  EXPECT_EQ(Qt::ArrowCursor, w.vp()->cursor().shape());
  QWheelEvent wheel(QPointF(650, 40), w.vp()->mapToGlobal(QPointF(650, 40)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w.vp(), &wheel);
  ASSERT_GT(w.view->geometry().scroll.y, 0);
  EXPECT_EQ(Qt::PointingHandCursor, w.vp()->cursor().shape());
  w.view->ScrollTo({0, 0});
  // A plain click follows the link and leaves nothing held; a Ctrl+click
  // holds the figure, and the held figure's link gives no hand.
  w.click({650, 140});
  EXPECT_EQ(nullptr, w.view->selection()->HoldPrim());
  w.click({650, 140}, Qt::ControlModifier);
  ASSERT_NE(nullptr, w.view->selection()->HoldPrim());
  w.hover({650, 140});
  EXPECT_NE(Qt::PointingHandCursor, w.vp()->cursor().shape());

  // A long link shows in lines no wider than the tip's 640 pixels.
  w.click({500, 450});
  std::string longLink = "http://example.com";
  for (int i = 0; i < 15; ++i) longLink += "/folder-with-a-long-name-" + std::to_string(i);
  w.note.link->url = longLink;
  w.hover({650, 140});
  clock.restart();
  while (w.view->shownTipText().empty() && clock.elapsed() < 3000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  ASSERT_EQ(longLink, w.view->shownTipText());
  const QStringList lines = QToolTip::text().split(u'\n');
  EXPECT_GT(lines.size(), 1);
  const QFontMetrics metrics(QToolTip::font());
  for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line), 640);
  EXPECT_EQ(QString::fromStdString(longLink), lines.join(QString()));
}

TEST(ChildViewSelection, AtTwoHundredPercentAndScrolledClicksHitTheFigureUnderTheMouse) {
  Window w;
  w.view->SetZoom(200, 1, {500, 750});
  ASSERT_FALSE(w.view->zoomPicking());
  ASSERT_EQ(200, w.view->geometry().zoom);
  w.view->ScrollTo({150, 900});
  const ViewGeometry& g = w.view->geometry();
  ASSERT_EQ(150, g.scroll.x);
  ASSERT_EQ(900, g.scroll.y);
  // d's centre (140, 530) lies at client (140 * 2 - 150, 530 * 2 - 900);
  // at 100 % unscrolled the same client point would be inside a.
  w.click({130, 160});
  ASSERT_EQ(1u, w.selected().size());
  EXPECT_EQ(w.note.d, w.selected()[0]);
  w.settle();
  w.view->RedrawNow();
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 50, 100));    // d's top-left handle
  EXPECT_EQ(kHighlight, pixelAt(w.buffer(), 212, 222));   // (181, 561) bottom-right
  // A Ctrl+click on b (its point (300, 320) at client (450, -260)) is off
  // screen: scroll back to it and add it.
  w.view->ScrollTo({300, 300});
  w.click({300 * 2 - 300, 320 * 2 - 300}, Qt::ControlModifier);
  EXPECT_EQ(2u, w.selected().size());
  EXPECT_EQ(w.note.b, w.view->selection()->HoldPrim());
}

TEST(ChildViewSelection, DraggingNearTheBottomEdgeScrollsTheView) {
  Window w;
  ASSERT_GT(ViewGeometry_maxScroll(w.view->geometry()).y, 0);
  const int bottom = w.vp()->height() - 5;
  w.mouse(QEvent::MouseButtonPress, {450, 400}, Qt::LeftButton, Qt::LeftButton);
  w.mouse(QEvent::MouseMove, {450, bottom}, Qt::NoButton, Qt::LeftButton);
  QElapsedTimer clock;
  clock.start();
  while (w.view->geometry().scroll.y < 64 && clock.elapsed() < 3000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  const int scrolled = w.view->geometry().scroll.y;
  EXPECT_GE(scrolled, 64);
  EXPECT_EQ(0, scrolled % 32);
  // The band follows the page: its end is the page point under the mouse.
  ASSERT_TRUE(w.view->selection()->RubberBand().has_value());
  EXPECT_EQ(bottom + scrolled, Rect32_bottom(*w.view->selection()->RubberBand()) - 1);
  // Back inside: no more scrolling.
  w.mouse(QEvent::MouseMove, {450, 300}, Qt::NoButton, Qt::LeftButton);
  const int stopped = w.view->geometry().scroll.y;
  QTest::qWait(200);
  EXPECT_EQ(stopped, w.view->geometry().scroll.y);
  w.mouse(QEvent::MouseButtonRelease, {450, 300}, Qt::LeftButton, Qt::NoButton);
}

namespace {

// The width in device pixels of the left border of figure a on the row
// through its middle, and the buffer's size against the viewport's.
struct Measure {
  QSize buffer, viewport;
  qreal ratio = 0;
  int border = 0;
};

Measure measureBorder() {
  Window w;
  w.view->RedrawNow();
  Measure m;
  const QImage& image = w.buffer();
  m.buffer = image.size();
  m.viewport = w.vp()->size();
  m.ratio = image.devicePixelRatio();
  const int y = qRound(170 * m.ratio);
  for (int x = qRound(90 * m.ratio); x < qRound(110 * m.ratio); ++x) {
    m.border += pixelAt(image, x, y) == 0;
  }
  return m;
}

}  // namespace

// Runs only in the child below, on a screen of ratio 2.
TEST(ChildViewHiDpi, DISABLED_RatioTwoChild) {
  const Measure m = measureBorder();
  EXPECT_EQ(2.0, m.ratio);
  EXPECT_EQ(m.viewport * 2, m.buffer);
  EXPECT_EQ(2, m.border);
}

TEST(ChildViewHiDpi, TheBackBufferFollowsTheDevicePixelRatio) {
  const Measure one = measureBorder();
  EXPECT_EQ(1.0, one.ratio);
  EXPECT_EQ(one.viewport, one.buffer);
  EXPECT_EQ(1, one.border);

  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("QT_SCALE_FACTOR", "2");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_also_run_disabled_tests", "--gtest_filter=ChildViewHiDpi.DISABLED_RatioTwoChild"});
  ASSERT_TRUE(child.waitForFinished(60000));
  const QString out = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(0, child.exitCode()) << out.toStdString();
  EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}

TEST(ChildViewZoomPick, TheLensShowsThePageUnhatchedAroundTheMouse) {
  Window w;
  // 200 % of a page wider than the window: the view waits for the click.
  w.view->SetZoom(200);
  ASSERT_TRUE(w.view->zoomPicking());
  auto blackIn = [&](QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += pixelAt(w.buffer(), x, y) == 0;
    return n;
  };
  w.view->RedrawNow();
  const QRect nearMouse(590, 390, 20, 20);  // white page under (600, 400)
  const QRect farAway(20, 20, 20, 20);      // white page far from it
  EXPECT_GT(blackIn(nearMouse), 10);  // all hatched before the mouse moves
  EXPECT_GT(blackIn(farAway), 10);

  w.mouse(QEvent::MouseMove, {600, 400}, Qt::NoButton, Qt::NoButton);
  w.view->RedrawNow();
  EXPECT_EQ(0, blackIn(nearMouse));   // the live page in the lens
  EXPECT_GT(blackIn(farAway), 10);    // hatched around it
  // The lens is half the window (100 / 200), pushed inside the page part:
  // its left edge at 600 - width / 4.
  const int lensLeft = 600 - w.vp()->width() / 4;
  EXPECT_EQ(0, blackIn(QRect(lensLeft + 2, 400, 10, 10)));
  EXPECT_GT(blackIn(QRect(lensLeft - 30, 380, 25, 25)), 5);

  // The click zooms.
  w.click({600, 400});
  EXPECT_FALSE(w.view->zoomPicking());
  EXPECT_EQ(200, w.view->geometry().zoom);
}

TEST(ChildViewZoomOut, TheTransitionShowsWhatTheOldZoomShowedOnAGreyPageFirst) {
  Window w;
  w.view->SetZoom(200, 1, {300, 300});
  ASSERT_EQ(200, w.view->geometry().zoom);
  QImage seen;
  int paused = 0;
  int zoomDuringPause = 0;
  w.view->m_Sleep = [&](int ms) {
    paused = ms;
    zoomDuringPause = w.view->geometry().zoom;
    seen = w.buffer().copy();
  };
  ASSERT_TRUE(w.commands->run(Cmd_ZoomOut));
  EXPECT_EQ(ChildView_zoomOutPause, paused);
  EXPECT_EQ(100, zoomDuringPause);
  EXPECT_EQ(100, w.view->geometry().zoom);
  ASSERT_FALSE(seen.isNull());
  // The old window showed about (105, 135) - (495, 465) of the page; at
  // 100 % that part shows (b's blue at (300, 300)), the rest of the page is
  // grey.
  EXPECT_EQ(Colour_rgb(0, 0, 200), pixelAt(seen, 300, 300));
  EXPECT_EQ(SystemColour_appWorkspace, pixelAt(seen, 20, 20));
  EXPECT_EQ(SystemColour_appWorkspace, pixelAt(seen, 650, 140));  // the link box's place
  // Then the whole page.
  w.view->RedrawNow();
  EXPECT_EQ(0xFFFFFFu, pixelAt(w.buffer(), 20, 20));
  EXPECT_EQ(Colour_rgb(0, 0, 200), pixelAt(w.buffer(), 300, 300));
  // Zooming in has no transition.
  paused = 0;
  w.view->SetZoom(200, 1, {300, 300});
  EXPECT_EQ(0, paused);
}

TEST(ChildViewSelection, ShrinkingTheWindowKeepsTheScrollBarsOnTheShownPart) {
  Window w;
  w.frame.resize(300, 250);
  QApplication::processEvents();
  const ViewGeometry& g = w.view->geometry();
  EXPECT_EQ(g.scroll.x, w.view->horizontalScrollBar()->value());
  EXPECT_EQ(g.scroll.y, w.view->verticalScrollBar()->value());
  EXPECT_GT(w.view->verticalScrollBar()->maximum(), 0);
  // The bars move the page: at the far end the page's bottom right shows.
  w.view->verticalScrollBar()->setValue(w.view->verticalScrollBar()->maximum());
  EXPECT_EQ(w.view->verticalScrollBar()->maximum(), g.scroll.y);
}
