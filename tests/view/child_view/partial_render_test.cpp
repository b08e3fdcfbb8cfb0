// A selection change renders only its area of the back buffer again; the
// buffer must then equal a full render of the same state pixel for pixel,
// over overlapping boxes (some turned, with wide pens), text boxes, lines
// with heads crossing the area, a brace and a cornered connector.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>

#include <memory>
#include <string>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "view/child_view/child_view.h"
#include "list_page_host.h"
#include "view/selection/view_selection.h"

namespace {

struct MixedHost : ListPageHost {
  QtTextMetrics metrics;
  Rect_Ex* lower = nullptr;   // under the others
  Rect_Ex* upper = nullptr;   // over `lower`, turned, wide pen
  Text_Box* box = nullptr;    // over both
  Line_Ex* crossing = nullptr;  // runs through all three

  MixedHost() : ListPageHost(900, 800) {
    canvas->setGridMode(1);
    lower = rect(100, 100, 220, 160, Colour_rgb(0, 180, 0), 0, 1);
    upper = rect(220, 170, 200, 140, Colour_rgb(0, 0, 200), 20, 6);
    box = text("日本語の枠付きテキスト\n二行目 ABC", 180, 240, Colour_rgb(255, 255, 200));
    // Lines across the boxes, one dashed, with heads.
    auto l = std::make_unique<Line_Ex>();
    l->SetPoints({60, 330}, {520, 120});
    l->SetColour(Colour_rgb(200, 0, 0));
    l->SetWidth(3);
    l->SetArrow(2, 1);
    crossing = static_cast<Line_Ex*>(&list.append(std::move(l)));
    auto d = std::make_unique<Line_Ex>();
    d->SetPoints({90, 90}, {460, 330});
    d->SetDashed(true);
    d->SetArrow(1, 1);
    list.append(std::move(d));
    auto brace = std::make_unique<Matome>();
    brace->SetPoints({80, 120}, {110, 300});
    brace->SetWidth(2);
    list.append(std::move(brace));
    auto corner = std::make_unique<Line_Corner>();
    corner->setEnd(1, 300, 60);
    corner->setEnd(2, 500, 280);
    list.append(std::move(corner));
    // More boxes and texts around, some partly over the ones above.
    for (int i = 0; i < 12; ++i) {
      const int x = 40 + (i * 67) % 560, y = 340 + (i * 53) % 300;
      if (i % 2 == 0) {
        rect(x, y, 90, 50, Colour_rgb(i * 20, 100, 255 - i * 20), i % 3 == 0 ? 30 : 0, i % 4);
      } else {
        text(i % 3 == 0 ? "見出し" : "text 行", x + 20, y + 30, Colour_rgb(255, 220, i * 20));
      }
    }
  }
  Rect_Ex* rect(int32_t x, int32_t y, int32_t w, int32_t h, Colour fill, int32_t angle,
                int32_t pen) {
    auto r = std::make_unique<Rect_Ex>();
    r->x = x;
    r->y = y;
    r->width = w;
    r->height = h;
    r->fillColour = fill;
    r->angle = angle;
    r->strokeWidth = pen;
    return static_cast<Rect_Ex*>(&list.append(std::move(r)));
  }
  Text_Box* text(const char* s, int32_t x, int32_t y, Colour fill) {
    auto b = std::make_unique<Text_Box>(&metrics);
    b->SetText(s);
    b->SetBasePoint(x, y);
    b->fillColour = fill;
    b->frameWidth = 1;
    b->fontSize = 12;
    DrawContext ctx;
    b->Layout(metrics, ctx);
    return static_cast<Text_Box*>(&list.append(std::move(b)));
  }
};

struct Window {
  MixedHost note;
  QMainWindow frame;
  CChildView* view;

  Window() {
    view = new CChildView(note);
    frame.setCentralWidget(view);
    frame.resize(800, 700);
    frame.show();
    QApplication::processEvents();
    view->PageChanged();
    view->RedrawNow();
  }
  void click(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* vp = view->viewport();
    for (auto [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::MouseButtons(Qt::LeftButton)},
                                 std::pair{QEvent::MouseButtonRelease, Qt::MouseButtons()}}) {
      QMouseEvent e(type, QPointF(at), vp->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, mods);
      QApplication::sendEvent(vp, &e);
    }
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  // A fresh full render of the present state into an image of its own.
  QImage fullRender() {
    const QImage& buffer = ChildView_backBuffer();
    QImage image(buffer.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(buffer.devicePixelRatio());
    image.fill(Qt::magenta);
    QtSurface surface(image);
    View_drawOutside(surface, view->geometry(), *note.canvas);
    view->RenderPage(surface, true, true, false, false, false);
    return image;
  }
};

// How many pixels differ, and where the first one is.
std::string differences(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "sizes differ";
  int count = 0, fx = -1, fy = -1;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0) {
        fx = x;
        fy = y;
      }
  return count == 0 ? "" : std::to_string(count) + " pixels, first at " + std::to_string(fx) +
                               "," + std::to_string(fy);
}

}  // namespace

