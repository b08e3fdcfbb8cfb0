// Saving a note from its main window on the offscreen platform: the save
// command writes the change and clears the modified state, save as to a
// compressed note, the close question and its answers, a save that cannot
// write keeps the window and the modified state, and "recent.ini" lists
// the saved notes most recent first.
#include <gtest/gtest.h>

#include <QApplication>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "app/saving/recent_files.h"
#include "app/saving/save_commands.h"
#include "core/filex/filex.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_delete.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "platform/text/qt_text.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "undo/undo_history.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

// Two pages; a red rectangle on page 1 (titled "one").
std::string noteText(bool current) {
  return std::string("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
                     "<svg width=\"00420\" height=\"02420\"") +
         (current ? " sub_doctype=\"zerbin-300\"" : "") +
         ">\r\n"
         "<g id=\"page1\" width=\"400\" height=\"1200\" transform=\"translate(+10,+10)\">\r\n"
         "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\" "
         "fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n"
         "<g id=\"page2\" width=\"400\" height=\"1200\" transform=\"translate(+10,+1210)\">\r\n"
         "</g>\r\n"
         "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\">\r\n"
         "<zerbin-page num=\"2\" title=\"two\"/>\r\n</zerbin-page>\r\n</zerbin-pages>\r\n"
         "</svg>\r\n";
}

struct Asked {
  std::string text, title;
  PromptButtons buttons;
  PromptAnswer defaultAnswer;
};

// Records every box; answers from the script, else the default answer.
class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons buttons,
                          PromptIcon, PromptAnswer defaultAnswer, uint32_t) override {
    asked.push_back({std::string(text), std::string(title), buttons, defaultAnswer});
    if (answers.empty()) return defaultAnswer;
    PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool saveFileName(std::string_view, std::string_view filter, std::string& path, int& kind,
                    uint32_t) override {
    lastFilter = filter;
    proposed.push_back(path);
    if (fileNames.empty()) return false;
    path = fileNames.front().first;
    kind = fileNames.front().second;
    fileNames.pop_front();
    return true;
  }
  std::vector<Asked> asked;
  std::deque<PromptAnswer> answers;
  std::deque<std::pair<std::string, int>> fileNames;
  std::vector<std::string> proposed;
  std::string lastFilter;
};

struct Fixture {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  std::string profile;
  Fixture() {
    profile = dir.file("prof/");
    FileX_makeFolders(profile, false);
    FileX_makeFolders(dir.file("work"), false);
    UserPrompts_set(&prompts);
  }
  ~Fixture() { UserPrompts_set(nullptr); }

  CMainFrameOptions options() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("work");
    o.save.profileFolder = profile;
    o.save.desktopFolder = dir.file("desk");
    return o;
  }
  std::unique_ptr<CMainFrame> open(const std::string& path, bool current = true) {
    FileX_makeFolders(path, true);
    FileX_writeWhole(path, noteText(current));
    auto f = std::make_unique<CMainFrame>(std::string(), options());
    f->LoadNote(path, false);
    f->show();
    QApplication::processEvents();
    return f;
  }
  // Moves the rectangle of page 1 (the last figure, after the canvas) by 30 to the right, recorded as undo does.
  static void change(CMainFrame& f) {
    NoteDocument& doc = f.document();
    ASSERT_GT(doc.workingFigures().size(), 0u);
    CadPrim& live = doc.workingFigures().at(doc.workingFigures().size() - 1);
    auto before = Undo_copyOf(live, &doc.workingFigures());
    live.MoveBy(30, 0);
    ASSERT_TRUE(f.undo().RecordChange(std::move(before), live, doc, doc.currentPageNumber()));
  }
  int32_t firstFigureX(const std::string& path) {
    CMainFrame g(std::string(), options());
    g.LoadNote(path, false);
    const FigureList& list = g.document().workingFigures();
    return list.at(list.size() - 1).GetBounds().x;
  }
};

}  // namespace

TEST(SaveCommands, SaveWritesTheChangeClearsTheModifiedStateAndPutsTheNoteFirstInRecent) {
  Fixture fx;
  const std::string other = fx.dir.file("other.svg");
  const std::string note = fx.dir.file("note.svg");
  auto g = fx.open(other);
  auto f = fx.open(note);
  g.reset();
  ASSERT_EQ(2u, RecentFiles_read(fx.profile).size());
  const int32_t x = fx.firstFigureX(note);
  EXPECT_EQ(note, RecentFiles_read(fx.profile)[0].path);
  // A later open of the other note puts it in front; the save brings the
  // saved note back there.
  RecentFiles_add(fx.profile, other);
  ASSERT_EQ(other, RecentFiles_read(fx.profile)[0].path);

  Fixture::change(*f);
  ASSERT_TRUE(f->undo().IsModified());
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  EXPECT_TRUE(fx.prompts.asked.empty()) << fx.prompts.asked[0].text;
  EXPECT_FALSE(f->undo().IsModified());
  EXPECT_EQ(x + 30, fx.firstFigureX(note));
  const auto recent = RecentFiles_read(fx.profile);
  ASSERT_EQ(2u, recent.size());
  EXPECT_EQ(note, recent[0].path);
  EXPECT_EQ("one", recent[0].title);
  EXPECT_EQ(other, recent[1].path);
  // The key and text of the command.
  QAction* save = f->commands().action(Cmd_FileSave);
  ASSERT_NE(nullptr, save);
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_S), save->shortcut());
  EXPECT_EQ("上書き保存", QtText_toCp932(save->text()));
}

