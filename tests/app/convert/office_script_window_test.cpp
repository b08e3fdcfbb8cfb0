// The main window's Word, Excel and PowerPoint conversion commands: "Yes"
// writes the script to the work folder and opens it, "No" asks for a file
// (confirming an existing one), Cancel writes nothing; Excel asks with
// CExcelOption and remembers the version.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>

#include "app/blackbox/wsf_check.h"
#include "app/convert/office_script_window.h"
#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "platform/windows/window_ids.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

using testing_support::ReadFileBytes;
using testing_support::Sjis;

namespace {

std::string noteText() {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"420\" height=\"620\">\r\n";
  for (int p = 1; p <= 2; ++p) {
    s += "<g id=\"page" + std::to_string(p) + "\" width=\"400\" height=\"300\" transform=\"translate(+10,+" +
         std::to_string(10 + (p - 1) * 310) + ")\">\r\n";
    s += "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\" fill=\"rgb(255,0,0)\"/>\r\n";
    s += "<text x=\"30\" y=\"150\" font-size=\"12pt\">Hello &amp; <tspan>x</tspan></text>\r\n</g>\r\n";
  }
  s += "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n<zerbin-page num=\"2\" "
       "title=\"two\"/>\r\n</zerbin-pages>\r\n</svg>\r\n";
  return s;
}

// Answers the boxes in order and names the files to save.
class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons, PromptIcon, PromptAnswer,
                          uint32_t) override {
    asked.emplace_back(std::string(title) + "|" + std::string(text));
    if (answers.empty()) return PromptAnswer::Cancel;
    const PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool saveFileName(std::string_view title, std::string_view filter, std::string& path, int&, uint32_t) override {
    saves.emplace_back(std::string(title) + "|" + std::string(filter) + "|" + path);
    if (names.empty()) return false;
    path = names.front();
    names.pop_front();
    return true;
  }
  bool interactive() const override { return true; }
  std::deque<PromptAnswer> answers;
  std::deque<std::string> names;
  std::vector<std::string> asked, saves;
};

class RecordingShell : public ShellServices {
 public:
  bool openWithDefault(std::string_view target) override {
    opened.emplace_back(target);
    return true;
  }
  bool showSelected(std::string_view) override { return true; }
  bool startDetached(const std::string&, const std::vector<std::string>&) override { return true; }
  std::vector<std::string> opened;
};

}  // namespace

