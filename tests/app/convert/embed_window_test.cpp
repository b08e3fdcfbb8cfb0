// The frame HTML, preview and embedding-text commands of the main window,
// their dialogs driven by code, the settings file and the clipboard.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/convert/embed_window.h"
#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "app/settings/settings.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "platform/text/qt_text.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

using testing_support::ReadFileBytes;
using testing_support::Sjis;

namespace {

// Three pages titled "New Page".
std::string noteText() {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"420\" height=\"940\">\r\n", pages;
  for (const std::string p : {"1", "2", "3"}) {
    s += "<g id=\"page" + p + "\" width=\"400\" height=\"300\" transform=\"translate(+10,+" +
         std::to_string(10 + (p[0] - '1') * 310) + ")\">\r\n<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\"/>\r\n</g>\r\n";
    pages += "<zerbin-page num=\"" + p + "\" title=\"New Page\"/>\r\n";
  }
  return s + "<zerbin-pages>\r\n" + pages + "</zerbin-pages>\r\n</svg>\r\n";
}

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view, PromptButtons buttons, PromptIcon, PromptAnswer,
                          uint32_t) override {
    asked.emplace_back(text);
    return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
  }
  std::vector<std::string> asked;
};

class RecordingShell : public ShellServices {
 public:
  bool openWithDefault(std::string_view target) override { return opened.emplace_back(target), true; }
  bool showSelected(std::string_view) override { return true; }
  bool startDetached(const std::string&, const std::vector<std::string>&) override { return true; }
  std::vector<std::string> opened;
};

}  // namespace

