// A drawing of another program in the main window: what the figures cannot
// hold shows as it is drawn, is selected with a click, shows its element in
// the property bar, moves with the mouse, goes with Delete and comes back
// with Ctrl+Z, and the saved note keeps it with the move as its transform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/propbar/prop_bar.h"
#include "core/filex/filex.h"
#include "figures/foreign/foreign_figure.h"
#include "platform/text/qt_text.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "view/child_view/child_view.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

const char kDrawing[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"600\" height=\"400\">\n"
    "<defs><linearGradient id=\"g\"><stop offset=\"0\" stop-color=\"#f80\"/>"
    "<stop offset=\"1\" stop-color=\"#f80\"/></linearGradient></defs>\n"
    "<path d=\"M100,100 L260,100 L180,240 z\" fill=\"url(#g)\"/>\n"
    "<rect x=\"400\" y=\"100\" width=\"80\" height=\"60\" fill=\"green\"/>\n"
    "</svg>\n";

struct Window {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed{prompts};
  std::unique_ptr<CMainFrame> frame;
  std::string path = dir.file("drawing.svg");

  Window() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("");
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->resize(900, 700);
    FileX_writeWhole(path, kDrawing);
    frame->LoadNote(path, false);
    frame->show();
    frame->view().m_Sleep = [](int) {};
    QApplication::setActiveWindow(frame.get());
    QApplication::processEvents();
  }
  ~Window() { frame->undo().MarkSaved(); }

  QPoint client(int32_t x, int32_t y) {
    const Point32 c = frame->view().CanvasToClient({x, y});
    return QPoint(c.x, c.y);
  }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(&frame->view(), k, mods);
    QApplication::processEvents();
  }
  Foreign_Figure* kept() {
    for (const auto& f : frame->document().workingFigures())
      if (f->GetKind() == FigureKind_Foreign) return static_cast<Foreign_Figure*>(f.get());
    return nullptr;
  }
  QRgb pixelAt(int32_t x, int32_t y) {
    QApplication::processEvents();
    return frame->view().viewport()->grab().toImage().pixel(client(x, y));
  }
  bool barShows(const std::string& line) {
    QListWidget& list = frame->propBar().list();
    for (int i = 0; i < list.count(); ++i)
      if (QtText_toCp932(list.item(i)->text()) == line) return true;
    return false;
  }
};

TEST(ForeignFigureEditing, AKeptElementIsSelectedMovedDeletedRestoredAndSaved) {
  Window w;
  ASSERT_NE(w.kept(), nullptr);
  // Drawn with its gradient, where the drawing has it.
  EXPECT_EQ(w.pixelAt(180, 130) & 0xFFFFFF, 0xFF8800u);

  QWidget* port = w.frame->view().viewport();
  QTest::mouseClick(port, Qt::LeftButton, {}, w.client(180, 130));
  QApplication::processEvents();
  ASSERT_TRUE(w.kept()->IsSelected());
  EXPECT_TRUE(w.barShows("要素 = path"));

  // Dragged 40 right and 30 down as one piece.
  QTest::mousePress(port, Qt::LeftButton, {}, w.client(180, 130));
  for (int i = 1; i <= 4; ++i) QTest::mouseMove(port, w.client(180 + 10 * i, 130 + 30 * i / 4));
  QTest::mouseRelease(port, Qt::LeftButton, {}, w.client(220, 160));
  QApplication::processEvents();
  EXPECT_EQ(w.kept()->parts().matrix, SvgAffine_translate(40, 30));
  EXPECT_EQ(w.pixelAt(220, 160) & 0xFFFFFF, 0xFF8800u);
  EXPECT_NE(w.pixelAt(110, 105) & 0xFFFFFF, 0xFF8800u);

  // Delete takes it, Ctrl+Z brings it back where it was moved to.
  w.key(Qt::Key_Delete);
  EXPECT_EQ(w.kept(), nullptr);
  w.key(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_NE(w.kept(), nullptr);
  EXPECT_EQ(w.kept()->parts().matrix, SvgAffine_translate(40, 30));

  // Saved as a note (after the question every file of the older format
  // gets): the element as it was, its gradient, the move.
  w.prompts.answers.push_back(PromptAnswer::Yes);
  w.key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(w.prompts.texts().size(), 1u);
  const std::string saved = testing_support::ReadFileBytes(w.path);
  EXPECT_NE(saved.find("sub_doctype=\"zerbin-300\""), std::string::npos);
  EXPECT_NE(saved.find("<g zerbin-foreign=\"path\" transform=\"matrix(1,0,0,1,40,30)\""),
            std::string::npos)
      << saved;
  EXPECT_NE(saved.find("<path d=\"M100,100 L260,100 L180,240 z\" fill=\"url(#g)\"/>"),
            std::string::npos);
  EXPECT_NE(saved.find("<linearGradient id=\"g\">"), std::string::npos);

  // And the moved element is read back from the saved note the same.
  const ForeignParts before = w.kept()->parts();
  w.frame->undo().MarkSaved();
  w.frame->LoadNote(w.path, false);
  QApplication::processEvents();
  ASSERT_NE(w.kept(), nullptr);
  EXPECT_EQ(w.kept()->parts(), before);
}

}  // namespace
