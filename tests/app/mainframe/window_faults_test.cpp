// Everyday sequences through the real windows that once crashed the
// program or lost edits: a click on a link to another page, Delete while
// the button holds a figure, undo of a delete of neighbours, a damaged
// note opened beside others, one file reached by several paths, a note
// written by someone else since it was loaded, notes made from the
// template, the lock toggle, alignment of boxes with lines hanging on
// them, and nudges followed by Select All.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

#include <unistd.h>

#include <string>
#include <vector>

#include "app/links/follow_link.h"
#include "app/links/recording_shell.h"
#include "app/links/shell_services.h"
#include "app/links/app_folders.h"
#include "app/mainframe/main_frame.h"
#include "app/saving/auto_save.h"
#include "app/saving/emergency_save.h"
#include "app/saving/recent_files.h"
#include "app/saving/save_commands.h"
#include "app/startup/zerbin_app.h"
#include "app/windows/window_list.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "core/prompts/user_prompts.h"
#include "document/note/note_document.h"
#include "figures/base/figure_kind.h"
#include "figures/text/text_box.h"
#include "platform/images/qt_image_decoder.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"
#include "view/editing/edit_tools.h"
#include "view/editor/in_place_editing.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

std::string rect(const char* id, int x, int y, const char* link = nullptr) {
  std::string r = "<rect id=\"" + std::string(id) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
                  std::to_string(y) + "\" width=\"80\" height=\"50\" style=\"fill:rgb(200,200,200)\"/>\r\n";
  return link ? "<a xlink:href=\"" + std::string(link) + "\">" + r + "</a>\r\n" : r;
}
std::string text(const char* id, int x, int y) {
  return "<text id=\"" + std::string(id) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
         std::to_string(y) + "\" style=\"font-size:12pt\">" + id + "</text>\r\n";
}
std::string twoPages(const std::string& first) {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"00620\" height=\"01240\" "
         "sub_doctype=\"zerbin-300\">\r\n<g id=\"page1\" width=\"600\" height=\"600\" "
         "transform=\"translate(+10,+10)\">\r\n" + first +
         "</g>\r\n<g id=\"page2\" width=\"600\" height=\"600\" transform=\"translate(+10,+620)\">\r\n" +
         rect("p2", 100, 100) + "</g>\r\n<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n"
         "<zerbin-page num=\"2\" title=\"two\"/>\r\n</zerbin-pages>\r\n</svg>\r\n";
}

class Prompts : public NonInteractivePrompts {
 public:
  explicit Prompts(std::string echo) : NonInteractivePrompts(std::move(echo)) {}
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons b,
                          PromptIcon i, PromptAnswer def, uint32_t owner) override {
    asked.emplace_back(text);
    return NonInteractivePrompts::messageBox(text, title, b, i, def, owner);
  }
  void showDetail(std::string_view, std::string_view text, uint32_t) override {
    asked.emplace_back(text);
  }
  PromptAnswer confirmWithCheck(std::string_view text, std::string_view, std::string_view, bool&,
                                PromptAnswer, uint32_t) override {
    asked.emplace_back(text);
    return PromptAnswer::Cancel;
  }
  std::vector<std::string> asked;
};

struct App {
  testing_support::TempDir dir;
  Prompts prompts{dir.file("echo.txt")};
  CZerbinApp app;
  App() {
    AppFolders_prepare(app, dir);
    UserPrompts_set(&prompts);
  }
  ~App() {
    app.frames.clear();
    UserPrompts_set(nullptr);
  }
  WindowList& windows() { return WindowList_of(app); }
  CMainFrame* open(const std::string& path) {
    CMainFrame* f = windows().openNote(path, "_blank", false, true);
    if (f != nullptr) {
      f->resize(900, 700);
      f->show();
      f->activateWindow();
      f->view().setFocus();
      settle();
    }
    return f;
  }
  static void settle() {
    for (int i = 0; i < 3; ++i) {
      QApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  // A note written once by this program (the bytes the writer gives).
  std::string note(const char* name, const std::string& body) {
    const std::string path = dir.file(std::string("notes/") + name);
    FileX_writeWhole(path, body);
    return path;
  }
};

QPoint centreOf(CMainFrame& f, const char* id) {
  const FigureList& list = f.document().workingFigures();
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.at(i).GetId() != id) continue;
    const Rect32 b = list.at(i).GetBounds();
    const Point32 c = f.view().CanvasToClient({b.x + b.w / 2, b.y + b.h / 2});
    return {c.x, c.y};
  }
  ADD_FAILURE() << "no figure " << id;
  return {};
}

