// The main window's VML-HTML and MHTML export commands: the export dialog
// proposes the note's name and the default choices, the pages or the
// archive are written where it says (a bare name on the desktop) with its
// publication name, and a cancelled dialog writes nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <deque>
#include <functional>
#include <filesystem>
#include <memory>
#include <string>

#include "app/convert/html_export_window.h"
#include "app/convert/save_ex_dialog.h"
#include "app/links/shell_services.h"
#include "app/startup/conversion_status.h"
#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

using testing_support::ReadFileBytes;
using testing_support::Sjis;

namespace {

// Pages titled as given, each with one rectangle.
std::string pagesNote(const std::vector<std::string>& titles) {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"420\" height=\"2000\">\r\n";
  std::string list;
  for (size_t p = 1; p <= titles.size(); ++p) {
    const std::string n = std::to_string(p);
    s += "<g id=\"page" + n + "\" width=\"400\" height=\"300\" transform=\"translate(+10,+" +
         std::to_string(10 + (p - 1) * 310) + ")\">\r\n<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" " +
         "style=\"fill:rgb(255,0,0)\" fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n";
    list += "<zerbin-page num=\"" + n + "\" title=\"" + titles[p - 1] + "\"/>\r\n";
  }
  return s + "<zerbin-pages>\r\n" + list + "</zerbin-pages>\r\n</svg>\r\n";
}

std::string noteText() {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"420\" height=\"620\">\r\n";
  for (int p = 1; p <= 2; ++p) {
    const std::string n = std::to_string(p);
    // The rectangle of page 1 is published under "web".
    const std::string rect = "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" "
                             "style=\"fill:rgb(255,0,0)\" fill=\"rgb(255,0,0)\"/>\r\n";
    s += "<g id=\"page" + n + "\" width=\"400\" height=\"300\" transform=\"translate(+10,+" +
         std::to_string(10 + (p - 1) * 310) + ")\">\r\n" +
         (p == 1 ? "<g pub=\"web\">\r\n" + rect + "</g>\r\n" : rect) + "</g>\r\n";
  }
  s += "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n<zerbin-page num=\"2\" "
       "title=\"two\"/>\r\n</zerbin-pages>\r\n</svg>\r\n";
  return s;
}

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view, PromptButtons, PromptIcon, PromptAnswer,
                          uint32_t) override {
    asked.emplace_back(text);
    return PromptAnswer::Yes;
  }
  std::vector<std::string> asked;
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

// What the scripted person saw in the dialog and what they answer.
struct DialogScript {
  std::vector<SaveExValues> shown;
  std::deque<std::function<int(CSaveExDlg&)>> answers;
};

}  // namespace

// A main window with the note `text`, the installation's templates, the
// dialog answered by script, the prompts answered Yes and the browser
// recorded.
struct ExportWindow {
  explicit ExportWindow(const std::string& text, bool lowerPath = false) {
    UserPrompts_set(&prompts);
    FileX_makeFolders(dir.file("work/x"), true);
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("work");
    o.save.desktopFolder = dir.file("desk");
    o.save.lowerPath = lowerPath;
    FileX_makeFolders(dir.file("script/x"), true);
    FileX_writeWhole(dir.file("script/vml_frame.txt"), "<frameset>%tree_path%|%main_path%</frameset>\r\n");
    FileX_writeWhole(dir.file("script/mht_head.txt"), "From: %title%\r\n\r\n");
    o.save.variables = [this](std::string_view name, std::string& value) {
      if (name != "script") return false;
      value = dir.file("script");
      return true;
    };
    ShellServices_set(&shell);
    CSaveExDlg::exec = [this](CSaveExDlg& d) {
      script.shown.push_back(d.values());
      if (script.answers.empty()) return int(QDialog::Rejected);
      auto answer = script.answers.front();
      script.answers.pop_front();
      return answer(d);
    };
    frame = std::make_unique<CMainFrame>(std::string(), o);
    FileX_writeWhole(dir.file("Note!.svg"), text);
    frame->LoadNote(dir.file("Note!.svg"), false);
    frame->show();
    QApplication::processEvents();
  }
  ~ExportWindow() {
    frame.reset();
    ConversionStatus_setRefresh(nullptr);
    CSaveExDlg::exec = nullptr;
    ShellServices_set(nullptr);
    UserPrompts_set(nullptr);
  }
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  RecordingShell shell;
  DialogScript script;
  std::unique_ptr<CMainFrame> frame;
};

