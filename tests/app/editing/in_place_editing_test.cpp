// Writing in place in the main window on the offscreen platform, as a user
// does it: a double click opens the editor on a text box, Japanese comes
// through the input method (preedit, then commit) and keys, a click
// outside ends the edit; the saved file holds the text, undo brings the
// original bytes back and redo the edited ones.  Also Escape, a text of
// 100,000 bytes pasted and typed, and the right button's menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>

#include <chrono>
#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "figures/base/figure_kind.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"
#include "view/editor/in_place_editing.h"
#include "view/menus/context_menus.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

// One page with a framed text box "memo" and a rectangle below it.
const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<text x=\"80\" y=\"80\" style=\"font-size:12pt\">memo</text>\r\n"
    "<rect x=\"60\" y=\"300\" width=\"120\" height=\"60\" style=\"fill:rgb(0,255,0)\" "
    "fill=\"rgb(0,255,0)\"/>\r\n"
    "</svg>\r\n";

struct Window {
  testing_support::TempDir dir;
  std::unique_ptr<CMainFrame> frame;
  std::string path;

  Window() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("");
    o.save.profileFolder = dir.file("");
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->resize(800, 600);
    path = dir.file("note.svg");
    FileX_writeWhole(path, kNote);
    frame->LoadNote(path, false);
    frame->show();
    QApplication::processEvents();
    view().setFocus();
  }
  ~Window() {
    // No close question: the test decides what is saved.
    frame->undo().MarkSaved();
  }
  CChildView& view() { return frame->view(); }
  QWidget* port() { return view().viewport(); }
  InPlaceEditing& editing() { return view().inPlace(); }
  Text_Box* box() {
    for (const auto& f : frame->document().workingFigures()) {
      if (f->GetKind() == FigureKind_Text) return static_cast<Text_Box*>(f.get());
    }
    return nullptr;
  }
  QPoint clientOf(int32_t x, int32_t y) {
    const Point32 p = view().CanvasToClient({x, y});
    return {p.x, p.y};
  }
  QPoint boxCentre() {
    Text_Box* b = box();
    return clientOf(b->GetEdge(4), b->GetEdge(5));
  }
  std::string save() {
    EXPECT_TRUE(frame->commands().run(Cmd_FileSave));
    return testing_support::ReadFileBytes(path);
  }
  bool titleMarked() { return frame->windowTitle().startsWith(u'*'); }
  // What the mouse sends for a double click: a click, then the second
  // press as a double click, then its release.
  void doubleClick(QPoint at, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(port(), Qt::LeftButton, mods, at);
    QTest::mouseDClick(port(), Qt::LeftButton, mods, at);
    QTest::mouseRelease(port(), Qt::LeftButton, mods, at);
  }
  void send(QInputMethodEvent& e) { QApplication::sendEvent(&view(), &e); }
  QRect caret() { return view().inputMethodQuery(Qt::ImCursorRectangle).toRect(); }
};

}  // namespace

