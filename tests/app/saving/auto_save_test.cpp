// Saving without asking and the end of the session, with real windows on
// the offscreen platform: a window that loses activation saves its note
// only while auto-save is on; closing with auto-save saves without the
// question; the session end saves modified notes and refuses when an
// untitled one would need its dialog; Ctrl+S and the other standard keys
// reach the file commands without taking the keys the view already has.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "app/saving/auto_save.h"
#include "app/saving/shell_state.h"
#include "core/errors/errors.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"

namespace {

const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00420\" height=\"01220\" sub_doctype=\"zerbin-300\">\r\n"
    "<g id=\"page1\" width=\"400\" height=\"1200\" transform=\"translate(+10,+10)\">\r\n"
    "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\" "
    "fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n"
    "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n</zerbin-pages>\r\n"
    "</svg>\r\n";

class CountingPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view, PromptButtons, PromptIcon,
                          PromptAnswer d, uint32_t) override {
    asked.emplace_back(text);
    return d;
  }
  bool saveFileName(std::string_view, std::string_view, std::string& path, int& kind,
                    uint32_t) override {
    if (saveAs.empty()) return false;
    path = saveAs;
    kind = 0;
    return true;
  }
  std::vector<std::string> asked;
  std::string saveAs;
};

struct Fixture {
  testing_support::TempDir dir;
  CountingPrompts prompts;
  Fixture() {
    FileX_makeFolders(dir.file("work"), false);
    UserPrompts_set(&prompts);
    NoteSave_shell() = NoteSaveShell{};
  }
  ~Fixture() {
    UserPrompts_set(nullptr);
    NoteSave_shell() = NoteSaveShell{};
    Errors_setSessionEnding(false);
  }
  std::unique_ptr<CMainFrame> open(const std::string& name) {
    CMainFrameOptions o;
    o.workFolder = dir.file("work");
    auto f = std::make_unique<CMainFrame>(std::string(), o);
    // No name: an untitled note made from a template.
    const std::string file = dir.file(name.empty() ? "template.svg" : name);
    testing_support::WriteFileBytes(file, kNote);
    f->LoadNote(file, name.empty());
    f->show();
    QApplication::processEvents();
    return f;
  }
  static void change(CMainFrame& f) {
    NoteDocument& doc = f.document();
    CadPrim& live = doc.workingFigures().at(doc.workingFigures().size() - 1);
    auto before = Undo_copyOf(live, &doc.workingFigures());
    live.MoveBy(30, 0);
    ASSERT_TRUE(f.undo().RecordChange(std::move(before), live, doc, doc.currentPageNumber()));
  }
  static void deactivate(CMainFrame& f) {
    QEvent e(QEvent::WindowDeactivate);
    QApplication::sendEvent(&f, &e);
    QApplication::processEvents();
  }
  std::string bytes(const std::string& name) { return testing_support::ReadFileBytes(dir.file(name)); }
};

}  // namespace

TEST(AutoSave, LosingActivationSavesOnlyWithTheFlagAndClosingSavesWithoutAsking) {
  Fixture fx;
  auto a = fx.open("a.svg");
  auto b = fx.open("b.svg");
  Fixture::change(*a);

  // Off: nothing is written.
  Fixture::deactivate(*a);
  EXPECT_EQ(fx.bytes("a.svg"), kNote);
  EXPECT_TRUE(a->undo().IsModified());

  // The menu command turns it on; now losing activation writes the note.
  ASSERT_TRUE(a->commands().run(Cmd_AutoSave));
  EXPECT_TRUE(NoteSave_shell().autoSave);
  b->commands().updateChecks();
  EXPECT_TRUE(b->commands().action(Cmd_AutoSave)->isChecked());
  Fixture::deactivate(*a);
  EXPECT_NE(fx.bytes("a.svg"), kNote);
  EXPECT_NE(fx.bytes("a.svg").find("x=\"50.5\""), std::string::npos) << fx.bytes("a.svg");
  EXPECT_FALSE(a->undo().IsModified());
  EXPECT_TRUE(fx.prompts.asked.empty());

  // An unmodified note is not written again.
  const std::string before = fx.bytes("b.svg");
  Fixture::deactivate(*b);
  EXPECT_EQ(fx.bytes("b.svg"), before);

  // Closing a modified note with auto-save: saved, no question.
  Fixture::change(*b);
  EXPECT_TRUE(b->close());
  EXPECT_NE(fx.bytes("b.svg").find("x=\"50.5\""), std::string::npos);
  EXPECT_TRUE(fx.prompts.asked.empty());

  // A note whose save failed is not saved silently any more: closing asks.
  Fixture::change(*a);
  a->document().autoSaveDisabled = true;
  Fixture::deactivate(*a);
  EXPECT_TRUE(a->undo().IsModified());
  // Yes goes to save as, whose dialog is cancelled here: the window stays.
  EXPECT_FALSE(a->close());
  EXPECT_TRUE(a->undo().IsModified());
  ASSERT_FALSE(fx.prompts.asked.empty());
  EXPECT_EQ(fx.prompts.asked[0], testing_support::Sjis(u8"編集した内容を保存しますか？"));
}