TEST(HtmlExportWindow, CommandsWriteThePagesOrTheArchiveWhereTheDialogSays) {
  ExportWindow w(noteText(), true);
  auto& [dir, prompts, shell, script, frame] = w;
  QAction* mht = frame->commands().action(Cmd_ExportVmlMhtml);
  ASSERT_NE(mht, nullptr);
  EXPECT_EQ(mht->text(), QString::fromUtf8(u8"VML-MHTML形式で出力(&V)..."));
  EXPECT_EQ(frame->commands().action(Cmd_ExportVmlHtml)->text(),
            QString::fromUtf8(u8"VML-HTML(FTP)形式で出力(&F)..."));
  // The defaults; a bare name lands on the desktop, then the browser opens it.
  FileX_makeFolders(dir.file("desk/x"), true);
  script.answers.push_back([](CSaveExDlg& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8(u8"ファイル出力"));
    EXPECT_TRUE(d.rangeButton(0).isChecked());
    EXPECT_FALSE(d.pagesField().isEnabled());
    d.rangeButton(2).setChecked(true);
    EXPECT_TRUE(d.pagesField().isEnabled());
    d.pagesField().setText("1-2");
    EXPECT_EQ(d.checkBox(2).text(), QString::fromUtf8(u8"出力したらブラウザで開く(&O)"));
    d.fileField().setText("a.mht");
    return int(QDialog::Accepted);
  });
  mht->trigger();
  ASSERT_EQ(script.shown.size(), 1u);
  EXPECT_EQ(script.shown[0].fileName, dir.file("Note.mht"));
  EXPECT_EQ(script.shown[0].outputType, 2);
  EXPECT_EQ(script.shown[0].publication, "_all");
  EXPECT_FALSE(script.shown[0].sameFileNoNewWindow);
  EXPECT_TRUE(script.shown[0].noLinksToOtherFiles);
  EXPECT_TRUE(script.shown[0].openInBrowser);
  const std::string archive = ReadFileBytes(dir.file("desk/a.mht"));
  EXPECT_EQ(archive.substr(0, 13), "From: Note!\r\n");
  EXPECT_NE(archive.find("<!-- page 2 -->"), std::string::npos);
  EXPECT_EQ(shell.opened, std::vector<std::string>{dir.file("desk/a.mht")});

  // Again with the publication "web": asked before overwriting, and only
  // the page whose figure is marked for it is written.
  script.answers.push_back([](CSaveExDlg& d) {
    d.fileField().setText("a.mht");
    d.publicationField().setText("web");
    d.checkBox(2).setChecked(false);
    return int(QDialog::Accepted);
  });
  mht->trigger();
  EXPECT_EQ(script.shown[1].fileName, dir.file("Note.mht"));
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0], dir.file("desk/a.mht") + Sjis(u8" は既に存在します。\r\n上書きしますか？"));
  const std::string published = ReadFileBytes(dir.file("desk/a.mht"));
  EXPECT_NE(published.find("<!-- page 1 -->"), std::string::npos);
  EXPECT_EQ(published.find("<!-- page 2 -->"), std::string::npos);
  EXPECT_EQ(shell.opened.size(), 1u);

  // The web-server form proposes the name lower-cased (the paths setting).
  FileX_makeFolders(dir.file("site/x"), true);
  const std::string site = dir.file("site/b.html");
  script.answers.push_back([&site](CSaveExDlg& d) {
    EXPECT_EQ(d.typeList().currentIndex(), 0);
    d.fileField().setText(QString::fromStdString(site));
    d.checkBox(2).setChecked(false);
    return int(QDialog::Accepted);
  });
  frame->commands().action(Cmd_ExportVmlHtml)->trigger();
  EXPECT_EQ(script.shown[2].fileName, dir.file("note.html"));
  EXPECT_EQ(ReadFileBytes(dir.file("site/b.html")), "<frameset>b.files/b_tree.html|b.files/b_01.html</frameset>\r\n");
  EXPECT_NE(ReadFileBytes(dir.file("site/b.files/b_01.html")).find("<!-- page 2 -->"), std::string::npos);

  // A cancelled dialog writes nothing.
  EXPECT_EQ(HtmlExportWindow_run(*frame, 'V'), "");
  EXPECT_EQ(script.shown[3].fileName, dir.file("Note.html"));
  EXPECT_EQ(script.shown[3].outputType, 1);
  EXPECT_FALSE(FileX_exists(dir.file("Note.html")));

}