TEST(InPlaceEditing, DoubleClickJapaneseThroughTheInputMethodClickOutsideSaveUndoRedo) {
  Window w;
  ASSERT_NE(nullptr, w.box());
  const std::string original = w.save();
  EXPECT_FALSE(w.titleMarked());
  const size_t records = w.frame->undo().recordCount();

  w.doubleClick(w.boxCentre());
  ASSERT_TRUE(w.editing().active());
  EXPECT_EQ(w.box(), w.editing().box());
  EXPECT_TRUE(w.view().testAttribute(Qt::WA_InputMethodEnabled));
  QTest::keyClick(&w.view(), Qt::Key_End);
  const QRect atEnd = w.caret();
  // The caret rectangle is the editor's caret at the zoom, in the view.
  const SurfaceRect own = w.editing().editor().CaretRect([&] {
    DrawContext c;
    w.view().FillDrawContext(c, true);
    return c;
  }());
  EXPECT_EQ(QPoint(own.left, own.top) + w.port()->pos(), atEnd.topLeft());

  // Composition: shown in place (not yet text of the box), the caret
  // follows it.
  {
    QInputMethodEvent e(u"にほんご"_qs, {QInputMethodEvent::Attribute(
                                             QInputMethodEvent::Cursor, 4, 1)});
    w.send(e);
  }
  ASSERT_TRUE(w.editing().editor().IsComposing());
  EXPECT_EQ("memoにほんご", w.editing().editor().text());
  EXPECT_EQ("memo", w.box()->text());
  const QRect composing = w.caret();
  EXPECT_GT(composing.left(), atEnd.left() + 20);
  EXPECT_EQ(atEnd.top(), composing.top());
  EXPECT_TRUE(w.titleMarked());  // an edit under way is a change
  {
    QInputMethodEvent e;
    e.setCommitString(u"日本語"_qs);
    w.send(e);
  }
  EXPECT_FALSE(w.editing().editor().IsComposing());
  QTest::keyClicks(&w.view(), "!1");  // "1" is no zoom key while writing
  EXPECT_EQ(100, w.view().geometry().zoom);
  EXPECT_EQ("memo日本語!1", w.editing().editor().text());
  EXPECT_GT(w.caret().left(), composing.left() - 20);
  // Zoomed and scrolled, the rectangle still sits on the caret: the
  // caret's page point through the view's own conversion.
  w.view().SetZoom(200, 1, {120, 90});
  ASSERT_EQ(200, w.view().geometry().zoom);
  w.view().ScrollTo({40, 30});
  {
    const Text_Editor& ed = w.editing().editor();
    const Point32 c = w.view().CanvasToClient(
        {ed.basePoint().x + ed.caretX, ed.firstLineTop + ed.caretY - 1});
    const QRect r = w.caret();
    EXPECT_EQ(QPoint(c.x, c.y) + w.port()->pos(), r.topLeft());
    EXPECT_EQ(ed.lineHeight16 * 200 / 1600 + 2, r.height());
  }
  w.view().SetZoom(100);
  w.view().ScrollTo({0, 0});

  // A click on empty canvas ends the edit: one undo step.
  QTest::mouseClick(w.port(), Qt::LeftButton, {}, w.clientOf(500, 250));
  EXPECT_FALSE(w.editing().active());
  EXPECT_EQ("memo日本語!1", w.box()->text());
  EXPECT_EQ(records + 1, w.frame->undo().recordCount());
  EXPECT_TRUE(w.titleMarked());
  const std::string edited = w.save();
  EXPECT_FALSE(w.titleMarked());
  EXPECT_NE(original, edited);

  // Undo gives the original bytes back (the edit reopens on the box with
  // its old text), redo the edited ones.
  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));
  EXPECT_EQ("memo", w.box()->text());
  EXPECT_TRUE(w.editing().active());
  EXPECT_TRUE(w.titleMarked());
  EXPECT_EQ(original, w.save());
  EXPECT_FALSE(w.frame->commands().action(Cmd_Undo)->isEnabled());
  ASSERT_TRUE(w.frame->commands().action(Cmd_Redo)->isEnabled());
  ASSERT_TRUE(w.frame->commands().run(Cmd_Redo));
  EXPECT_EQ("memo日本語!1", w.box()->text());
  EXPECT_EQ(edited, w.save());
  EXPECT_FALSE(w.titleMarked());

  // The saved note reads back with the text.
  Window again;
  again.frame->LoadNote(w.path, false);
  ASSERT_NE(nullptr, again.box());
  EXPECT_EQ("memo日本語!1", again.box()->text());
}