TEST(EmbedWindow, FrameHtmlPreviewAndEmbeddingText) {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  UserPrompts_set(&prompts);
  RecordingShell shell;
  ShellServices_set(&shell);
  for (const char* f : {"work/x", "prof/x", "script/x"}) FileX_makeFolders(dir.file(f), true);
  FileX_writeWhole(dir.file("script/html3-script1.txt"), "//--></script></head><body>\r\n");
  FileX_writeWhole(dir.file("script/html3-script2.txt"), "</body></html>\r\n");
  // The application's settings, written to the profile whenever changed.
  ZerbinSettings settings;
  settings.lowerPath = true;
  int stored = 0;
  CMainFrameOptions o;
  o.japanese = true;
  o.workFolder = dir.file("work");
  o.save.lowerPath = true;
  o.save.variables = [&dir](std::string_view name, std::string& value) {
    return name == "script" && (value = dir.file("script"), true);
  };
  o.embedSettingsChanged = [&](bool lowerPath, bool windowColor, bool scriptWrapper) {
    std::tie(settings.lowerPath, settings.windowColor, settings.scriptWrapper) = std::tie(lowerPath, windowColor, scriptWrapper);
    ++stored;
    CZerbinApp_writeSettings(dir.file("prof/"), settings, "");
  };
  int layoutsAsked = 0;
  std::function<int(CHtmlSelDlg&)> choose;
  CHtmlSelDlg::exec = [&](CHtmlSelDlg& d) {
    ++layoutsAsked;
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8(u8"HTMLの出力"));
    EXPECT_TRUE(d.layoutButton(0).isChecked());
    return choose(d);
  };
  auto frame = std::make_unique<CMainFrame>(std::string(), o);
  frame->show();

  // An untitled note: the message, no dialog.
  frame->NewNote();
  QAction* frameHtml = frame->commands().action(Cmd_FrameHtml);
  EXPECT_EQ(frameHtml->text(), QString::fromUtf8(u8"ﾌﾚｰﾑHTMLを出力(&H)..."));
  frameHtml->trigger();
  EXPECT_EQ(layoutsAsked, 0);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0], Sjis(u8"この機能は、ファイル名が決定してから使えます。"));

  // The document layout beside the note, named in lower case; Yes opens it.
  FileX_writeWhole(dir.file("Note.svg"), noteText());
  frame->LoadNote(dir.file("Note.svg"), false);
  choose = [](CHtmlSelDlg&) { return int(QDialog::Accepted); };
  frameHtml->trigger();
  EXPECT_EQ(layoutsAsked, 1);
  const std::string page = ReadFileBytes(dir.file("note.htm"));
  EXPECT_EQ(page.substr(0, 43), "<html>\r\n<head>\r\n<title>Note</title>\r\n\r\n<scr");
  EXPECT_NE(page.find("var  mPage=3;\r\n//--></script></head><body>\r\nPage <A href=\"#page1\">[1]</A> "
                      "<A href=\"#page2\">[2]</A> <A href=\"#page3\">[3]</A> <BR><BR>\r\n"),
            std::string::npos);
  EXPECT_NE(page.find("<embed src=\"Note.svg\" width=\"400px\" height=\"300px\" name=\"svg3\"> 3</A></NOBR>\r\n"
                      "</body></html>\r\n"),
            std::string::npos);
  ASSERT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(prompts.asked[1], Sjis(u8"SVG ファイルと同じフォルダに HTML ファイルを作成しました。\n開きますか？"));
  EXPECT_EQ(shell.opened, std::vector<std::string>{dir.file("note.htm")});
  // A cancelled dialog writes nothing.
  choose = [](CHtmlSelDlg&) { return int(QDialog::Rejected); };
  frameHtml->trigger();
  EXPECT_EQ(prompts.asked.size(), 2u);

  // The preview: a copy of the note and its page in the work folder, opened
  // at the current page; the note keeps its path.
  ASSERT_TRUE(frame->SelectPageNumber(2));
  frame->commands().action(Cmd_PreviewInSvgViewer)->trigger();
  EXPECT_EQ(ReadFileBytes(dir.file("work/__preview.svg")).substr(0, 5), "<?xml");
  const std::string preview = ReadFileBytes(dir.file("work/__preview.html"));
  EXPECT_NE(preview.find("<title>Preview - Zerbin</title>"), std::string::npos);
  EXPECT_NE(preview.find("<embed src=\"__preview.svg\" width=\"400px\" height=\"300px\" name=\"svg2\">"),
            std::string::npos);
  EXPECT_EQ(shell.opened.back(), dir.file("work/__preview.html") + "#page2");
  EXPECT_EQ(frame->notePath(), dir.file("Note.svg"));
  EXPECT_FALSE(frame->noteModified());

  // The embedding dialog: each box rebuilds the text; the first three
  // store their setting in the settings file at once.
  std::string shown0, shown1;
  CDummy::exec = [&](CDummy& d) {
    EXPECT_TRUE(d.checkBox(0).isChecked());
    EXPECT_FALSE(d.checkBox(3).isChecked());  // no pen ink
    shown0 = d.text();
    d.checkBox(0).setChecked(false);
    d.checkBox(2).setChecked(true);
    ZerbinSettings read;
    CZerbinApp_readSettings(dir.file("prof/"), read, "");
    EXPECT_TRUE(!read.lowerPath && read.scriptWrapper && !read.windowColor);
    d.checkBox(3).setChecked(true);
    shown1 = d.text();
    d.show();
    QTest::mouseClick(&d.copyButton(), Qt::LeftButton);
    return d.result();
  };
  frame->commands().action(Cmd_EmbedHtml)->trigger();
  EXPECT_EQ(stored, 2);
  EXPECT_NE(shown0.find("<embed src=\"note.svg\" name=\"note\" width=\"400\" height=\"300\" type="),
            std::string::npos);
  EXPECT_EQ(shown1,
            "<SCRIPT><!--\ndocument.write('<IMG src=\"Note.png\" width=\"400\" height=\"300\"/>');\n"
            "//--></SCRIPT>\n");
  EXPECT_EQ(QtText_toCp932(QGuiApplication::clipboard()->text()), shown1);
  EXPECT_TRUE(frame->options().scriptWrapper && !frame->options().save.lowerPath);

  frame.reset();
  CHtmlSelDlg::exec = nullptr;
  CDummy::exec = nullptr;
  ShellServices_set(nullptr);
  UserPrompts_set(nullptr);
}
