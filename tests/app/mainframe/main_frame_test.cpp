// The main window on the offscreen platform: it reads a note, shows its
// first page in the view (the back buffer holds the figures), zooms and
// scrolls through its commands, turns pages, and a file that is no note
// leaves no window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>

#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "view/view_test_app.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/selection/view_selection.h"

WIDGET_TEST_APP_REGISTER();

namespace {

Colour pixelAt(const QImage& image, int x, int y) {
  QRgb p = image.pixel(x, y);
  return Colour_rgb(qRed(p), qGreen(p), qBlue(p));
}

// Two pages of 400 x 1200: a red rectangle on page 1, a blue one on page 2.
const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00420\" height=\"02420\">\r\n"
    "<g id=\"page1\" width=\"400\" height=\"1200\" transform=\"translate(+10,+10)\">\r\n"
    "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\" "
    "fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n"
    "<g id=\"page2\" width=\"400\" height=\"1200\" transform=\"translate(+10,+1210)\">\r\n"
    "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(0,0,255)\" "
    "fill=\"rgb(0,0,255)\"/>\r\n</g>\r\n"
    "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\">\r\n"
    "<zerbin-page num=\"2\" title=\"two\"/>\r\n</zerbin-page>\r\n</zerbin-pages>\r\n</svg>\r\n";

struct Frame {
  testing_support::TempDir dir;
  std::unique_ptr<CMainFrame> frame;
  Frame() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("");
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->resize(800, 600);
  }
  void open(const std::string& text, const std::string& name = "note.svg") {
    FileX_writeWhole(dir.file(name), text);
    frame->LoadNote(dir.file(name), false);
    frame->show();
    QApplication::processEvents();
    frame->view().RedrawNow();
  }
  const QImage& buffer() { return ChildView_backBuffer(); }
};

}  // namespace

TEST(MainFrame, OpensTheNoteOnItsFirstPageAndShowsItsFigures) {
  Frame f;
  f.open(kNote);
  ASSERT_TRUE(f.frame->hasNote());
  EXPECT_EQ(1, f.frame->document().currentPageNumber());
  EXPECT_EQ(QStringLiteral(u"one - note.svg - 1/2 ページ目 - Brevlo 3.10"), f.frame->windowTitle());
  // The view is the central widget, the left pane beside it, the menus
  // from the command table.
  EXPECT_EQ(&f.frame->view(), f.frame->centralWidget());
  ASSERT_NE(nullptr, f.frame->leftPane());
  EXPECT_FALSE(f.frame->menuBar()->actions().isEmpty());
  EXPECT_EQ(Colour_rgb(255, 0, 0), pixelAt(f.buffer(), 60, 50));
  EXPECT_EQ(0xFFFFFFu, pixelAt(f.buffer(), 200, 50));

  // Zoom commands through the window's keys and table.
  ASSERT_TRUE(f.frame->commands().run(Cmd_ZoomOut));
  EXPECT_EQ(50, f.frame->view().geometry().zoom);
  f.frame->view().RedrawNow();
  EXPECT_EQ(Colour_rgb(255, 0, 0), pixelAt(f.buffer(), 30, 25));
  EXPECT_EQ(0xFFFFFFu, pixelAt(f.buffer(), 70, 25));
  // Back to 100 %: the page would be much taller than the window, so the
  // view waits for the click that says where to zoom.
  ASSERT_TRUE(f.frame->commands().run(Cmd_Zoom100));
  EXPECT_TRUE(f.frame->view().zoomPicking());
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(f.frame->view().viewport(), &click);
  EXPECT_EQ(100, f.frame->view().geometry().zoom);

  // Scrolling moves the page under the window.
  QScrollBar* bar = f.frame->view().verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  ASSERT_TRUE(f.frame->commands().run(Cmd_ScrollPageDown));
  EXPECT_GT(bar->value(), 0);
  f.frame->view().ScrollTo({0, 40});
  f.frame->view().RedrawNow();
  EXPECT_EQ(Colour_rgb(255, 0, 0), pixelAt(f.buffer(), 60, 30));  // (60, 70) on the page
  EXPECT_EQ(0xFFFFFFu, pixelAt(f.buffer(), 60, 65));              // (60, 105)

  // Past the end of the page the next page comes.
  f.frame->view().ScrollTo({0, bar->maximum()});
  ASSERT_TRUE(f.frame->commands().run(Cmd_ScrollPageDown));
  EXPECT_EQ(2, f.frame->document().currentPageNumber());
  f.frame->view().RedrawNow();
  EXPECT_EQ(Colour_rgb(0, 0, 255), pixelAt(f.buffer(), 60, 50));
  // A page by name, as "#two" or "-page=two" give it.
  EXPECT_TRUE(f.frame->SelectPageByText("one"));
  EXPECT_EQ(1, f.frame->document().currentPageNumber());
  EXPECT_TRUE(f.frame->SelectPageByText("2"));
  EXPECT_EQ(2, f.frame->document().currentPageNumber());
  EXPECT_FALSE(f.frame->SelectPageByText("9"));
}