TEST(InPlaceEditing, EscapeEndsTheEditAndAHundredThousandBytesNeitherHangNorCrash) {
  Window w;
  w.doubleClick(w.boxCentre());
  ASSERT_TRUE(w.editing().active());
  QTest::keyClick(&w.view(), Qt::Key_A, Qt::ControlModifier);  // all of "memo"
  QTest::keyClicks(&w.view(), "x");
  QTest::keyClick(&w.view(), Qt::Key_Escape);
  EXPECT_FALSE(w.editing().active());
  EXPECT_EQ("x", w.box()->text());

  // 100,000 bytes: lines of double-byte characters pasted, then typed on.
  std::u16string line;
  for (int i = 0; i < 49; ++i) line += u'漢';
  QString big;
  for (int i = 0; i < 1000; ++i) big += QString::fromStdU16String(line) + u"\n"_qs;
  QApplication::clipboard()->setText(big);
  const auto start = std::chrono::steady_clock::now();
  w.doubleClick(w.boxCentre());
  ASSERT_TRUE(w.editing().active());
  QTest::keyClick(&w.view(), Qt::Key_End);
  QTest::keyClick(&w.view(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClicks(&w.view(), "tail");
  {
    QInputMethodEvent e;
    e.setCommitString(u"終"_qs);
    w.send(e);
  }
  w.view().RedrawNow();
  EXPECT_GE(w.editing().editor().text().size(), 100000u);
  // Left of the box, which now reaches far to the right and down.
  QTest::mouseClick(w.port(), Qt::LeftButton, {}, w.clientOf(10, 250));
  EXPECT_FALSE(w.editing().active());
  EXPECT_EQ(w.box()->text().substr(w.box()->text().size() - 6), "tail終");
  w.view().RedrawNow();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  // Undo takes the whole edit back at once.
  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));
  EXPECT_EQ("x", w.box()->text());
}

TEST(InPlaceEditing, TheRightButtonOpensTheMenuOfWhatItPressed) {
  Window w;
  ViewContextMenus& menus = w.view().contextMenus();
  std::vector<std::pair<std::string, bool>> items;
  std::string chooseText;
  menus.exec = [&](QMenu& menu, QPoint) -> QAction* {
    items.clear();
    QAction* chosen = nullptr;
    for (QAction* a : menu.actions()) {
      if (a->isSeparator()) continue;
      items.emplace_back(QtText_toCp932(a->text()), a->isEnabled());
      if (QtText_toCp932(a->text()) == chooseText) chosen = a;
    }
    return chosen;
  };
  auto enabled = [&](const std::string& text) {
    for (const auto& [t, on] : items)
      if (t == text) return on;
    ADD_FAILURE() << "no item " << text;
    return false;
  };

  // On a text box: the figure menu, items enabled as their commands are
  // (cut: a figure is held; paste: the clipboard holds nothing).
  QApplication::clipboard()->clear();
  QTest::mouseClick(w.port(), Qt::RightButton, {}, w.boxCentre());
  EXPECT_EQ(static_cast<int>(ViewMenu::PrimRight), menus.lastMenu());
  EXPECT_EQ(w.box(), w.view().selection()->HoldPrim());
  EXPECT_TRUE(enabled("切り取り(&T)"));
  EXPECT_TRUE(enabled("１つ手前(&F)"));

  // On the canvas: the canvas menu; "すべて選択(&A)" runs.
  chooseText = "すべて選択(&A)";
  QTest::mouseClick(w.port(), Qt::RightButton, {}, w.clientOf(500, 250));
  EXPECT_EQ(static_cast<int>(ViewMenu::CanvasRight), menus.lastMenu());
  EXPECT_TRUE(enabled("すべて選択(&A)"));
  EXPECT_TRUE(enabled("引っ掛ける(&C)"));
  EXPECT_FALSE(enabled("貼り付け(&V)"));
  EXPECT_EQ(2u, w.view().selection()->Selection().size());

  // In the editor: the editor's menu; copy works on the editor's text.
  chooseText = "コピー(&C)";
  w.doubleClick(w.boxCentre());
  ASSERT_TRUE(w.editing().active());
  QTest::keyClick(&w.view(), Qt::Key_A, Qt::ControlModifier);
  QTest::mouseClick(w.port(), Qt::RightButton, {}, w.boxCentre());
  EXPECT_EQ(static_cast<int>(ViewMenu::EditorRight), menus.lastMenu());
  EXPECT_TRUE(w.editing().active());
  EXPECT_TRUE(enabled("コピー(&C)"));
  EXPECT_TRUE(enabled("日時挿入(&T)"));
  EXPECT_EQ(u"memo"_qs, QApplication::clipboard()->text());
  // The menu key opens the editor's menu too.
  chooseText.clear();
  {
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0));
    QApplication::sendEvent(&w.view(), &key);
  }
  EXPECT_EQ(static_cast<int>(ViewMenu::EditorRight), menus.lastMenu());
  // A right press elsewhere ends the edit.
  QTest::mouseClick(w.port(), Qt::RightButton, {}, w.clientOf(500, 250));
  EXPECT_FALSE(w.editing().active());
}

