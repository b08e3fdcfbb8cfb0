// The main window's "表形式(CSV)で出力(&S)...": the dialog takes the format
// file, the save dialog the CSV file, and the pages of the format's classes
// become rows of the texts of the text boxes of the column classes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "app/convert/table_out_window.h"
#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::WriteFileBytes;

namespace {

// The person in front of the boxes: the save dialog answers the next name
// of `names` (none left: cancelled), every box is recorded and answered
// from `answers` (none left: its default).
class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons, PromptIcon,
                          PromptAnswer def, uint32_t) override {
    boxes.push_back(std::string(text) + "|" + std::string(title));
    if (answers.empty()) return def;
    PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool saveFileName(std::string_view, std::string_view filter, std::string& path, int&, uint32_t) override {
    proposed.push_back(path);
    filters.emplace_back(filter);
    if (names.empty()) return false;
    path = names.front();
    names.pop_front();
    return true;
  }
  // A person answers: "No" to the overwrite question asks for the name again.
  bool interactive() const override { return true; }
  std::vector<std::string> boxes, proposed, filters;
  std::deque<std::string> names;
  std::deque<PromptAnswer> answers;
};

// Pages: the back page and page 3 of class "row" ("Row" on page 1), page 2
// of class "other", each with text boxes of the column classes.
void WriteTableNote(const std::string& work, const std::string& path) {
  std::filesystem::create_directories(work);
  const Errors_Msg e = testing_support::CatchError([&] {
    NoteDocument doc(work);
    doc.NewDocument(1, false);
    int32_t number = 1;
    auto page = [&](const std::string& cls, std::vector<std::pair<std::string, std::string>> boxes) {
      doc.workingSettings().setClassName(cls);
      for (auto& [boxClass, text] : boxes) {
        auto t = std::make_unique<Text_Box>();
        t->SetNumber(number++);
        t->SetText(text);
        t->className = boxClass;
        doc.workingFigures().append(std::move(t));
      }
    };
    page("Row", {{"name", "Alice, \"B\""}, {"code", "12345"}, {"short", Sjis(u8"日本語テキスト")},
                 {"name", "second box of the class"}});
    doc.AddPage(AddPage_next);
    page("other", {{"name", "Carol"}});
    doc.AddPage(AddPage_next);
    page("row", {{"NAME", "Bob"}, {"code", Sjis(u8"99日本")}, {"short", "xyzw"}});
    doc.ToggleBackPage(true);
    page("row", {{"name", "back page"}});
    doc.SelectPage(1);
    NoteSaveHost host;
    ASSERT_EQ(NoteWriter_save(doc, path, false, host), 0);
    doc.ClearDocument();
  });
  ASSERT_EQ(e.code, 0) << e.text;
}

}  // namespace