TEST(MainFrame, AFileThatIsNoNoteRaisesAndLeavesNoNote) {
  Frame f;
  FileX_writeWhole(f.dir.file("bad.svg"), "this is not markup at all <<<");
  int code = 0;
  Except_tryCatch([&] { f.frame->LoadNote(f.dir.file("bad.svg"), false); },
                  [&](const Errors_Msg& e) { code = e.code; });
  EXPECT_NE(0, code);
  EXPECT_FALSE(f.frame->hasNote());
  // The view of a window without a note paints the workspace only.
  f.frame->show();
  QApplication::processEvents();
  f.frame->view().RedrawNow();
  EXPECT_EQ(SystemColour_appWorkspace, pixelAt(f.buffer(), 60, 50));
}

TEST(MainFrame, TheSelectionFollowsTheShownPageAndNeverOutlivesItsFigures) {
  Frame f;
  f.open(kNote);
  CChildView& view = f.frame->view();
  auto click = [&](int x, int y) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent e(type, QPointF(x, y), view.viewport()->mapToGlobal(QPointF(x, y)),
                    Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                    Qt::NoModifier);
      QApplication::sendEvent(view.viewport(), &e);
    }
  };
  ASSERT_NE(nullptr, view.selection());
  EXPECT_EQ(&f.frame->document().workingFigures(), &view.selection()->page());
  click(60, 50);
  ASSERT_EQ(1u, view.selection()->Selection().size());
  CadPrim* red = view.selection()->Selection()[0];
  view.RedrawNow();
  EXPECT_EQ(Colour_rgb(51, 153, 255), pixelAt(f.buffer(), 20, 20));  // its top-left handle

  // Another page: nothing selected there, and the figure left behind keeps
  // no selection mark.
  ASSERT_TRUE(f.frame->SelectPageNumber(2));
  ASSERT_NE(nullptr, view.selection());
  EXPECT_TRUE(view.selection()->Selection().empty());
  view.RedrawNow();
  EXPECT_NE(Colour_rgb(51, 153, 255), pixelAt(f.buffer(), 20, 20));
  click(60, 50);
  ASSERT_EQ(1u, view.selection()->Selection().size());
  EXPECT_NE(red, view.selection()->Selection()[0]);
  ASSERT_TRUE(f.frame->SelectPageNumber(1));
  EXPECT_TRUE(view.selection()->Selection().empty());
  for (const auto& fig : f.frame->document().workingFigures()) {
    if (fig->GetKind() != FigureKind_Canvas) EXPECT_FALSE(fig->IsSelected());
  }

  // Select all, then read the note again and close it: the selection goes
  // with the figures.
  ASSERT_TRUE(f.frame->commands().run(Cmd_SelectAll));
  EXPECT_EQ(1u, view.selection()->Selection().size());
  f.open(kNote);
  ASSERT_NE(nullptr, view.selection());
  EXPECT_TRUE(view.selection()->Selection().empty());
  click(60, 50);
  EXPECT_EQ(1u, view.selection()->Selection().size());
  f.frame.reset();
}