TEST(SaveCommands, SaveAsWritesACompressedNoteAndTheWindowTakesItsName) {
  Fixture fx;
  const std::string note = fx.dir.file("note.svg");
  auto f = fx.open(note);
  Fixture::change(*f);
  const std::string copy = fx.dir.file("sub/copy");
  FileX_makeFolders(copy, true);
  fx.prompts.fileNames.push_back({copy, 1});  // the compressed kind
  ASSERT_TRUE(f->commands().run(Cmd_FileSaveAs));
  ASSERT_EQ(1u, fx.prompts.proposed.size());
  EXPECT_EQ(note, fx.prompts.proposed[0]);
  EXPECT_EQ(
      "SVG形式 Scalable Vector Graphics (*.svg)|*.svg|圧縮 SVG形式 Scalable Vector Graphics "
      "(*.svgz)|*.svgz|すべてのファイル (*.*)|*.*||",
      fx.prompts.lastFilter);
  const std::string svgz = copy + ".svgz";
  ASSERT_TRUE(FileX_isFile(svgz));
  const std::string bytes = FileX_readWhole(svgz);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ('\x1f', bytes[0]);
  EXPECT_EQ('\x8b', bytes[1]);
  // (Before the checks below open the notes again.)
  EXPECT_EQ(svgz, RecentFiles_read(fx.profile)[0].path);
  EXPECT_EQ(svgz, f->notePath());
  EXPECT_EQ(QStringLiteral(u"one - copy.svgz - 1/2 ページ目 - Brevlo 3.10"), f->windowTitle());
  EXPECT_FALSE(f->undo().IsModified());
  EXPECT_EQ(fx.firstFigureX(note) + 30, fx.firstFigureX(svgz));

  // Save as onto an existing file asks first; No (preselected) writes
  // nothing without a person to choose again.
  Fixture::change(*f);
  fx.prompts.fileNames.push_back({note, 0});
  EXPECT_FALSE(NoteSave_saveAs(*f));
  ASSERT_EQ(1u, fx.prompts.asked.size());
  EXPECT_EQ("ファイルを上書きしますか？", fx.prompts.asked[0].text);
  EXPECT_EQ(note, fx.prompts.asked[0].title);
  EXPECT_EQ(PromptAnswer::No, fx.prompts.asked[0].defaultAnswer);
  EXPECT_TRUE(f->undo().IsModified());
  EXPECT_EQ(svgz, f->notePath());
}

TEST(SaveCommands, AnUntitledNoteIsProposedTheMemoNameAndSavedThere) {
  Fixture fx;
  FileX_makeFolders(fx.dir.file("desk"), false);
  auto f = std::make_unique<CMainFrame>(std::string(), fx.options());
  f->NewNote();
  std::tm date{};
  date.tm_year = 126;
  date.tm_mon = 11;
  date.tm_mday = 9;
  EXPECT_EQ(fx.dir.file("desk/メモ 261209"),
            NoteSave_proposeMemoName(fx.dir.file("desk"), date, true));
  FileX_writeWhole(fx.dir.file("desk/memo 261209.svg"), "x");
  FileX_writeWhole(fx.dir.file("desk/memo 261209A.svgz"), "x");
  EXPECT_EQ(fx.dir.file("desk/memo 261209B"),
            NoteSave_proposeMemoName(fx.dir.file("desk"), date, false));
  // The save command of an untitled note goes to save as.
  fx.prompts.fileNames.push_back({fx.dir.file("desk/new.svg"), 0});
  ASSERT_TRUE(f->commands().run(Cmd_FileSave));
  ASSERT_EQ(1u, fx.prompts.proposed.size());
  EXPECT_EQ(0u, StrX_fileName(fx.prompts.proposed[0]).rfind("メモ ", 0));
  EXPECT_EQ(fx.dir.file("desk/new.svg"), f->notePath());
  EXPECT_TRUE(FileX_isFile(fx.dir.file("desk/new.svg")));
}