void mouse(CMainFrame& f, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* vp = f.view().viewport();
  const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), QPointF(vp->mapToGlobal(at)), b, buttons, mods);
  QApplication::sendEvent(vp, &e);
}

void click(CMainFrame& f, QPoint at) {
  mouse(f, QEvent::MouseButtonPress, at, Qt::LeftButton);
  mouse(f, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

std::string ids(CMainFrame& f) {
  std::string s;
  const FigureList& list = f.document().workingFigures();
  for (size_t i = 0; i < list.size(); ++i) s += list.at(i).GetId() + " ";
  return s;
}

}  // namespace

TEST(WindowFaults, ALinkClickTurnsThePageWithoutTouchingTheOldPage) {
  App t;
  CMainFrame* f = t.open(t.note("a.svg", twoPages(rect("go", 100, 100, "#page2") + rect("x", 300, 300))));
  ASSERT_NE(nullptr, f);
  const QPoint go = centreOf(*f, "go");
  click(*f, go);  // holds it
  QTest::qWait(600);  // no double click
  click(*f, go);  // follows the link; the release must not use the old page
  App::settle();
  EXPECT_EQ(2, f->document().currentPageNumber());
  // Back comes to page 1 with the link figure held.
  QTest::keyClick(&f->view(), Qt::Key_Left, Qt::AltModifier);
  App::settle();
  EXPECT_EQ(1, f->document().currentPageNumber());
}

TEST(WindowFaults, DeleteOrUndoWhileTheButtonHoldsAFigureEndsTheDragFirst) {
  App t;
  const std::string path = t.note("a.svg", twoPages(rect("a", 100, 100) + rect("b", 300, 300)));
  CMainFrame* f = t.open(path);
  ASSERT_NE(nullptr, f);
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  const std::string saved = FileX_readWhole(path);
  const QPoint a = centreOf(*f, "a");
  // Press, drag a little, Delete and Escape with the button down, release.
  mouse(*f, QEvent::MouseButtonPress, a, Qt::LeftButton);
  mouse(*f, QEvent::MouseMove, a + QPoint(30, 20), Qt::LeftButton);
  QTest::keyClick(&f->view(), Qt::Key_Delete);
  QTest::keyClick(&f->view(), Qt::Key_Escape);
  mouse(*f, QEvent::MouseMove, a + QPoint(60, 20), Qt::LeftButton);
  mouse(*f, QEvent::MouseButtonRelease, a + QPoint(60, 20), Qt::NoButton);
  EXPECT_EQ("b ", ids(*f).substr(ids(*f).find("b")));
  // Shift-press on a selected figure, Delete, release.
  const QPoint b = centreOf(*f, "b");
  click(*f, b);
  mouse(*f, QEvent::MouseButtonPress, b, Qt::LeftButton, Qt::ShiftModifier);
  QTest::keyClick(&f->view(), Qt::Key_Delete);
  mouse(*f, QEvent::MouseButtonRelease, b, Qt::NoButton, Qt::ShiftModifier);
  // Ctrl+Z while the button is held on nothing.
  mouse(*f, QEvent::MouseButtonPress, QPoint(500, 500), Qt::LeftButton);
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  mouse(*f, QEvent::MouseButtonRelease, QPoint(520, 520), Qt::NoButton);
  EXPECT_FALSE(f->noteModified());
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  EXPECT_EQ(saved, FileX_readWhole(path));
}

TEST(WindowFaults, UndoOfADeleteOfNeighboursPutsEachBackInItsPlace) {
  App t;
  const std::string path =
      t.note("a.svg", twoPages(rect("a", 10, 10) + rect("b", 100, 10) + rect("c", 200, 10) + rect("d", 300, 10)));
  CMainFrame* f = t.open(path);
  ASSERT_NE(nullptr, f);
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  const std::string saved = FileX_readWhole(path);
  const std::string before = ids(*f);
  // a, then b and c with Shift: three neighbours in painting order.
  click(*f, centreOf(*f, "a"));
  for (const char* id : {"b", "c"}) {
    mouse(*f, QEvent::MouseButtonPress, centreOf(*f, id), Qt::LeftButton, Qt::ShiftModifier);
    mouse(*f, QEvent::MouseButtonRelease, centreOf(*f, id), Qt::NoButton, Qt::ShiftModifier);
  }
  QTest::keyClick(&f->view(), Qt::Key_Delete);
  EXPECT_EQ(std::string::npos, ids(*f).find("b "));
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(before, ids(*f));
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  EXPECT_EQ(saved, FileX_readWhole(path));
}

TEST(WindowFaults, ADamagedNoteIsRefusedAndTheOtherWindowsLive) {
  App t;
  CMainFrame* good = t.open(t.note("good.svg", twoPages(rect("a", 10, 10))));
  ASSERT_NE(nullptr, good);
  QPointer<CMainFrame> alive(good);
  // A gzip header with a broken stream, a truncated note, garbage bytes.
  const std::string bad[] = {t.note("bad.svgz", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03garbage", 18)),
                             t.note("junk.svg", "\x01\x02junk<<<>>>")};
  for (const std::string& p : bad) {
    t.prompts.asked.clear();
    EXPECT_EQ(nullptr, t.open(p)) << p;
    EXPECT_FALSE(t.prompts.asked.empty()) << p << ": refused without a word";
  }
  ASSERT_FALSE(alive.isNull());
  EXPECT_TRUE(alive->hasNote());
  EXPECT_EQ(1u, CMainFrame_shownFrames().size());
}

TEST(WindowFaults, OneFileIsOneWindowAndOneRecentEntryWhateverThePath) {
  App t;
  const std::string path = t.note("b.svg", twoPages(rect("a", 10, 10)));
  ASSERT_EQ(0, ::symlink(t.dir.file("notes").c_str(), t.dir.file("link").c_str()));
  CMainFrame* first = t.open(path);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(path, first->notePath());
  for (const std::string& p : {t.dir.file("notes/../notes/b.svg"), t.dir.file("notes/./b.svg"),
                               t.dir.file("notes//b.svg"), t.dir.file("link/b.svg")}) {
    EXPECT_EQ(first, t.open(p)) << p;
  }
  EXPECT_EQ(1u, CMainFrame_shownFrames().size());
  EXPECT_EQ(1u, RecentFiles_read(t.app.folders.profileFolder).size());
  EXPECT_TRUE(FileX_sameFile(t.dir.file("link/b.svg"), path));
  EXPECT_FALSE(FileX_sameFile(t.dir.file("notes/c.svg"), path));
}

TEST(WindowFaults, ANoteWrittenBySomeoneElseIsNeverOverwrittenSilently) {
  App t;
  const std::string path = t.note("a.svg", twoPages(rect("a", 10, 10)));
  CMainFrame* f = t.open(path);
  ASSERT_NE(nullptr, f);
  click(*f, centreOf(*f, "a"));
  QTest::keyClick(&f->view(), Qt::Key_Right);  // a pending nudge
  // Another program writes the file a moment later.
  ::usleep(20000);
  const std::string theirs = twoPages(rect("theirs", 50, 50));
  FileX_writeWhole(path, theirs);
  ASSERT_TRUE(NoteSave_changedOnDisk(*f));
  // Auto-save keeps a recovery copy instead.
  EXPECT_FALSE(NoteSave_autoSave(*f));
  EXPECT_EQ(theirs, FileX_readWhole(path));
  EXPECT_EQ(1u, EmergencySave_listed(t.dir.file("prof/backup")).size());
  // Ctrl+S asks; its default (No) writes nothing.
  t.prompts.asked.clear();
  QTest::keyClick(&f->view(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(1u, t.prompts.asked.size());
  EXPECT_NE(std::string::npos, t.prompts.asked[0].find(testing_support::Sjis(u8"他のプログラムで変更されています")));
  EXPECT_EQ(theirs, FileX_readWhole(path));
  EXPECT_TRUE(f->noteModified());
  // Reopen: the edits are not saved (default Yes asks the overwrite again,
  // which says No), so nothing changes; with the edits dropped it loads theirs.
  f->undo().Clear();
  f->undo().MarkSaved();
  f->view().PageLeaving();
  f->view().PageChanged();
  ASSERT_TRUE(f->commands().run(Cmd_FileReopen));
  EXPECT_EQ("theirs ", ids(*f).substr(ids(*f).find("theirs")));
  EXPECT_FALSE(NoteSave_changedOnDisk(*f));
}

TEST(WindowFaults, NotesFromTheTemplateGetUuidsOfTheirOwn) {
  App t;
  FileX_writeWhole(t.dir.file("prof/template/new_default.svg"), twoPages(rect("a", 10, 10)));
  CMainFrame* one = t.windows().openNote("", "_blank", true, true);
  CMainFrame* two = t.windows().openNote("", "_blank", true, true);
  ASSERT_NE(nullptr, one);
  ASSERT_NE(nullptr, two);
  ASSERT_NE(one, two);
  EXPECT_NE(NoteDocument_uuidText(one->document().uuid), NoteDocument_uuidText(two->document().uuid));
  EXPECT_NE(NoteDocument_uuidText(StrX_Guid{}), NoteDocument_uuidText(one->document().uuid));
}

TEST(WindowFaults, LockAlignAndNudgesBeforeSelectAllAreStepsThatUndoWhole) {
  App t;
  const std::string path =
      t.note("a.svg", twoPages(text("t1", 100, 100) + text("t2", 300, 250) +
                               "<line x1=\"10\" y1=\"400\" x2=\"500\" y2=\"500\" "
                               "style=\"stroke:rgb(0,0,0);stroke-width:1\" zerbin-lnk1=\"#t1\" "
                               "zerbin-lnk2=\"#t2\"/>\r\n"));
  CMainFrame* f = t.open(path);
  ASSERT_NE(nullptr, f);
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  const std::string saved = FileX_readWhole(path);
  FigureList& list = f->document().workingFigures();
  // The line hangs on both boxes.
  CadPrim* line = nullptr;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.at(i).GetKind() == FigureKind_Line) line = &list.at(i);
  }
  ASSERT_NE(nullptr, line);
  ASSERT_NE(nullptr, line->GetEndTarget(2));
  const Point32 lineEnd = line->GetHandlePoint(2);

  // The lock is a change of the note.
  click(*f, centreOf(*f, "t1"));
  ASSERT_TRUE(f->commands().run(Cmd_LockToggle));
  EXPECT_TRUE(f->noteModified());
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(f->noteModified());

  // Align the two boxes: the line's ends follow them, and one undo takes
  // boxes and line back (the saved bytes say where the line is).
  QTest::keyClick(&f->view(), Qt::Key_A, Qt::ControlModifier);
  ASSERT_TRUE(f->commands().run(Cmd_AlignLeft));
  EXPECT_TRUE(f->noteModified());
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(f->noteModified());
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  EXPECT_EQ(saved, FileX_readWhole(path));
  static_cast<void>(lineEnd);

  // Nudges, then Select All: the nudges are a step of their own, which
  // one undo takes back whole.
  QTest::keyClick(&f->view(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&f->view(), Qt::Key_Right);
  QTest::keyClick(&f->view(), Qt::Key_Right);
  QTest::keyClick(&f->view(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(f->noteModified());
  EXPECT_TRUE(f->undo().CanUndo());
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(f->noteModified());
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  EXPECT_EQ(saved, FileX_readWhole(path));
}


TEST(WindowFaults, FileAddressesAndPagesWithFragmentsPassTheSafeFileCheck) {
  App t;
  RecordingShell shell;
  ShellServices_set(&shell);
  CMainFrame* f = t.open(t.note("a.svg", twoPages(rect("a", 10, 10))));
  ASSERT_NE(nullptr, f);
  FileX_writeWhole(t.dir.file("notes/run.sh"), "echo hi\n");
  FileX_writeWhole(t.dir.file("notes/page.htm"), "<html></html>");
  for (const std::string& link : {"file://" + t.dir.file("notes/run.sh"),
                                  "file://localhost" + t.dir.file("notes/run%2Esh"),
                                  t.dir.file("notes/page.htm") + "#part"}) {
    t.prompts.asked.clear();
    FollowLinkRequest r;
    r.link = link;
    EXPECT_EQ(nullptr, CMainFrame_followLink(*f, r)) << link;
    EXPECT_EQ(1u, t.prompts.asked.size()) << link << ": opened without the question";
  }
  EXPECT_TRUE(shell.opened.empty());
  // A file address of a note opens it in a window.
  const std::string b = t.note("b.svg", twoPages(rect("b", 10, 10)));
  FollowLinkRequest r;
  r.link = "file://" + b + "#page2";
  r.target = "_blank";
  CMainFrame* g = CMainFrame_followLink(*f, r);
  ASSERT_NE(nullptr, g);
  EXPECT_EQ(b, g->notePath());
  EXPECT_EQ(2, g->document().currentPageNumber());
  ShellServices_set(nullptr);
}

TEST(WindowFaults, TheEditorTakesCtrlAAndAnUntouchedNewBoxGoesWithOneUndo) {
  App t;
  const std::string path = t.note("a.svg", twoPages(text("t1", 100, 100) + rect("r", 300, 300)));
  CMainFrame* f = t.open(path);
  ASSERT_NE(nullptr, f);
  const QPoint box = centreOf(*f, "t1");
  // Ctrl+A in the editor selects its text: typing replaces all of it.
  mouse(*f, QEvent::MouseButtonPress, box, Qt::LeftButton);
  mouse(*f, QEvent::MouseButtonRelease, box, Qt::NoButton);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(box), QPointF(f->view().viewport()->mapToGlobal(box)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(f->view().viewport(), &dbl);
  mouse(*f, QEvent::MouseButtonRelease, box, Qt::NoButton);
  ASSERT_TRUE(f->view().inPlace().active());
  QTest::keyClick(&f->view(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(&f->view(), "Z");
  QTest::keyClick(&f->view(), Qt::Key_Escape);
  EXPECT_NE(std::string::npos, ids(*f).find("t1"));
  const FigureList& list = f->document().workingFigures();
  std::string text;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.at(i).GetId() == "t1") text = static_cast<const Text_Box&>(list.at(i)).text();
  }
  EXPECT_EQ("Z", text);
  // A new text box left untouched: one Ctrl+Z takes it away and nothing
  // else; redo does not make an empty box again.
  const size_t figures = list.size();
  f->view().ChooseTool(EditTool_rectText);
  click(*f, QPoint(60, 500));
  ASSERT_TRUE(f->view().inPlace().active());
  EXPECT_EQ(figures + 1, list.size());
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(figures, list.size());
  EXPECT_NE(std::string::npos, ids(*f).find("t1"));
  EXPECT_FALSE(f->undo().CanRedo());
  QTest::keyClick(&f->view(), Qt::Key_Z, Qt::ControlModifier);  // the typed "Z"
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.at(i).GetId() == "t1") text = static_cast<const Text_Box&>(list.at(i)).text();
  }
  EXPECT_EQ("t1", text);
}