// A figure changed after its click without a record (as a keyboard nudge
// leaves it: before copies taken, the figure moved) is a pending change: the note counts as modified, and undo
// records it first and takes it back; redo brings it again.
TEST(InPlaceEditing, APendingNudgeIsModifiedAndUndoRecordsItFirst) {
  Window w;
  const std::string original = w.save();
  EXPECT_FALSE(w.frame->noteModified());
  QTest::mouseClick(w.port(), Qt::LeftButton, {}, w.clientOf(100, 320));  // the rectangle
  CadPrim* rect = w.view().selection()->HoldPrim();
  ASSERT_NE(nullptr, rect);
  ASSERT_EQ(FigureKind_Rect, rect->GetKind());
  EXPECT_FALSE(w.frame->noteModified());  // a click changes nothing
  EXPECT_FALSE(w.frame->commands().action(Cmd_Undo)->isEnabled());
  // The nudge takes the before copies when the click left none.
  if (w.view().selection()->BeforePrim() == nullptr) w.view().selection()->TakeBeforeCopies(rect);
  rect->MoveBy(1, 0);
  rect->MoveBy(0, 1);
  w.view().host().ModifiedChanged();  // as the nudge command tells the window
  EXPECT_TRUE(w.frame->noteModified());
  EXPECT_TRUE(w.titleMarked());
  const size_t records = w.frame->undo().recordCount();
  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));
  EXPECT_EQ(records + 1, w.frame->undo().recordCount());
  EXPECT_EQ(original, w.save());
  ASSERT_TRUE(w.frame->commands().run(Cmd_Redo));
  const std::string nudged = w.save();
  EXPECT_NE(original, nudged);
  // The same figure is held again after the step.
  ASSERT_NE(nullptr, w.view().selection()->HoldPrim());
  EXPECT_EQ(FigureKind_Rect, w.view().selection()->HoldPrim()->GetKind());
}