TEST(ChildViewPartialRender, ASelectionClickRendersItsAreaAloneAndEqualsAFullRender) {
  Window w;
  const int fullRenders = w.view->renderCount();
  const int parts = w.view->partRenderCount();
  ASSERT_EQ("", differences(ChildView_backBuffer(), w.fullRender()));

  // Clicks that select, in turn: the lower box where only it lies, the
  // turned box, the text box over both, the crossing line (a fifth along,
  // clear of the text box: a second click on the held text box would
  // start editing it), Ctrl+click adding the lower box again, and the
  // empty page (clearing).
  const Point32 linePoint{60 + (520 - 60) / 5, 330 - (330 - 120) / 5};
  struct Step {
    QPoint at;
    Qt::KeyboardModifiers mods;
  };
  const Step steps[] = {{{120, 115}, Qt::NoModifier},
                        {{380, 290}, Qt::NoModifier},
                        {{200, 248}, Qt::NoModifier},
                        {{linePoint.x, linePoint.y}, Qt::NoModifier},
                        {{120, 115}, Qt::ControlModifier},
                        {{700, 120}, Qt::NoModifier}};
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(n++);
    w.click(s.at, s.mods);
    EXPECT_EQ("", differences(ChildView_backBuffer(), w.fullRender()));
  }
  ASSERT_NE(nullptr, w.view->selection());
  EXPECT_TRUE(w.view->selection()->Selection().empty());
  // The changes were rendered as parts, never whole.
  EXPECT_EQ(fullRenders, w.view->renderCount());
  EXPECT_GE(w.view->partRenderCount(), parts + 5);

  // The same with the page scrolled at 200 % (a full render first).
  w.view->SetZoom(200, 1, {300, 250});
  w.view->RedrawNow();
  const int zoomed = w.view->renderCount();
  for (const QPoint at : {QPoint(300, 300), QPoint(100, 100), QPoint(400, 200)}) {
    SCOPED_TRACE(at.x());
    const Point32 c = w.view->CanvasToClient(w.view->ClientToCanvas({at.x(), at.y()}));
    w.click({c.x, c.y});
    EXPECT_EQ("", differences(ChildView_backBuffer(), w.fullRender()));
  }
  EXPECT_EQ(zoomed, w.view->renderCount());

  // A whole-content change (Invalidate) still renders the buffer whole.
  w.note.lower->fillColour = Colour_rgb(250, 0, 250);
  w.view->Invalidate();
  for (int i = 0; i < 40 && w.view->renderCount() == zoomed; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_GT(w.view->renderCount(), zoomed);
  EXPECT_EQ("", differences(ChildView_backBuffer(), w.fullRender()));
}

TEST(ChildViewPartialRender, DraggingABoxRendersTheAreasLeftAndEnteredAloneAndEqualsAFullRender) {
  Window w;
  // A connector from (300, 60) bending far above both ends to the text box.
  Line_Corner* corner = nullptr;
  for (const auto& f : w.note.list) {
    if (!corner) corner = dynamic_cast<Line_Corner*>(f.get());
  }
  ASSERT_NE(nullptr, corner);
  corner->setAutoCentre(false);
  corner->setThrough(620, 20);
  w.note.box->AttachEnd(0, *corner, 2);
  w.view->RedrawNow();
  const int fullRenders = w.view->renderCount();
  QWidget* vp = w.view->viewport();
  auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), vp->mapToGlobal(QPointF(at)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  };
  const TextBoxFrameBounds b = w.note.box->FrameBounds();
  const Point32 grab = w.view->CanvasToClient({b.left + 4, b.top + 4});
  send(QEvent::MouseButtonPress, {grab.x, grab.y}, Qt::LeftButton);
  for (int i = 1; i <= 6; ++i) {
    SCOPED_TRACE(i);
    send(QEvent::MouseMove, {grab.x + 25 * i, grab.y + 40 * i}, Qt::LeftButton);
    vp->repaint();
    EXPECT_EQ("", differences(ChildView_backBuffer(), w.fullRender()));
    EXPECT_EQ(fullRenders, w.view->renderCount());
  }
  send(QEvent::MouseButtonRelease, {grab.x + 150, grab.y + 240}, Qt::NoButton);
  EXPECT_EQ(b.left + 150, w.note.box->FrameBounds().left);
  // The bend stays where it was.
  EXPECT_EQ((Point32{620, 20}), corner->through());
}
