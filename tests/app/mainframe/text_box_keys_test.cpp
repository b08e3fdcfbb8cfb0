// The keys and commands that make and edit text boxes, on the real window:
// Enter edits the held box, Space makes a new one, Ctrl+Shift+Down goes on
// below it, bold while editing, the multi-line text dialog and the lock
// toggle; the saved note shows each, and undo gives the original bytes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>

#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/saving/save_commands.h"
#include "core/filex/filex.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "view/menus/context_menus.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/dialogs/input_ml_dialog.h"
#include "view/editor/in_place_editing.h"
#include "view/keyboard/text_box_keys.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

const char kNote[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<g id=\"page1\" width=\"600\" height=\"800\" transform=\"translate(+10,+10)\">\r\n"
    "<text id=\"t1\" x=\"300\" y=\"200\" style=\"font-size:12pt\">t1</text>\r\n"
    "</g>\r\n<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n"
    "</zerbin-pages>\r\n</svg>\r\n";

}  // namespace

TEST(TextBoxKeys, EnterSpaceContinueBoldDialogAndLockEndInTheSavedNoteAndUndoToTheOriginal) {
  testing_support::TempDir dir;
  CMainFrameOptions o;
  o.japanese = true;
  o.workFolder = dir.file("");
  CMainFrame frame(std::string(), o);
  frame.resize(900, 700);
  const std::string path = dir.file("note.svg");
  FileX_writeWhole(path, kNote);
  frame.LoadNote(path, false);
  frame.show();
  frame.activateWindow();
  CChildView& view = frame.view();
  view.setFocus();
  QApplication::processEvents();
  auto save = [&] {
    EXPECT_TRUE(NoteSave_save(frame));
    return FileX_readWhole(path);
  };
  const std::string original = save();
  InPlaceEditing& edit = view.inPlace();
  Text_Box* t1 = nullptr;
  for (const auto& f : frame.document().workingFigures()) {
    if (f->GetId() == "t1") t1 = dynamic_cast<Text_Box*>(f.get());
  }
  ASSERT_NE(nullptr, t1);

  // Enter edits the held box; typing and Escape make one text step.
  const Point32 c = view.CanvasToClient({t1->GetEdge(0) + 2, t1->GetEdge(2) + 2});
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(c.x, c.y));
  ASSERT_EQ(t1, view.selection()->HoldPrim());
  QTest::keyClick(&view, Qt::Key_Return);
  ASSERT_TRUE(edit.active());
  EXPECT_EQ(t1, edit.box());
  // Ctrl+Home and Ctrl+End put the caret at the start and end of the text.
  QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(0, edit.editor().caret());
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(2, edit.editor().caret());
  EXPECT_FALSE(edit.editor().hasSelection());
  QTest::keyClicks(&view, "Z");
  // Bold while editing: the box turns bold and its edit goes on.
  ASSERT_TRUE(frame.commands().run(Cmd_Bold));
  EXPECT_TRUE(t1->bold);
  ASSERT_TRUE(edit.active());
  EXPECT_EQ(t1, edit.box());
  QTest::keyClick(&view, Qt::Key_Escape);
  EXPECT_FALSE(edit.active());
  EXPECT_EQ("t1Z", t1->text());

  // Space makes a box at (30, 30) and edits it; Ctrl+Shift+Down at the
  // end of its text goes on with an empty box below it.
  view.selection()->DeselectAll(true);
  QTest::keyClick(&view, Qt::Key_Space);
  ASSERT_TRUE(edit.active());
  Text_Box* first = edit.box();
  EXPECT_EQ(30, first->basePoint().x);
  EXPECT_EQ(30, first->basePoint().y);
  QTest::keyClicks(&view, "hello");
  QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_TRUE(edit.active());
  Text_Box* second = edit.box();
  ASSERT_NE(first, second);
  EXPECT_EQ("hello", first->text());
  EXPECT_EQ(30 + TextBoxKeys_continueOffset(*first), second->basePoint().y);
  QTest::keyClicks(&view, "next");
  QTest::keyClick(&view, Qt::Key_Escape);
  EXPECT_EQ("next", second->text());

  // The text dialog gives t1 two lines; Cancel changes nothing.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(c.x, c.y));
  ASSERT_EQ(t1, view.selection()->HoldPrim());
  CInputML1::exec = [](CInputML1& d) {
    EXPECT_EQ("t1Z", d.text());
    d.setText("one\r\ntwo");
    return int(QDialog::Rejected);
  };
  ASSERT_TRUE(frame.commands().run(Cmd_TextDialog));
  EXPECT_EQ("t1Z", t1->text());
  CInputML1::exec = [](CInputML1& d) {
    d.setText("one\r\ntwo");
    return int(QDialog::Accepted);
  };
  ASSERT_TRUE(frame.commands().run(Cmd_TextDialog));
  CInputML1::exec = nullptr;
  EXPECT_EQ("one\r\ntwo", t1->text());
  // The lock toggle locks and unlocks the selection; the lock is saved
  // with the figure, so each toggle is a step of its own.
  const size_t steps = frame.undo().recordCount();
  ASSERT_TRUE(frame.commands().run(Cmd_LockToggle));
  EXPECT_TRUE(t1->IsLocked());
  ASSERT_TRUE(frame.commands().run(Cmd_LockToggle));
  EXPECT_FALSE(t1->IsLocked());
  EXPECT_EQ(steps + 2, frame.undo().recordCount());

  const std::string edited = save();
  EXPECT_NE(std::string::npos, edited.find(">hello</text>"));
  EXPECT_NE(std::string::npos, edited.find(">next</text>"));
  EXPECT_NE(std::string::npos, edited.find("font-weight:bold"));
  EXPECT_NE(std::string::npos, edited.find("two"));
  // Enter, Space, Ctrl+Shift+Down, bold and the dialog were one step each
  // or more; undo takes all of them back.
  while (frame.undo().Undo(frame.document())) {
  }
  view.PageChanged();
  EXPECT_EQ(original, save());
}