TEST(SaveCommands, CloseAsksTheSaveQuestionAndItsAnswersDecide) {
  Fixture fx;
  const std::string note = fx.dir.file("note.svg");
  auto f = fx.open(note);
  const int32_t x = fx.firstFigureX(note);
  // An unmodified note closes without a question.
  ASSERT_TRUE(NoteSave_queryClose(*f));
  EXPECT_TRUE(fx.prompts.asked.empty());

  Fixture::change(*f);
  // Cancel keeps the window and the change.
  fx.prompts.answers.push_back(PromptAnswer::Cancel);
  EXPECT_FALSE(f->close());
  EXPECT_TRUE(f->isVisible());
  ASSERT_EQ(1u, fx.prompts.asked.size());
  EXPECT_EQ("編集した内容を保存しますか？", fx.prompts.asked[0].text);
  EXPECT_EQ(note, fx.prompts.asked[0].title);
  EXPECT_EQ(PromptButtons::YesNoCancel, fx.prompts.asked[0].buttons);
  EXPECT_TRUE(f->undo().IsModified());
  EXPECT_EQ(x, fx.firstFigureX(note));

  // No closes without saving.
  fx.prompts.answers.push_back(PromptAnswer::No);
  EXPECT_TRUE(NoteSave_queryClose(*f));
  EXPECT_EQ(x, fx.firstFigureX(note));

  // The default answer (no person) saves, and the window closes.
  fx.prompts.asked.clear();
  EXPECT_TRUE(f->close());
  EXPECT_FALSE(f->isVisible());
  ASSERT_EQ(1u, fx.prompts.asked.size());
  EXPECT_EQ(PromptAnswer::Yes, fx.prompts.asked[0].defaultAnswer);
  EXPECT_FALSE(f->undo().IsModified());
  EXPECT_EQ(x + 30, fx.firstFigureX(note));
}

TEST(SaveCommands, ASaveThatCannotWriteKeepsTheWindowAndTheModifiedState) {
  Fixture fx;
  const std::string note = fx.dir.file("gone/note.svg");
  auto f = fx.open(note);
  Fixture::change(*f);
  ASSERT_TRUE(FileX_deleteTree(fx.dir.file("gone")));
  EXPECT_FALSE(NoteSave_save(*f));
  ASSERT_EQ(1u, fx.prompts.asked.size());
  EXPECT_EQ(note + " に書込みができません。保存に失敗しました。\r\n\r\n"
                   "このファイルの自動保存を無効にしました。",
            fx.prompts.asked[0].text);
  EXPECT_TRUE(f->undo().IsModified());
  EXPECT_TRUE(f->document().autoSaveDisabled);
  EXPECT_EQ(note, f->notePath());
  // Closing: Yes goes to save as (auto-save is off now); cancelling the
  // dialog leaves the note unsaved, so the window stays.
  fx.prompts.asked.clear();
  EXPECT_FALSE(f->close());
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ("編集した内容を保存しますか？", fx.prompts.asked.at(0).text);
  EXPECT_EQ(1u, fx.prompts.proposed.size());
  EXPECT_TRUE(f->undo().IsModified());
  // A save as whose folder is gone fails the same way and keeps it too.
  fx.prompts.fileNames.push_back({fx.dir.file("gone/again.svg"), 0});
  EXPECT_FALSE(f->close());
  EXPECT_TRUE(f->isVisible());
  EXPECT_TRUE(f->undo().IsModified());
}

TEST(SaveCommands, AnOlderNoteIsSavedOnlyAfterTheQuestion) {
  Fixture fx;
  const std::string note = fx.dir.file("old.svg");
  auto f = fx.open(note, false);
  Fixture::change(*f);
  const std::string before = FileX_readWhole(note);
  EXPECT_FALSE(NoteSave_save(*f));
  ASSERT_EQ(1u, fx.prompts.asked.size());
  EXPECT_EQ("Zerbin 2.30 以前では開けなくなりますが、保存しますか？", fx.prompts.asked[0].text);
  EXPECT_EQ(note, fx.prompts.asked[0].title);
  EXPECT_EQ(before, FileX_readWhole(note));
  fx.prompts.answers.push_back(PromptAnswer::Yes);
  EXPECT_TRUE(NoteSave_save(*f));
  EXPECT_NE(before, FileX_readWhole(note));
  EXPECT_EQ(300, f->document().formatVersion);
}

TEST(SaveCommands, RecentIniBytesAfterTwoSaves) {
  Fixture fx;
  const std::string a = fx.dir.file("a.svg");
  const std::string b = fx.dir.file("b.svg");
  auto fa = fx.open(a);
  auto fb = fx.open(b);
  Fixture::change(*fa);
  Fixture::change(*fb);
  ASSERT_TRUE(NoteSave_save(*fb));
  ASSERT_TRUE(NoteSave_save(*fa));
  EXPECT_EQ("[RecentFiles] \r\npath = " + a + ", one\r\npath = " + b + ", one\r\n \r\n",
            FileX_readWhole(fx.profile + "recent.ini"));
}