TEST(OfficeScriptWindow, WordPowerPointAndExcelCommands) {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  UserPrompts_set(&prompts);
  RecordingShell shell;
  ShellServices_set(&shell);
  FileX_makeFolders(dir.file("work/x"), true);
  FileX_makeFolders(dir.file("desk/x"), true);
  CMainFrameOptions o;
  o.japanese = true;
  o.workFolder = dir.file("work");
  o.save.desktopFolder = dir.file("desk");
  int32_t remembered = 0;
  o.vbaVer = 2000;
  o.vbaVerChanged = [&remembered](int32_t v) { remembered = v; };
  auto frame = std::make_unique<CMainFrame>(std::string(), o);
  FileX_writeWhole(dir.file("Note.svg"), noteText());
  frame->LoadNote(dir.file("Note.svg"), false);
  frame->show();
  QApplication::processEvents();

  CommandTable& commands = frame->commands();
  ASSERT_NE(commands.action(Cmd_ConvertWord), nullptr);
  EXPECT_EQ(commands.action(Cmd_ConvertWord)->text(), QString::fromUtf8(u8"Microsoft Word 形式に変換(&W)..."));
  EXPECT_EQ(commands.action(Cmd_ConvertExcel)->text(), QString::fromUtf8(u8"Microsoft Excel 形式に変換(&X)..."));
  EXPECT_EQ(commands.action(Cmd_ConvertPowerPoint)->text(),
            QString::fromUtf8(u8"Microsoft PowerPoint 形式に変換(&P)..."));
  EXPECT_EQ(commands.action(Cmd_ConvertPowerPointLarge)->text(),
            QString::fromUtf8(u8"Microsoft PowerPoint 形式（拡大）に変換(&2)..."));

  // Word, "Yes": the work folder's script, opened with its program.
  char name[32];
  std::snprintf(name, sizeof name, "work/conv_%08X.wsf", WindowIds_idOf(frame.get()));
  const std::string conv = dir.file(name);
  prompts.answers = {PromptAnswer::Yes};
  commands.action(Cmd_ConvertWord)->trigger();
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0], Sjis(u8"Word に変換|Microsoft Word に変換しますか？\r\n（いいえ＝スクリプトのみ出力）"));
  EXPECT_EQ(shell.opened, std::vector<std::string>{conv});
  const std::string word = ReadFileBytes(conv);
  EXPECT_EQ(wsf_check::check(word), "");
  EXPECT_NE(word.find("Sub  main() ' VBA for Word 2003\r\n"), std::string::npos);
  EXPECT_NE(word.find("    .TextRange.Text = \"Hello &\"+Chr(13)+Chr(10)+ _\r\n"), std::string::npos);

  // PowerPoint, "No": a file of the user's choosing, "wsf" added, not opened.
  prompts.answers = {PromptAnswer::No};
  prompts.names = {dir.file("desk/slides")};
  commands.action(Cmd_ConvertPowerPoint)->trigger();
  EXPECT_EQ(prompts.asked.back(),
            Sjis(u8"PowerPoint に変換|Power Point に変換しますか？\r\n（いいえ＝スクリプトのみ出力）"));
  ASSERT_EQ(prompts.saves.size(), 1u);
  EXPECT_EQ(prompts.saves[0], Sjis(u8"名前を付けて保存|Windows Script File (*.wsf)|*.wsf|||") + dir.file("desk/Note.wsf"));
  const std::string slides = ReadFileBytes(dir.file("desk/slides.wsf"));
  EXPECT_EQ(wsf_check::check(slides), "");
  EXPECT_NE(slides.find("  BrevloToPT_addNewSlide  m, \"two\"\r\n"), std::string::npos);
  const size_t sizeAt = slides.find("\r\n    .Size = ");
  ASSERT_NE(sizeAt, std::string::npos);
  const int size = std::atoi(slides.c_str() + sizeAt + 14);
  EXPECT_GT(size, 0);
  EXPECT_EQ(shell.opened.size(), 1u);

  // Enlarged, onto the same file: "No" to overwriting shows the choice again,
  // then Cancel leaves the file as it was.
  prompts.asked.clear();
  prompts.answers = {PromptAnswer::No, PromptAnswer::No, PromptAnswer::Cancel};
  prompts.names = {dir.file("desk/slides.wsf")};
  EXPECT_EQ(OfficeScriptWindow_run(*frame, OfficeTarget::PowerPoint, kOfficeFlagEnlarge), "");
  ASSERT_EQ(prompts.asked.size(), 3u);
  EXPECT_EQ(prompts.asked[1], "Brevlo|" + dir.file("desk/slides.wsf") + Sjis(u8" は既に存在します。\r\n上書きしますか？"));
  EXPECT_EQ(ReadFileBytes(dir.file("desk/slides.wsf")), slides);
  // ... and "Yes" writes it at twice the size.
  prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
  prompts.names = {dir.file("desk/slides.wsf")};
  commands.action(Cmd_ConvertPowerPointLarge)->trigger();
  EXPECT_NE(ReadFileBytes(dir.file("desk/slides.wsf")).find("\r\n    .Size = " + std::to_string(2 * size) + "\r\n"),
            std::string::npos);

  // Excel: the dialog as first shown, then to a file on the desktop.
  int shown = 0;
  CExcelOption::exec = [&](CExcelOption& d) {
    ++shown;
    if (shown == 1) {
      EXPECT_EQ(d.versionList().currentIndex(), 0);
      EXPECT_EQ(d.versionList().itemText(1), "for Excel 2007");
      EXPECT_TRUE(d.sheetBox().isChecked());
      EXPECT_EQ(d.sheetBox().text(), QString::fromUtf8(u8"ページごとにシートを分ける (&P)"));
      EXPECT_FALSE(d.fileBox().isChecked());
      EXPECT_FALSE(d.pathField().isEnabled());
      EXPECT_EQ(d.pathField().text(), "Note.wsf");
      d.fileBox().setChecked(true);
      EXPECT_TRUE(d.pathField().isEnabled());
      EXPECT_TRUE(d.browseButton().isEnabled());
      d.versionList().setCurrentIndex(1);
      d.pathField().setText("book.wsf");
      return int(QDialog::Accepted);
    }
    // The version chosen last is offered again; this time the script runs.
    EXPECT_EQ(d.versionList().currentIndex(), 1);
    return int(QDialog::Accepted);
  };
  commands.action(Cmd_ConvertExcel)->trigger();
  const std::string book = ReadFileBytes(dir.file("desk/book.wsf"));
  EXPECT_EQ(wsf_check::check(book), "");
  EXPECT_NE(book.find("Sub  main() ' VBA for Excel2007\r\n"), std::string::npos);
  EXPECT_EQ(remembered, 2007);
  EXPECT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(OfficeScriptWindow_run(*frame, OfficeTarget::Excel, 0), conv);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(shell.opened.size(), 2u);
  EXPECT_NE(ReadFileBytes(conv).find("Sub  main() ' VBA for Excel2007\r\n"), std::string::npos);

  // Cancel in the first box writes nothing.
  prompts.answers = {PromptAnswer::Cancel};
  std::remove(conv.c_str());
  commands.action(Cmd_ConvertWord)->trigger();
  EXPECT_FALSE(FileX_exists(conv));

  frame.reset();
  CExcelOption::exec = nullptr;
  ShellServices_set(nullptr);
  UserPrompts_set(nullptr);
}