TEST(TextBoxKeys, ConnectWithTextFromTheLineMenuHangsTheEndAndUndoGivesTheOriginal) {
  testing_support::TempDir dir;
  CMainFrameOptions o;
  o.japanese = true;
  o.workFolder = dir.file("");
  CMainFrame frame(std::string(), o);
  frame.resize(900, 700);
  const std::string path = dir.file("note.svg");
  FileX_writeWhole(path, kNote);
  frame.LoadNote(path, false);
  // A line whose second end lies in t1's frame, drawn after it.
  const Rect32 b = frame.document().workingFigures().at(1).GetBounds();
  const Point32 end{b.x + b.w / 2, b.y + b.h / 2};
  std::string note = kNote;
  note.insert(note.find("</g>"), "<line x1=\"60\" y1=\"60\" x2=\"" +
                                     std::to_string(end.x) + "\" y2=\"" + std::to_string(end.y) +
                                     "\" style=\"stroke:rgb(0,0,0);stroke-width:1\"/>\r\n");
  FileX_writeWhole(path, note);
  frame.LoadNote(path, false);
  frame.show();
  CChildView& view = frame.view();
  view.setFocus();
  QApplication::processEvents();
  auto save = [&] {
    EXPECT_TRUE(NoteSave_save(frame));
    return FileX_readWhole(path);
  };
  const std::string original = save();
  FigureList& list = frame.document().workingFigures();
  ASSERT_EQ(3u, list.size());
  CadPrim& box = list.at(1);
  CadPrim& line = list.at(2);
  ASSERT_EQ(FigureKind_Line, line.GetKind());

  // The right button on the line's end opens its menu; the item is
  // enabled, unchecked, and chosen.
  bool offered = false;
  view.contextMenus().exec = [&](QMenu& menu, QPoint) -> QAction* {
    for (QAction* a : menu.actions()) {
      if (QtText_toCp932(a->text()) != "テキストと接続(&A)") continue;
      offered = a->isEnabled() && !a->isChecked();
      return a;
    }
    return nullptr;
  };
  const Point32 c = view.CanvasToClient(end);
  QTest::mousePress(view.viewport(), Qt::RightButton, {}, QPoint(c.x, c.y));
  QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, QPoint(c.x, c.y));
  EXPECT_TRUE(offered);
  EXPECT_EQ(&box, line.GetEndTarget(2));
  EXPECT_EQ(1, list.indexOf(line));  // directly below the box
  EXPECT_EQ(2, list.indexOf(box));
  EXPECT_NE(original, save());
  // Undo puts the line back above the box with its end free.
  ASSERT_TRUE(frame.commands().run(Cmd_Undo));
  EXPECT_EQ(nullptr, line.GetEndTarget(2));
  EXPECT_EQ(original, save());
}
