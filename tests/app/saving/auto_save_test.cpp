// Work that is not lost, with real windows on the offscreen platform: a
// window that loses activation saves its note only while auto-save is on;
// closing with auto-save saves without the question; the session end saves
// modified notes and refuses when an untitled one would need its dialog;
// Ctrl+S and the other standard keys reach the file commands; a fatal stop
// leaves recovery copies that the next start opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "app/blackbox/zerbin_run.h"
#include "app/saving/auto_save.h"
#include "app/saving/emergency_save.h"
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
  std::optional<testing_support::TempDir> temp;
  std::string root;  // a fresh folder, or the given one
  CountingPrompts prompts;
  explicit Fixture(std::string folder = {}) : root(std::move(folder)) {
    if (root.empty()) root = temp.emplace().path();
    FileX_makeFolders(file("work"), false);
    UserPrompts_set(&prompts);
    NoteSave_shell() = NoteSaveShell{};
  }
  ~Fixture() {
    UserPrompts_set(nullptr);
    NoteSave_shell() = NoteSaveShell{};
    Errors_setSessionEnding(false);
  }
  std::string file(const std::string& name) const { return root + "/" + name; }
  std::unique_ptr<CMainFrame> open(const std::string& name) {
    CMainFrameOptions o;
    o.workFolder = file("work");
    auto f = std::make_unique<CMainFrame>(std::string(), o);
    // No name: an untitled note made from a template.
    const std::string path = name.empty() ? file("template.svg") : name[0] == '/' ? name : file(name);
    if (!FileX_exists(path)) testing_support::WriteFileBytes(path, kNote);
    f->LoadNote(path, name.empty());
    f->show();
    QApplication::processEvents();
    return f;
  }
  static void change(CMainFrame& f, int dx = 30) {
    NoteDocument& doc = f.document();
    CadPrim& live = doc.workingFigures().at(doc.workingFigures().size() - 1);
    auto before = Undo_copyOf(live, &doc.workingFigures());
    live.MoveBy(dx, 0);
    ASSERT_TRUE(f.undo().RecordChange(std::move(before), live, doc, doc.currentPageNumber()));
  }
  static void deactivate(CMainFrame& f) {
    QEvent e(QEvent::WindowDeactivate);
    QApplication::sendEvent(&f, &e);
    QApplication::processEvents();
  }
  std::string bytes(const std::string& name) { return testing_support::ReadFileBytes(file(name)); }
  static int32_t rectX(CMainFrame& f) {
    const FigureList& list = f.document().workingFigures();
    return list.at(list.size() - 1).GetBounds().x;
  }
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

TEST(AutoSave, SessionEndSavesModifiedNotesAndTheLastWindowWaitsForTheService) {
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
  fx.prompts.saveAs = fx.file("named.svg");
  EXPECT_TRUE(NoteSave_sessionEnd(true));
  EXPECT_TRUE(FileX_isFile(fx.file("named.svg")));
  EXPECT_FALSE(u->undo().IsModified());

  // While the service answers a call, the last window stays; others close.
  bool busy = true;
  NoteSave_shell().mayEnd = [&busy] { return !busy; };
  fx.prompts.asked.clear();
  EXPECT_TRUE(c->close() && u->close());
  EXPECT_FALSE(a->close());
  EXPECT_EQ(fx.prompts.asked, std::vector<std::string>{"閉じることができません: GUIServiceQueue"});
  busy = false;
  EXPECT_TRUE(a->close());
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
  for (auto [id, key] : {std::pair{Cmd_FileSaveAs, QKeySequence::SaveAs}, {Cmd_FileNew, QKeySequence::New}, {Cmd_FileClose, QKeySequence::Close}}) {
    EXPECT_FALSE(t.action(id)->shortcuts().isEmpty()) << id;
    // Ctrl+W fits the page: close keeps off it.
    for (const QKeySequence& k : QKeySequence::keyBindings(key)) EXPECT_TRUE(k == QKeySequence(Qt::CTRL | Qt::Key_W) || has(id, k));
  }
  EXPECT_FALSE(has(Cmd_FileClose, QKeySequence(Qt::CTRL | Qt::Key_W)));
  EXPECT_FALSE(has(Cmd_AppExit, QKeySequence(Qt::CTRL | Qt::Key_Q)));  // fits the width
  // No key is bound twice in the window.
  std::map<QString, int> seen;
  for (const CommandEntry& e : t.entries()) {
    for (const QKeySequence& k : e.action->shortcuts()) EXPECT_EQ(seen[k.toString()]++, 0) << k.toString().toStdString();
  }
}