TEST(TableOutWindow, FormatSectionsBecomeTablesOfTheClassedPages) {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  UserPrompts_set(&prompts);
  WriteTableNote(dir.file("work"), dir.file("note.svg"));
  WriteFileBytes(dir.file("format.ini"),
                 "[TableFormat]\r\nPageClassName = row\r\nReverse = 1\r\nA = name, , 0\r\n"
                 "A = code, ', -2\r\nA = short, , 3\r\nA = , , 0\r\nA = missing, , 0\r\n \r\n"
                 "[TableFormat]\r\nPageClassName = other\r\nA = name, , 0\r\n \r\n");
  CMainFrameOptions o;
  o.japanese = true;
  o.workFolder = dir.file("work");
  auto frame = std::make_unique<CMainFrame>(std::string(), o);
  frame->LoadNote(dir.file("note.svg"), false);
  frame->show();
  QApplication::processEvents();

  std::deque<std::string> formats;
  std::vector<std::string> offered;
  CTableOutDlg::exec = [&](CTableOutDlg& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8(u8"テーブル出力"));
    EXPECT_FALSE(d.rangeField().isEnabled());
    EXPECT_EQ(d.rangeField().text(), QString::fromUtf8(u8"すべて"));
    EXPECT_EQ(d.nextButton().text(), QString::fromUtf8(u8"次へ >>"));
    EXPECT_EQ(d.cancelButton().text(), QString::fromUtf8(u8"ｷｬﾝｾﾙ"));
    offered.push_back(d.formatPath());
    if (formats.empty()) return int(QDialog::Rejected);
    d.formatField().setText(QString::fromStdString(formats.front()));
    formats.pop_front();
    return int(QDialog::Accepted);
  };

  QAction* action = frame->commands().action(Cmd_ExportTableCsv);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), QString::fromUtf8(u8"表形式(CSV)で出力(&S)..."));
  formats.push_back(dir.file("format.ini"));
  prompts.names.push_back(dir.file("table.csv"));
  action->trigger();
  ASSERT_EQ(prompts.proposed.size(), 1u);
  EXPECT_EQ(prompts.proposed[0], dir.file("note.csv"));
  EXPECT_EQ(prompts.filters[0], Sjis(u8"表形式 (*.csv)|*.csv||"));
  // Rows from the last page up; the back page is no row; a double-byte
  // character counts as one; the apostrophe goes before a digit.
  const std::string expected = "Table of row\r\nBob," + Sjis(u8"日本") + ",xyz,,\r\n" +
                               "\"Alice, \"\"B\"\"\",'345," + Sjis(u8"日本語") + ",,\r\n\r\n" +
                               "Table of other\r\nCarol\r\n\r\n";
  EXPECT_EQ(ReadFileBytes(dir.file("table.csv")), expected);
  EXPECT_TRUE(prompts.boxes.empty());

  // Again: the dialog offers the format of last time; the old file is
  // replaced only after the question, and "No" goes back to the save dialog.
  formats.push_back(dir.file("format.ini"));
  prompts.names = {dir.file("table.csv"), dir.file("table.csv")};
  prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
  WriteFileBytes(dir.file("table.csv"), "old");
  EXPECT_EQ(TableOutWindow_run(*frame), dir.file("table.csv"));
  EXPECT_EQ(offered.back(), dir.file("format.ini"));
  const std::string question =
      dir.file("table.csv") + Sjis(u8" は既に存在します。\r\n上書きしますか？|テーブル出力");
  EXPECT_EQ(prompts.boxes, (std::vector<std::string>{question, question}));
  EXPECT_EQ(ReadFileBytes(dir.file("table.csv")), expected);

  // A format without [TableFormat] (garbage): the message, nothing written.
  WriteFileBytes(dir.file("garbage.ini"), "\x01\x02 PageClassName row\r\n[Other]\r\nA = b\r\n");
  formats.push_back(dir.file("garbage.ini"));
  prompts.names = {dir.file("g.csv")};
  prompts.boxes.clear();
  EXPECT_EQ(TableOutWindow_run(*frame), "");
  EXPECT_EQ(prompts.boxes, std::vector<std::string>{
                               Sjis(u8"フォーマットファイルの [TableFormat] セクションが見つかりません。|")});
  EXPECT_FALSE(FileX_exists(dir.file("g.csv")));
  // A section that cannot be read: the reader's message, nothing written.
  WriteFileBytes(dir.file("bad.ini"), "[TableFormat]\r\nwhat is this\r\n");
  formats.push_back(dir.file("bad.ini"));
  prompts.names = {dir.file("g.csv")};
  prompts.boxes.clear();
  EXPECT_EQ(TableOutWindow_run(*frame), "");
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_NE(prompts.boxes[0].find("PageClassName"), std::string::npos) << prompts.boxes[0];
  EXPECT_FALSE(FileX_exists(dir.file("g.csv")));

  // No page of the class: written empty, then the message.
  WriteFileBytes(dir.file("none.ini"), "[TableFormat]\r\nPageClassName = nothing\r\nA = name, , 0\r\n");
  formats.push_back(dir.file("none.ini"));
  prompts.names = {dir.file("none.csv")};
  prompts.boxes.clear();
  EXPECT_EQ(TableOutWindow_run(*frame), dir.file("none.csv"));
  EXPECT_EQ(prompts.boxes,
            std::vector<std::string>{Sjis(u8"ページの class と一致するものが 1つもありませんでした。|")});
  EXPECT_EQ(ReadFileBytes(dir.file("none.csv")), "");

  // A CSV file that cannot be made: Retry, then Cancel.
  formats.push_back(dir.file("format.ini"));
  prompts.names = {dir.file("no/such/t.csv")};
  prompts.answers = {PromptAnswer::Retry, PromptAnswer::Cancel};
  prompts.boxes.clear();
  EXPECT_EQ(TableOutWindow_run(*frame), "");
  const std::string cannot = Sjis(u8"作成しようとしているファイルが開けません。|エラー");
  EXPECT_EQ(prompts.boxes, (std::vector<std::string>{cannot, cannot}));
  EXPECT_FALSE(FileX_exists(dir.file("no")));

  // A cancelled dialog asks for nothing more.
  prompts.proposed.clear();
  EXPECT_EQ(TableOutWindow_run(*frame), "");
  EXPECT_TRUE(prompts.proposed.empty());

  frame.reset();
  CTableOutDlg::exec = nullptr;
  UserPrompts_set(nullptr);
}