// A double click on empty canvas makes a text box there and edits it with
// its placeholder selected; left untouched it goes again.  Written, it is
// one creation and one text step.
TEST(InPlaceEditing, ADoubleClickOnEmptyCanvasWritesANewTextBox) {
  Window w;
  const std::string original = w.save();
  const size_t figures = w.frame->document().workingFigures().size();

  w.doubleClick(w.clientOf(400, 150));
  ASSERT_TRUE(w.editing().active());
  EXPECT_TRUE(w.editing().newTextBox());
  EXPECT_EQ("ABC", w.editing().editor().GetSelectionText());
  QTest::mouseClick(w.port(), Qt::LeftButton, {}, w.clientOf(500, 250));
  EXPECT_FALSE(w.editing().active());
  EXPECT_EQ(figures, w.frame->document().workingFigures().size());
  EXPECT_FALSE(w.frame->noteModified());
  EXPECT_EQ(original, w.save());

  w.doubleClick(w.clientOf(400, 150), Qt::ControlModifier);
  ASSERT_TRUE(w.editing().active());
  Text_Box* made = w.editing().box();
  EXPECT_EQ(TextBoxFrame_Rectangle, made->frameShape);
  {
    QInputMethodEvent e(u"あたらしい"_qs, {});
    w.send(e);
  }
  {
    QInputMethodEvent e;
    e.setCommitString(u"新しい"_qs);
    w.send(e);
  }
  QTest::mouseClick(w.port(), Qt::LeftButton, {}, w.clientOf(500, 250));
  ASSERT_EQ(figures + 1, w.frame->document().workingFigures().size());
  EXPECT_EQ("新しい", made->text());
  EXPECT_FALSE(made->placeholder);
  const std::string written = w.save();
  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));  // the text
  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));  // the box
  EXPECT_FALSE(w.editing().active());
  EXPECT_EQ(figures, w.frame->document().workingFigures().size());
  EXPECT_EQ(original, w.save());
  ASSERT_TRUE(w.frame->commands().run(Cmd_Redo));
  ASSERT_TRUE(w.frame->commands().run(Cmd_Redo));
  EXPECT_EQ(written, w.save());
}

namespace {

// Answers every box with `answer` and keeps what was asked.
class AnsweringPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon, PromptAnswer, uint32_t) override {
    asked.push_back(std::string(title) + ": " + std::string(text));
    return answer;
  }
  std::vector<std::string> asked;
  PromptAnswer answer = PromptAnswer::Yes;
};

void rightDrag(Window& w, QPoint from, QPoint to) {
  QTest::mousePress(w.port(), Qt::RightButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), w.port()->mapToGlobal(QPointF(to)),
                   Qt::NoButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(w.port(), &move);
  QTest::mouseRelease(w.port(), Qt::RightButton, {}, to);
}

}  // namespace

// A right drag down from empty canvas inserts room below the start line, a
// drag up deletes the band (asking first when figures lie in it); each is
// one undo step.
TEST(InPlaceEditing, RightDragsInsertAndDeleteRows) {
  Window w;
  AnsweringPrompts prompts;
  struct Installed {
    explicit Installed(UserPrompts* p) { UserPrompts_set(p); }
    ~Installed() { UserPrompts_set(nullptr); }
  } installed(&prompts);
  w.view().m_Sleep = [](int) {};
  const std::string original = w.save();
  auto rect = [&w]() -> CadPrim* {
    for (const auto& f : w.frame->document().workingFigures())
      if (f->GetKind() == FigureKind_Rect) return f.get();
    return nullptr;
  };
  const int32_t boxTop = w.box()->GetEdge(2);

  rightDrag(w, w.clientOf(400, 200), w.clientOf(400, 300));
  EXPECT_EQ(400, rect()->GetEdge(2));  // moved down by 100
  EXPECT_EQ(boxTop, w.box()->GetEdge(2));  // above the line: stays
  EXPECT_GE(w.frame->document().workingSettings().height(), rect()->GetEdge(3) + 31);
  EXPECT_TRUE(prompts.asked.empty());
  const std::string inserted = w.save();

  // Up from 450 to 350: the rectangle (400..460) lies in the band.
  rightDrag(w, w.clientOf(400, 450), w.clientOf(400, 350));
  ASSERT_EQ(1u, prompts.asked.size());
  EXPECT_EQ("行削除: 選択した図形も削除しますか？", prompts.asked[0]);
  EXPECT_EQ(nullptr, rect());
  EXPECT_EQ(boxTop, w.box()->GetEdge(2));

  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));
  ASSERT_NE(nullptr, rect());
  EXPECT_EQ(inserted, w.save());
  ASSERT_TRUE(w.frame->commands().run(Cmd_Undo));
  EXPECT_EQ(original, w.save());
}