TEST(AutoSave, SessionEndSavesModifiedNotesAndRefusesWhenAnUntitledOneNeedsItsDialog) {
  Fixture fx;
  auto a = fx.open("a.svg");
  auto c = fx.open("c.svg");
  auto u = fx.open("");
  Fixture::change(*a);
  const std::string cBefore = fx.bytes("c.svg");

  EXPECT_TRUE(NoteSave_sessionEnd(false));
  EXPECT_TRUE(Errors_sessionEnding());
  EXPECT_NE(fx.bytes("a.svg").find("x=\"50.5\""), std::string::npos);
  EXPECT_FALSE(a->undo().IsModified());
  EXPECT_EQ(fx.bytes("c.svg"), cBefore);  // not modified: not touched
  Errors_setSessionEnding(false);

  // An untitled modified note: without a person the session is refused.
  Fixture::change(*u);
  EXPECT_FALSE(NoteSave_sessionEnd(false));
  EXPECT_FALSE(Errors_sessionEnding());
  EXPECT_TRUE(u->undo().IsModified());
  // With a person, its save dialog gives it a name and the session may end.
  fx.prompts.saveAs = fx.dir.file("named.svg");
  EXPECT_TRUE(NoteSave_sessionEnd(true));
  EXPECT_TRUE(FileX_isFile(fx.dir.file("named.svg")));
  EXPECT_FALSE(u->undo().IsModified());
}

TEST(AutoSave, StandardKeysReachTheFileCommandsAndLeaveTheViewsKeys) {
  Fixture fx;
  auto a = fx.open("a.svg");
  a->activateWindow();
  QApplication::processEvents();
  Fixture::change(*a);
  // A user presses Ctrl+S to save.
  QTest::keyClick(a.get(), Qt::Key_S, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_FALSE(a->undo().IsModified());
  EXPECT_NE(fx.bytes("a.svg").find("x=\"50.5\""), std::string::npos);

  CommandTable& t = a->commands();
  auto has = [&](int id, QKeySequence k) { return t.action(id)->shortcuts().contains(k); };
  for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::SaveAs)) EXPECT_TRUE(has(Cmd_FileSaveAs, k));
  EXPECT_FALSE(t.action(Cmd_FileSaveAs)->shortcuts().isEmpty());
  EXPECT_FALSE(t.action(Cmd_FileClose)->shortcuts().isEmpty());
  for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::New)) EXPECT_TRUE(has(Cmd_NewWindow, k));
  // Ctrl+W fits the page and Ctrl+Q fits the width: close and exit keep off them.
  EXPECT_FALSE(has(Cmd_FileClose, QKeySequence(Qt::CTRL | Qt::Key_W)));
  EXPECT_FALSE(has(Cmd_AppExit, QKeySequence(Qt::CTRL | Qt::Key_Q)));
  for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::Close)) {
    if (k == QKeySequence(Qt::CTRL | Qt::Key_W)) continue;
    EXPECT_TRUE(has(Cmd_FileClose, k)) << k.toString().toStdString();
  }
  // No key is bound twice in the window.
  std::map<QString, int> seen;
  for (const CommandEntry& e : t.entries()) {
    for (const QKeySequence& k : e.action->shortcuts()) EXPECT_EQ(seen[k.toString()]++, 0) << k.toString().toStdString();
  }
}

TEST(AutoSave, TheLastWindowStaysWhileTheServiceHasACallToAnswer) {
  Fixture fx;
  auto a = fx.open("a.svg");
  auto b = fx.open("b.svg");
  bool busy = true;
  NoteSave_shell().mayEnd = [&busy] { return !busy; };
  // Another window remains: this one closes.
  EXPECT_TRUE(b->close());
  EXPECT_TRUE(fx.prompts.asked.empty());
  // The last one stays while a call is being answered.
  EXPECT_FALSE(a->close());
  ASSERT_EQ(fx.prompts.asked.size(), 1u);
  EXPECT_EQ(fx.prompts.asked[0], "閉じることができません: GUIServiceQueue");
  EXPECT_TRUE(a->isVisible());
  busy = false;
  EXPECT_TRUE(a->close());
}