// The dialog's output range reaches the export: the listed pages or the
// current page are written, numbered from 1; a list that names no page is
// refused and the dialog comes again.  While the export runs, the
// application's status names the file (the notification icon's tip), and
// it is cleared afterwards, also when the destination cannot be written.
TEST(HtmlExportWindow, OutputRangeAndStatusReachTheExport) {
  ExportWindow w(pagesNote({"one", "two", "three"}));
  auto& [dir, prompts, shell, script, frame] = w;
  std::vector<std::string> tips;
  ConversionStatus_setRefresh([&tips] { tips.push_back(ConversionStatus_tip("Brevlo 3.10")); });
  auto answer = [&script](const std::string& target, int range, const char* pages) {
    script.answers.push_back([target, range, pages](CSaveExDlg& d) {
      d.fileField().setText(QString::fromStdString(target));
      d.rangeButton(range).setChecked(true);
      d.pagesField().setText(pages);
      d.checkBox(2).setChecked(false);
      return int(QDialog::Accepted);
    });
  };
  auto tree = [&dir](const std::string& name) { return ReadFileBytes(dir.file(name + ".files/" + name + "_tree.html")); };
  auto pageFile = [&dir](const std::string& name) {
    return ReadFileBytes(dir.file(name + ".files/" + name + "_01.html"));
  };

  // Pages 3 and 1 of the list: written in the note's order as pages 1 and 2.
  answer(dir.file("a.html"), 2, "3, 1");
  EXPECT_EQ(HtmlExportWindow_run(*frame, 'V'), dir.file("a.html"));
  EXPECT_NE(tree("a").find("name=\"zerbin_index_p1\" target=\"main\">one</A>"), std::string::npos) << tree("a");
  EXPECT_NE(tree("a").find("name=\"zerbin_index_p2\" target=\"main\">three</A>"), std::string::npos);
  EXPECT_EQ(tree("a").find(">two</A>"), std::string::npos);
  EXPECT_NE(pageFile("a").find("<!-- page 2 -->"), std::string::npos);
  EXPECT_EQ(pageFile("a").find("<!-- page 3 -->"), std::string::npos);
  EXPECT_EQ(tips, (std::vector<std::string>{Sjis(u8"Brevlo 3.10 - 変換中:a.html"), "Brevlo 3.10"}));

  // The current page only.
  ASSERT_TRUE(frame->SelectPageNumber(2));
  answer(dir.file("b.html"), 1, "");
  EXPECT_EQ(HtmlExportWindow_run(*frame, 'V'), dir.file("b.html"));
  EXPECT_NE(tree("b").find("name=\"zerbin_index_p1\" target=\"main\">two</A>"), std::string::npos) << tree("b");
  EXPECT_EQ(tree("b").find(">one</A>"), std::string::npos);
  EXPECT_EQ(tree("b").find(">three</A>"), std::string::npos);
  EXPECT_EQ(pageFile("b").find("<!-- page 2 -->"), std::string::npos);

  // A list that names no page: told, and the dialog comes again (cancelled).
  answer(dir.file("c.html"), 2, "2-1");
  const size_t shown = script.shown.size();
  EXPECT_EQ(HtmlExportWindow_run(*frame, 'V'), "");
  EXPECT_EQ(script.shown.size(), shown + 2);
  EXPECT_EQ(script.shown[shown + 1].pages, "2-1");
  ASSERT_FALSE(prompts.asked.empty());
  EXPECT_EQ(prompts.asked.back(), Sjis(u8"ページ指定が正しくありません。\r\n例: 1, 4, 6-8"));
  EXPECT_FALSE(FileX_exists(dir.file("c.html")));

  // A destination under a plain file: reported, and the status is cleared.
  FileX_writeWhole(dir.file("plain"), "x");
  tips.clear();
  answer(dir.file("plain/d.html"), 0, "");
  EXPECT_EQ(HtmlExportWindow_run(*frame, 'V'), "");
  EXPECT_EQ(tips, (std::vector<std::string>{Sjis(u8"Brevlo 3.10 - 変換中:d.html"), "Brevlo 3.10"}));
  EXPECT_NE(prompts.asked.back().find(Sjis(u8"が書きこめません")), std::string::npos) << prompts.asked.back();
}