std::string gBackup;
void writeRecoveryCopies(void*) { EmergencySave_writeAll(gBackup); }

TEST(EmergencySave, AFatalStopLeavesRecoveryCopiesThatTheNextStartOpens) {
  // The child runs this test again up to the fatal stop: the same folder.
  Fixture fx(testing_support::FixedDir("emergency-save"));
  gBackup = fx.file("prof/backup");
  {
    // a and b are modified, c is not.
    auto fa = fx.open("a.svg");
    auto fb = fx.open("b.svg");
    auto fc = fx.open("c.svg");
    Fixture::change(*fa, 30);
    Fixture::change(*fb, 50);
    EXPECT_EXIT(
        {
          Errors_setExitHook(writeRecoveryCopies, nullptr);
          Errors_UNOFFICIAL();
        },
        testing::ExitedWithCode(14), "");
  }
  // The notes themselves are untouched.
  for (const char* n : {"a.svg", "b.svg", "c.svg"}) EXPECT_EQ(fx.bytes(n), kNote) << n;
  // One copy for each modified note, listed with its note (the windows are
  // visited in no fixed order).
  std::vector<EmergencyCopy> listed = EmergencySave_listed(gBackup);
  ASSERT_EQ(listed.size(), 2u);
  if (listed[0].original > listed[1].original) std::swap(listed[0], listed[1]);
  EXPECT_EQ(listed[0].copy, gBackup + "/recovery-a.svg-1.svg");
  EXPECT_EQ(listed[0].original, fx.file("a.svg"));
  EXPECT_EQ(listed[1].copy, gBackup + "/recovery-b.svg-1.svg");
  EXPECT_EQ(listed[1].original, fx.file("b.svg"));
  EXPECT_FALSE(FileX_exists(gBackup + "/recovery-c.svg-1.svg"));

  // The next start asks once; Yes opens the copies with the changes in them.
  std::map<std::string, std::unique_ptr<CMainFrame>> opened;
  EXPECT_EQ(EmergencySave_offerRecovery(gBackup, true, [&](const std::string& copy) { opened[copy] = fx.open(copy); }), 2);
  ASSERT_EQ(fx.prompts.asked.size(), 1u);
  EXPECT_NE(fx.prompts.asked[0].find(fx.file("a.svg")), std::string::npos);
  EXPECT_NE(fx.prompts.asked[0].find(fx.file("b.svg")), std::string::npos);
  const int32_t x = Fixture::rectX(*fx.open("c.svg"));
  EXPECT_EQ(Fixture::rectX(*opened[listed[0].copy]), x + 30);
  EXPECT_EQ(Fixture::rectX(*opened[listed[1].copy]), x + 50);
  EXPECT_FALSE(FileX_exists(gBackup + "/" + EmergencySave_listName));
  EXPECT_EQ(EmergencySave_offerRecovery(gBackup, true, [](const std::string&) {}), 0);
  EXPECT_EQ(fx.prompts.asked.size(), 1u);
}

TEST(EmergencySave, TheProgramOffersTheRecoveryCopiesAtItsNextStart) {
  testing_support::TempDir dir;
  const std::string backup = dir.file("P/backup");
  FileX_makeFolders(backup, false);
  const std::string copy = backup + "/recovery-a.svg-1.svg";
  testing_support::WriteFileBytes(copy, kNote);
  testing_support::WriteFileBytes(backup + "/recovery.txt", copy + "\t" + dir.file("a.svg") + "\r\n");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P")});
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_NE(r.echo.find(testing_support::Sjis(u8"保存されていなかったノートの復旧用コピーを作りました。")), std::string::npos) << r.echo;
  EXPECT_NE(r.echo.find(copy + " (" + dir.file("a.svg") + ")"), std::string::npos) << r.echo;
  // The copy was opened (it heads the recent list) and is asked for once.
  EXPECT_NE(testing_support::ReadFileBytes(dir.file("P/recent.ini")).find(copy), std::string::npos);
  EXPECT_FALSE(FileX_exists(backup + "/recovery.txt"));
  EXPECT_EQ(testing_support::ReadFileBytes(copy), kNote);
}
